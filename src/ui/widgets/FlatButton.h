#pragma once

#include <QPushButton>

namespace lumora {

// A flat button that still reads as a button: a thin frame at rest, the whole
// button face while the pointer is over it, while it has the keyboard focus and
// while it is pressed.
class FlatButton : public QPushButton {
  Q_OBJECT
 public:
  explicit FlatButton(const QString& text, QWidget* parent = nullptr);

  // Whether the whole face shows now.
  bool raised() const { return underMouse() || hasFocus() || isDown(); }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace lumora
