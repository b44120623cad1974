#include "naming/FileNaming.h"

#include <QFileInfo>

namespace lumora {

QString FileNaming::NumberedName(int32_t number, bool blank) const {
  return s_.Datei.FileDir + s_.Datei.FileDescription + (blank ? QStringLiteral(" ") : QString()) +
         QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0')) + s_.Datei.FileSuffix;
}

QString FileNaming::FixedName() const {
  return s_.Datei.FileDir + s_.Datei.FileDescription + s_.Datei.FileSuffix;
}

void FileNaming::AdvanceFileName(bool blank, bool /*quiet*/) {
  int32_t& counter = s_.Datei.Counter;
  if (counter < 0 || counter >= 99999) counter = 0;
  if (counter > 0) --counter;  // the last proposal again, as long as it is free
  QString name;
  do {
    name = NumberedName(counter, blank);
    ++counter;
  } while (QFileInfo(name).isFile() && counter < 99999);
  s_.Datei.NextFile = name;
}

bool FileNaming::ResolveTarget(bool timerRunning, NamePrompt* prompt) {
  if (s_.Datei.SameFile) {
    s_.Datei.NextFile = FixedName();
    return true;
  }
  if (s_.Datei.Eingabeaufforderung && !s_.Datei.Clipboard && !timerRunning && prompt) {
    if (prompt->Execute() != 1) return false;
    s_.Datei.NextFile = prompt->PromptResult();
  }
  return true;
}

}  // namespace lumora
