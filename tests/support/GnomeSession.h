#pragma once

#include <QImage>
#include <optional>

#include "WaylandSession.h"

namespace lumora::test {

// Headless GNOME Shell with its desktop portal, showing `background` on a
// virtual monitor of `width` x `height`, animations off and out of the overview.
// gnome-shell asks the system bus for logind, so the session brings a stand-in
// system bus of its own. `helper` is the gnome_shell_helper program: the shell's
// own pictures and input through mutter's remote desktop interface.
class GnomeSession : public WaylandSession {
 public:
  GnomeSession(const QString& helper, const QImage& background, int width, int height);

  // What the shell shows, as gnome-screenshot would take it; null when it failed.
  QImage shellPicture() const;
  // Presses and releases each key (X keysyms, "0xff0d") in turn, as a keyboard would.
  bool press(const QStringList& keysyms) const;
  // The desktop's stored answer to "may applications take screenshots":
  // yes, no, or none (the first capture asks).
  bool setScreenshotsAllowed(std::optional<bool> allowed) const;

 private:
  QString helper_;
};

}  // namespace lumora::test
