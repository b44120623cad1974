// Lumora under the window managers and panels people run, each on its own X
// server: Openbox with tint2 (an embedding tray) and Xfce's xfwm4 with its panel
// on a session bus (a status notifier host). One desktop per test; the cases
// each desktop goes through are the table of checks below.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <sys/wait.h>

#include "QtPrinters.h"
#include "TrayDriver.h"

using namespace lumora::test;

namespace {

const QString kOptions = QStringLiteral("Lumora 2002 - Version 2.7.0");

// A session bus with the desktop's services (Xfce's settings daemon is started
// by it), stopped by its process id.
struct SessionBus {
  SessionBus() {
    daemon.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    if (daemon.waitForStarted(10000) && daemon.waitForReadyRead(10000))
      address = QString::fromUtf8(daemon.readLine()).trimmed();
  }
  ~SessionBus() {
    if (daemon.state() == QProcess::NotRunning) return;
    ::kill(pid_t(daemon.processId()), SIGTERM);
    daemon.waitForFinished(5000);
  }
  QProcess daemon;
  QString address;
};

struct Desktop {
  TrayDriver ui{1280, 800, {.trayHost = false}};
  std::unique_ptr<SessionBus> bus;
  QStringList env;  // for every program of the session
  pid_t panel = -1;
  QString panelProgram;
  QStringList panelArgs;

  ProcessResult run(const QString& program, const QStringList& args) {
    return RunProcess(program, args, ui.server.display(), 20000, env);
  }
  QString text(const QString& program, const QStringList& args) {
    return QString::fromUtf8(run(program, args).out).trimmed();
  }
  void startPanel() { panel = ui.server.startClient(panelProgram, panelArgs, env); }
  void stopPanel() { ui.server.stopClient(panel); }
  QString lumora(const QStringList& args) {
    return QString::fromUtf8(RunProcess(QStringLiteral(LUMORA_BINARY), args, ui.server.display(), 20000,
                                        env + QStringList{"LUMORA_REGISTRY=" + ui.registry})
                                 .err);
  }
  // The windows of one root property, bottom to top for the stacking list.
  QStringList rootWindows(const QString& property) {
    const QString line = text("xprop", {"-root", property});
    QStringList ids;
    for (const auto& m : QRegularExpression("0x[0-9a-f]+").globalMatch(line)) ids << m.captured(0);
    return ids;
  }
  QString active() { return rootWindows("_NET_ACTIVE_WINDOW").value(0); }
  int stackPlace(const QString& id) { return int(rootWindows("_NET_CLIENT_LIST_STACKING").indexOf(id)); }
  QString window(const QString& title) {
    const QString id = ui.xdo({"search", "--onlyvisible", "--name", "^" + title + "$"}).section('\n', 0, 0);
    return id.isEmpty() ? id : QStringLiteral("0x%1").arg(id.toULongLong(), 0, 16);
  }
  QString property(const QString& id, const QString& name) { return text("xprop", {"-id", id, name}); }
};

// The status notifier items the panel knows, and the first one's bus name.
QString Items(Desktop& d) {
  return d.text("gdbus", {"call", "--session", "-d", "org.kde.StatusNotifierWatcher", "-o", "/StatusNotifierWatcher",
                          "-m", "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierWatcher",
                          "RegisteredStatusNotifierItems"});
}
QString ItemService(Desktop& d) {
  return QRegularExpression("'(:[0-9.]+)/StatusNotifierItem'").match(Items(d)).captured(1);
}

void ExpectNoMinimise(Desktop& d, const QString& what, const QString& id) {
  ASSERT_FALSE(id.isEmpty()) << what.toStdString();
  const QString actions = d.property(id, "_NET_WM_ALLOWED_ACTIONS");
  EXPECT_TRUE(actions.contains("_NET_WM_ACTION_CLOSE")) << what.toStdString() << ": " << actions.toStdString();
  EXPECT_FALSE(actions.contains("_NET_WM_ACTION_MINIMIZE")) << what.toStdString() << ": " << actions.toStdString();
}

// Closed through the window manager, as the user closes it.
void CloseOptions(Desktop& d) {
  ASSERT_TRUE(WaitFor([&] { return d.active() == d.window(kOptions); }));
  d.ui.xdo({"key", "alt+F4"});
  ASSERT_TRUE(WaitFor([&] { return d.window(kOptions).isEmpty(); }));
}

// The checks every desktop goes through; the tray's own ways in differ.
void Overlay(Desktop& d, const QStringList& panelWindows) {
  d.lumora({"--select"});
  ASSERT_TRUE(WaitFor([&] { return !d.window("Toolbox").isEmpty(); }));
  QThread::msleep(500);
  const QString toolbox = d.window("Toolbox");
  const QString overlay = d.property(toolbox, "WM_TRANSIENT_FOR").section("# ", 1).trimmed();
  const QString info = d.text("xwininfo", {"-id", overlay});
  EXPECT_TRUE(info.contains("Absolute upper-left X:  0") && info.contains("Absolute upper-left Y:  0") &&
              info.contains("Width: 1280") && info.contains("Height: 800"))
      << "the whole monitor, not moved below a panel: " << info.toStdString();
  EXPECT_EQ(d.active(), overlay) << "the overlay has the keyboard";
  EXPECT_GT(d.stackPlace(toolbox), d.stackPlace(overlay)) << "the Toolbox above the overlay";
  for (const QString& panel : panelWindows)
    EXPECT_GT(d.stackPlace(overlay), d.stackPlace(panel)) << "the overlay above the panel " << panel.toStdString();
  ExpectNoMinimise(d, "Toolbox", toolbox);
  d.ui.xdo({"key", "F12"});
  ASSERT_TRUE(WaitFor([&] { return d.window("Toolbox").isEmpty(); }));
}

void FocusAndRestore(Desktop& d) {
  d.lumora({"--show"});
  ASSERT_TRUE(WaitFor([&] { return !d.window(kOptions).isEmpty(); }));
  const QString options = d.window(kOptions);
  ExpectNoMinimise(d, "options window", options);
  // Another program's window over it, with the keyboard.
  d.ui.server.startClient("xmessage", {"-name", "other", "-title", "other", "-geometry", "500x300+400+250", "other"},
                          d.env);
  ASSERT_TRUE(WaitFor([&] { return !d.window("other").isEmpty(); }));
  const QString other = d.window("other");
  d.ui.xdo({"mousemove", "650", "300", "click", "1"});
  ASSERT_TRUE(WaitFor([&] { return d.active() == other; }));
  d.lumora({"--shot"});
  ASSERT_TRUE(d.ui.shot("Screen 00000.bmp"));
  QThread::msleep(800);
  EXPECT_EQ(d.active(), other) << "the capture took the keyboard";
  EXPECT_LT(d.stackPlace(options), d.stackPlace(other)) << "the capture raised the window";
  // Minimised (where the manager still does it), then asked for again.
  d.ui.xdo({"windowminimize", QString::number(options.toULongLong(nullptr, 16))});
  QThread::msleep(500);
  d.lumora({"--show"});
  EXPECT_TRUE(WaitFor([&] { return d.text("xwininfo", {"-id", options}).contains("IsViewable"); }));
  EXPECT_TRUE(WaitFor([&] { return d.active() == options; })) << "shown, raised and with the keyboard";
  EXPECT_GT(d.stackPlace(options), d.stackPlace(other));
}

}  // namespace

TEST(DesktopSessions, OpenboxWithTint2) {
  Desktop d;
  d.env = {"DBUS_SESSION_BUS_ADDRESS=disabled:", "HOME=" + d.ui.dir.path(),
           "XDG_CONFIG_HOME=" + d.ui.dir.path() + "/config"};
  ASSERT_TRUE(d.ui.seedStore());
  d.ui.server.startClient("openbox", {"--sm-disable"}, d.env);
  ASSERT_TRUE(WaitFor([&] { return !d.rootWindows("_NET_SUPPORTING_WM_CHECK").isEmpty(); }));
  d.panelProgram = "tint2";
  d.startPanel();
  QProcess& lumora = d.ui.start(d.env);
  ASSERT_TRUE(d.ui.waitReady());
  // The icon in tint2's tray (at the bottom right): the menu at the pointer,
  // its first item, a double click.
  QString icon;
  for (const QString& w : d.ui.xdo({"search", "--onlyvisible", "--class", "lumora"}).split('\n', Qt::SkipEmptyParts))
    if (d.ui.xdo({"getwindowgeometry", w}).contains("Geometry: 22x")) icon = w;
  ASSERT_FALSE(icon.isEmpty());
  d.ui.xdo({"mousemove", "--window", icon, "11", "11", "click", "3"});
  QThread::msleep(500);
  d.ui.xdo({"key", "Down", "Return"});
  EXPECT_TRUE(WaitFor([&] { return !d.window(kOptions).isEmpty(); })) << "\"Lumora anzeigen\" from the icon's menu";
  CloseOptions(d);
  d.ui.xdo({"mousemove", "--window", icon, "11", "11", "click", "--repeat", "2", "--delay", "80", "1"});
  EXPECT_TRUE(WaitFor([&] { return !d.window(kOptions).isEmpty(); })) << "the double click";
  CloseOptions(d);

  Overlay(d, {});
  FocusAndRestore(d);
  EXPECT_TRUE(d.lumora({"--quit"}).isEmpty());
  EXPECT_TRUE(lumora.waitForFinished(15000));
}

TEST(DesktopSessions, XfceWithItsPanelOnASessionBus) {
  Desktop d;
  d.bus = std::make_unique<SessionBus>();
  ASSERT_FALSE(d.bus->address.isEmpty());
  d.env = {"DBUS_SESSION_BUS_ADDRESS=" + d.bus->address, "HOME=" + d.ui.dir.path(),
           "XDG_CONFIG_HOME=" + d.ui.dir.path() + "/config", "XDG_CACHE_HOME=" + d.ui.dir.path() + "/cache"};
  ASSERT_TRUE(d.ui.seedStore());
  d.ui.server.startClient("xfwm4", {"--compositor=off"}, d.env);
  ASSERT_TRUE(WaitFor([&] { return !d.rootWindows("_NET_SUPPORTING_WM_CHECK").isEmpty(); }));
  // Lumora first, as at a login where the panel comes later: the icon waits for it.
  QProcess& lumora = d.ui.start(d.env);
  QThread::msleep(2500);
  d.panelProgram = "xfce4-panel";
  d.startPanel();
  ASSERT_TRUE(WaitFor([&] { return !ItemService(d).isEmpty(); }, 20000)) << Items(d).toStdString();
  const QString item = ItemService(d);

  // The host shows the icon's own menu, read over the bus.
  const QString menuPath = d.text("gdbus", {"call", "--session", "-d", item, "-o", "/StatusNotifierItem", "-m",
                                            "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierItem", "Menu"});
  ASSERT_FALSE(menuPath.contains("NO_DBUSMENU")) << menuPath.toStdString();
  const QString path = QRegularExpression("'(/[^']*)'").match(menuPath).captured(1);
  const QString layout = d.text("gdbus", {"call", "--session", "-d", item, "-o", path, "-m",
                                          "com.canonical.dbusmenu.GetLayout", "--", "0", "-1", "[\"label\"]"});
  QStringList labels;
  for (const auto& m : QRegularExpression("'label': <'([^']*)'>").globalMatch(layout)) labels << m.captured(1);
  for (const char* label : {"Lumora anzeigen", "Bereich auswählen", "Screenshot!", "Optionen",
                            "Deinstallieren und Beenden", "Einstellungen zurücksetzen", "  Bestätigungen unterdrücken",
                            "  Shortcuts personalisieren...", "Zielordner öffnen (Explorer)", "Menü schließen",
                            "Beenden"})
    EXPECT_TRUE(labels.contains(QString::fromUtf8(label))) << label << " in " << labels.join('|').toStdString();
  // A double click on the icon arrives as two activations: the window opens once.
  for (int i = 0; i < 2; ++i)
    d.run("gdbus", {"call", "--session", "-d", item, "-o", "/StatusNotifierItem", "-m",
                    "org.kde.StatusNotifierItem.Activate", "0", "0"});
  EXPECT_TRUE(WaitFor([&] { return !d.window(kOptions).isEmpty(); })) << "the host's activation";
  EXPECT_EQ(d.ui.xdo({"search", "--onlyvisible", "--name", "^" + kOptions + "$"}).count('\n'), 0);
  CloseOptions(d);

  // The panel restarts: the icon comes back to it.
  d.stopPanel();
  QThread::msleep(500);
  d.startPanel();
  EXPECT_TRUE(WaitFor([&] { return !ItemService(d).isEmpty(); }, 20000)) << "back in the restarted panel";

  QStringList panels;
  for (const QString& w : d.ui.xdo({"search", "--onlyvisible", "--class", "xfce4-panel"}).split('\n', Qt::SkipEmptyParts))
    if (d.stackPlace(QStringLiteral("0x%1").arg(w.toULongLong(), 0, 16)) >= 0)
      panels << QStringLiteral("0x%1").arg(w.toULongLong(), 0, 16);
  EXPECT_FALSE(panels.isEmpty());
  Overlay(d, panels);
  FocusAndRestore(d);
  EXPECT_TRUE(d.lumora({"--quit"}).isEmpty());
  EXPECT_TRUE(lumora.waitForFinished(15000));
}
