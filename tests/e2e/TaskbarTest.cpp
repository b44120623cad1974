// No window of the tray program asks a window manager for a taskbar button: each
// carries the skip-taskbar mark from before it is mapped, which is when window
// managers read it.
#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "TrayDriver.h"

using namespace lumora::test;

namespace {

QString WindowState(TrayDriver& ui, const QString& id) {
  return QString::fromUtf8(RunProcess(QStringLiteral("xprop"), {"-id", id, "_NET_WM_STATE"}, ui.server.display(), 20000).out);
}

// The first visible window of that title.
QString WindowId(TrayDriver& ui, const QString& title) {
  return ui.xdo({"search", "--onlyvisible", "--name", "^" + title + "$"}).section('\n', 0, 0);
}

void ExpectNoTaskbarButton(TrayDriver& ui, const QString& what, const QString& id) {
  ASSERT_FALSE(id.isEmpty()) << what.toStdString();
  const QString state = WindowState(ui, id);
  EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR"))) << what.toStdString() << ": " << state.toStdString();
  EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_SKIP_PAGER"))) << what.toStdString() << ": " << state.toStdString();
}

}  // namespace

TEST(Taskbar, NoWindowOfTheProgramGetsAButton) {
  TrayDriver ui;
  QProcess& lumora = ui.start();  // a first run: the welcome comes first
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Information"); }));
  ExpectNoTaskbarButton(ui, "welcome box", WindowId(ui, "Information"));
  ui.xdo({"key", "Return"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible("WelcomeScreen"); }));
  ExpectNoTaskbarButton(ui, "splash", WindowId(ui, "WelcomeScreen"));
  ASSERT_TRUE(ui.waitReady());

  const QString options = QStringLiteral("Lumora 2002 - Version 2.7.0");
  ui.menu({"Down", "Return"});  // "Lumora anzeigen"
  ASSERT_TRUE(WaitFor([&] { return ui.visible(options); }));
  ExpectNoTaskbarButton(ui, "options window", WindowId(ui, options));

  const QString shortcuts = QStringLiteral("Lumora - Shortcuts personalisieren");
  ui.menu({"Down", "Down", "Down", "Down", "Down", "Right", "Down", "Down", "Down", "Return"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible(shortcuts); }));
  ExpectNoTaskbarButton(ui, "shortcut dialog", WindowId(ui, shortcuts));
  ui.xdo({"key", "Escape"});
  ASSERT_TRUE(WaitFor([&] { return !ui.visible(shortcuts); }));

  // The overlay, found as the window its magnifier belongs to. Enter accepts
  // the empty selection, which the zero-area message reports.
  ui.menu({"Down", "Down", "Return"});  // "Bereich auswählen"
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Toolbox"); }));
  const QString magnifier = WindowId(ui, "Toolbox");
  ExpectNoTaskbarButton(ui, "magnifier", magnifier);
  const QString transientFor = QString::fromUtf8(
      RunProcess(QStringLiteral("xprop"), {"-id", magnifier, "WM_TRANSIENT_FOR"}, ui.server.display(), 20000).out);
  const QString overlay = transientFor.section(QStringLiteral("window id # "), 1).trimmed();
  ExpectNoTaskbarButton(ui, "overlay", overlay);
  ui.xdo({"key", "Return"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Information"); })) << "Enter accepted";
  ExpectNoTaskbarButton(ui, "message from the overlay", WindowId(ui, "Information"));
  ui.xdo({"key", "Return"});
  ASSERT_TRUE(WaitFor([&] { return !ui.visible("Toolbox") && !ui.visible("Information"); }));

  EXPECT_TRUE(ui.quit(lumora));
}
