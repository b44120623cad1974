#pragma once

#include <QImage>
#include <functional>

#include "naming/NamingTexts.h"
#include "ui/FileTabLogic.h"
#include "ui/OptionsPage.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace lumora {

class ElidedLabel;

// The tab " Dateiablage ": file names, target folder, last and next file.
class FileTab : public OptionsPage {
  Q_OBJECT
 public:
  // Runs the folder-and-prefix dialog; true when the user confirmed a choice.
  using FolderChooser = std::function<bool(QWidget* parent, const Settings&, FileNaming&, bool blank, bool quiet)>;

  FileTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);

  void loadFromSettings() override;
  void initWindowState() override;
  void lockForTimer(bool running) override;

  // The last-capture labels ("unbekannt" at start) and picture.
  void showLastFile(const LastFileTexts& texts);
  void showLastPicture(const QImage& thumbnail);
  // The next-file labels.
  void showNextFile(const NextFileTexts& texts);

  // "Nummerierung deaktivieren" enables or disables the three naming boxes.
  void applyNumberingRule();

  // Tests replace the modal file dialog.
  void setFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }

 private:
  void btnSpeichernUnterClick();

  FileTabLogic logic_;
  FolderChooser chooseFolder_;
  QCheckBox* cbSameFile_ = nullptr;
  QCheckBox* cbEingabeauf_ = nullptr;
  QCheckBox* cbBlank_ = nullptr;
  QCheckBox* cbClipboard_ = nullptr;
  QPushButton* btnZiel_ = nullptr;
  QPushButton* btnOpenInExp_ = nullptr;
  ElidedLabel* lblLastFile_ = nullptr;
  ElidedLabel* lblLastDir_ = nullptr;
  ElidedLabel* lblLastTime_ = nullptr;
  ElidedLabel* lblLastdate_ = nullptr;
  ElidedLabel* lblNextFile_ = nullptr;
  ElidedLabel* lblNextDir_ = nullptr;
  QLabel* imgLastPic_ = nullptr;
};

}  // namespace lumora
