#include "TextFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTextDocument>
#include <QToolButton>

#include "ui/widgets/ElidedLabel.h"

namespace lumora::test {

namespace {

// Where QLabel lays out its text: inside frame, margin and indent.
QRect textArea(const QLabel& label) {
  QRect area = label.contentsRect().adjusted(label.margin(), label.margin(), -label.margin(), -label.margin());
  int indent = label.indent();
  if (indent < 0 && label.frameWidth() > 0) indent = label.fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - label.margin();
  if (indent > 0) {
    if (label.alignment() & Qt::AlignLeft) area.setLeft(area.left() + indent);
    if (label.alignment() & Qt::AlignRight) area.setRight(area.right() - indent);
    if (label.alignment() & Qt::AlignTop) area.setTop(area.top() + indent);
    if (label.alignment() & Qt::AlignBottom) area.setBottom(area.bottom() - indent);
  }
  return area;
}

QString shownText(const QLabel& label) {
  if (auto* elided = qobject_cast<const ElidedLabel*>(&label)) return elided->shownText();
  return label.text();
}

int textFlags(const QLabel& label) { return int(label.alignment()) | (label.wordWrap() ? Qt::TextWordWrap : 0); }

QString entry(const QWidget& w, const QString& text, int needed, int given) {
  return QStringLiteral("%1 \"%2\": needs %3, has %4")
      .arg(w.objectName().isEmpty() ? QLatin1String(w.metaObject()->className()) : w.objectName(), text)
      .arg(needed)
      .arg(given);
}

int mnemonicWidth(const QWidget& w, const QString& text) {
  return w.fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

void checkLabel(const QLabel& label, QStringList& out) {
  const QString text = shownText(label);
  if (text.isEmpty() || label.textFormat() == Qt::RichText ||
      (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
    return;
  const QRect area = textArea(label);
  const QRect used = label.fontMetrics().boundingRect(area, textFlags(label), text);
  if (used.width() > area.width()) out << entry(label, text, used.width(), area.width());
  // A line cut at its foot is as unreadable as one cut at its end.
  if (used.height() > area.height() + 1) out << entry(label, text, used.height(), area.height()) + " (height)";
}

void checkButton(const QAbstractButton& button, QStringList& out) {
  const QString text = button.text();
  if (text.isEmpty()) return;
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = text;
  option.icon = button.icon();
  option.iconSize = button.iconSize();
  int needed = mnemonicWidth(button, text);
  int given = 0;
  if (auto* push = qobject_cast<const QPushButton*>(&button)) {
    if (push->isFlat()) option.features |= QStyleOptionButton::Flat;
    if (push->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    if (!button.icon().isNull()) needed += button.iconSize().width() + 4;
    given = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
  } else if (qobject_cast<const QCheckBox*>(&button)) {
    given = button.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &button).width();
  } else if (qobject_cast<const QRadioButton*>(&button)) {
    given = button.style()->subElementRect(QStyle::SE_RadioButtonContents, &option, &button).width();
  } else if (auto* tool = qobject_cast<const QToolButton*>(&button)) {
    if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly) return;
    given = button.width() - 2 * button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
  } else {
    return;
  }
  if (needed > given) out << entry(button, text, needed, given);
}

void checkGroupBox(const QGroupBox& box, QStringList& out) {
  if (box.title().isEmpty()) return;
  QStyleOptionGroupBox option;
  option.initFrom(&box);
  option.text = box.title();
  option.textAlignment = box.alignment();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  option.lineWidth = 1;
  const QRect label = box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
  if (label.left() < 0 || label.right() > box.rect().right())
    out << entry(box, box.title(), label.width(), box.width() - label.left());
}

// The tabs need their size hints side by side; less room shortens or hides some.
void checkTabBar(const QTabBar& bar, QStringList& out) {
  QStringList tabs;
  for (int i = 0; i < bar.count(); ++i) tabs << bar.tabText(i);
  if (bar.sizeHint().width() > bar.width()) out << entry(bar, tabs.join(QLatin1Char('|')), bar.sizeHint().width(), bar.width());
}

}  // namespace

int LaidOutLines(const QLabel& label) {
  const QFontMetrics metrics = label.fontMetrics();
  const QRect used = metrics.boundingRect(textArea(label), textFlags(label), shownText(label));
  return (used.height() + metrics.leading()) / metrics.lineSpacing();
}

QStringList Misfits(const QWidget& window) {
  QStringList out;
  QList<const QWidget*> widgets{&window};
  for (const QWidget* w : window.findChildren<QWidget*>()) widgets << w;
  for (const QWidget* w : widgets) {
    if (!w->isVisible()) continue;
    if (auto* label = qobject_cast<const QLabel*>(w)) checkLabel(*label, out);
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) checkButton(*button, out);
    if (auto* box = qobject_cast<const QGroupBox*>(w)) checkGroupBox(*box, out);
    if (auto* bar = qobject_cast<const QTabBar*>(w)) checkTabBar(*bar, out);
  }
  return out;
}

}  // namespace lumora::test
