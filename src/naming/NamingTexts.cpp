#include "naming/NamingTexts.h"

namespace lumora {

QString ClipboardTarget() { return QStringLiteral("In Zwischenablage"); }

QString FolderPart(const QString& path) { return path.left(path.lastIndexOf(QLatin1Char('/')) + 1); }

QString FileNamePart(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

NextFileTexts ShowNextFileTexts(const tDatei& d) {
  NextFileTexts t;
  if (d.SameFile) {
    t.file = d.FileDescription + d.FileSuffix;
    t.dir = FolderPart(d.NextFile);
  } else if (d.Clipboard) {
    t.file = ClipboardTarget();
  } else {
    t.file = FileNamePart(d.NextFile);
    t.dir = FolderPart(d.NextFile);
  }
  // The status bar keeps showing the numbered proposal in every mode.
  t.formatPanel = d.FileSuffix;
  t.nextFilePanel = d.NextFile;
  return t;
}

LastFileTexts ShowLastFileTexts(const QString& target, const Clock& clock) {
  return {FileNamePart(target), FolderPart(target), clock.timeText(), clock.dateText()};
}

}  // namespace lumora
