#pragma once

#include "naming/NamingTexts.h"
#include "ui/OptionsWindow.h"

namespace lumora {

// What the tab " Dateiablage " does with the settings, without its widgets.
class FileTabLogic {
 public:
  explicit FileTabLogic(OptionsContext& context) : ctx_(context) {}

  // The check marks the settings call for.
  struct Ticks {
    bool sameFile = false;
    bool eingabeauf = false;
    bool blank = false;
    bool clipboard = false;
  };
  Ticks ticks() const;

  // "Eingabeaufforderung für Dateinamen", "Freizeichen vor Nummerierung" and
  // "in Zwischenablage" make sense only while captures are numbered.
  static bool NamingBoxesEnabled(bool sameFileTicked) { return !sameFileTicked; }

  void sameFileClicked(bool ticked);
  void eingabeaufClicked(bool ticked);
  // The blank joins or leaves the current proposal; its number stays.
  void blankClicked(bool ticked, bool timerRunning);
  void clipboardClicked(bool ticked);

  // The last-file labels before the first capture of this run.
  static LastFileTexts UnknownLastFile();
  // The next-file labels of the window's initial state: a ticked clipboard box
  // shows "In Zwischenablage" even in same-file mode.
  NextFileTexts initialNextFileTexts() const;

 private:
  OptionsContext& ctx_;
};

}  // namespace lumora
