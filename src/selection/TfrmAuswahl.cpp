#include "selection/TfrmAuswahl.h"

#include <QContextMenuEvent>
#include <QFrame>
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

// Where the compositor places every window itself, a second window can neither be
// put at its place nor kept above a full-screen one (GNOME stacks it below the
// overlay, and a window mapped later takes the keyboard and sends the overlay
// behind the top bar). There the Toolbox lives inside the overlay, in a frame
// with its caption, and is moved by that caption.
class ToolboxFrame : public QFrame {
 public:
  static constexpr int kCaption = 18;

  explicit ToolboxFrame(QWidget* overlay) : QFrame(overlay) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAutoFillBackground(true);
    setCursor(Qt::ArrowCursor);
  }
  void hold(QWidget* content) {
    content->setParent(this, Qt::Widget);
    content->move(1, 1 + kCaption);
    setFixedSize(content->width() + 2, content->height() + 2 + kCaption);
    content->show();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect caption(1, 1, width() - 2, kCaption);
    p.fillRect(caption, palette().color(QPalette::Highlight));
    p.setPen(palette().color(QPalette::HighlightedText));
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(11);
    p.setFont(bold);
    p.drawText(caption.adjusted(4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, windowTitle());
  }
  void mousePressEvent(QMouseEvent* event) override {
    dragging_ = event->button() == Qt::LeftButton && event->position().y() <= 1 + kCaption;
    grabbedAt_ = event->position().toPoint();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!dragging_ || !parentWidget()) return;
    // Kept whole on the overlay.
    const QPoint to = mapToParent(event->position().toPoint()) - grabbedAt_;
    const QSize room = parentWidget()->size() - size();
    move(qBound(0, to.x(), qMax(0, room.width())), qBound(0, to.y(), qMax(0, room.height())));
  }
  void mouseReleaseEvent(QMouseEvent*) override { dragging_ = false; }

 private:
  bool dragging_ = false;
  QPoint grabbedAt_;
};

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
  embedMagnifier(false);
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

void TfrmAuswahl::embedMagnifier(bool inside) {
  if (!magnifier_ || inside == (toolboxFrame_ != nullptr)) return;
  if (inside) {
    toolWindowFlags_ = magnifier_->windowFlags();
    auto* frame = new ToolboxFrame(this);
    frame->setWindowTitle(magnifier_->windowTitle());
    frame->hold(magnifier_);
    toolboxFrame_ = frame;
    setFocusPolicy(Qt::StrongFocus);  // the overlay keeps the keys beside the Toolbox's fields
    return;
  }
  setFocusPolicy(Qt::NoFocus);
  magnifier_->setParent(this, toolWindowFlags_);
  delete toolboxFrame_;
  toolboxFrame_ = nullptr;
}

void TfrmAuswahl::placeFullScreen() {
  embedMagnifier(true);
  // Where the user looks first; the output's own corner, as the compositor
  // decides which output the overlay fills.
  if (toolboxFrame_) toolboxFrame_->move(15, 15);
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
  if (toolboxFrame_) {
    toolboxFrame_->show();
    toolboxFrame_->raise();
    magnifier_->show();
    // The dialog hands the keys to its first field; they belong to the overlay
    // until the user clicks into the Toolbox, as with a Toolbox of its own.
    QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
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
