#include "app/tray/SessionStartItem.h"

#include <QAction>
#include <QMenu>

#include "platform/fs/Autostart.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"

namespace lumora {

bool SwitchSessionStart(const Autostart& autostart, bool on, Dialogs& dialogs) {
  if (on && !Autostart::EntryText(autostart.program())) {
    dialogs.error(QStringLiteral("Der Pfad des Programms lässt sich nicht in einen Starteintrag schreiben:\n%1")
                      .arg(autostart.program()));
  } else if (!autostart.set(on)) {
    dialogs.error((on ? QStringLiteral("Der Eintrag für den Start mit der Sitzung konnte nicht angelegt werden:\n%1")
                      : QStringLiteral("Der Eintrag für den Start mit der Sitzung konnte nicht entfernt werden:\n%1"))
                      .arg(autostart.path()));
  }
  return autostart.enabled();
}

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
