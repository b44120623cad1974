#pragma once

#include <QObject>

class QWindow;
#include <cstdint>

struct xcb_connection_t;

namespace lumora {

// Keeps every window of the program out of the taskbar and the pager: a tray
// program has no taskbar button, neither for its options window nor for a
// dialog or the selection overlay. Installed on the application, it marks each
// top-level window as it is shown, before it is mapped, which is when window
// managers read the mark. It also trims what window managers put on a frame
// (see trimFrame).
class XcbSkipTaskbar : public QObject {
  Q_OBJECT
 public:
  // Without a connection (another platform) it does nothing.
  explicit XcbSkipTaskbar(xcb_connection_t* connection, QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void mark(uint32_t window);
  void trimFrame(QWindow& window);
  bool openbox();

  xcb_connection_t* conn_;
  uint32_t state_ = 0;
  uint32_t skipTaskbar_ = 0;
  uint32_t skipPager_ = 0;
  uint32_t motif_ = 0;
  uint32_t type_ = 0;
  uint32_t toolbar_ = 0;
  int openbox_ = -1;  // not asked yet
};

}  // namespace lumora
