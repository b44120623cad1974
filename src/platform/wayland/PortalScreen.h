#pragma once

#include <QDBusConnection>
#include <QRect>
#include <QString>
#include <chrono>
#include <functional>

#include "platform/Screen.h"

namespace lumora {

// The screen of a Wayland session, read through the desktop portal's Screenshot
// call: the compositor alone may read the screen there, so a grab of the X root
// window through Xwayland would only give black.
class PortalScreen : public Screen {
 public:
  // Where the primary output lies on the desktop, in the compositor's logical
  // coordinates, and how many picture pixels one logical unit has on it.
  struct Desktop {
    QRect primary;
    QRect all;
    double scale = 1.0;
  };
  using DesktopSource = std::function<Desktop()>;

  // The first capture may wait for the person: the desktop can ask whether the
  // program may take screenshots, and its dialog holds back every other portal
  // screenshot until it is answered. After `patience` the wait is announced.
  static constexpr std::chrono::milliseconds kDefaultTimeout{120000};
  static constexpr std::chrono::milliseconds kDefaultPatience{3000};

  // `desktop` is asked at each grab; without one, or while it knows no outputs,
  // the portal's whole picture counts as the primary screen.
  explicit PortalScreen(QDBusConnection bus, DesktopSource desktop = {},
                        std::chrono::milliseconds timeout = kDefaultTimeout,
                        std::chrono::milliseconds patience = kDefaultPatience);
  ~PortalScreen() override;
  PortalScreen(const PortalScreen&) = delete;
  PortalScreen& operator=(const PortalScreen&) = delete;

  // The primary output's size in device pixels; before the first grab without
  // a desktop source, an empty size.
  QSize size() const override;
  bool grab(const ScreenRect& rect, QImage& target) override;
  // The primary output, then the whole desktop as one: the portal's picture does
  // not tell the other outputs apart.
  std::vector<QRect> monitors() const override;

  // Why the last grab failed, in one line for the user; empty after a success.
  QString lastError() const override { return lastError_; }
  bool refusedByDesktop() const override { return refused_; }

 private:
  // The portal's picture for one request, or a null image with `error` set.
  QImage takePicture(QString& error);
  QRect primaryIn(QSize picture) const;
  // Whether the desktop keeps a "no" to screenshots for programs outside a sandbox.
  bool screenshotsDenied() const;

  QDBusConnection bus_;
  DesktopSource desktop_;
  std::chrono::milliseconds timeout_;
  std::chrono::milliseconds patience_;
  QSize lastPicture_;
  QString lastError_;
  bool refused_ = false;
  unsigned requests_ = 0;
};

}  // namespace lumora
