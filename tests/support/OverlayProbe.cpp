// Opens the selection overlay as the tray program does on the chosen desktop and
// prints the rectangle it returns, so that end-to-end tests can look at the
// overlay where the tray program cannot be told to open it.
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "platform/Desktop.h"
#include "capture/ScreenGrab.h"
#include "app/cli/StreamDialogs.h"
#include "selection/TfrmAuswahl.h"
#include "selection/TfrmAuswahlInfo.h"

using namespace lumora;

int main(int argc, char** argv) {
  const BackendChoice choice = ChooseBackend(QProcessEnvironment::systemEnvironment());
  if (!choice.backend) return 2;
  const Backend backend = *choice.backend;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QtPlatformFor(backend));
  QApplication app(argc, argv);
  StreamDialogs dialogs(stderr, true);
  DesktopServices desktop = MakeDesktopServices(backend);
  ScreenGrab grab(*desktop.screen, dialogs, std::chrono::milliseconds(0));
  TfrmAuswahl overlay(grab, dialogs);
  TfrmAuswahlInfo magnifier(desktop.screen->size(), &overlay);
  overlay.attachMagnifier(magnifier);
  if (backend == Backend::Wayland) overlay.setPlacement([](QWidget& w, QSize) { PlaceOverlayFullScreen(w); });
  QTimer::singleShot(0, &app, [&] {
    const ScreenRect r = overlay.SelectRegion(3, 12, {10, 20, 30, 40});
    std::printf("%d,%d,%d,%d\n", r.Left, r.Top, r.Right, r.Bottom);
    std::fflush(stdout);
    app.quit();
  });
  return app.exec();
}
