#pragma once

#include <QDialog>
#include <QStringList>

class QFontMetrics;
class QLabel;
class QPushButton;

namespace lumora {

// A modal message box that shows its text with exactly the text's own line
// breaks: the box is as wide as the longest line needs. Only a line wider than
// the screen is broken, at the last character that still fits, so that nothing
// of a long path is lost.
class MessageBox : public QDialog {
  Q_OBJECT
 public:
  enum class Kind { Error, Warning, Information, Question };

  // Questions get "&Ja" and "&Nein", the other kinds "OK".
  MessageBox(Kind kind, const QString& title, const QString& text, QWidget* parent = nullptr);

  // Runs the box; true only when "&Ja" (or "OK") was chosen.
  bool ask();

  QLabel* textLabel() const { return text_; }

  // The lines of `text`, each broken where it would be wider than `maxWidth`.
  static QStringList FitLines(const QString& text, const QFontMetrics& metrics, int maxWidth);

 private:
  QLabel* text_;
  QPushButton* yes_ = nullptr;
};

}  // namespace lumora
