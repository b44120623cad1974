// Nothing the user has is lost: concurrent captures, files placed under the next
// name, kills mid-write, servers without shared memory, absurd rectangles,
// signals and hotkeys at awkward moments, and the one program per server.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

#include "Fakes.h"
#include "StoreFile.h"
#include "TrayDriver.h"
#include "XvfbServer.h"

using namespace lumora::test;

namespace {

const QString kLumora = QStringLiteral(LUMORA_BINARY);

QStringList AllEntries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

TEST(Safety, TwentyCapturesStartedTogetherEachGetTheirOwnFile) {
  // One-shot captures only: the driver's server, store and folder, no tray host.
  TrayDriver ui(320, 240, {.trayHost = false});
  ASSERT_TRUE(ui.seedStore());
  // All of them find the same free name before any of them has written.
  std::vector<QProcess*> runs;
  for (int i = 0; i < 20; ++i) runs.push_back(&ui.start({}, {"--capture", "--delay", "400"}));
  QSet<QString> printed;
  for (QProcess* p : runs) {
    ASSERT_TRUE(p->waitForFinished(60000));
    EXPECT_EQ(p->exitCode(), 0);
    printed.insert(QString::fromUtf8(p->readAllStandardOutput()).trimmed());
  }
  EXPECT_EQ(printed.size(), 20) << "each run names its own file";
  EXPECT_EQ(AllEntries(ui.folder).size(), 20) << AllEntries(ui.folder).join(", ").toStdString();
  for (const QString& path : printed) EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
}

TEST(Safety, AFileUnderTheTrayProgramsNextNameSurvivesTheNextCapture) {
  TrayDriver ui;
  ASSERT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  ui.xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(ui.shot("Screen 00000.bmp"));

  // The user (or another program) puts a file where the next capture would go.
  {
    QFile mine(ui.folder + "Screen 00001.bmp");
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("the user's own file");
  }
  ui.xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(ui.shot("Screen 00002.bmp"));
  QFile mine(ui.folder + "Screen 00001.bmp");
  ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
  EXPECT_EQ(mine.readAll(), QByteArray("the user's own file"));

  // A one-shot capture in between takes the next number; the tray program's
  // following capture does not replace it.
  const ProcessResult r = RunProcess(kLumora, {"--capture", "--delay", "0"}, ui.server.display(), 60000,
                                     {"LUMORA_REGISTRY=" + ui.registry});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(r.out).trimmed(), ui.folder + "Screen 00003.bmp");
  const QDateTime oneShotWritten = QFileInfo(ui.folder + "Screen 00003.bmp").lastModified();
  QThread::msleep(20);
  ui.xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(ui.shot("Screen 00004.bmp"));
  EXPECT_EQ(QFileInfo(ui.folder + "Screen 00003.bmp").lastModified(), oneShotWritten);
  ASSERT_TRUE(ui.quit(lumora));
}

TEST(Safety, CapturesKilledAtRandomMomentsLeaveNoStrayFile) {
  TrayDriver ui(1600, 1200, {.trayHost = false});
  ASSERT_TRUE(ui.seedStore());
  const qint64 wholeFile = 54 + 1600 * 1200 * 3;
  QRandomGenerator random(12345);
  // Unnamed files survive any kill; the hidden-name fallback, which filesystems
  // without O_TMPFILE get, is cleaned up on the signals that ask a program to end.
  struct Mode {
    const char* env;
    std::vector<int> signals;
  };
  // A kill that no handler sees leaves the hidden name there; the next start
  // sweeps it away once it has lain untouched for a while.
  const Mode modes[] = {{"LUMORA_NO_O_TMPFILE=", {SIGKILL, SIGTERM}},
                        {"LUMORA_NO_O_TMPFILE=1", {SIGTERM, SIGINT, SIGHUP, SIGKILL}}};
  for (const Mode& mode : modes) {
    for (int i = 0; i < 25; ++i) {
      QProcess& p = ui.start({mode.env}, {"--capture", "--delay", "0"});
      QThread::msleep(random.bounded(40, 220));
      ::kill(pid_t(p.processId()), mode.signals[size_t(i) % mode.signals.size()]);
      ASSERT_TRUE(p.waitForFinished(20000));
    }
  }
  {
    // One left for certain, as a kill in the middle of the write leaves it.
    QFile left(ui.folder + ".Screen 00099.bmp.Ab3dE9");
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.write("BM half a picture");
  }
  for (const QString& name : AllEntries(ui.folder)) {
    if (!name.startsWith('.')) continue;
    const QByteArray path = QFile::encodeName(ui.folder + name);
    const timespec dayAgo[2] = {{::time(nullptr) - 86400, 0}, {::time(nullptr) - 86400, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), dayAgo, 0), 0);
  }
  QProcess& next = ui.start({}, {"--capture", "--delay", "0", "--output", ui.dir.filePath("next.bmp")});
  ASSERT_TRUE(next.waitForFinished(60000));
  EXPECT_EQ(next.exitCode(), 0);
  for (const QString& name : AllEntries(ui.folder)) {
    EXPECT_FALSE(name.startsWith('.')) << "a hidden temporary file was left: " << name.toStdString();
    EXPECT_EQ(QFileInfo(ui.folder + name).size(), wholeFile) << "a partly written picture: " << name.toStdString();
  }
}

TEST(Safety, EveryShotFromTheCommandLineThatSaysDoneLeftItsPicture) {
  // Two hundred at once, each arriving while others are captured: each waits its
  // turn, and no command says "done" without a picture.
  TrayDriver ui(320, 240);
  ASSERT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  const QString codes = ui.dir.filePath("codes");
  const QString shell = QStringLiteral(
      "for i in $(seq 200); do (\"$0\" --shot >/dev/null 2>&1; echo $? >>\"$1\") & done; wait");
  const ProcessResult r = RunProcess("sh", {"-c", shell, kLumora, codes}, ui.server.display(), 900000);
  ASSERT_EQ(r.exitCode, 0);
  QFile file(codes);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> exits = file.readAll().split('\n');
  const qsizetype done = exits.count("0");
  EXPECT_EQ(exits.size() - 1, 200) << "every command ended";
  EXPECT_EQ(AllEntries(ui.folder).size(), done) << "one picture for every command that said so";
  EXPECT_EQ(done, 200) << "none was dropped";
  ASSERT_TRUE(ui.quit(lumora));
}

TEST(Safety, AServerWithoutSharedMemoryGivesPixelExactPictures) {
  XvfbServer server(320, 240, {"-extension", "MIT-SHM"});
  ASSERT_TRUE(server.running());
  const QImage picture = TestPattern(320, 240);
  ASSERT_TRUE(SetRootPicture(server.display(), picture));
  QTemporaryDir dir;
  const QString out = dir.filePath("noshm.bmp");
  const ProcessResult r = RunProcess(kLumora, {"--capture", "--delay", "0", "--output", out}, server.display(), 60000,
                                     {"LUMORA_REGISTRY=" + dir.filePath("registry.reg")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(DecodeWithImageMagick(out), picture);
}

TEST(Safety, OversizedRectanglesAreRefusedBeforeAnyMemoryIsTaken) {
  XvfbServer server(640, 480);
  QTemporaryDir dir;
  const QString registry = dir.filePath("registry.reg");
  // Under a 1 GiB address-space limit an attempt to hold such a picture would fail
  // differently; the refusal names the size before anything is allocated.
  for (const char* region : {"0,0,32767,32767", "-50000,-50000,50000,50000", "0,0,65535,100", "0,0,3000,3000"}) {
    const QString out = dir.filePath("big.bmp");
    const ProcessResult r =
        RunProcess("prlimit", {"--as=1073741824", "--", kLumora, "--capture", "--delay", "0", "--region", region,
                               "--output", out},
                   server.display(), 60000, {"LUMORA_REGISTRY=" + registry});
    EXPECT_EQ(r.exitCode, 1) << region;
    EXPECT_TRUE(r.err.contains("zu groß")) << region << ": " << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(out)) << region;
  }
}

TEST(Safety, HotkeysDuringTheFirstRunGreetingAreIgnored) {
  TrayDriver ui;
  QProcess& lumora = ui.start();
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Information"); })) << "no welcome box";
  ui.xdo({"key", "ctrl+alt+s"});
  ui.xdo({"key", "ctrl+alt+a"});
  QThread::msleep(700);
  EXPECT_EQ(lumora.state(), QProcess::Running) << "a hotkey before the windows exist must not crash the program";
  ui.xdo({"key", "Return"});
  ASSERT_TRUE(ui.waitReady());
  EXPECT_FALSE(ui.visible("Toolbox")) << "nothing that came before start-up runs late";
  ASSERT_TRUE(ui.quit(lumora));
  EXPECT_EQ(lumora.exitCode(), 0);
}

TEST(Safety, WhileABoxIsOpenASelectionIsRefusedAndASignalEndsTheProgram) {
  TrayDriver ui;
  ASSERT_TRUE(ui.seedStore());
  SetStoreValue(ui.registry, "FileDir", QStringLiteral("\"%1\"").arg(ui.dir.filePath("missing/")));
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  ui.xdo({"key", "ctrl+alt+s"});  // the folder is missing: an error box
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Fehler"); }));
  // A selection asked for meanwhile is not taken, and the caller hears so.
  const ProcessResult select =
      RunProcess(kLumora, {"--select"}, ui.server.display(), 30000, {"LUMORA_REGISTRY=" + ui.registry});
  EXPECT_EQ(select.exitCode, 1);
  EXPECT_TRUE(select.err.contains("--select was not taken")) << select.err.toStdString();
  EXPECT_FALSE(ui.visible("Toolbox"));
  SetStoreValue(ui.registry, "Text", QStringLiteral("\"changed by hand\""));
  lumora.terminate();
  ASSERT_TRUE(lumora.waitForFinished(15000)) << "SIGTERM must not wait for the box";
  EXPECT_EQ(lumora.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(StoreValue(ui.registry, "Text"), QStringLiteral("\"Ausgabetext\"")) << "the settings were saved";
}

TEST(Safety, ATimerCaptureDueWhileADialogIsOpenIsTakenWhenItCloses) {
  TrayDriver ui;
  ASSERT_TRUE(ui.seedStore());
  SetStoreValue(ui.registry, "ValSec", Dword(5));
  SetStoreValue(ui.registry, "Loop", Dword(0));
  SetStoreValue(ui.registry, "TimerAutoStart", Dword(1));
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  // "Einstellungen zurücksetzen" asks first; the question stays open past the
  // moment the timer comes due.
  ui.menu({"Down", "Down", "Down", "Down", "Down", "Right", "Down", "Return"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Bestätigung"); }));
  QThread::msleep(6000);
  EXPECT_TRUE(AllEntries(ui.folder).isEmpty()) << "no capture with the question on the screen";
  ui.xdo({"key", "Escape"});  // No
  ASSERT_TRUE(ui.shot("Screen 00000.bmp")) << "the due capture follows";
  QThread::msleep(1500);
  EXPECT_EQ(AllEntries(ui.folder).size(), 1) << "one picture, and the timer without repetition has ended";
  ASSERT_TRUE(ui.quit(lumora));
}

TEST(Safety, OneProgramPerServerHoweverTheDisplayIsWritten) {
  TrayDriver ui;
  ASSERT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  const QString number = ui.server.display().mid(1);
  // Each spelling reaches the one program, which opens its window; none starts a second.
  for (const QString& display : {":" + number, ":" + number + ".0", "unix:" + number}) {
    const ProcessResult second = RunProcess(kLumora, {}, display, 20000, {"LUMORA_REGISTRY=" + ui.registry});
    EXPECT_EQ(second.exitCode, 0) << display.toStdString() << ": " << second.err.toStdString();
  }
  EXPECT_TRUE(WaitFor([&] { return ui.visible("Lumora 2002 - Version 2.7.0"); }));
  EXPECT_EQ(lumora.state(), QProcess::Running);
  ASSERT_TRUE(ui.quit(lumora));
}

TEST(Safety, NamesAreBytesAndThePrintedNameCannotFoolATerminal) {
  XvfbServer server(64, 48);
  QTemporaryDir dir;
  const QString registry = dir.filePath("registry.reg");
  // Two Latin-1 names that are not UTF-8: two files, neither replacing the other.
  const QString shell = QStringLiteral(
      "cd '%1' && for b in 351 350; do \"$0\" --capture --delay 0 --output \"$(printf \"caf\\\\$b.bmp\")\" || exit 9; "
      "done; \"$0\" --capture --delay 0 --output \"$(printf 'a\\nb\\033[2J.bmp')\"")
                            .arg(dir.path());
  const ProcessResult r =
      RunProcess("sh", {"-c", shell, kLumora}, server.display(), 60000, {"LUMORA_REGISTRY=" + registry});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QList<QByteArray> printed = r.out.split('\n');
  ASSERT_GE(printed.size(), 3);
  EXPECT_TRUE(printed[0].endsWith("/caf\xe9.bmp")) << printed[0].toHex().constData();
  EXPECT_TRUE(printed[1].endsWith("/caf\xe8.bmp")) << printed[1].toHex().constData();
  EXPECT_TRUE(printed[2].endsWith("/a\\nb\\x1b[2J.bmp")) << printed[2].constData();
  // Qt would show the two Latin-1 names as one; the directory itself has three.
  int files = 0;
  if (DIR* d = ::opendir(QFile::encodeName(dir.path()).constData())) {
    while (const dirent* e = ::readdir(d)) files += QByteArray(e->d_name).endsWith(".bmp");
    ::closedir(d);
  }
  EXPECT_EQ(files, 3) << "three files, none replaced";

  // Standard output that cannot be written: the picture is saved, but the run
  // does not claim success it could not report.
  const ProcessResult full = RunProcess(
      "sh", {"-c", "\"$0\" --capture --delay 0 --output '" + dir.filePath("full.bmp") + "' >/dev/full", kLumora},
      server.display(), 60000, {"LUMORA_REGISTRY=" + registry});
  EXPECT_EQ(full.exitCode, 1) << full.err.toStdString();
  EXPECT_TRUE(QFile::exists(dir.filePath("full.bmp")));
}
