// The options window and the system actions of the running program, and an
// unattended interval capture, on a private Xvfb with trayer.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <csignal>

#include "Fakes.h"
#include "QtPrinters.h"
#include "StoreFile.h"
#include "TrayDriver.h"

using namespace lumora::test;

namespace {

const QString kOptions = QStringLiteral("Lumora 2002 - Version 2.7.0");

// Clicks at a point of the options window (in its own coordinates).
void clickInOptions(TrayDriver& ui, QPoint p) {
  const QString id = ui.xdo({"search", "--onlyvisible", "--name", "^" + kOptions + "$"}).section('\n', 0, 0);
  ui.xdo({"mousemove", "--window", id, QString::number(p.x()), QString::number(p.y())});
  QThread::msleep(100);
  ui.xdo({"click", "1"});
  QThread::msleep(300);
}

void openOptions(TrayDriver& ui) {
  ui.menu({"Down", "Return"});  // "Lumora anzeigen"
  ASSERT_TRUE(WaitFor([&] { return ui.visible(kOptions); }));
}

// A seeded program with its options window open on " Grafikformat ", PNG chosen.
QProcess& StartAndChoosePng(TrayDriver& ui) {
  EXPECT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start();
  EXPECT_TRUE(ui.waitReady());
  openOptions(ui);
  clickInOptions(ui, {110, 11});  // the tab " Grafikformat "
  clickInOptions(ui, {30, 112});  // "PNG", the fourth item
  return lumora;
}

QString screensaverTimeout(TrayDriver& ui) {
  const QString q = QString::fromUtf8(RunProcess("xset", {"q"}, ui.server.display()).out);
  return QRegularExpression(QStringLiteral("timeout:\\s+(\\d+)")).match(q).captured(1);
}

qint64 residentKiB(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  const QString text = QString::fromUtf8(status.readAll());
  return QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+)")).match(text).captured(1).toLongLong();
}

}  // namespace

TEST(Options, AFormatChosenInTheWindowTakesEffectAtTheNextCaptureAndSurvivesARestart) {
  TrayDriver ui;
  QProcess& lumora = StartAndChoosePng(ui);
  clickInOptions(ui, {243, 300});  // the big capture button
  ASSERT_TRUE(ui.shot("Screen 00000.png")) << "the window's format reached the capture";
  EXPECT_TRUE(WaitFor([&] { return ui.visible(kOptions); })) << "the window comes back after the capture";

  ASSERT_TRUE(ui.quit(lumora));
  EXPECT_EQ(StoreValue(ui.registry, "FileSuffix"), QStringLiteral("\".png\""));

  QProcess& again = ui.start();
  ASSERT_TRUE(ui.waitReady());
  ui.xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(ui.shot("Screen 00001.png")) << "the format survives a restart";
  EXPECT_TRUE(ui.quit(again));
  EXPECT_EQ(DecodeWithImageMagick(ui.folder + QStringLiteral("/Screen 00001.png")).size(), QSize(1024, 768));
}

TEST(Options, AChangeMadeJustBeforeTheXServerDiesIsSaved) {
  TrayDriver ui;
  QProcess& lumora = StartAndChoosePng(ui);
  // The program is ended by Qt the moment the server is gone, long before the
  // usual pause after a change has passed.
  QThread::msleep(150);
  ui.server.crash();
  ASSERT_TRUE(lumora.waitForFinished(15000));
  EXPECT_EQ(StoreValue(ui.registry, "FileSuffix"), QStringLiteral("\".png\""));
}

TEST(Options, TheScreensaverSwitchShowsInTheServersSettings) {
  TrayDriver ui;
  ASSERT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  const QString atStart = screensaverTimeout(ui);
  ASSERT_FALSE(atStart.isEmpty());
  openOptions(ui);

  clickInOptions(ui, {55, 300});  // "Screensaver Off": the first click switches it on
  EXPECT_EQ(screensaverTimeout(ui), atStart == "0" ? QString() : atStart);
  clickInOptions(ui, {55, 300});  // and the second off
  EXPECT_EQ(screensaverTimeout(ui), QStringLiteral("0"));
  EXPECT_TRUE(ui.quit(lumora));
}

TEST(Options, ResetBringsTheDefaultsAndUninstallLeavesNoStore) {
  TrayDriver ui;
  ASSERT_TRUE(ui.seedStore());
  ASSERT_TRUE(SetStoreValue(ui.registry, "Text", QStringLiteral("\"Bericht\"")));
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());

  // Optionen > "Einstellungen zurücksetzen", answered Yes.
  ui.menu({"Down", "Down", "Down", "Down", "Down", "Right", "Down", "Return"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Bestätigung"); }));
  ui.xdo({"key", "Return"});
  ASSERT_TRUE(WaitFor([&] { return !QFile::exists(ui.registry); })) << "the stored settings are removed";
  ASSERT_TRUE(ui.quit(lumora));
  EXPECT_EQ(StoreValue(ui.registry, "Text"), QStringLiteral("\"Ausgabetext\"")) << "the exit stores the defaults";
  EXPECT_TRUE(StoreValue(ui.registry, "SC_Screen").isEmpty()) << "the letters are not part of the exit save";

  // Optionen > "Deinstallieren und Beenden", answered Yes: the program ends and
  // leaves no store behind.
  QProcess& again = ui.start();
  ASSERT_TRUE(ui.waitReady());
  ui.menu({"Down", "Down", "Down", "Down", "Down", "Right", "Return"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Bestätigung"); }));
  ui.xdo({"key", "Return"});
  ASSERT_TRUE(again.waitForFinished(15000));
  EXPECT_FALSE(QFile::exists(ui.registry));
}

TEST(Options, ARepeatingZeroSecondTimerTakesFiveHundredCapturesWithoutGapsOrGrowth) {
  TrayDriver ui(320, 240);
  ASSERT_TRUE(ui.seedStore());
  for (const char* name : {"ValHour", "ValMin", "ValSec"}) ASSERT_TRUE(SetStoreValue(ui.registry, name, Dword(0)));
  ASSERT_TRUE(SetStoreValue(ui.registry, "Loop", Dword(1)));
  ASSERT_TRUE(SetStoreValue(ui.registry, "TimerAutoStart", Dword(1)));
  // The timer starts by itself; a faster tick keeps the run short.
  QProcess& lumora = ui.start({QStringLiteral("LUMORA_TIMER_PERIOD_MS=20")});

  auto name = [](int n) { return QStringLiteral("Screen %1.bmp").arg(n, 5, 10, QLatin1Char('0')); };
  ASSERT_TRUE(WaitFor([&] { return QFile::exists(ui.folder + name(50)); }, 120000));
  const qint64 after50 = residentKiB(lumora.processId());
  ASSERT_TRUE(WaitFor([&] { return QFile::exists(ui.folder + name(500)); }, 600000));
  const qint64 after500 = residentKiB(lumora.processId());
  std::printf("resident memory: %lld KiB after 50 captures, %lld KiB after 500\n", after50, after500);

  for (int n = 0; n <= 500; ++n) ASSERT_TRUE(QFile::exists(ui.folder + name(n))) << "gap at " << n;
  EXPECT_LE(after500, after50 * 105 / 100);
}

TEST(Options, AChoiceInTheWindowIsSavedAMomentLaterWithoutWaitingForTheExit) {
  // A lost display, a crash or a power cut ends the program without its exit
  // sequence; what the user chose is in the store already.
  TrayDriver ui;
  QProcess& lumora = StartAndChoosePng(ui);
  EXPECT_TRUE(WaitFor([&] { return StoreValue(ui.registry, "FileSuffix") == QStringLiteral("\".png\""); }, 5000));
  ::kill(pid_t(lumora.processId()), SIGKILL);
  lumora.waitForFinished(5000);
  EXPECT_EQ(StoreValue(ui.registry, "FileSuffix"), QStringLiteral("\".png\""));
}
