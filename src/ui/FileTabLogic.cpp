#include "ui/FileTabLogic.h"

namespace lumora {

FileTabLogic::Ticks FileTabLogic::ticks() const {
  const Settings& s = ctx_.settings;
  return {s.Datei.SameFile, s.Datei.Eingabeaufforderung, s.Blank, s.Datei.Clipboard};
}

void FileTabLogic::sameFileClicked(bool ticked) { ctx_.settings.Datei.SameFile = ticked; }

void FileTabLogic::eingabeaufClicked(bool ticked) { ctx_.settings.Datei.Eingabeaufforderung = ticked; }

void FileTabLogic::blankClicked(bool ticked, bool timerRunning) {
  ctx_.settings.Blank = ticked;
  ctx_.naming.AdvanceFileName(ticked, timerRunning);
}

void FileTabLogic::clipboardClicked(bool ticked) { ctx_.settings.Datei.Clipboard = ticked; }

LastFileTexts FileTabLogic::UnknownLastFile() {
  const QString unknown = QStringLiteral("unbekannt");
  return {unknown, unknown, unknown, unknown};
}

NextFileTexts FileTabLogic::initialNextFileTexts() const {
  NextFileTexts texts = ShowNextFileTexts(ctx_.settings.Datei);
  if (ctx_.settings.Datei.Clipboard) {
    texts.file = ClipboardTarget();
    texts.dir.clear();
  }
  return texts;
}

}  // namespace lumora
