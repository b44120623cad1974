// The tray program as a user meets it: a private Xvfb with trayer as the tray
// host, keys and clicks from xdotool, and the files and store it leaves behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "QtPrinters.h"
#include "StoreFile.h"
#include "XvfbServer.h"

using namespace lumora::test;

namespace {

bool waitFor(const std::function<bool()>& done, int timeoutMs = 15000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QThread::msleep(50);
  }
  return true;
}

class Tray : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.running());
    server.startClient(QStringLiteral("trayer"),
                       {"--edge", "top", "--align", "left", "--widthtype", "pixel", "--width", "200", "--height",
                        "32", "--SetDockType", "false", "--SetPartialStrut", "false", "--transparent", "false"});
    registry = dir.filePath(QStringLiteral("registry.reg"));
    folder = dir.path() + QStringLiteral("/shots/");
    QDir().mkpath(folder);
  }

  void TearDown() override {
    if (lumora.state() != QProcess::NotRunning) {
      ::kill(pid_t(lumora.processId()), SIGKILL);
      lumora.waitForFinished(5000);
    }
  }

  // A store as a first run leaves it, with the shots going to the test's folder.
  void seedStore() {
    const ProcessResult r =
        RunProcess(QStringLiteral(LUMORA_BINARY), {"--capture", "--delay", "0", "--output", dir.filePath("seed.bmp")},
                   server.display(), 60000, {QStringLiteral("LUMORA_REGISTRY=") + registry});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_TRUE(SetStoreValue(registry, "FileDir", QStringLiteral("\"%1\"").arg(folder)));
  }

  void start(QProcess& process) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", server.display());
    env.insert("LUMORA_REGISTRY", registry);
    env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    env.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(LUMORA_BINARY), {});
    ASSERT_TRUE(process.waitForStarted(10000));
  }

  QString xdo(const QStringList& args) {
    return QString::fromUtf8(RunProcess(QStringLiteral("xdotool"), args, server.display(), 20000).out).trimmed();
  }
  bool visible(const QString& title) {
    return !xdo({"search", "--onlyvisible", "--name", "^" + title + "$"}).isEmpty();
  }
  // The icon is the small visible window of the program inside the tray.
  bool iconShown() {
    for (const QString& w : xdo({"search", "--onlyvisible", "--class", "lumora"}).split('\n', Qt::SkipEmptyParts)) {
      const QString geometry = xdo({"getwindowgeometry", w});
      if (geometry.contains("Geometry: 22x") || geometry.contains("Geometry: 2") || geometry.contains("x30"))
        return !geometry.contains("210x310");
    }
    return false;
  }
  void waitReady() { ASSERT_TRUE(waitFor([&] { return iconShown(); })) << "no tray icon"; }
  // Opens the tray menu and walks it with the keyboard.
  void menu(const QStringList& keys) {
    xdo({"mousemove", "10", "15", "click", "3"});
    QThread::msleep(400);
    xdo(QStringList{"key", "--delay", "80"} + keys);
    QThread::msleep(300);
  }
  bool shot(const char* name) {
    return waitFor([&] { return QFile::exists(folder + QLatin1String(name)); });
  }

  XvfbServer server{1024, 768};
  QTemporaryDir dir;
  QString registry, folder;
  QProcess lumora;
};

}  // namespace

TEST_F(Tray, FirstRunWelcomesBeforeTheSplashThenStoresTheDefaults) {
  start(lumora);
  ASSERT_TRUE(waitFor([&] { return visible("Information"); })) << "no welcome box";
  EXPECT_FALSE(visible("WelcomeScreen")) << "the welcome comes before the splash";
  xdo({"key", "Return"});
  ASSERT_TRUE(waitFor([&] { return visible("WelcomeScreen"); }));
  EXPECT_TRUE(QFile::exists(registry)) << "the defaults are stored at once";
  EXPECT_EQ(StoreValue(registry, "FileDescription"), QStringLiteral("\"Screen\""));
  waitReady();
  EXPECT_FALSE(visible("WelcomeScreen")) << "the splash is gone when the icon is there";

  // A second program on the same display says so and leaves.
  const ProcessResult second = RunProcess(QStringLiteral(LUMORA_BINARY), {}, server.display(), 20000,
                                          {QStringLiteral("LUMORA_REGISTRY=") + registry});
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_TRUE(second.err.contains("already running")) << second.err.toStdString();
}

TEST_F(Tray, HotkeyAndMenuCapturesWithAndWithoutThePopupThenExitSaves) {
  seedStore();
  start(lumora);
  waitReady();

  xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(shot("Screen 00000.bmp"));
  EXPECT_TRUE(waitFor([&] { return visible("Lumora Info"); })) << "a hotkey capture shows the popup";
  EXPECT_TRUE(waitFor([&] { return !visible("Lumora Info"); })) << "the popup closes by itself";

  // The lock keys do not get in the way.
  xdo({"key", "Num_Lock"});
  xdo({"key", "ctrl+alt+s"});
  EXPECT_TRUE(shot("Screen 00001.bmp")) << "with NumLock on";
  xdo({"key", "Num_Lock", "Caps_Lock"});
  xdo({"key", "ctrl+alt+s"});
  EXPECT_TRUE(shot("Screen 00002.bmp")) << "with CapsLock on";
  xdo({"key", "Caps_Lock"});
  waitFor([&] { return !visible("Lumora Info"); });

  // "  Bestätigungen unterdrücken": Optionen > third item.
  menu({"Down", "Down", "Down", "Down", "Right", "Down", "Down", "Return"});
  xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(shot("Screen 00003.bmp"));
  QThread::msleep(500);
  EXPECT_FALSE(visible("Lumora Info")) << "suppressed";

  // "Screenshot!" from the menu never shows the popup.
  menu({"Down", "Down", "Down", "Return"});
  ASSERT_TRUE(shot("Screen 00004.bmp"));

  // "Beenden" stores the settings and ends the program.
  SetStoreValue(registry, "Text", QStringLiteral("\"changed by hand\""));
  menu({"Up", "Return"});
  ASSERT_TRUE(lumora.waitForFinished(15000));
  EXPECT_EQ(lumora.exitCode(), 0);
  EXPECT_EQ(StoreValue(registry, "Text"), QStringLiteral("\"Ausgabetext\"")) << "the exit save wrote the settings";
  EXPECT_EQ(StoreValue(registry, "FileDir"), QStringLiteral("\"%1\"").arg(folder));
}

TEST_F(Tray, LettersChangedInTheDialogWorkAtOnceAndAfterARestart) {
  seedStore();
  start(lumora);
  waitReady();

  // "  Shortcuts personalisieren...": Optionen > fourth item; X for the capture.
  menu({"Down", "Down", "Down", "Down", "Right", "Down", "Down", "Down", "Return"});
  ASSERT_TRUE(waitFor([&] { return visible("Lumora - Shortcuts personalisieren"); }));
  xdo({"key", "--delay", "80", "x", "Tab", "Tab", "space"});
  ASSERT_TRUE(waitFor([&] { return !visible("Lumora - Shortcuts personalisieren"); }));
  EXPECT_EQ(StoreValue(registry, "SC_Screen"), QStringLiteral("dword:00000058")) << "stored at once";

  xdo({"key", "ctrl+alt+s"});
  QThread::msleep(600);
  EXPECT_FALSE(QFile::exists(folder + "Screen 00000.bmp")) << "the old letter is released";
  xdo({"key", "ctrl+alt+x"});
  ASSERT_TRUE(shot("Screen 00000.bmp"));

  menu({"Up", "Return"});
  ASSERT_TRUE(lumora.waitForFinished(15000));

  QProcess again;
  start(again);
  waitReady();
  xdo({"key", "ctrl+alt+x"});
  EXPECT_TRUE(shot("Screen 00001.bmp")) << "the letter survives a restart";
  menu({"Up", "Return"});
  EXPECT_TRUE(again.waitForFinished(15000));
  if (again.state() != QProcess::NotRunning) ::kill(pid_t(again.processId()), SIGKILL);
}
