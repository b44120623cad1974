#pragma once

#include <QLabel>

namespace lumora {

// A one-line label for paths: it never widens its layout, and a text longer
// than the label is shown shortened in the middle with "…", so that both the
// start of the path and the file name stay readable. text() and the tooltip
// keep the whole text.
class ElidedLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ElidedLabel(QWidget* parent = nullptr);

  // Sets the text and the tooltip.
  void setPath(const QString& text);
  // What the label shows at its present width.
  QString shownText() const;

  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Where the text goes: inside frame and margin, and, as QLabel does it, half an
  // "x" away from a frame on the side the text is aligned to.
  QRect textRect() const;
};

}  // namespace lumora
