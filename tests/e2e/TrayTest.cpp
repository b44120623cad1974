// The tray program as a user meets it: a private Xvfb with trayer as the tray
// host, keys and clicks from xdotool, and the files and store it leaves behind.
#include <gtest/gtest.h>

#include <QFile>
#include <QThread>

#include "QtPrinters.h"
#include "StoreFile.h"
#include "TrayDriver.h"

using namespace lumora::test;

TEST(Tray, FirstRunWelcomesBeforeTheSplashThenStoresTheDefaults) {
  TrayDriver ui;
  ui.start();
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Information"); })) << "no welcome box";
  EXPECT_FALSE(ui.visible("WelcomeScreen")) << "the welcome comes before the splash";
  ui.xdo({"key", "Return"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible("WelcomeScreen"); }));
  EXPECT_TRUE(QFile::exists(ui.registry)) << "the defaults are stored at once";
  EXPECT_EQ(StoreValue(ui.registry, "FileDescription"), QStringLiteral("\"Screen\""));
  ASSERT_TRUE(ui.waitReady());
  EXPECT_FALSE(ui.visible("WelcomeScreen")) << "the splash is gone when the icon is there";

  // A second program on the same display opens the running one's window and leaves.
  const ProcessResult second = RunProcess(QStringLiteral(LUMORA_BINARY), {}, ui.server.display(), 20000,
                                          {QStringLiteral("LUMORA_REGISTRY=") + ui.registry});
  EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
  EXPECT_TRUE(WaitFor([&] { return ui.visible("Lumora 2002 - Version 2.7.0"); }));
}

TEST(Tray, EndingTheSessionEndsTheProgramThroughItsExitSequence) {
  TrayDriver ui;
  ASSERT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  SetStoreValue(ui.registry, "Text", QStringLiteral("\"changed by hand\""));
  lumora.terminate();  // SIGTERM, as a desktop session sends at logout
  ASSERT_TRUE(lumora.waitForFinished(15000));
  EXPECT_EQ(lumora.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(StoreValue(ui.registry, "Text"), QStringLiteral("\"Ausgabetext\"")) << "the settings were saved";
}

TEST(Tray, HotkeyAndMenuCapturesWithAndWithoutThePopupThenExitSaves) {
  TrayDriver ui;
  ASSERT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());

  ui.xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(ui.shot("Screen 00000.bmp"));
  EXPECT_TRUE(WaitFor([&] { return ui.visible("Lumora Info"); })) << "a hotkey capture shows the popup";
  EXPECT_TRUE(WaitFor([&] { return !ui.visible("Lumora Info"); })) << "the popup closes by itself";

  // The lock keys do not get in the way.
  ui.xdo({"key", "Num_Lock"});
  ui.xdo({"key", "ctrl+alt+s"});
  EXPECT_TRUE(ui.shot("Screen 00001.bmp")) << "with NumLock on";
  ui.xdo({"key", "Num_Lock", "Caps_Lock"});
  ui.xdo({"key", "ctrl+alt+s"});
  EXPECT_TRUE(ui.shot("Screen 00002.bmp")) << "with CapsLock on";
  ui.xdo({"key", "Caps_Lock"});
  WaitFor([&] { return !ui.visible("Lumora Info"); });

  // "  Bestätigungen unterdrücken": Optionen > third item.
  ui.menu({"Down", "Down", "Down", "Down", "Down", "Right", "Down", "Down", "Return"});
  ui.xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(ui.shot("Screen 00003.bmp"));
  QThread::msleep(500);
  EXPECT_FALSE(ui.visible("Lumora Info")) << "suppressed";

  // "Screenshot!" from the menu never shows the popup.
  ui.menu({"Down", "Down", "Down", "Return"});
  ASSERT_TRUE(ui.shot("Screen 00004.bmp"));

  // "Beenden" stores the settings and ends the program.
  SetStoreValue(ui.registry, "Text", QStringLiteral("\"changed by hand\""));
  ASSERT_TRUE(ui.quit(lumora));
  EXPECT_EQ(lumora.exitCode(), 0);
  EXPECT_EQ(StoreValue(ui.registry, "Text"), QStringLiteral("\"Ausgabetext\"")) << "the exit save wrote the settings";
  EXPECT_EQ(StoreValue(ui.registry, "FileDir"), QStringLiteral("\"%1\"").arg(ui.folder));
}

TEST(Tray, LettersChangedInTheDialogWorkAtOnceAndAfterARestart) {
  TrayDriver ui;
  ASSERT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());

  // "  Shortcuts personalisieren...": Optionen > fourth item; X for the capture, then past
  // the three rows to "Übernehmen".
  ui.menu({"Down", "Down", "Down", "Down", "Down", "Right", "Down", "Down", "Down", "Return"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Lumora - Shortcuts personalisieren"); }));
  ui.xdo({"key", "--delay", "80", "x", "Tab", "Tab", "Tab", "space"});
  ASSERT_TRUE(WaitFor([&] { return !ui.visible("Lumora - Shortcuts personalisieren"); }));
  EXPECT_EQ(StoreValue(ui.registry, "SC_Screen"), Dword('X')) << "stored at once";

  ui.xdo({"key", "ctrl+alt+s"});
  QThread::msleep(600);
  EXPECT_FALSE(QFile::exists(ui.folder + "Screen 00000.bmp")) << "the old letter is released";
  ui.xdo({"key", "ctrl+alt+x"});
  ASSERT_TRUE(ui.shot("Screen 00000.bmp"));
  ASSERT_TRUE(ui.quit(lumora));

  QProcess& again = ui.start();
  ASSERT_TRUE(ui.waitReady());
  ui.xdo({"key", "ctrl+alt+x"});
  EXPECT_TRUE(ui.shot("Screen 00001.bmp")) << "the letter survives a restart";
  EXPECT_TRUE(ui.quit(again));
}
