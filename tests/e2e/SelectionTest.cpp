// The region selection as a user meets it on a private Xvfb with trayer: the
// hotkey freezes the screen, a drag and F1 choose the rectangle, and the next
// capture covers exactly that rectangle.
#include <gtest/gtest.h>

#include <QThread>

#include "Fakes.h"
#include "StoreFile.h"
#include "TrayDriver.h"

using namespace lumora::test;

namespace {

constexpr int kWidth = 1024, kHeight = 768;

class Selection : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(ui.server.running());
    ASSERT_TRUE(SetRootPicture(ui.server.display(), picture));
    ASSERT_TRUE(ui.seedStore());
    lumora = &ui.start();
    ASSERT_TRUE(ui.waitReady()) << "no tray icon";
  }

  // The overlay is open while its magnifier "Toolbox" is on screen.
  bool overlayOpen() { return ui.visible(QStringLiteral("Toolbox")); }

  TrayDriver ui{kWidth, kHeight};
  QImage picture = TestPattern(kWidth, kHeight);
  QProcess* lumora = nullptr;
};

}  // namespace

TEST_F(Selection, HotkeyDragAndF1ThenTheCaptureCoversExactlyThatRectangle) {
  ui.xdo({"key", "ctrl+alt+a"});
  ASSERT_TRUE(WaitFor([&] { return overlayOpen(); })) << "no overlay";
  // Dragged from the bottom-right corner to the top-left one.
  ui.drag({520, 430}, {310, 250});
  ui.xdo({"key", "F1"});
  ASSERT_TRUE(WaitFor([&] { return !overlayOpen(); })) << "F1 did not accept";

  ui.xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(ui.shot("Screen 00000.bmp"));
  QThread::msleep(300);
  const QImage shot = DecodeWithImageMagick(ui.folder + "Screen 00000.bmp");
  ASSERT_EQ(shot.size(), QSize(210, 180));
  EXPECT_EQ(shot.convertToFormat(QImage::Format_RGB32), picture.copy(310, 250, 210, 180))
      << "the live screen, without frame or overlay";

  ASSERT_TRUE(ui.quit(*lumora));
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Left"), Dword(310));
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Top"), Dword(250));
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Right"), Dword(520));
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Bottom"), Dword(430));
  EXPECT_EQ(StoreValue(ui.registry, "Aktiv"), Dword(1));
}

TEST_F(Selection, TrayItemOpensItASecondRequestIsIgnoredAndDiscardKeepsTheRectangle) {
  ui.menu({"Down", "Down", "Return"});  // "Bereich auswählen"
  ASSERT_TRUE(WaitFor([&] { return overlayOpen(); })) << "no overlay from the tray item";
  ui.xdo({"key", "ctrl+alt+a"});  // ignored while the overlay is open
  ui.drag({400, 300}, {600, 500});
  ui.xdo({"key", "F12"});
  ASSERT_TRUE(WaitFor([&] { return !overlayOpen(); }));
  QThread::msleep(800);
  EXPECT_FALSE(overlayOpen()) << "the second request was not queued";

  ASSERT_TRUE(ui.quit(*lumora));
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Right"), Dword(kWidth)) << "the rectangle from before";
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Bottom"), Dword(kHeight));
  EXPECT_EQ(StoreValue(ui.registry, "Aktiv"), Dword(1)) << "a discard turns the selection on too";
}
