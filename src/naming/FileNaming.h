#pragma once

#include <QString>

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
class FileNaming {
 public:
  explicit FileNaming(Settings& settings) : s_(settings) {}

  // FileDir + FileDescription + optional blank + five digits + FileSuffix.
  QString NumberedName(int32_t number, bool blank) const;
  // FileDir + FileDescription + FileSuffix, for same-file mode.
  QString FixedName() const;

  // Sets NextFile to the next numbered name and Counter to one past its number.
  void AdvanceFileName(bool blank, bool quiet);

  // Chooses the target of one capture into NextFile; false when the prompt was
  // cancelled. `prompt` may be null where no prompt can be shown.
  bool ResolveTarget(bool timerRunning, NamePrompt* prompt);

 private:
  Settings& s_;
};

}  // namespace lumora
