#pragma once

#include <QObject>
#include <cstdint>

struct xcb_connection_t;

namespace lumora {

// Keeps every window of the program out of the taskbar and the pager: a tray
// program has no taskbar button, neither for its options window nor for a
// dialog or the selection overlay. Installed on the application, it marks each
// top-level window as it is shown, before it is mapped, which is when window
// managers read the mark.
class XcbSkipTaskbar : public QObject {
  Q_OBJECT
 public:
  // Without a connection (another platform) it does nothing.
  explicit XcbSkipTaskbar(xcb_connection_t* connection, QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void mark(uint32_t window);

  xcb_connection_t* conn_;
  uint32_t state_ = 0;
  uint32_t skipTaskbar_ = 0;
  uint32_t skipPager_ = 0;
};

}  // namespace lumora
