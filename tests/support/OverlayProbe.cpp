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
  QString error;
  const std::optional<Desktop> chosen = Desktop::FromEnvironment(QProcessEnvironment::systemEnvironment(), error);
  if (!chosen) return 2;
  chosen->chooseQtPlatform();
  QApplication app(argc, argv);
  StreamDialogs dialogs(stderr, true);
  DesktopServices desktop = chosen->trayServices();
  ScreenGrab grab(*desktop.screen, dialogs, std::chrono::milliseconds(0));
  TfrmAuswahl overlay(grab, dialogs);
  TfrmAuswahlInfo magnifier(desktop.screen->size(), &overlay);
  overlay.attachMagnifier(magnifier);
  overlay.setPlacement(desktop.windows->placesWindows() ? TfrmAuswahl::Placement::FullScreen
                                                        : TfrmAuswahl::Placement::Self);
  QTimer::singleShot(0, &app, [&] {
    const ScreenRect r = overlay.SelectRegion(3, 12, {10, 20, 30, 40});
    std::printf("%d,%d,%d,%d\n", r.Left, r.Top, r.Right, r.Bottom);
    std::fflush(stdout);
    app.quit();
  });
  return app.exec();
}
