#pragma once

#include <QStringList>
#include <functional>

namespace lumora {

// A program of the desktop that keeps the clipboard's content when the program
// that put it there ends (the X11 CLIPBOARD_MANAGER convention).
class ClipboardManager {
 public:
  virtual ~ClipboardManager() = default;
  // Whether a manager runs right now.
  virtual bool present() = 0;
  // Asks the manager to keep the content we own in these MIME types; the
  // application's event loop must run meanwhile, since the manager fetches the
  // content from us. `done` hears true once it confirms, false when it declines.
  virtual void save(const QStringList& mimeTypes, std::function<void(bool)> done) = 0;
};

}  // namespace lumora
