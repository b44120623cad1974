// The overlay and the magnifier as widgets: a real modal run driven by mouse
// and key events under the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "capture/ScreenGrab.h"
#include "selection/TfrmAuswahl.h"
#include "selection/TfrmAuswahlInfo.h"
#include "settings/Settings.h"

using namespace lumora;
using lumora::test::FakeDialogs;
using lumora::test::ImageScreen;
using lumora::test::TestPattern;

namespace {

constexpr ScreenRect kPrevious{1, 2, 3, 4};

class OverlayWidget : public ::testing::Test {
 public:
  void SetUp() override { overlay.attachMagnifier(magnifier); }

  void mouse(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons, Qt::MouseButton button = Qt::NoButton) {
    QMouseEvent e(type, QPointF(pos), QPointF(overlay.mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&overlay, &e);
  }
  void drag(QPoint from, QPoint to) {
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 4; ++i) mouse(QEvent::MouseMove, from + (to - from) * i / 4, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, to, Qt::NoButton, Qt::LeftButton);
  }

  // Runs the overlay modally while `steps` act on it once it is on screen.
  ScreenRect run(const std::function<void()>& steps) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(&overlay));
      steps();
      ran = true;
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
      ADD_FAILURE() << "the overlay did not end";
      overlay.done(0);
    });
    watchdog.start(10000);
    const ScreenRect result = overlay.SelectRegion(tpOben, 14, kPrevious);
    EXPECT_TRUE(ran);
    return result;
  }
  void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    overlay.activateWindow();
    // The key goes to the overlay whether or not the platform reports it active.
    (void)QTest::qWaitForWindowActive(&overlay);
    QTest::keyClick(&overlay, k, modifiers);
  }

  ImageScreen screen{TestPattern(640, 480)};
  FakeDialogs dialogs;
  ScreenGrab grab{screen, dialogs, std::chrono::milliseconds(0)};
  TfrmAuswahl overlay{grab, dialogs};
  TfrmAuswahlInfo magnifier{QSize(640, 480), &overlay};
};

TEST_F(OverlayWidget, ADragAndF1GiveTheRectangleAndTheWindowShowsTheFrame) {
  QImage shown;
  const ScreenRect r = run([&] {
    EXPECT_EQ(overlay.geometry(), QRect(0, 0, 640, 480));
    EXPECT_TRUE(QTest::qWaitFor([&] { return magnifier.isVisible(); })) << "the magnifier comes with the overlay";
    drag({300, 200}, {100, 80});
    QApplication::processEvents();
    shown = overlay.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(magnifier.lblMX()->text(), QStringLiteral("100"));
    EXPECT_EQ(magnifier.lblMY()->text(), QStringLiteral("80"));
    EXPECT_EQ(magnifier.lblGX()->text(), QStringLiteral("200")) << "the size at the release";
    EXPECT_FALSE(magnifier.Lupe()->pixmap().isNull());
    EXPECT_EQ(overlay.cursor().shape(), Qt::CrossCursor);
    key(Qt::Key_F1);
  });
  EXPECT_EQ(r, (ScreenRect{100, 80, 300, 200}));
  EXPECT_FALSE(overlay.isVisible());
  EXPECT_FALSE(magnifier.isVisible());
  EXPECT_EQ(shown, overlay.logic()->surface()) << "the window shows the frozen picture with the frame";
  EXPECT_NE(shown, grab.GrabBitmap());
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(OverlayWidget, FunctionKeysActWhileTheMenuIsClosed) {
  struct Case { Qt::Key key; Qt::KeyboardModifiers modifiers; ScreenRect result; };
  const Case cases[] = {{Qt::Key_F12, Qt::NoModifier, kPrevious},
                        {Qt::Key_F3, Qt::NoModifier, {0, 0, 640, 480}},
                        // Enter, on the main block and on the keypad, accepts like F1.
                        {Qt::Key_Return, Qt::NoModifier, {10, 10, 50, 50}},
                        {Qt::Key_Enter, Qt::KeypadModifier, {10, 10, 50, 50}}};
  for (const Case& c : cases) {
    const ScreenRect r = run([&] {
      drag({10, 10}, {50, 50});
      key(c.key, c.modifiers);
    });
    EXPECT_EQ(r, c.result) << c.key;
  }
  // F2 clears, so that F1 finds no area.
  const ScreenRect r = run([&] {
    drag({100, 100}, {200, 200});
    key(Qt::Key_F2);
    key(Qt::Key_F1);
  });
  EXPECT_EQ(r, (ScreenRect{0, 0, 640, 480}));
  EXPECT_EQ(dialogs.count(FakeDialogs::Kind::Info), 1);
  EXPECT_EQ(overlay.logic()->surface(), grab.GrabBitmap()) << "F2 erased the frame";
}

TEST_F(OverlayWidget, PresetFromTheMenuThenMovedByTheMouse) {
  const ScreenRect r = run([&] {
    for (QAction* a : overlay.pmumVorgaben()->actions())
      if (a->text() == QStringLiteral("32 x 32 (großes Icon)")) a->trigger();
    drag({320, 240}, {330, 250});
    overlay.pmUebernehmen()->trigger();
  });
  EXPECT_EQ(r, (ScreenRect{314, 234, 346, 266}));
}

TEST_F(OverlayWidget, MenuItemsAndShortcuts) {
  QStringList items;
  for (QAction* a : overlay.pmAuswahl()->actions())
    items << (a->isSeparator() ? QStringLiteral("-") : a->text() + " " + a->shortcut().toString());
  EXPECT_EQ(items, (QStringList{"Übernehmen F1", "Neue Auswahl F2", "Alles Auswählen F3", "-", "Vorgaben ",
                                "Zeige letzte Auswahl ", "Fenster erkennen F4", "-", "Verwerfen F12"}));
  QStringList presets;
  for (QAction* a : overlay.pmumVorgaben()->actions()) presets << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(presets, (QStringList{"640 x 480", "800 x 600", "1024 x 768", "1280 x 1024", "1600 x 1200", "-",
                                  "16 x 16 (kleines Icon)", "32 x 32 (großes Icon)"}));
  EXPECT_TRUE(overlay.pmAlteAuswahl()->isCheckable());
}

TEST_F(OverlayWidget, FullScreenTheToolboxIsDrawnInsideTheOverlayAndMovedByItsCaption) {
  // Where the compositor places windows, a Toolbox of its own ends up below the overlay.
  overlay.setPlacement(TfrmAuswahl::Placement::FullScreen);
  const ScreenRect r = run([&] {
    QWidget* frame = magnifier.parentWidget();
    ASSERT_TRUE(QTest::qWaitFor([&] { return magnifier.isVisible(); }));
    EXPECT_FALSE(magnifier.isWindow());
    EXPECT_EQ(frame->parentWidget(), &overlay);
    EXPECT_EQ(frame->pos(), QPoint(15, 15));
    EXPECT_EQ(magnifier.mapTo(&overlay, QPoint()), QPoint(16, 34)) << "below its caption";
    // The keys stay with the overlay: a digit does not reach the Toolbox's fields.
    QTest::qWait(50);
    const int before = magnifier.seAX()->value();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(magnifier.seAX()->value(), before);
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
      QMouseEvent e(type, QPointF(at), QPointF(frame->mapToGlobal(at)), Qt::LeftButton, buttons, Qt::NoModifier);
      QApplication::sendEvent(frame, &e);
    };
    send(QEvent::MouseButtonPress, {40, 8}, Qt::LeftButton);
    send(QEvent::MouseMove, {140, 108}, Qt::LeftButton);
    EXPECT_EQ(frame->pos(), QPoint(115, 115));
    send(QEvent::MouseMove, {-4000, 8}, Qt::LeftButton);
    EXPECT_EQ(frame->pos(), QPoint(0, 115)) << "kept on the overlay";
    send(QEvent::MouseButtonRelease, {0, 8}, Qt::NoButton);
    send(QEvent::MouseMove, {300, 300}, Qt::NoButton);
    EXPECT_EQ(frame->pos(), QPoint(0, 115));
    key(Qt::Key_F12);
  });
  EXPECT_EQ(r, kPrevious);
  // Placed by the program again, it is a window of its own.
  overlay.setPlacement(TfrmAuswahl::Placement::Self);
  run([&] {
    EXPECT_TRUE(magnifier.isWindow());
    key(Qt::Key_F12);
  });
}

TEST_F(OverlayWidget, MagnifierControlsFeedItsChoices) {
  EXPECT_EQ(magnifier.windowTitle(), QStringLiteral("Toolbox"));
  EXPECT_EQ(magnifier.size(), QSize(110, 284));
  EXPECT_TRUE(magnifier.Zoom3()->isChecked());
  EXPECT_TRUE(magnifier.SelNorm()->isChecked());
  EXPECT_TRUE(magnifier.sbFolgeText()->isChecked());
  EXPECT_EQ(magnifier.zoom2()->toolTip(), QStringLiteral("Zweifache Vergrößerung"));
  EXPECT_EQ(magnifier.sbFolgeText()->toolTip(), QStringLiteral("Beschriftung in der Lupe berücksichtigen"));

  QTest::mouseClick(magnifier.Zoom4(), Qt::LeftButton);
  EXPECT_EQ(magnifier.logic().ZoomDivisor(), 20);
  QTest::mouseClick(magnifier.Zoom4(), Qt::LeftButton);
  EXPECT_TRUE(magnifier.Zoom4()->isChecked()) << "one of the group stays down";
  QTest::mouseClick(magnifier.SelFix(), Qt::LeftButton);
  EXPECT_FALSE(magnifier.logic().IsVariableSize());
  QTest::mouseClick(magnifier.sbFolgeText(), Qt::LeftButton);
  EXPECT_FALSE(magnifier.logic().IsCaptionCompensated()) << "released alone";
  magnifier.seAX()->setValue(100000);
  magnifier.seAY()->setValue(0);
  EXPECT_EQ(magnifier.logic().FixedSize(), QSize(640, 1));
}

}  // namespace
