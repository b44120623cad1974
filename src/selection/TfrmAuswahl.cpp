#include "selection/TfrmAuswahl.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtMath>

#include "capture/ScreenGrab.h"
#include "capture/WholeScreen.h"
#include "selection/TfrmAuswahlInfo.h"

namespace lumora {

namespace {

using Outcome = SelectionOverlayLogic::Outcome;

struct Preset {
  const char* caption;
  int w, h;
};
constexpr Preset kScreens[] = {{"640 x 480", 640, 480},
                               {"800 x 600", 800, 600},
                               {"1024 x 768", 1024, 768},
                               {"1280 x 1024", 1280, 1024},
                               {"1600 x 1200", 1600, 1200}};
constexpr Preset kIcons[] = {{"16 x 16 (kleines Icon)", 16, 16}, {"32 x 32 (großes Icon)", 32, 32}};

bool leftOnly(const QMouseEvent& e) {
  return e.buttons() == Qt::LeftButton &&
         (e.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
}

Qt::CursorShape shape(SelectionOverlayLogic::Cursor c) {
  switch (c) {
    case SelectionOverlayLogic::Cursor::Cross: return Qt::CrossCursor;
    case SelectionOverlayLogic::Cursor::Move: return Qt::SizeAllCursor;
    case SelectionOverlayLogic::Cursor::Arrow: break;
  }
  return Qt::ArrowCursor;
}

}  // namespace

TfrmAuswahl::TfrmAuswahl(ScreenGrab& grab, Dialogs& dialogs)
    // A plain window, so that window managers let it go full-screen (Openbox
    // refuses that to tool windows); it stays out of the taskbar by its mark.
    : QDialog(nullptr, Qt::Window | Qt::FramelessWindowHint), grab_(grab), dialogs_(dialogs) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  buildMenu();
}

TfrmAuswahl::~TfrmAuswahl() = default;

void TfrmAuswahl::buildMenu() {
  pmAuswahl_ = new QMenu(this);
  auto item = [this](QMenu* menu, const QString& caption, QKeySequence key, auto fn) {
    QAction* a = menu->addAction(caption);
    if (!key.isEmpty()) {
      a->setShortcut(key);
      // The keys also act while the menu is closed, and while the magnifier
      // beside the overlay has the keyboard.
      a->setShortcutContext(Qt::ApplicationShortcut);
      addAction(a);
    }
    connect(a, &QAction::triggered, this, fn);
    return a;
  };
  pmUebernehmen_ = item(pmAuswahl_, QStringLiteral("Übernehmen"), Qt::Key_F1, [this] { end(Outcome::Accept); });
  // Enter accepts too, as in every other selection tool; the menu shows F1 only.
  pmUebernehmen_->setShortcuts({QKeySequence(Qt::Key_F1), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  pmNeu_ = item(pmAuswahl_, QStringLiteral("Neue Auswahl"), Qt::Key_F2, [this] {
    logic_->ClearSelection();
    sync();
  });
  pmAlles_ = item(pmAuswahl_, QStringLiteral("Alles Auswählen"), Qt::Key_F3, [this] { end(Outcome::WholeScreen); });
  pmAuswahl_->addSeparator();
  pmumVorgaben_ = pmAuswahl_->addMenu(QStringLiteral("Vorgaben"));
  auto preset = [&](const Preset& p) {
    item(pmumVorgaben_, QString::fromUtf8(p.caption), QKeySequence(), [this, p] {
      logic_->PlacePreset(p.w, p.h);
      sync();
    });
  };
  for (const Preset& p : kScreens) preset(p);
  pmumVorgaben_->addSeparator();
  for (const Preset& p : kIcons) preset(p);
  pmAlteAuswahl_ = item(pmAuswahl_, QStringLiteral("Zeige letzte Auswahl"), QKeySequence(), [this] {
    logic_->DrawLastSelection();
    sync();
  });
  pmAlteAuswahl_->setCheckable(true);  // toggled on each click, kept across runs
  // Checked at each opening; unchecked, a click draws as it would without windows.
  pmFenster_ = item(pmAuswahl_, QStringLiteral("Fenster erkennen"), Qt::Key_F4, [this] {
    logic_->setSnapping(pmFenster_->isChecked());
    sync();
  });
  pmFenster_->setCheckable(true);
  pmFenster_->setChecked(true);
  pmAuswahl_->addSeparator();
  pmVerwerfen_ = item(pmAuswahl_, QStringLiteral("Verwerfen"), Qt::Key_F12, [this] { end(Outcome::Discard); });
}

void TfrmAuswahl::attachMagnifier(TfrmAuswahlInfo& magnifier) {
  magnifier_ = &magnifier;
  logic_ = std::make_unique<SelectionOverlayLogic>(grab_, dialogs_, magnifier.logic());
  logic_->setWindowSource(windowSource_);
}

void TfrmAuswahl::setWindowSource(SelectionOverlayLogic::WindowSource source) {
  windowSource_ = std::move(source);
  if (logic_) logic_->setWindowSource(windowSource_);
}

ScreenRect TfrmAuswahl::SelectRegion(uint8_t captionPosition, uint8_t captionSize, const ScreenRect& current) {
  // A window that places itself can cover every monitor; a full-screen one gets one output.
  if (!logic_ || !logic_->open(captionPosition, captionSize, current, placement_ == Placement::Self)) return current;
  pmFenster_->setChecked(true);
  if (placement_ == Placement::FullScreen)
    placeFullScreen();
  else
    placeOnPrimaryScreen();
  magnifier_->setScreenSize(logic_->screenSize());
  shownCursor_ = SelectionOverlayLogic::Cursor::Arrow;
  setCursor(Qt::ArrowCursor);
  outcome_ = Outcome::Other;
  update();
  exec();
  magnifier_->hide();
  return logic_->finish(outcome_);
}

// The overlay covers the primary monitor and shows the frozen picture one screen
// pixel per device pixel, however Qt scales its windows: the picture and every
// coordinate of the selection are device pixels, the window's geometry is Qt's.
void TfrmAuswahl::placeOnPrimaryScreen() {
  const QSize pixels = logic_->screenSize();
  QScreen* screen = QGuiApplication::primaryScreen();
  const qreal dpr = screen ? screen->devicePixelRatio() : 1.0;
  const QPoint primary = screen ? screen->geometry().topLeft() : QPoint();
  auto logicalPoint = [&](QPoint pixels) { return primary + QPoint(qFloor(pixels.x() / dpr), qFloor(pixels.y() / dpr)); };
  // The frozen picture may begin on a monitor left of or above the primary.
  const QRect logical(logicalPoint(logic_->origin()), QSize(qCeil(pixels.width() / dpr), qCeil(pixels.height() / dpr)));
  setMinimumSize(logical.size());
  setMaximumSize(logical.size());
  setGeometry(logical);
  // Placed there, a window manager would still keep it out of the panels' room
  // (xfwm4 moves it below a top panel) and stack the panels over it: full-screen,
  // it gets the whole monitor it stands on, above them. Without a window manager
  // the state means nothing and the geometry holds. Only a picture of exactly that
  // monitor may fill it; one over several monitors keeps its own geometry.
  if (screen && screen->geometry() == logical) setWindowState(windowState() | Qt::WindowFullScreen);
  // The Toolbox goes where the user looks: the monitor with the pointer.
  Screen& s = grab_.screen();
  const ScreenRect m = WholeScreenRect(wsMauszeiger, s.monitors(), s.pointer());
  const QPoint corner = logical.contains(logicalPoint(QPoint(m.Left, m.Top))) ? logicalPoint(QPoint(m.Left, m.Top))
                                                                               : logical.topLeft();
  if (magnifier_) magnifier_->move(corner + QPoint(15, 15));
}

void TfrmAuswahl::placeFullScreen() {
  // The compositor gives a full-screen window the whole output it is put on.
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  winId();
  if (QWindow* window = windowHandle()) window->setScreen(QGuiApplication::primaryScreen());
  setWindowState(windowState() | Qt::WindowFullScreen);
}

const QImage& TfrmAuswahl::Thumbnail() const { return grab_.Thumbnail(); }

ScreenRect TfrmAuswahl::frozenRect() const { return logic_ ? logic_->frozenRect() : ScreenRect{}; }

QPoint TfrmAuswahl::toPixels(const QPointF& p) const {
  const qreal dpr = devicePixelRatioF();
  if (dpr == 1.0) return p.toPoint();
  // Scaled, Qt hands widgets the pointer rounded to whole logical pixels: every
  // other device pixel could not be reached. The screen knows the exact one.
  if (const std::optional<QPoint> exact = grab_.screen().pointer()) return *exact - logic_->origin();
  return QPoint(qRound(p.x() * dpr), qRound(p.y() * dpr));
}

QRect TfrmAuswahl::toLogical(const QRect& pixels) const {
  const qreal dpr = devicePixelRatioF();
  return QRectF(pixels.x() / dpr, pixels.y() / dpr, pixels.width() / dpr, pixels.height() / dpr).toAlignedRect();
}

void TfrmAuswahl::end(SelectionOverlayLogic::Outcome outcome) {
  outcome_ = outcome;
  done(QDialog::Accepted);
}

// Escape and the window manager's close both mean "Verwerfen".
void TfrmAuswahl::reject() { end(Outcome::Discard); }

void TfrmAuswahl::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  activateWindow();
  if (!magnifier_) return;
  // A compositor that places the windows itself (sway) keeps the Toolbox above
  // a full-screen overlay only when both come up together.
  if (placement_ == Placement::FullScreen) {
    magnifier_->show();
    magnifier_->raise();
    return;
  }
  // The magnifier goes up once the overlay is on its way to the screen: mapped
  // first, it would end up below the overlay under window managers that put a
  // newly mapped window on top.
  QTimer::singleShot(0, this, [this] {
    if (!isVisible()) return;
    magnifier_->show();
    magnifier_->raise();
  });
}

void TfrmAuswahl::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage* surface = logic_ ? &logic_->surface() : nullptr;
  const qreal dpr = devicePixelRatioF();
  for (const QRect& r : event->region()) {
    if (surface && !surface->isNull())
      painter.drawImage(QRectF(r), *surface, QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
    else
      painter.fillRect(r, Qt::black);
  }
}

void TfrmAuswahl::sync() {
  if (!logic_) return;
  for (const QRect& r : logic_->takeDirty()) update(toLogical(r));
  if (logic_->cursor() != shownCursor_) {
    shownCursor_ = logic_->cursor();
    setCursor(shape(shownCursor_));
  }
}

void TfrmAuswahl::mousePressEvent(QMouseEvent* event) {
  if (!logic_) return;
  const QPoint p = toPixels(event->position());
  logic_->mouseDown(p.x(), p.y(), leftOnly(*event));
  sync();
}

void TfrmAuswahl::mouseMoveEvent(QMouseEvent* event) {
  if (!logic_) return;
  const QPoint p = toPixels(event->position());
  logic_->mouseMove(p.x(), p.y(), leftOnly(*event));
  sync();
}

void TfrmAuswahl::mouseReleaseEvent(QMouseEvent* event) {
  if (!logic_) return;
  const QPoint p = toPixels(event->position());
  logic_->mouseUp(p.x(), p.y());
  sync();
}

void TfrmAuswahl::contextMenuEvent(QContextMenuEvent* event) { pmAuswahl_->popup(event->globalPos()); }

}  // namespace lumora
