#pragma once

#include <QString>

#include "platform/fs/AtomicFile.h"
#include "platform/Dialogs.h"
#include "settings/Settings.h"

namespace lumora {

// Asks the user for the name of one capture.
class NamePrompt {
 public:
  virtual ~NamePrompt() = default;
  // 1 when a name was accepted; anything else is a cancellation.
  virtual int Execute() = 0;
  // The full target path of the last accepted prompt.
  virtual QString PromptResult() const = 0;
};

// The names of captures: the numbered proposal, the fixed name and the prompt.
// As a NameSource it hands out the numbers after the proposal, for a capture whose
// proposed name another program took meanwhile.
class FileNaming : public NameSource {
 public:
  FileNaming(Settings& settings, Dialogs& dialogs) : s_(settings), dialogs_(dialogs) {}

  // The highest number a name carries; Counter reaches one more.
  static constexpr int32_t kLastNumber = 99998;

  // FileDir + FileDescription + optional blank + five digits + FileSuffix.
  QString numberedName(int32_t number, bool blank) const;
  // FileDir + FileDescription + FileSuffix, for same-file mode.
  QString fixedName() const;

  // Whether anything (a file, a folder, a link) has this name.
  static bool Taken(const QString& path);

  // The numbered name after the last one handed out: Counter's number, after
  // which Counter moves on. Used while a capture publishes its file, when no box
  // can be shown: a prefix that had to grow is told by tellOverflow().
  QString nextName() override;
  // After a capture: the overflow message for a prefix that grew while its file
  // was published, unless `quiet` (the interval timer runs).
  void tellOverflow(bool quiet);

  // Sets NextFile to the next free numbered name and Counter to one past its
  // number. `quiet` (the interval timer runs) suppresses the overflow message.
  void AdvanceFileName(bool blank, bool quiet);

  // Chooses the target of one capture into NextFile; false when the prompt was
  // cancelled. `prompt` may be null where no prompt can be shown. `numbered`
  // tells whether the target is the numbered proposal.
  bool ResolveTarget(bool timerRunning, NamePrompt* prompt, bool* numbered = nullptr);

  // Takes folder and prefix from a path chosen in the folder dialog and restarts
  // the numbering there. False, with nothing changed, when the path names no file
  // in an existing folder.
  bool applyChosenPath(const QString& chosenPath, bool blank, bool quiet);
  static bool IsChoosablePath(const QString& chosenPath);
  // The end of the folder dialog: the chosen path, or none when it was cancelled.
  // Either way captures go to files again afterwards.
  void folderDialogClosed(const QString* chosenPath, bool blank, bool quiet);

 private:
  void overflow(bool quiet);

  Settings& s_;
  Dialogs& dialogs_;
  bool blank_ = true;  // the form of the last proposal, for the names after it
  bool untoldOverflow_ = false;
};

// The overflow message, shown when the numbers of a prefix are used up.
QString OverflowMessage();

}  // namespace lumora
