#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "ScriptedPrompt.h"
#include "capture/CaptureDriver.h"
#include "platform/ErrorReport.h"
#include "settings/Defaults.h"

using namespace lumora;
using namespace std::chrono_literals;
using test::FakeDialogs;

namespace {

// Every call the driver makes on the window, in order.
class RecordingView : public CaptureView {
 public:
  explicit RecordingView(QStringList& log) : log_(log) {}
  bool isShowing() const override { return showing; }
  void hideForCapture() override { log_ << QStringLiteral("hide"); }
  void showAfterCapture() override { log_ << QStringLiteral("show"); }
  bool timerRunning() const override { return timer; }
  void showLastPicture(const QImage& thumbnail) override {
    log_ << QStringLiteral("picture");
    lastPicture = thumbnail;
  }
  void showLastFile(const QString& target) override { log_ << QStringLiteral("last ") + target; }
  void showNextFile() override { log_ << QStringLiteral("next"); }

  bool showing = false;
  bool timer = false;
  QImage lastPicture;

 private:
  QStringList& log_;
};

class ThrowingClipboard : public Clipboard {
 public:
  void setImage(const QImage&) override { throw std::runtime_error("Die Zwischenablage ist belegt."); }
};

// One driver over fakes, with default settings and a temporary target folder.
struct Rig {
  QTemporaryDir dir;
  Settings settings;
  QStringList log;
  test::ImageScreen screen{test::TestPattern(200, 150)};
  FakeDialogs dialogs;
  test::FakeClipboard clipboard;
  test::FixedClock clock;
  ScreenGrab grab{screen, dialogs, 0ms};
  FileNaming naming{settings, dialogs};
  ImageSaver saver{dialogs, clipboard, clock};
  RecordingView view{log};
  test::ScriptedPrompt prompt;
  CaptureDriver driver{settings, dialogs, grab, naming, saver, view, &prompt};

  Rig() {
    SetDefaults(settings, screen.size(), dir.path() + QStringLiteral("/"));
    naming.AdvanceFileName(settings.Blank, false);
  }
  QString file(const QString& name) const { return dir.path() + QStringLiteral("/") + name; }
};

}  // namespace

TEST(CaptureDriver, ASuccessfulCaptureWritesTheProposalThenAdvances) {
  Rig rig;
  rig.view.showing = true;
  const QString first = rig.file(QStringLiteral("Screen 00000.bmp"));
  ASSERT_EQ(rig.settings.Datei.NextFile, first);

  EXPECT_TRUE(rig.driver.MakeScreenshot());
  EXPECT_EQ(rig.log, (QStringList{"hide", "picture", "last " + first, "next", "show"}));
  EXPECT_TRUE(QFile::exists(first));
  EXPECT_EQ(rig.settings.Datei.NextFile, rig.file(QStringLiteral("Screen 00001.bmp")));
  EXPECT_EQ(rig.settings.Datei.Counter, 2);
  EXPECT_EQ(rig.view.lastPicture, rig.grab.Thumbnail());
  EXPECT_EQ(rig.screen.grabs, 1);
  EXPECT_TRUE(rig.dialogs.boxes.empty());

  // A hidden window stays hidden.
  rig.log.clear();
  rig.view.showing = false;
  EXPECT_TRUE(rig.driver.MakeScreenshot());
  EXPECT_FALSE(rig.log.contains("hide") || rig.log.contains("show"));
  EXPECT_TRUE(QFile::exists(rig.file(QStringLiteral("Screen 00001.bmp"))));
}

TEST(CaptureDriver, TheGrabCoversTheSelectionOnlyWhenItIsActive) {
  Rig rig;
  rig.settings.Auswahl = {10, 20, 50, 45, false};
  ASSERT_TRUE(rig.driver.MakeScreenshot());
  EXPECT_EQ(rig.grab.GrabBitmap().size(), QSize(200, 150));

  rig.settings.Auswahl.Aktiv = true;
  ASSERT_TRUE(rig.driver.MakeScreenshot());
  EXPECT_EQ(rig.grab.GrabBitmap().size(), QSize(40, 25));
  EXPECT_EQ(rig.grab.GrabBitmap().pixel(0, 0), test::TestPattern(200, 150).pixel(10, 20));
}

TEST(CaptureDriver, AWindowIsTakenByItsFrameOnTheScreen) {
  struct Case {
    const char* what;
    std::optional<ScreenRect> frame;
    QSize size;      // of the picture
    QPoint corner;   // the screen pixel at its top-left
  };
  const Case cases[] = {
      {"inside", ScreenRect{10, 20, 50, 45}, {40, 25}, {10, 20}},
      {"partly off the screen", ScreenRect{-30, 100, 60, 400}, {60, 50}, {0, 100}},
      {"maximised with its frame past the edges", ScreenRect{-4, -4, 204, 154}, {200, 150}, {0, 0}},
  };
  for (const Case& c : cases) {
    Rig rig;
    ASSERT_TRUE(rig.driver.MakeWindowScreenshot(c.frame)) << c.what;
    EXPECT_TRUE(rig.driver.lastCaptureSaved()) << c.what;
    EXPECT_EQ(rig.grab.GrabBitmap().size(), c.size) << c.what;
    EXPECT_EQ(rig.grab.GrabBitmap().pixel(0, 0), test::TestPattern(200, 150).pixel(c.corner)) << c.what;
    EXPECT_EQ(rig.settings.Auswahl.Aktiv, false) << "the stored selection stays as it was";
  }
  // A window wholly on another monitor keeps its frame.
  EXPECT_EQ(CaptureDriver::WindowArea({300, 0, 400, 100}, {0, 0, 200, 150}), (ScreenRect{300, 0, 400, 100}));

  // No window has the focus: an error box, and nothing is saved or counted.
  Rig none;
  ASSERT_TRUE(none.driver.MakeScreenshot());
  ASSERT_TRUE(none.driver.lastCaptureSaved());
  const QString next = none.settings.Datei.NextFile;
  EXPECT_TRUE(none.driver.MakeWindowScreenshot(std::nullopt));
  EXPECT_FALSE(none.driver.lastCaptureSaved());
  EXPECT_EQ(none.screen.grabs, 1);
  EXPECT_EQ(none.settings.Datei.NextFile, next);
  ASSERT_EQ(none.dialogs.boxes.size(), 1u);
  EXPECT_EQ(none.dialogs.boxes[0].kind, FakeDialogs::Kind::Error);
  EXPECT_EQ(none.dialogs.boxes[0].text, QString::fromUtf8(CaptureDriver::kNoActiveWindow));
}

TEST(CaptureDriver, ThePointerGoesIntoThePictureBeneathTheCaptionOnlyWhenAsked) {
  Rig rig;
  QImage red(4, 6, QImage::Format_ARGB32_Premultiplied);
  red.fill(qRgb(255, 0, 0));
  rig.screen.pointerPicture = PointerImage{red, QPoint(40, 36)};  // rows 16 to 21 of the picture
  rig.settings.Auswahl = {10, 20, 50, 45, true};
  rig.settings.Beschriftung.Position = tpOben;  // band rows 0 to 19, black
  const QRgb pattern = test::TestPattern(200, 150).pixel(41, 41);
  for (bool withPointer : {false, true}) {
    rig.settings.Bildschirm.Mauszeiger = withPointer;
    const QString file = rig.settings.Datei.NextFile;
    ASSERT_TRUE(rig.driver.MakeScreenshot());
    const QImage saved(file);
    ASSERT_EQ(saved.size(), QSize(40, 25));
    EXPECT_EQ(saved.pixel(31, 19), qRgb(0, 0, 0)) << "the band covers the pointer";
    EXPECT_EQ(saved.pixel(31, 21), withPointer ? qRgb(255, 0, 0) : pattern);
  }
}

// The rows of the failure table: nothing after the failure point happens, and the
// proposal, labels and thumbnail stay as they were.
TEST(CaptureDriver, FailuresLeaveTheProposalAndTheDisplayAlone) {
  struct Case {
    const char* what;
    std::function<void(Rig&)> arrange;
    bool result;
    int grabs;
    QStringList log;
    FakeDialogs::Kind box;
    QString boxStart;
  };
  const Case cases[] = {
      {"prompt cancelled",
       [](Rig& r) {
         r.settings.Datei.Eingabeaufforderung = true;
         r.prompt.answer = 2;
       },
       false, 0, {}, FakeDialogs::Kind::Info, QString()},
      {"warning declined",
       [](Rig& r) { r.settings.Format.BmpBit = pf1Bit; },
       true, 0, {}, FakeDialogs::Kind::Confirm, QStringLiteral("Die Bitmap-Bitrate ist sehr gering")},
      {"grab failed", [](Rig& r) { r.screen.fail = true; }, true, 1, {"hide", "show"}, FakeDialogs::Kind::Error,
       QStringLiteral("Die Erstellung des Screenshots ist fehlgeschlagen!")},
      {"unknown extension",
       [](Rig& r) { r.settings.Datei.NextFile = r.file(QStringLiteral("Screen 00000.BMP")); },
       true, 1, {"hide", "show"}, FakeDialogs::Kind::Error,
       QStringLiteral("Interner Fehler. Dateiformat unbekannt!")},
      {"missing folder",
       [](Rig& r) { r.settings.Datei.NextFile = r.file(QStringLiteral("gone/Screen 00000.bmp")); },
       true, 1, {"hide", "show"}, FakeDialogs::Kind::Error,
       QStringLiteral("Der angegebene Dateiname oder der Pfad ist nicht gültig")},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.view.showing = true;
    c.arrange(rig);
    const QString next = rig.settings.Datei.NextFile;
    const int counter = rig.settings.Datei.Counter;
    const QImage thumbnail = rig.grab.Thumbnail();

    EXPECT_EQ(rig.driver.MakeScreenshot(), c.result) << c.what;
    EXPECT_EQ(rig.screen.grabs, c.grabs) << c.what;
    EXPECT_EQ(rig.log, c.log) << c.what;
    EXPECT_EQ(rig.settings.Datei.NextFile, next) << c.what;
    EXPECT_EQ(rig.settings.Datei.Counter, counter) << c.what;
    EXPECT_TRUE(rig.view.lastPicture.isNull()) << c.what;
    if (c.grabs == 0) {
      EXPECT_EQ(rig.grab.Thumbnail(), thumbnail) << c.what;
    }
    if (!c.boxStart.isEmpty()) {
      ASSERT_FALSE(rig.dialogs.boxes.empty()) << c.what;
      EXPECT_EQ(rig.dialogs.boxes.back().kind, c.box) << c.what;
      EXPECT_TRUE(rig.dialogs.boxes.back().text.startsWith(c.boxStart)) << c.what;
    }
    EXPECT_FALSE(QFile::exists(rig.file(QStringLiteral("Screen 00000.bmp")))) << c.what;
  }
}

TEST(CaptureDriver, SameFileAndClipboardModesNeverPrompt) {
  Rig rig;
  rig.settings.Datei.Eingabeaufforderung = true;
  rig.settings.Datei.SameFile = true;
  ASSERT_TRUE(rig.driver.MakeScreenshot());
  ASSERT_TRUE(rig.driver.MakeScreenshot());
  EXPECT_EQ(rig.prompt.calls, 0);
  EXPECT_TRUE(rig.log.contains("last " + rig.file(QStringLiteral("Screen.bmp"))));
  EXPECT_TRUE(QFile::exists(rig.file(QStringLiteral("Screen.bmp"))));

  Rig clip;
  clip.settings.Datei.Eingabeaufforderung = true;
  clip.settings.Datei.Clipboard = true;
  const QString proposal = clip.settings.Datei.NextFile;
  ASSERT_TRUE(clip.driver.MakeScreenshot());
  EXPECT_EQ(clip.prompt.calls, 0);
  ASSERT_EQ(clip.clipboard.images.size(), 1u);
  EXPECT_EQ(clip.clipboard.images[0].size(), QSize(200, 150));
  EXPECT_EQ(clip.log, (QStringList{"picture", "last In Zwischenablage", "next"}));
  EXPECT_EQ(clip.settings.Datei.NextFile, proposal) << "no file was written, so the number stays";
  EXPECT_FALSE(QFile::exists(proposal));
}

TEST(CaptureDriver, PromptedNameIsTheTargetAndTimerCapturesNeverPrompt) {
  Rig rig;
  rig.settings.Datei.Eingabeaufforderung = true;
  rig.prompt.result = rig.file(QStringLiteral("Bericht.bmp"));
  ASSERT_TRUE(rig.driver.MakeScreenshot());
  EXPECT_EQ(rig.prompt.calls, 1);
  EXPECT_TRUE(QFile::exists(rig.prompt.result));

  rig.view.timer = true;
  ASSERT_TRUE(rig.driver.MakeScreenshot());
  EXPECT_EQ(rig.prompt.calls, 1);
}

TEST(CaptureDriver, AnUnexpectedErrorEndsTheCaptureAndBringsTheWindowBack) {
  Rig rig;
  ThrowingClipboard clipboard;
  ImageSaver saver(rig.dialogs, clipboard, rig.clock);
  CaptureDriver driver(rig.settings, rig.dialogs, rig.grab, rig.naming, saver, rig.view);
  rig.settings.Datei.Clipboard = true;
  rig.view.showing = true;
  const QString next = rig.settings.Datei.NextFile;

  EXPECT_FALSE(runGuarded(rig.dialogs, [&] { driver.MakeScreenshot(); }));
  EXPECT_EQ(rig.log, (QStringList{"hide", "show"}));
  EXPECT_EQ(rig.settings.Datei.NextFile, next);
  ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
  EXPECT_EQ(rig.dialogs.boxes[0].kind, FakeDialogs::Kind::ApplicationError);
  EXPECT_EQ(rig.dialogs.boxes[0].text, QStringLiteral("Die Zwischenablage ist belegt."));
}

// PNG goes through naming like the other formats: numbered, same-file and prompted.
TEST(CaptureDriver, PngFilesAreNumberedFixedOrPromptedLikeTheOthers) {
  Rig rig;
  rig.settings.Datei.FileSuffix = QStringLiteral(".png");
  rig.settings.Datei.Counter = 0;
  rig.naming.AdvanceFileName(rig.settings.Blank, false);
  ASSERT_TRUE(rig.driver.MakeScreenshot());
  EXPECT_EQ(rig.settings.Datei.NextFile, rig.file(QStringLiteral("Screen 00001.png")));

  rig.settings.Datei.SameFile = true;
  ASSERT_TRUE(rig.driver.MakeScreenshot());
  rig.settings.Datei.SameFile = false;
  rig.settings.Datei.Eingabeaufforderung = true;
  rig.prompt.result = rig.file(QStringLiteral("Bericht.png"));
  ASSERT_TRUE(rig.driver.MakeScreenshot());

  for (const char* name : {"Screen 00000.png", "Screen.png", "Bericht.png"})
    EXPECT_EQ(test::DecodeWithImageMagick(rig.file(QLatin1String(name))), test::TestPattern(200, 150)) << name;
  EXPECT_TRUE(rig.dialogs.boxes.empty());
}

TEST(CaptureDriver, ALastNumberTakenDuringTheCaptureGrowsThePrefixWithTheOverflowBox) {
  // The proposal was the last number, and another program took it before the
  // picture was written: the numbers of the prefix are used up at that moment.
  for (const bool timer : {false, true}) {
    Rig rig;
    rig.view.timer = timer;
    rig.settings.Datei.NextFile = rig.file(QStringLiteral("Screen 99998.bmp"));
    rig.settings.Datei.Counter = FileNaming::kLastNumber + 1;
    QFile(rig.settings.Datei.NextFile).open(QIODevice::WriteOnly);
    ASSERT_TRUE(rig.driver.MakeScreenshot());
    EXPECT_TRUE(QFile::exists(rig.file(QStringLiteral("Screen_ 00000.bmp")))) << timer;
    EXPECT_EQ(rig.settings.Datei.FileDescription, QStringLiteral("Screen_")) << timer;
    EXPECT_EQ(rig.settings.Datei.NextFile, rig.file(QStringLiteral("Screen_ 00001.bmp"))) << timer;
    // As at every overflow: the box, unless the interval timer runs.
    EXPECT_EQ(rig.dialogs.texts(), timer ? QStringList() : QStringList{OverflowMessage()}) << timer;
  }
}
