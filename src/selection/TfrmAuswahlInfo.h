#pragma once

#include <QWidget>

#include "selection/MagnifierLogic.h"

class QButtonGroup;
class QLabel;
class QSpinBox;
class QToolButton;

namespace lumora {

// The magnifier tool window "Toolbox": always on top of the selection overlay,
// showing the pointer position, the selection size and the enlarged view. Its
// state and drawing live in MagnifierLogic; this window only mirrors them.
class TfrmAuswahlInfo : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 110;
  static constexpr int kClientHeight = 284;

  // `parent` is the overlay: a window of the overlay stays usable while the
  // overlay runs modally.
  TfrmAuswahlInfo(QSize screen, QWidget* parent = nullptr);
  // The screen as it is when a selection opens: bounds the fixed size.
  void setScreenSize(QSize screen);

  MagnifierLogic& logic() { return logic_; }

  QLabel* lblMX() const { return lblMX_; }
  QLabel* lblMY() const { return lblMY_; }
  QLabel* lblGX() const { return lblGX_; }
  QLabel* lblGY() const { return lblGY_; }
  QLabel* Lupe() const { return Lupe_; }
  QToolButton* zoom2() const { return zoom2_; }
  QToolButton* Zoom3() const { return Zoom3_; }
  QToolButton* Zoom4() const { return Zoom4_; }
  QToolButton* SelNorm() const { return SelNorm_; }
  QToolButton* SelFix() const { return SelFix_; }
  QToolButton* sbFolgeText() const { return sbFolgeText_; }
  QSpinBox* seAX() const { return seAX_; }
  QSpinBox* seAY() const { return seAY_; }

  // Shows the logic's numbers and view now (normally done once per event).
  void refresh();

 private:
  QLabel* label(const QString& text, int x, int y, int w, bool bold = false);
  QToolButton* button(const QString& text, const QString& hint, int x, int y);
  void scheduleRefresh();

  MagnifierLogic logic_;
  bool refreshPending_ = false;
  QLabel *lblMX_, *lblMY_, *lblGX_, *lblGY_, *Lupe_;
  QToolButton *zoom2_, *Zoom3_, *Zoom4_, *SelNorm_, *SelFix_, *sbFolgeText_;
  QButtonGroup *zoomGroup_, *sizeGroup_;
  QSpinBox *seAX_, *seAY_;
};

}  // namespace lumora
