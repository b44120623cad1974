#pragma once

#include <QChar>
#include <QString>

#include "platform/Dialogs.h"
#include "settings/Settings.h"

namespace lumora {

// The decisions of the file-name prompt, without the window: which keys reach the
// edit, when a name is accepted, and what the info line says.
class FileNamePromptLogic {
 public:
  FileNamePromptLogic(const Settings& settings, Dialogs& dialogs) : s_(settings), dialogs_(dialogs) {}

  static constexpr int kMaxLength = 250;

  // The characters no file name may contain.
  static bool IsForbidden(QChar c);
  static bool ContainsForbidden(const QString& text);

  // The info line at the start of every prompt.
  static QString StartInfo();
  static QString CaptionInsertedInfo();

  enum class Key { Accept, Discard, Pass };
  // What a typed character does. On Discard, `info` is set to the line to show.
  Key keyPress(QChar c, QString& info) const;

  enum class Outcome { Accepted, StayOpen };
  // Accept with the edit's text: Accepted when the prompt may close; StayOpen after
  // a refused name or a declined overwrite (the edit should get the focus back).
  Outcome accept(const QString& editText);

  // The cancel button: tells the user that no capture is made.
  void cancel();

  // The text the caption button puts into the edit.
  QString CaptionText() const { return s_.Beschriftung.Text; }

  // The full target path after an accepted prompt.
  QString PromptResult() const { return result_; }

 private:
  const Settings& s_;
  Dialogs& dialogs_;
  QString result_;
};

QString InvalidNameMessage();
QString OverwriteQuestion();
QString CancelMessage();

}  // namespace lumora
