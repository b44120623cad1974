#include "naming/FileNaming.h"

#include <QFileInfo>
#include <sys/stat.h>

#include "platform/fs/PathBytes.h"

namespace lumora {

QString OverflowMessage() {
  return QStringLiteral(
      "Mit diesem Screenshot hat der Zähler sein Maximum erreicht.\n"
      "Der Namenszusatz wurde um einen Unterstrich ( _ ) erweitert\n"
      "und der Zähler zurückgesetzt.");
}

QString FileNaming::numberedName(int32_t number, bool blank) const {
  return s_.Datei.FileDir + s_.Datei.FileDescription + (blank ? QStringLiteral(" ") : QString()) +
         QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0')) + s_.Datei.FileSuffix;
}

QString FileNaming::fixedName() const {
  return s_.Datei.FileDir + s_.Datei.FileDescription + s_.Datei.FileSuffix;
}

bool FileNaming::Taken(const QString& path) {
  struct stat st {};
  return ::lstat(EncodePath(path).constData(), &st) == 0;
}

QString FileNaming::nextName() {
  int32_t& counter = s_.Datei.Counter;
  if (counter < 0 || counter > kLastNumber) {
    overflow(true);
    untoldOverflow_ = true;
  }
  return numberedName(counter++, blank_);
}

void FileNaming::tellOverflow(bool quiet) {
  if (untoldOverflow_ && !quiet) dialogs_.error(OverflowMessage());
  untoldOverflow_ = false;
}

void FileNaming::overflow(bool quiet) {
  if (!quiet) dialogs_.error(OverflowMessage());
  s_.Datei.Counter = 0;
  s_.Datei.FileDescription += QLatin1Char('_');
}

void FileNaming::AdvanceFileName(bool blank, bool quiet) {
  blank_ = blank;
  int32_t& counter = s_.Datei.Counter;
  if (counter < 0 || counter > kLastNumber + 1) counter = 0;
  if (counter == kLastNumber + 1) overflow(quiet);
  if (counter > 0) --counter;  // the last proposal again, as long as it is free
  for (;;) {
    QString name;
    bool taken = false;
    do {
      name = numberedName(counter, blank);
      ++counter;
      // A folder or anything else under the name blocks it as a file would.
      taken = Taken(name);
    } while (taken && counter <= kLastNumber);
    // Every number up to the last one is taken: start the longer prefix now rather
    // than propose a file that exists, so a numbered capture never overwrites one.
    // Each round makes the prefix longer, so the names eventually become free.
    if (taken) {
      overflow(quiet);
      continue;
    }
    s_.Datei.NextFile = name;
    return;
  }
}

bool FileNaming::ResolveTarget(bool timerRunning, NamePrompt* prompt, bool* numbered) {
  if (numbered) *numbered = false;
  if (s_.Datei.SameFile) {
    s_.Datei.NextFile = fixedName();
    return true;
  }
  if (s_.Datei.Eingabeaufforderung && !s_.Datei.Clipboard && !timerRunning && prompt) {
    if (prompt->Execute() != 1) return false;
    s_.Datei.NextFile = prompt->PromptResult();
    return true;
  }
  if (numbered) *numbered = true;
  return true;
}

bool FileNaming::IsChoosablePath(const QString& chosenPath) {
  const QFileInfo chosen(chosenPath);
  return !chosen.fileName().isEmpty() && !chosen.isDir() && QFileInfo(chosen.absolutePath()).isDir();
}

bool FileNaming::applyChosenPath(const QString& chosenPath, bool blank, bool quiet) {
  if (!IsChoosablePath(chosenPath)) return false;
  const QFileInfo chosen(chosenPath);
  // The folder keeps exactly one trailing '/', also for the root folder, so that
  // names built from it stay plain paths.
  QString dir = chosen.absolutePath();
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  s_.Datei.Counter = 0;
  s_.Datei.FileDescription = chosen.fileName();
  s_.Datei.FileDir = dir;
  AdvanceFileName(blank, quiet);
  return true;
}

void FileNaming::folderDialogClosed(const QString* chosenPath, bool blank, bool quiet) {
  if (chosenPath) applyChosenPath(*chosenPath, blank, quiet);
  s_.Datei.Clipboard = false;
}

}  // namespace lumora
