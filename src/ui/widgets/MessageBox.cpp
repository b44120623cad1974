#include "ui/widgets/MessageBox.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace lumora {

namespace {

QStyle::StandardPixmap iconOf(MessageBox::Kind kind) {
  switch (kind) {
    case MessageBox::Kind::Error: return QStyle::SP_MessageBoxCritical;
    case MessageBox::Kind::Warning: return QStyle::SP_MessageBoxWarning;
    case MessageBox::Kind::Question: return QStyle::SP_MessageBoxQuestion;
    case MessageBox::Kind::Information: break;
  }
  return QStyle::SP_MessageBoxInformation;
}

}  // namespace

QStringList MessageBox::FitLines(const QString& text, const QFontMetrics& metrics, int maxWidth) {
  QStringList lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    QString rest = line;
    while (metrics.horizontalAdvance(rest) > maxWidth && rest.size() > 1) {
      int n = 1;
      while (n < rest.size() && metrics.horizontalAdvance(rest.left(n + 1)) <= maxWidth) ++n;
      lines << rest.left(n);
      rest = rest.mid(n);
    }
    lines << rest;
  }
  return lines;
}

MessageBox::MessageBox(Kind kind, const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("Meldung"));
  setWindowTitle(title);

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("lblIcon"));
  const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(iconOf(kind), nullptr, this).pixmap(iconSize, iconSize));
  icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  text_ = new QLabel(this);
  text_->setObjectName(QStringLiteral("lblText"));
  text_->setTextFormat(Qt::PlainText);
  text_->setWordWrap(false);
  text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(8);
  buttons->addStretch(1);
  if (kind == Kind::Question) {
    yes_ = new QPushButton(QStringLiteral("&Ja"), this);
    auto* no = new QPushButton(QStringLiteral("&Nein"), this);
    no->setObjectName(QStringLiteral("btnNein"));
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(yes_);
    buttons->addWidget(no);
  } else {
    yes_ = new QPushButton(QStringLiteral("OK"), this);
    buttons->addWidget(yes_);
  }
  yes_->setObjectName(kind == Kind::Question ? QStringLiteral("btnJa") : QStringLiteral("btnOK"));
  yes_->setDefault(true);
  connect(yes_, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addStretch(1);

  auto* layout = new QGridLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // exactly as large as the text needs
  layout->setHorizontalSpacing(14);
  layout->setVerticalSpacing(12);
  layout->setContentsMargins(14, 14, 14, 10);
  layout->addWidget(icon, 0, 0);
  layout->addWidget(text_, 0, 1);
  layout->addLayout(buttons, 1, 0, 1, 2);

  // Only what the screen cannot show is broken; every other line stays whole.
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
  const QMargins m = layout->contentsMargins();
  const int room = screenWidth - m.left() - m.right() - iconSize - layout->horizontalSpacing() - 16;
  text_->setText(FitLines(text, text_->fontMetrics(), qMax(room, 100)).join(QLatin1Char('\n')));
}

bool MessageBox::ask() { return exec() == QDialog::Accepted; }

}  // namespace lumora
