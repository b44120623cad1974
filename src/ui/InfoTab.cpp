#include "ui/InfoTab.h"

#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "ui/InfoPicture.h"

namespace lumora {

InfoTab::InfoTab(OptionsContext& context, OptionsWindow& window, QWidget* parent)
    : OptionsPage(context, window, parent), background_(QStringLiteral(":/lumora/info-back.png")) {
  imgHilfe_ = new QLabel(this);
  imgHilfe_->setObjectName(QStringLiteral("imgHilfe"));
  imgHilfe_->setAlignment(Qt::AlignCenter);
  imgHilfe_->setPixmap(QPixmap::fromImage(InfoPicture(background_, ctx_.settings.Shortcuts)));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(imgHilfe_);
}

void InfoTab::showEvent(QShowEvent* event) {
  // The letters may have changed in the shortcut dialog since the last showing.
  imgHilfe_->setPixmap(QPixmap::fromImage(InfoPicture(background_, ctx_.settings.Shortcuts)));
  OptionsPage::showEvent(event);
}

}  // namespace lumora
