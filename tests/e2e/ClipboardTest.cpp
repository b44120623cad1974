// A clipboard picture after the program that made it has ended: the command
// line's holder process, its end when another program or a clipboard manager
// takes over, and the tray program's picture at its exit. Pasted with xclip, as
// another program would.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <set>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "Fakes.h"
#include "StoreFile.h"
#include "TrayDriver.h"
#include "XvfbServer.h"

using namespace lumora::test;

namespace {

// Holders leave the program that started them: as the subreaper the test sees
// them end and can stop them.
struct Subreaper {
  Subreaper() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }
} subreaper;

bool ended(pid_t pid) {
  if (pid <= 0) return true;  // waitpid would take any child
  ::waitpid(pid, nullptr, WNOHANG);
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return true;
  const QByteArray line = stat.readAll();
  return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

// The running lumora processes of this display; the display is the test's own.
std::set<pid_t> LumoraOn(const QString& display) {
  std::set<pid_t> found;
  for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool number = false;
    const pid_t pid = pid_t(entry.toInt(&number));
    if (!number) continue;
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid)), environ(QStringLiteral("/proc/%1/environ").arg(pid));
    if (!comm.open(QIODevice::ReadOnly) || comm.readAll() != "lumora\n") continue;
    if (!environ.open(QIODevice::ReadOnly)) continue;
    if (environ.readAll().split('\0').contains("DISPLAY=" + display.toLatin1()) && !ended(pid)) found.insert(pid);
  }
  return found;
}

void StopLumoraOn(const QString& display) {
  for (pid_t pid : LumoraOn(display)) {
    ::kill(pid, SIGKILL);
    WaitFor([&] { return ended(pid); }, 5000);
  }
}

// What a program gets when it pastes `type`; empty when nothing is offered.
QByteArray Paste(const QString& display, const QString& type) {
  const ProcessResult r =
      RunProcess(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", type, "-o"}, display, 30000);
  return r.exitCode == 0 ? r.out : QByteArray();
}

QImage PastedPicture(const QString& display, const char* format = "PNG") {
  return QImage::fromData(Paste(display, QStringLiteral("image/") + QString::fromLatin1(format).toLower()), format)
      .convertToFormat(QImage::Format_RGB32);
}

// A program that takes the clipboard with a text, in the foreground so that it
// can be stopped by its id.
class TextOwner {
 public:
  TextOwner(const QString& display, const QByteArray& text) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    xclip_.setProcessEnvironment(env);
    xclip_.start(QStringLiteral("xclip"), {"-quiet", "-selection", "clipboard"});
    xclip_.waitForStarted(10000);
    xclip_.write(text);
    xclip_.waitForBytesWritten(5000);  // the test runs no event loop that would send it
    xclip_.closeWriteChannel();
  }
  ~TextOwner() {
    xclip_.kill();
    xclip_.waitForFinished(5000);
  }

 private:
  QProcess xclip_;
};

// The stand-in clipboard manager of tests/support, stopped by its id.
class Manager {
 public:
  Manager(const QString& display, const QString& prefix, bool refuse) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    process_.setProcessEnvironment(env);
    QStringList args{prefix};
    if (refuse) args << QStringLiteral("--refuse");
    process_.start(QStringLiteral(STANDIN_BINARY), args);
    ready = said("ready");
  }
  ~Manager() {
    process_.kill();
    process_.waitForFinished(5000);
  }
  // Waits for the line the stand-in prints after it acted.
  bool said(const QByteArray& line) {
    return WaitFor([&] {
      process_.waitForReadyRead(50);
      heard_ += process_.readAllStandardOutput();
      return heard_.split('\n').contains(line);
    });
  }
  // Everything it printed so far, one line each.
  QList<QByteArray> lines() {
    heard_ += process_.readAllStandardOutput();
    return heard_.split('\n');
  }

  bool ready = false;

 private:
  QProcess process_;
  QByteArray heard_;
};

class ClipboardCapture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new XvfbServer(320, 240);
    picture = TestPattern(320, 240);
    ASSERT_TRUE(server->running());
    ASSERT_TRUE(SetRootPicture(server->display(), picture));
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    runtime = dir.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    registry = dir.filePath(QStringLiteral("registry.reg"));
    // A first run stores the defaults; then the captures go to the clipboard.
    ASSERT_EQ(capture({"--output", dir.filePath(QStringLiteral("seed.bmp"))}).exitCode, 0);
    ASSERT_TRUE(SetStoreValue(registry, "FileDir", QStringLiteral("\"%1/\"").arg(dir.path())));
    ASSERT_TRUE(SetStoreValue(registry, "Clipboard", Dword(1)));
  }
  void TearDown() override { StopLumoraOn(server->display()); }

  ProcessResult capture(const QStringList& args = {}) {
    return RunProcess(QStringLiteral(LUMORA_BINARY), QStringList{"--capture", "--delay", "0", "--yes"} + args,
                      server->display(), 60000,
                      {QStringLiteral("LUMORA_REGISTRY=") + registry, QStringLiteral("XDG_RUNTIME_DIR=") + runtime});
  }
  // The holder named by its lock file; -1 when there is none.
  pid_t holder() const {
    QFile file(runtime + QStringLiteral("/lumora-clipboard-local-") + server->display().mid(1) + QStringLiteral(".pid"));
    return file.open(QIODevice::ReadOnly) ? pid_t(file.readAll().trimmed().toInt()) : -1;
  }
  void expectHeld(const ProcessResult& r) {
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "In Zwischenablage\n");
  }

  static XvfbServer* server;
  static QImage picture;
  QTemporaryDir dir;
  QString runtime;
  QString registry;
};

XvfbServer* ClipboardCapture::server = nullptr;
QImage ClipboardCapture::picture;

QImage BlackAndWhite(const QImage& image) {
  QImage out = image;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      const QRgb c = out.pixel(x, y);
      out.setPixel(x, y, qRed(c) + qGreen(c) + qBlue(c) >= 383 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
  return out;
}

}  // namespace

TEST_F(ClipboardCapture, ThePictureCanBePastedAfterTheCommandEndedInTheChosenFormatsColours) {
  const struct {
    const char* suffix;
    const char* bmpBit;
    bool blackAndWhite;
  } cases[] = {
      {".bmp", "pf24Bit", false},
      {".bmp", "pf1Bit", true},  // converted before it reaches the clipboard
      {".jpg", "pf1Bit", false},  // the clipboard gets the picture, not JPEG data
      {".tga", "pf1Bit", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.suffix) + " " + c.bmpBit);
    ASSERT_TRUE(SetStoreValue(registry, "FileSuffix", QStringLiteral("\"%1\"").arg(c.suffix)));
    ASSERT_TRUE(SetStoreValue(registry, "BmpBit", QStringLiteral("\"%1\"").arg(c.bmpBit)));
    expectHeld(capture());
    EXPECT_EQ(PastedPicture(server->display()), c.blackAndWhite ? BlackAndWhite(picture) : picture);
  }
  EXPECT_EQ(PastedPicture(server->display(), "BMP"), picture.convertToFormat(QImage::Format_RGB32));
  const QList<QByteArray> targets = Paste(server->display(), QStringLiteral("TARGETS")).split('\n');
  for (const char* type : {"image/png", "image/bmp", "image/jpeg"}) EXPECT_TRUE(targets.contains(type)) << type;
  EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("Screen*")}), QStringList()) << "no file is written";
  EXPECT_EQ(LumoraOn(server->display()).size(), 1u) << "one holder, whatever the number of captures";
}

TEST_F(ClipboardCapture, AnotherProgramTakingTheClipboardEndsTheHolder) {
  expectHeld(capture());
  const pid_t pid = holder();
  ASSERT_GT(pid, 0);
  EXPECT_EQ(LumoraOn(server->display()), std::set<pid_t>{pid});
  TextOwner text(server->display(), "genommen");
  EXPECT_TRUE(WaitFor([&] { return ended(pid); }, 1000)) << "the holder ends within a second";
  EXPECT_TRUE(LumoraOn(server->display()).empty());
  EXPECT_EQ(holder(), -1) << "the lock file goes with the holder";
  EXPECT_EQ(Paste(server->display(), QStringLiteral("UTF8_STRING")), "genommen");
}

TEST_F(ClipboardCapture, ASecondCaptureReplacesTheFirstHolder) {
  expectHeld(capture());
  const pid_t first = holder();
  expectHeld(capture({"--region", "10,20,110,70"}));
  const pid_t second = holder();
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  EXPECT_NE(first, second);
  EXPECT_TRUE(WaitFor([&] { return ended(first); }));
  EXPECT_EQ(LumoraOn(server->display()), std::set<pid_t>{second});
  EXPECT_EQ(PastedPicture(server->display()), picture.copy(10, 20, 100, 50));
}

TEST_F(ClipboardCapture, AClipboardManagerKeepsThePictureOrLeavesItWithTheHolder) {
  for (const bool refuse : {false, true}) {
    SCOPED_TRACE(refuse ? "manager refuses" : "manager keeps");
    Manager manager(server->display(), dir.filePath(QStringLiteral("kept")), refuse);
    ASSERT_TRUE(manager.ready);
    expectHeld(capture());
    const pid_t pid = holder();
    ASSERT_GT(pid, 0);
    if (refuse) {
      ASSERT_TRUE(manager.said("refused"));
      // Served by the holder, which is still there.
      EXPECT_EQ(PastedPicture(server->display()), picture);
      EXPECT_EQ(LumoraOn(server->display()), std::set<pid_t>{pid});
    } else {
      ASSERT_TRUE(manager.said("saved"));
      EXPECT_TRUE(WaitFor([&] { return ended(pid); })) << "the holder ends once the manager has the picture";
      EXPECT_TRUE(LumoraOn(server->display()).empty());
      QFile targets(dir.filePath(QStringLiteral("kept.targets")));
      ASSERT_TRUE(targets.open(QIODevice::ReadOnly));
      const QList<QByteArray> offered = targets.readAll().split('\n');
      EXPECT_TRUE(offered.contains("image/png") && offered.contains("image/bmp"));
      // Served by the manager now.
      EXPECT_EQ(PastedPicture(server->display()), picture);
    }
  }
}

TEST(ClipboardTray, ThePictureOutlivesTheTrayProgram) {
  const struct {
    const char* name;
    bool manager;
    bool bySignal;
  } cases[] = {
      {"Beenden, manager", true, false},
      {"SIGTERM, manager", true, true},
      {"Beenden, no manager", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TrayDriver ui(480, 360);
    const QString display = ui.server.display();
    const QImage picture = TestPattern(480, 360);
    ASSERT_TRUE(SetRootPicture(display, picture));
    const QString runtime = ui.dir.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    ASSERT_TRUE(ui.seedStore());
    ASSERT_TRUE(SetStoreValue(ui.registry, "Clipboard", Dword(1)));
    std::unique_ptr<Manager> manager;
    if (c.manager) {
      manager = std::make_unique<Manager>(display, ui.dir.filePath(QStringLiteral("kept")), false);
      ASSERT_TRUE(manager->ready);
    }

    QProcess& lumora = ui.start({QStringLiteral("XDG_RUNTIME_DIR=") + runtime});
    ASSERT_TRUE(ui.waitReady());
    ui.xdo({"key", "ctrl+alt+s"});
    ASSERT_TRUE(WaitFor([&] { return !Paste(display, QStringLiteral("TARGETS")).isEmpty(); }));
    if (c.bySignal) {
      lumora.terminate();
      ASSERT_TRUE(lumora.waitForFinished(15000));
    } else {
      ASSERT_TRUE(ui.quit(lumora));
    }
    EXPECT_EQ(lumora.exitStatus(), QProcess::NormalExit);
    if (c.manager) {
      EXPECT_TRUE(manager->said("saved"));
      EXPECT_TRUE(WaitFor([&] { return LumoraOn(display).empty(); })) << "nothing of Lumora stays";
      EXPECT_EQ(manager->lines().count("saved"), 1);
      EXPECT_FALSE(manager->lines().contains("asked again")) << "the tray program offered its picture a second time";
    } else {
      EXPECT_EQ(LumoraOn(display).size(), 1u) << "a holder keeps the picture";
    }
    // The grab shows trayer's strip at the top left; the rest is the root picture.
    const QImage pasted = PastedPicture(display);
    ASSERT_EQ(pasted.size(), picture.size());
    EXPECT_EQ(pasted.copy(0, 40, 480, 320), picture.copy(0, 40, 480, 320));
    StopLumoraOn(display);
  }
}
