#include "naming/FileNamePromptLogic.h"

#include <QFileInfo>

namespace lumora {

QString InvalidNameMessage() {
  return QStringLiteral(
      "Es wurde kein oder ein ungültiger Dateiname eingegeben. Bitte \n"
      "geben Sie einen gültigen Dateinamen ein oder brechen Sie die\n"
      "Eingabeaufforderung ab.");
}

QString OverwriteQuestion() {
  return QStringLiteral(
      "Es existiert bereits eine Datei mit diesem Dateinamen. Wollen\n"
      "Sie fortfahren und diese Datei überschreiben?\n\n");
}

QString CancelMessage() { return QStringLiteral("Abbruch. Es wurde kein Screenshot erzeugt"); }

QString FileNamePromptLogic::StartInfo() { return QStringLiteral("Übernehmen = ENTER"); }

QString FileNamePromptLogic::CaptionInsertedInfo() { return QStringLiteral("Beschriftung eingefügt"); }

bool FileNamePromptLogic::IsForbidden(QChar c) {
  switch (c.unicode()) {
    case '"':
    case '*':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
      return true;
    default:
      return false;
  }
}

bool FileNamePromptLogic::ContainsForbidden(const QString& text) {
  for (QChar c : text)
    if (IsForbidden(c)) return true;
  return false;
}

FileNamePromptLogic::Key FileNamePromptLogic::keyPress(QChar c, QString& info) const {
  if (c == QChar(13)) return Key::Accept;
  if (IsForbidden(c)) {
    info = QString(c) + QStringLiteral(" ist ein ungültiges Zeichen");
    return Key::Discard;
  }
  return Key::Pass;
}

FileNamePromptLogic::Outcome FileNamePromptLogic::accept(const QString& editText) {
  result_ = editText;
  // Pasted text passes the key filter, so the whole name is checked again here.
  if (editText.isEmpty() || ContainsForbidden(editText)) {
    dialogs_.error(InvalidNameMessage());
    return Outcome::StayOpen;
  }
  result_ = s_.Datei.FileDir + editText + s_.Datei.FileSuffix;
  if (QFileInfo(result_).isFile() && !dialogs_.confirm(OverwriteQuestion() + result_)) return Outcome::StayOpen;
  return Outcome::Accepted;
}

void FileNamePromptLogic::cancel() { dialogs_.info(CancelMessage()); }

}  // namespace lumora
