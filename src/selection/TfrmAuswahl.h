#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "selection/RegionSelector.h"
#include "selection/SelectionOverlayLogic.h"

class QAction;
class QMenu;

namespace lumora {

class TfrmAuswahlInfo;

// The selection overlay: a borderless window over the whole screen showing the
// frozen picture, on which the user drags the capture rectangle. The logic lives
// in SelectionOverlayLogic; this window forwards the mouse, paints and holds the
// popup menu pmAuswahl. Created once and reused.
class TfrmAuswahl : public QDialog, public RegionSelector {
  Q_OBJECT
 public:
  TfrmAuswahl(ScreenGrab& grab, Dialogs& dialogs);
  ~TfrmAuswahl() override;

  // The magnifier is created after the overlay; until it is attached,
  // SelectRegion changes nothing.
  void attachMagnifier(TfrmAuswahlInfo& magnifier);

  // How the window comes to cover the primary monitor: by placing itself there,
  // or, where the desktop places windows itself, by asking to be full-screen.
  enum class Placement { Self, FullScreen };
  void setPlacement(Placement placement) { placement_ = placement; }

  // Runs the selection modally (RegionSelector).
  ScreenRect SelectRegion(uint8_t captionPosition, uint8_t captionSize, const ScreenRect& current) override;
  const QImage& Thumbnail() const override;
  ScreenRect frozenRect() const override;

  SelectionOverlayLogic* logic() { return logic_.get(); }
  QMenu* pmAuswahl() const { return pmAuswahl_; }
  QAction* pmUebernehmen() const { return pmUebernehmen_; }
  QAction* pmNeu() const { return pmNeu_; }
  QAction* pmAlles() const { return pmAlles_; }
  QAction* pmAlteAuswahl() const { return pmAlteAuswahl_; }
  QAction* pmVerwerfen() const { return pmVerwerfen_; }
  QAction* pmFenster() const { return pmFenster_; }

  // Where the windows to snap to come from; none without one.
  void setWindowSource(SelectionOverlayLogic::WindowSource source);
  QMenu* pmumVorgaben() const { return pmumVorgaben_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  void buildMenu();
  void placeOnPrimaryScreen();
  void placeFullScreen();
  // Puts the Toolbox inside the overlay (full-screen placement) or back into
  // its own window (placed by the program).
  void embedMagnifier(bool inside);
  // Between Qt's window coordinates and the picture's device pixels.
  QPoint toPixels(const QPointF& logical) const;
  QRect toLogical(const QRect& pixels) const;
  void end(SelectionOverlayLogic::Outcome outcome);
  // Repaints what the last step changed and takes over its cursor.
  void sync();

  std::unique_ptr<SelectionOverlayLogic> logic_;
  ScreenGrab& grab_;
  Dialogs& dialogs_;
  TfrmAuswahlInfo* magnifier_ = nullptr;
  // The frame that holds the Toolbox inside the overlay; null while it is a window.
  QWidget* toolboxFrame_ = nullptr;
  Qt::WindowFlags toolWindowFlags_;
  Placement placement_ = Placement::Self;
  SelectionOverlayLogic::Outcome outcome_ = SelectionOverlayLogic::Outcome::Other;
  SelectionOverlayLogic::Cursor shownCursor_ = SelectionOverlayLogic::Cursor::Arrow;
  QMenu* pmAuswahl_ = nullptr;
  QMenu* pmumVorgaben_ = nullptr;
  QAction* pmUebernehmen_ = nullptr;
  QAction* pmNeu_ = nullptr;
  QAction* pmAlles_ = nullptr;
  QAction* pmAlteAuswahl_ = nullptr;
  QAction* pmVerwerfen_ = nullptr;
  QAction* pmFenster_ = nullptr;
  SelectionOverlayLogic::WindowSource windowSource_;
};

}  // namespace lumora
