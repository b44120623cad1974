#pragma once

namespace lumora {

// The notification areas the desktop offers for the tray icon, asked again
// whenever the program is waiting for one to appear.
class NotificationArea {
 public:
  // An embedding tray takes the icon as a window of its own and hands it the
  // clicks; a status notifier host is told about the icon over the session bus
  // and shows its menu itself.
  enum class Host { None, Embedding, StatusNotifier };

  virtual ~NotificationArea() = default;
  // What is there now; a status notifier host counts first where both are, as
  // Qt then registers the icon with it.
  virtual Host host() const = 0;
};

}  // namespace lumora
