#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "TabTestSupport.h"
#include "ui/FileTab.h"
#include "ui/FormatTab.h"
#include "ui/TfrmMain.h"

using namespace lumora;
using test::FakeOptionsWindow;
using test::TabFixture;

namespace {

// Saves a picture of a page when LUMORA_TAB_PICTURES names a folder.
void keepPicture(QWidget& page, const char* name) {
  const QString folder = qEnvironmentVariable("LUMORA_TAB_PICTURES");
  if (!folder.isEmpty()) page.grab().save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

template <typename T>
T* child(QWidget& page, const char* name) {
  T* found = page.findChild<T*>(QLatin1String(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

QString text(QWidget& page, const char* label) { return child<QLabel>(page, label)->text(); }

struct FilePage {
  FilePage() {
    tab.loadFromSettings();
    tab.initWindowState();
    tab.resize(480, 250);
    tab.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&tab));
  }
  QCheckBox* box(const char* name) { return child<QCheckBox>(tab, name); }
  void click(const char* name) { QTest::mouseClick(box(name), Qt::LeftButton, {}, QPoint(6, box(name)->height() / 2)); }
  std::array<bool, 3> namingBoxesEnabled() {
    return {box("cbEingabeauf")->isEnabled(), box("cbBlank")->isEnabled(), box("cbClipboard")->isEnabled()};
  }

  TabFixture f;
  FakeOptionsWindow window;
  FileTab tab{f.ctx, window};
};

struct FormatPage {
  FormatPage() {
    tab.loadFromSettings();
    tab.initWindowState();
    tab.resize(480, 250);
    tab.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&tab));
  }
  bool shown(const char* group) { return child<QGroupBox>(tab, group)->isVisibleTo(&tab); }

  TabFixture f;
  FakeOptionsWindow window;
  FormatTab tab{f.ctx, window};
};

constexpr std::array<bool, 3> kAllOn{true, true, true};
constexpr std::array<bool, 3> kAllOff{false, false, false};

}  // namespace

TEST(FileTab, StartsWithUnknownLastFileAndTheProposal) {
  FilePage p;
  for (const char* label : {"lblLastFile", "lblLastDir", "lblLastTime", "lblLastdate"})
    EXPECT_EQ(text(p.tab, label), QStringLiteral("unbekannt")) << label;
  EXPECT_EQ(text(p.tab, "lblNextFile"), QStringLiteral("Screen 00000.bmp"));
  EXPECT_EQ(text(p.tab, "lblNextDir"), p.f.settings.Datei.FileDir);
  EXPECT_TRUE(child<QLabel>(p.tab, "lblNextFile")->font().bold());
  EXPECT_TRUE(p.box("cbBlank")->isChecked());
  EXPECT_EQ(p.namingBoxesEnabled(), kAllOn);
  EXPECT_EQ(child<QLabel>(p.tab, "imgLastPic")->size(), QSize(157, 124));
  keepPicture(p.tab, "filetab");
}

TEST(FileTab, CheckBoxesWriteSettingsAndFollowTheNumberingRule) {
  FilePage p;
  p.click("cbSameFile");
  EXPECT_TRUE(p.f.settings.Datei.SameFile);
  EXPECT_EQ(p.namingBoxesEnabled(), kAllOff);
  EXPECT_EQ(p.window.nextFileShown, 1);
  p.click("cbSameFile");
  EXPECT_FALSE(p.f.settings.Datei.SameFile);
  EXPECT_EQ(p.namingBoxesEnabled(), kAllOn);

  p.click("cbEingabeauf");
  EXPECT_TRUE(p.f.settings.Datei.Eingabeaufforderung);
  EXPECT_EQ(p.window.nextFileShown, 2) << "the prompt box changes no display";

  p.click("cbBlank");
  EXPECT_FALSE(p.f.settings.Blank);
  EXPECT_EQ(p.f.settings.Datei.NextFile, p.f.path(QStringLiteral("Screen00000.bmp")));
  EXPECT_EQ(p.window.nextFileShown, 3);

  p.click("cbClipboard");
  EXPECT_TRUE(p.f.settings.Datei.Clipboard);
  EXPECT_EQ(p.window.nextFileShown, 4);
}

TEST(FileTab, StoppedTimerFreesTheNamingBoxesEvenInSameFileMode) {
  FilePage p;
  p.click("cbSameFile");
  ASSERT_EQ(p.namingBoxesEnabled(), kAllOff);
  p.tab.lockForTimer(true);
  EXPECT_FALSE(p.tab.isEnabled());
  for (const char* name : {"btnZiel", "btnOpenInExp"}) EXPECT_FALSE(child<QPushButton>(p.tab, name)->isEnabled());
  p.tab.lockForTimer(false);
  EXPECT_TRUE(p.tab.isEnabled());
  EXPECT_EQ(p.namingBoxesEnabled(), kAllOn);
  EXPECT_TRUE(p.box("cbSameFile")->isChecked());
  // The next click on the same-file box applies the numbering rule again.
  p.click("cbSameFile");
  p.click("cbSameFile");
  EXPECT_EQ(p.namingBoxesEnabled(), kAllOff);
}

TEST(FileTab, FolderButtonTurnsTheClipboardOffWhetherConfirmedOrNot) {
  for (bool confirm : {false, true}) {
    SCOPED_TRACE(confirm ? "confirmed" : "cancelled");
    FilePage p;
    p.click("cbClipboard");
    ASSERT_TRUE(p.f.settings.Datei.Clipboard);
    const QString chosen = p.f.path(QStringLiteral("Bericht"));
    bool askedBlank = false;
    p.tab.setFolderChooser([&](QWidget*, const Settings&, FileNaming& naming, bool blank, bool quiet) {
      askedBlank = blank;
      naming.folderDialogClosed(confirm ? &chosen : nullptr, blank, quiet);
      return confirm;
    });
    child<QPushButton>(p.tab, "btnZiel")->click();
    EXPECT_TRUE(askedBlank);
    EXPECT_FALSE(p.f.settings.Datei.Clipboard);
    EXPECT_FALSE(p.box("cbClipboard")->isChecked());
    EXPECT_EQ(p.f.settings.Datei.FileDescription, confirm ? QStringLiteral("Bericht") : QStringLiteral("Screen"));
    EXPECT_EQ(p.window.nextFileShown, 2);
  }
}

TEST(FileTab, OpenFolderButtonAsksTheWindow) {
  FilePage p;
  auto* button = child<QPushButton>(p.tab, "btnOpenInExp");
  EXPECT_EQ(button->text(), QStringLiteral("Ordner öffnen..."));
  EXPECT_EQ(button->toolTip(), QStringLiteral("Öffnet den aktuellen Zielordner für die Screenshots"));
  button->click();
  EXPECT_EQ(p.window.foldersOpened, 1);
}

TEST(FileTab, LastCaptureLabelsAndPicture) {
  FilePage p;
  p.tab.showLastFile(ShowLastFileTexts(ClipboardTarget(), p.f.clock));
  EXPECT_EQ(text(p.tab, "lblLastFile"), QStringLiteral("In Zwischenablage"));
  EXPECT_EQ(text(p.tab, "lblLastDir"), QString());
  EXPECT_EQ(text(p.tab, "lblLastTime"), QStringLiteral("14:05:09"));
  EXPECT_EQ(text(p.tab, "lblLastdate"), QStringLiteral("06.12.2026"));

  p.tab.showLastFile(ShowLastFileTexts(QStringLiteral("/bilder/Screen 00003.jpg"), p.f.clock));
  EXPECT_EQ(text(p.tab, "lblLastFile"), QStringLiteral("Screen 00003.jpg"));
  EXPECT_EQ(text(p.tab, "lblLastDir"), QStringLiteral("/bilder/"));

  QImage thumbnail(157, 124, QImage::Format_RGB32);
  thumbnail.fill(QColor(10, 200, 30));
  p.tab.showLastPicture(thumbnail);
  const QImage shown = child<QLabel>(p.tab, "imgLastPic")->pixmap().toImage();
  EXPECT_EQ(shown.size(), QSize(157, 124));
  EXPECT_EQ(QColor(shown.pixel(78, 62)), QColor(10, 200, 30));
}

TEST(FormatTab, DefaultsShowBmpAndTheStoredValues) {
  FormatPage p;
  EXPECT_EQ(p.tab.rgFormat()->checkedId(), 0);
  EXPECT_EQ(p.tab.rgBmpBit()->checkedButton()->text(), QStringLiteral("24 Bit"));
  EXPECT_EQ(child<QSlider>(p.tab, "tbJpegQuality")->value(), 80);
  EXPECT_EQ(child<QLineEdit>(p.tab, "edJpegPercent")->text(), QStringLiteral("80"));
  EXPECT_TRUE(child<QRadioButton>(p.tab, "rbJpegBestPerf")->isChecked());
  EXPECT_TRUE(p.shown("gbBmp") && p.shown("gbFormatInfoBMP"));
  EXPECT_FALSE(p.shown("gbJpeg") || p.shown("gbTga") || p.shown("gbFormatInfoJPG") || p.shown("gbFormatInfoTGA"));
  keepPicture(p.tab, "formattab-bmp");
}

TEST(FormatTab, FormatItemsSwitchSuffixGroupsAndProposal) {
  FormatPage p;
  p.f.touch(QStringLiteral("Screen 00000.jpg"));
  const char* pictures[] = {"formattab-bmp", "formattab-jpg", "formattab-tga", "formattab-png"};
  for (int index : {1, 2, 3, 0}) {
    SCOPED_TRACE(index);
    p.f.settings.Datei.Counter = 40;
    p.tab.rgFormat()->button(index)->click();
    const QString suffix = FormatTabLogic::SuffixFromFormatIndex(index);
    EXPECT_EQ(p.f.settings.Datei.FileSuffix, suffix);
    EXPECT_EQ(p.f.settings.Datei.NextFile,
              p.f.path((index == 1 ? QStringLiteral("Screen 00001") : QStringLiteral("Screen 00000")) + suffix));
    EXPECT_EQ(p.shown("gbBmp"), index == 0);
    EXPECT_EQ(p.shown("gbFormatInfoBMP"), index == 0);
    EXPECT_EQ(p.shown("gbJpeg"), index == 1);
    EXPECT_EQ(p.shown("gbFormatInfoJPG"), index == 1);
    EXPECT_EQ(p.shown("gbTga"), index == 2);
    EXPECT_EQ(p.shown("gbFormatInfoTGA"), index == 2);
    keepPicture(p.tab, pictures[index]);
  }
  EXPECT_EQ(p.window.nextFileShown, 4);
}

TEST(FormatTab, DepthQualityAndMethodControlsWriteTheirSettings) {
  FormatPage p;
  p.tab.rgFormat()->button(1)->click();
  const uint8_t codes[] = {1, 2, 3, 5, 6, 7};
  for (int item : {5, 3, 0, 1, 2, 4}) {
    p.tab.rgFormat()->button(0)->click();
    p.tab.rgBmpBit()->button(item)->click();
    EXPECT_EQ(p.f.settings.Format.BmpBit, codes[item]) << item;
  }
  p.tab.rgFormat()->button(1)->click();
  auto* slider = child<QSlider>(p.tab, "tbJpegQuality");
  auto* percent = child<QLineEdit>(p.tab, "edJpegPercent");
  EXPECT_TRUE(percent->isReadOnly());
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Home);
  EXPECT_EQ(slider->value(), 0);
  EXPECT_EQ(p.f.settings.Format.JpegQuality, 1);
  EXPECT_EQ(percent->text(), QStringLiteral("1"));
  QTest::keyClick(slider, Qt::Key_PageUp);
  EXPECT_EQ(p.f.settings.Format.JpegQuality, 10);
  EXPECT_EQ(percent->text(), QStringLiteral("10"));
  QTest::keyClick(slider, Qt::Key_End);
  EXPECT_EQ(p.f.settings.Format.JpegQuality, 100);

  child<QRadioButton>(p.tab, "rbBestSpeed")->click();
  EXPECT_EQ(p.f.settings.Format.JpegPerformance, jmSpeed);
  child<QRadioButton>(p.tab, "rbJpegBestPerf")->click();
  EXPECT_EQ(p.f.settings.Format.JpegPerformance, jmQuality);
}

TEST(FormatTab, UnknownCodesLeaveTheControlsAsTheyAre) {
  FormatPage p;
  p.tab.rgFormat()->button(2)->click();
  p.tab.SetFormatFromSuffix(QStringLiteral(".JPG"));
  EXPECT_EQ(p.tab.rgFormat()->checkedId(), 2);
  p.tab.SetBmpBitControl(4);
  EXPECT_EQ(p.tab.rgBmpBit()->checkedButton()->text(), QStringLiteral("24 Bit"));
  p.tab.SetJpegMethodControl(2);
  EXPECT_TRUE(child<QRadioButton>(p.tab, "rbJpegBestPerf")->isChecked());
  p.tab.SetJpegMethodControl(1);
  EXPECT_TRUE(child<QRadioButton>(p.tab, "rbBestSpeed")->isChecked());
}

TEST(FormatTab, TimerLocksThePage) {
  FormatPage p;
  p.tab.lockForTimer(true);
  EXPECT_FALSE(p.tab.rgFormat()->button(1)->isEnabled());
  p.tab.lockForTimer(false);
  EXPECT_TRUE(p.tab.rgFormat()->button(1)->isEnabled());
}

// The whole window: a stored suffix the list does not know ends as ".bmp" in the
// settings, the proposal and the status bar.
TEST(OptionsWindowFileTabs, UnknownStoredSuffixBecomesBmpEverywhere) {
  TabFixture f;
  f.settings.Datei.FileSuffix = QStringLiteral(".gif");
  f.settings.Format.BmpBit = 7;
  f.settings.Format.JpegQuality = 33;
  TfrmMain window(f.ctx, TfrmMain::Commands{});
  EXPECT_EQ(f.settings.Datei.FileSuffix, QStringLiteral(".bmp"));
  EXPECT_EQ(f.settings.Datei.NextFile, f.path(QStringLiteral("Screen 00000.bmp")));
  EXPECT_EQ(window.panelText(2), QStringLiteral(".bmp"));
  EXPECT_EQ(window.panelText(4), f.path(QStringLiteral("Screen 00000.bmp")));
  EXPECT_EQ(window.formatTab()->rgBmpBit()->checkedButton()->text(), QStringLiteral("32 Bit"));
  EXPECT_EQ(window.formatTab()->findChild<QLineEdit*>(QStringLiteral("edJpegPercent"))->text(), QStringLiteral("33"));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  keepPicture(window, "window");
}

// The fourth format: a stored ".png" selects it at start, and choosing it in the
// list sets and shows the suffix again after another format.
TEST(OptionsWindowFileTabs, PngIsTheFourthFormatStoredChosenAndShown) {
  TabFixture f;
  f.settings.Datei.FileSuffix = QStringLiteral(".png");
  TfrmMain window(f.ctx, TfrmMain::Commands{});
  QButtonGroup* formats = window.formatTab()->rgFormat();
  EXPECT_EQ(formats->checkedId(), 3);
  EXPECT_EQ(formats->checkedButton()->text(), QStringLiteral("PNG"));
  EXPECT_EQ(f.settings.Datei.FileSuffix, QStringLiteral(".png"));
  EXPECT_EQ(f.settings.Datei.NextFile, f.path(QStringLiteral("Screen 00000.png")));
  EXPECT_EQ(window.panelText(2), QStringLiteral(".png"));

  formats->button(0)->click();
  EXPECT_EQ(window.panelText(2), QStringLiteral(".bmp"));
  formats->button(3)->click();
  EXPECT_EQ(f.settings.Datei.FileSuffix, QStringLiteral(".png"));
  EXPECT_EQ(window.panelText(2), QStringLiteral(".png"));
  EXPECT_EQ(window.panelText(4), f.path(QStringLiteral("Screen 00000.png")));
}

// "Nummerierung deaktivieren" stored on: after start-up the three naming boxes
// are disabled, although the timer's start-up step frees the controls it locks.
TEST(OptionsWindowFileTabs, SameFileAtStartUpLeavesTheNamingBoxesDisabled) {
  TabFixture f;
  f.settings.Datei.SameFile = true;
  TfrmMain window(f.ctx, TfrmMain::Commands{});
  for (const char* name : {"cbEingabeauf", "cbBlank", "cbClipboard"})
    EXPECT_FALSE(window.fileTab()->findChild<QCheckBox*>(QLatin1String(name))->isEnabled()) << name;
}
