#pragma once

#include <QString>

#include "platform/Clock.h"
#include "settings/Settings.h"

namespace lumora {

// What the options window shows about the next capture's file.
struct NextFileTexts {
  QString file;           // lblNextFile
  QString dir;            // lblNextDir
  QString formatPanel;    // status bar, format panel
  QString nextFilePanel;  // status bar, next-file panel
};

// What the options window shows about the last capture.
struct LastFileTexts {
  QString file;  // lblLastFile
  QString dir;   // lblLastDir
  QString time;  // lblLastTime
  QString date;  // lblLastdate
};

// The text that stands for the target of a clipboard capture.
QString ClipboardTarget();

// Everything up to and including the last '/'; empty when there is none.
QString FolderPart(const QString& path);
// The rest after the folder part.
QString FileNamePart(const QString& path);

NextFileTexts ShowNextFileTexts(const tDatei& datei);
// `target` is the written file, or ClipboardTarget() after a clipboard capture.
LastFileTexts ShowLastFileTexts(const QString& target, const Clock& clock);

}  // namespace lumora
