#pragma once

#include <QImage>

#include "naming/NamingTexts.h"
#include "ui/OptionsPage.h"

namespace lumora {

// The tab " Dateiablage ": file names, target folder, last and next file.
class FileTab : public OptionsPage {
  Q_OBJECT
 public:
  FileTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);

  // The last-capture labels ("unbekannt" at start) and picture.
  void showLastFile(const LastFileTexts& texts);
  void showLastPicture(const QImage& thumbnail);
  // The next-file labels.
  void showNextFile(const NextFileTexts& texts);
};

}  // namespace lumora
