#include "app/tray/SessionStartItem.h"

#include <QAction>
#include <QMenu>

#include "platform/fs/Autostart.h"
#include "platform/ErrorReport.h"

namespace lumora {

QAction* AddSessionStartItem(QMenu& options, const Autostart& autostart, Dialogs& dialogs) {
  options.addSeparator()->setObjectName(QStringLiteral("N6"));
  QAction* item = options.addAction(QStringLiteral("  Mit der Sitzung starten"));
  item->setObjectName(QStringLiteral("pmOptSitzung"));
  item->setCheckable(true);
  QObject::connect(&options, &QMenu::aboutToShow, item, [item, &autostart] { item->setChecked(autostart.enabled()); });
  QObject::connect(item, &QAction::triggered, item, [item, &autostart, &dialogs](bool on) {
    runGuarded(dialogs, [&] { item->setChecked(SwitchSessionStart(autostart, on, dialogs)); });
  });
  return item;
}

}  // namespace lumora
