#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "capture/ScreenGrab.h"
#include "selection/SelectionOverlayLogic.h"
#include "selection/WindowSnap.h"
#include "settings/Settings.h"

using namespace lumora;
using lumora::test::FakeDialogs;
using lumora::test::ImageScreen;
using lumora::test::TestPattern;
using Outcome = SelectionOverlayLogic::Outcome;

namespace {

constexpr ScreenRect kScreen{0, 0, 1024, 768};
constexpr ScreenRect kPrevious{10, 20, 30, 40};

class Overlay : public ::testing::Test {
 public:
  void SetUp() override { ASSERT_TRUE(logic.open(tpKeine, 14, kPrevious)); }

  void drag(int x1, int y1, int x2, int y2) {
    logic.mouseDown(x1, y1, true);
    logic.mouseMove(x2, y2, true);
    logic.mouseUp(logic.LastMouseX, logic.LastMouseY);
  }
  ScreenRect corners() const { return {logic.StartX, logic.StartY, logic.EndX, logic.EndY}; }
  void setCorners(ScreenRect r) {
    logic.StartX = r.Left, logic.StartY = r.Top, logic.EndX = r.Right, logic.EndY = r.Bottom;
  }

  ImageScreen screen{TestPattern(1024, 768)};
  FakeDialogs dialogs;
  ScreenGrab grab{screen, dialogs, std::chrono::milliseconds(0)};
  MagnifierLogic magnifier{QSize(1024, 768)};
  SelectionOverlayLogic logic{grab, dialogs, magnifier};
};

TEST_F(Overlay, OutcomesOfARun) {
  struct Case {
    const char* name;
    std::function<void(Overlay&)> act;
    Outcome outcome;
    ScreenRect result;
    bool message;
  };
  const Case cases[] = {
      {"dragged", [](Overlay& o) { o.drag(100, 100, 300, 200); }, Outcome::Accept, {100, 100, 300, 200}, false},
      {"dragged up and left", [](Overlay& o) { o.drag(300, 200, 100, 50); }, Outcome::Accept, {100, 50, 300, 200}, false},
      {"one pixel wide", [](Overlay& o) { o.drag(100, 100, 101, 300); }, Outcome::Accept, {100, 100, 101, 300}, false},
      {"click without moving", [](Overlay& o) { o.drag(500, 500, 500, 500); }, Outcome::Accept, kScreen, true},
      {"flat", [](Overlay& o) { o.drag(100, 100, 400, 100); }, Outcome::Accept, kScreen, true},
      {"accept after Neue Auswahl",
       [](Overlay& o) {
         o.drag(100, 100, 300, 200);
         o.logic.ClearSelection();
       },
       Outcome::Accept, kScreen, true},
      {"discard after drawing", [](Overlay& o) { o.drag(100, 100, 300, 200); }, Outcome::Discard, kPrevious, false},
      {"whole screen", [](Overlay& o) { o.drag(100, 100, 300, 200); }, Outcome::WholeScreen, kScreen, false},
      {"ended otherwise", [](Overlay& o) { o.drag(100, 100, 300, 200); }, Outcome::Other, kScreen, false},
      {"preset larger than the screen",
       [](Overlay& o) { o.logic.PlacePreset(1600, 1200); }, Outcome::Accept, {-288, -216, 1312, 984}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(logic.open(tpKeine, 14, kPrevious));
    dialogs.boxes.clear();
    c.act(*this);
    EXPECT_EQ(logic.finish(c.outcome), c.result);
    ASSERT_EQ(dialogs.boxes.size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(dialogs.boxes[0].kind, FakeDialogs::Kind::Info);
      EXPECT_EQ(dialogs.boxes[0].text,
                QString::fromUtf8("Aus dem selektierten Bildschirmbereich resultiert keine Fläche!\n"
                                  "Der Auswahlbereich wurde auf den gesamten Bildschirm festgelegt."));
    }
  }
}

TEST_F(Overlay, PresetsAreCentredOnTheScreen) {
  struct Case { int w, h; ScreenRect r; };
  const Case cases[] = {{640, 480, {192, 144, 832, 624}}, {1600, 1200, {-288, -216, 1312, 984}},
                        {16, 16, {504, 376, 520, 392}}, {1024, 768, {0, 0, 1024, 768}}};
  for (const Case& c : cases) {
    logic.PlacePreset(c.w, c.h);
    EXPECT_EQ(corners(), c.r) << c.w << "x" << c.h;
  }
}

TEST_F(Overlay, APressStartsANewRectangleOnlyOutsideTheHitZone) {
  struct Case { const char* name; ScreenRect frame; QPoint press; uint8_t mode; ScreenRect after; };
  const Case cases[] = {
      {"inside", {100, 100, 200, 200}, {150, 150}, SelectionOverlayLogic::Moving, {100, 100, 200, 200}},
      {"2 px right of the frame", {100, 100, 200, 200}, {202, 150}, SelectionOverlayLogic::Moving, {100, 100, 200, 200}},
      {"2 px above, corners reversed", {200, 200, 100, 100}, {98, 98}, SelectionOverlayLogic::Moving, {200, 200, 100, 100}},
      {"3 px right of the frame", {100, 100, 200, 200}, {203, 150}, SelectionOverlayLogic::Drawing, {203, 150, 203, 150}},
      {"cleared: origin", {0, 0, 0, 0}, {0, 0}, SelectionOverlayLogic::Moving, {0, 0, 0, 0}},
      {"cleared: (2, 2)", {0, 0, 0, 0}, {2, 2}, SelectionOverlayLogic::Moving, {0, 0, 0, 0}},
      {"cleared: (3, 0)", {0, 0, 0, 0}, {3, 0}, SelectionOverlayLogic::Drawing, {3, 0, 3, 0}},
      {"cleared: (0, 3)", {0, 0, 0, 0}, {0, 3}, SelectionOverlayLogic::Drawing, {0, 3, 0, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    logic.DragMode = SelectionOverlayLogic::None;
    setCorners(c.frame);
    logic.mouseDown(c.press.x(), c.press.y(), true);
    EXPECT_EQ(logic.DragMode, c.mode);
    EXPECT_EQ(corners(), c.after);
    EXPECT_EQ(logic.cursor(), c.mode == SelectionOverlayLogic::Moving ? SelectionOverlayLogic::Cursor::Move
                                                                      : SelectionOverlayLogic::Cursor::Cross);
    logic.mouseUp(logic.LastMouseX, logic.LastMouseY);
  }
}

TEST_F(Overlay, OtherButtonsAndModifiersNeitherDrawNorMove) {
  setCorners({100, 100, 200, 200});
  logic.mouseDown(500, 500, false);
  EXPECT_EQ(logic.DragMode, SelectionOverlayLogic::None);
  EXPECT_EQ(corners(), (ScreenRect{100, 100, 200, 200}));
  EXPECT_EQ(logic.LastMouseX, 500);
  logic.mouseMove(600, 600, false);
  EXPECT_EQ(corners(), (ScreenRect{100, 100, 200, 200}));
}

TEST_F(Overlay, TheEdgeMagnetSnapsWhileMoving) {
  struct Case { const char* name; ScreenRect frame; QPoint step; ScreenRect after; };
  const Case cases[] = {
      {"15 px from the left: free", {50, 50, 150, 150}, {-35, 0}, {15, 50, 115, 150}},
      {"10 px from the left: snaps", {50, 50, 150, 150}, {-40, 0}, {0, 50, 100, 150}},
      {"past the left edge: snaps", {50, 50, 150, 150}, {-80, 0}, {0, 50, 100, 150}},
      {"top", {50, 50, 150, 150}, {0, -45}, {50, 0, 150, 100}},
      {"snapped: a 10 px step stays", {0, 50, 100, 150}, {10, 0}, {0, 50, 100, 150}},
      {"snapped: an 11 px step leaves", {0, 50, 100, 150}, {11, 0}, {11, 50, 111, 150}},
      {"right", {800, 50, 900, 150}, {115, 0}, {924, 50, 1024, 150}},
      {"bottom", {50, 600, 150, 700}, {0, 60}, {50, 668, 150, 768}},
      // The start corner is tested against the left edge even when it is the right-hand corner.
      {"reversed corners, left", {200, 200, 100, 100}, {-185, 0}, {15, 200, -85, 100}},
      {"reversed corners, snaps", {200, 200, 100, 100}, {-190, 0}, {0, 200, -100, 100}},
      {"reversed corners, end at the right", {1000, 200, 900, 100}, {115, 0}, {1124, 200, 1024, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    setCorners(c.frame);
    logic.DragMode = SelectionOverlayLogic::Moving;
    logic.LastMouseX = 500;
    logic.LastMouseY = 400;
    logic.mouseMove(500 + c.step.x(), 400 + c.step.y(), true);
    EXPECT_EQ(corners(), c.after);
    logic.mouseUp(logic.LastMouseX, logic.LastMouseY);
  }
}

TEST_F(Overlay, FixedSizePlacesTheMagnifiersSizeThenFollowsThePointer) {
  magnifier.setVariableSize(false);
  magnifier.setFixedWidth(200);
  magnifier.setFixedHeight(100);
  logic.mouseDown(900, 60, true);
  EXPECT_EQ(corners(), (ScreenRect{900, 60, 1100, 160})) << "not clamped to the screen";
  logic.mouseMove(950, 300, true);
  EXPECT_EQ(corners(), (ScreenRect{900, 60, 950, 300}));
  logic.mouseUp(logic.LastMouseX, logic.LastMouseY);
  EXPECT_EQ(logic.finish(Outcome::Accept), (ScreenRect{900, 60, 950, 300}));
}

TEST_F(Overlay, ADragCutShortByTheEndOfARunDoesNotCarryIntoTheNext) {
  logic.mouseDown(100, 100, true);
  logic.mouseMove(200, 200, true);
  ASSERT_EQ(logic.DragMode, SelectionOverlayLogic::Drawing);
  logic.finish(Outcome::Accept);  // F1 with the button still held: no release comes
  ASSERT_TRUE(logic.open(tpKeine, 14, kPrevious));
  EXPECT_EQ(logic.DragMode, SelectionOverlayLogic::None);
  logic.mouseMove(300, 300, false);
  EXPECT_EQ(corners(), (ScreenRect{0, 0, 0, 0}));
  EXPECT_EQ(logic.surface(), grab.GrabBitmap()) << "no rubber band without a button";
}

TEST_F(Overlay, TheMagnifierShowsThePointerAndTheSizeAsTheyStand) {
  const struct {
    const char* step;
    std::function<void()> run;
    int x, y, w, h;
  } steps[] = {
      {"press", [&] { logic.mouseDown(100, 100, true); }, 0, 0, 0, 0},
      {"move", [&] { logic.mouseMove(150, 130, true); }, 150, 130, 50, 30},
      {"last move", [&] { logic.mouseMove(475, 133, true); }, 475, 133, 375, 33},
      {"release", [&] { logic.mouseUp(476, 134); }, 476, 134, 375, 33},
      {"next opening", [&] { ASSERT_TRUE(logic.open(tpKeine, 14, kPrevious)); }, 0, 0, 0, 0},
  };
  for (const auto& s : steps) {
    s.run();
    EXPECT_EQ(magnifier.mouseX(), s.x) << s.step;
    EXPECT_EQ(magnifier.mouseY(), s.y) << s.step;
    EXPECT_EQ(magnifier.selectionWidth(), s.w) << s.step;
    EXPECT_EQ(magnifier.selectionHeight(), s.h) << s.step;
  }
}

TEST_F(Overlay, AFailedGrabCancelsTheRun) {
  screen.fail = true;
  EXPECT_FALSE(logic.open(tpKeine, 14, kPrevious));
  EXPECT_EQ(dialogs.count(FakeDialogs::Kind::Error), 1);
  logic.mouseDown(10, 10, true);  // a stray event does no harm
  logic.mouseMove(20, 20, true);
  logic.mouseUp(logic.LastMouseX, logic.LastMouseY);
}

// The caption line of each position, and that erasing leaves the frozen picture.
TEST_F(Overlay, FramesAndCaptionLinesEraseBackToTheFrozenPicture) {
  struct Case { uint8_t position; int lineY; };
  const Case cases[] = {{tpOben, 100 + 14}, {tpUnten, 300 - 14}, {tpMitte, -1}, {tpKeine, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.position));
    ASSERT_TRUE(logic.open(c.position, 14, kPrevious));
    const QImage frozen = grab.GrabBitmap();
    ASSERT_EQ(logic.surface(), frozen);
    drag(400, 300, 200, 100);  // from bottom-right: the line runs from the start corner
    const QImage& s = logic.surface();
    for (int y : {150, 200, 250, 286, 114}) {
      const bool line = y == c.lineY;
      EXPECT_EQ(s.pixel(400, y) != frozen.pixel(400, y), line) << y;  // the start pixel of the line
      EXPECT_EQ(s.pixel(394, y) != frozen.pixel(394, y), line) << y;  // the next dot
      EXPECT_EQ(s.pixel(397, y), frozen.pixel(397, y)) << y;           // a gap
    }
    // Move it, place presets, show the last selection twice, clear: all gone.
    logic.mouseDown(300, 200, true);
    logic.mouseMove(250, 180, true);
    logic.mouseMove(5, 3, true);
    logic.mouseUp(logic.LastMouseX, logic.LastMouseY);
    logic.PlacePreset(1600, 1200);
    logic.PlacePreset(16, 16);
    logic.DrawLastSelection();
    EXPECT_NE(logic.surface(), frozen);
    logic.DrawLastSelection();
    logic.ClearSelection();
    EXPECT_EQ(logic.surface(), frozen);
  }
}

TEST_F(Overlay, LastSelectionIsASolidOutline) {
  const QImage frozen = grab.GrabBitmap();
  logic.DrawLastSelection();
  int differing = 0;
  for (int x = 10; x < 30; ++x) differing += logic.surface().pixel(x, 20) != frozen.pixel(x, 20);
  EXPECT_EQ(differing, 20);
  EXPECT_NE(logic.surface().pixel(29, 39), frozen.pixel(29, 39));
  EXPECT_EQ(logic.surface().pixel(30, 40), frozen.pixel(30, 40));
}

TEST_F(Overlay, CaptionCompensationShiftsTheMagnifierWhileDraggingTheCoveredEdge) {
  struct Case { uint8_t position; bool compensated; QPoint from, to; bool leftOnly; int offset; };
  const Case cases[] = {
      {tpOben, true, {300, 300}, {200, 200}, true, 16},    // dragging the upper edge
      {tpOben, true, {200, 200}, {300, 300}, true, 0},
      {tpUnten, true, {200, 200}, {300, 300}, true, -16},  // dragging the lower edge
      {tpUnten, true, {300, 300}, {200, 200}, true, 0},
      {tpMitte, true, {300, 300}, {200, 200}, true, 0},
      {tpKeine, true, {300, 300}, {200, 200}, true, 0},
      {tpOben, false, {300, 300}, {200, 200}, true, 0},
      {tpOben, true, {300, 300}, {200, 200}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.position) << c.compensated << c.leftOnly << c.to.y());
    ASSERT_TRUE(logic.open(c.position, 16, kPrevious));
    magnifier.setCaptionCompensated(c.compensated);
    logic.mouseDown(c.from.x(), c.from.y(), true);
    logic.mouseMove(c.to.x(), c.to.y(), c.leftOnly);
    logic.mouseUp(logic.LastMouseX, logic.LastMouseY);
    // The crosshair's centre shows the true colour of the pixel it looks at.
    EXPECT_EQ(magnifier.Lupe().pixel(49, 49), logic.surface().pixel(c.to.x(), c.to.y() + c.offset));
  }
}

}  // namespace

namespace {

// Three windows, the topmost first: A over B, C partly off the left and bottom edges.
constexpr ScreenRect kA{100, 100, 400, 300}, kB{300, 200, 700, 600}, kC{-50, 500, 200, 900};

class Snapping : public Overlay {
 public:
  void SetUp() override {
    logic.setWindowSource([] { return std::vector<ScreenRect>{kA, kB, kC}; });
    ASSERT_TRUE(logic.open(tpKeine, 14, kPrevious));
  }
  // The pointer comes to rest at (x, y), then is pressed, moved to (x2, y2) and released.
  void click(int x, int y, int x2, int y2) {
    logic.mouseMove(x, y, false);
    logic.mouseDown(x, y, true);
    if (x2 != x || y2 != y) logic.mouseMove(x2, y2, true);
    logic.mouseUp(x2, y2);
  }
  bool surfaceIsTheGrab() const { return logic.surface() == grab.GrabBitmap().convertToFormat(QImage::Format_RGB32); }
};

TEST_F(Snapping, AClickOnAWindowSelectsItsFrameOnTheScreen) {
  struct Case {
    const char* name;
    std::function<void(Snapping&)> act;
    ScreenRect result;
    bool message;
  };
  const ScreenRect kCOnScreen{0, 500, 200, 768};
  const Case cases[] = {
      {"on A", [](Snapping& s) { s.click(150, 150, 150, 150); }, kA, false},
      {"where A covers B", [](Snapping& s) { s.click(350, 250, 350, 250); }, kA, false},
      {"on B alone", [](Snapping& s) { s.click(600, 500, 600, 500); }, kB, false},
      {"partly off the screen", [](Snapping& s) { s.click(10, 700, 10, 700); }, kCOnScreen, false},
      {"a hand's tremble is a click", [](Snapping& s) { s.click(150, 150, 152, 148); }, kA, false},
      {"a drag draws as ever", [](Snapping& s) { s.click(150, 150, 250, 153); }, {150, 150, 250, 153}, false},
      {"no window: no area", [](Snapping& s) { s.click(900, 100, 900, 100); }, kScreen, true},
      {"snapping off", [](Snapping& s) { s.logic.setSnapping(false); s.click(150, 150, 150, 150); }, kScreen, true},
      {"a second click inside moves nothing",
       [](Snapping& s) {
         s.click(150, 150, 150, 150);
         s.click(600, 500, 600, 500);  // outside A's selection: selects B
         s.click(650, 550, 650, 550);  // inside B's selection: arms moving
       },
       kB, false},
      {"fixed size places its own rectangle",
       [](Snapping& s) { s.magnifier.setVariableSize(false); s.click(150, 150, 150, 150); }, {150, 150, 790, 630}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    magnifier.setVariableSize(true);
    ASSERT_TRUE(logic.open(tpKeine, 14, kPrevious));
    dialogs.boxes.clear();
    c.act(*this);
    EXPECT_EQ(logic.finish(Outcome::Accept), c.result);
    EXPECT_EQ(dialogs.boxes.size(), c.message ? 1u : 0u);
  }
}

TEST_F(Snapping, TheOutlineFollowsThePointerAndLeavesNoMark) {
  struct Step {
    QPoint at;
    std::optional<ScreenRect> outlined;
    QSize shown;  // in the Toolbox
  };
  const Step steps[] = {
      {{150, 150}, kA, {300, 200}}, {{350, 250}, kA, {300, 200}},  {{600, 500}, kB, {400, 400}},
      {{10, 700}, ScreenRect{0, 500, 200, 768}, {200, 268}},       {{900, 100}, std::nullopt, {0, 0}},
  };
  for (const Step& s : steps) {
    logic.mouseMove(s.at.x(), s.at.y(), false);
    EXPECT_EQ(logic.outlinedWindow(), s.outlined) << s.at.x() << "," << s.at.y();
    EXPECT_EQ(QSize(magnifier.selectionWidth(), magnifier.selectionHeight()), s.shown);
    // Outlined, the picture differs only on the outline; without one it is the grab again.
    EXPECT_EQ(surfaceIsTheGrab(), !s.outlined);
  }
  // A window being selected is not outlined again: a press there moves the selection.
  click(150, 150, 150, 150);
  logic.mouseMove(160, 160, false);
  EXPECT_EQ(logic.outlinedWindow(), std::nullopt);
  // Switching snapping off takes the outline away at once.
  logic.mouseMove(600, 500, false);
  ASSERT_EQ(logic.outlinedWindow(), kB);
  logic.setSnapping(false);
  EXPECT_EQ(logic.outlinedWindow(), std::nullopt);
  logic.ClearSelection();
  EXPECT_TRUE(surfaceIsTheGrab());
}

TEST(WindowSnapTest, TheTopmostWindowUnderThePointerClippedToTheScreen) {
  WindowSnap snap;
  snap.reset({kA, kB, kC, {2000, 0, 2100, 100}}, kScreen);
  struct Case { QPoint at; std::optional<ScreenRect> want; };
  const Case cases[] = {{{100, 100}, kA},        {{399, 299}, kA},           {{400, 299}, kB},
                        {{699, 599}, kB},        {{700, 600}, std::nullopt}, {{0, 767}, ScreenRect{0, 500, 200, 768}},
                        {{2050, 50}, std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(snap.at(c.at.x(), c.at.y()), c.want) << c.at.x() << "," << c.at.y();
  snap.setEnabled(false);
  EXPECT_EQ(snap.at(150, 150), std::nullopt);
  snap.reset({kA}, kScreen);
  EXPECT_TRUE(snap.enabled());
}

}  // namespace

TEST_F(Overlay, OverEveryMonitorTheCornersComeAndGoFromThePrimarysCorner) {
  // The primary 1024 x 768 with a 400 x 300 monitor left of it, a little higher.
  screen.monitorList = {QRect(0, 0, 1024, 768), QRect(-400, -100, 400, 300)};
  screen.pointerAt = QPoint(-50, 0);
  tBildschirm choice{wsAlle, false};
  grab.followChoice(choice);
  ASSERT_TRUE(logic.open(tpKeine, 14, kPrevious, true));
  EXPECT_EQ(logic.origin(), QPoint(-400, -100));
  EXPECT_EQ(logic.frozenRect(), (ScreenRect{-400, -100, 1024, 768}));
  EXPECT_EQ(logic.surface().size(), QSize(1424, 868));
  // The last selection is drawn where it lies on the picture.
  logic.DrawLastSelection();
  EXPECT_NE(logic.surface().pixel(410, 120), grab.GrabBitmap().pixel(410, 120));
  // A preset is centred on the pointer's monitor; a drawn rectangle on it comes back
  // counted from the primary's corner, and so does the whole screen.
  logic.PlacePreset(16, 16);
  EXPECT_EQ(corners(), (ScreenRect{192, 142, 208, 158}));
  drag(10, 20, 110, 70);
  EXPECT_EQ(logic.finish(Outcome::Accept), (ScreenRect{-390, -80, -290, -30}));
  ASSERT_TRUE(logic.open(tpKeine, 14, kPrevious, true));
  EXPECT_EQ(logic.finish(Outcome::WholeScreen), (ScreenRect{-400, -100, 1024, 768}));
  EXPECT_EQ(logic.finish(Outcome::Discard), kPrevious);
  // Without the choice the overlay is the primary monitor's, as always.
  choice.Bereich = wsPrimaer;
  ASSERT_TRUE(logic.open(tpKeine, 14, kPrevious, true));
  EXPECT_EQ(logic.frozenRect(), kScreen);
}
