#include "ui/InfoTab.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lumora {

InfoTab::InfoTab(OptionsContext& context, OptionsWindow& window, QWidget* parent) : OptionsPage(context, window, parent) {
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("imgHilfe"));
  picture->setPixmap(QPixmap(QStringLiteral(":/lumora/info.png")));
  picture->setAlignment(Qt::AlignCenter);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(picture);
}

}  // namespace lumora
