#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include "platform/Hotkeys.h"

class QDBusArgument;

namespace lumora {

// One entry of the portal's shortcut lists: an id and its properties.
struct PortalShortcut {
  QString id;
  QVariantMap properties;
};
QDBusArgument& operator<<(QDBusArgument& arg, const PortalShortcut& s);
const QDBusArgument& operator>>(const QDBusArgument& arg, PortalShortcut& s);

// Hotkeys through the desktop portal's GlobalShortcuts interface (KDE Plasma,
// GNOME from 48, Hyprland): the program asks for its combinations and the desktop
// binds them, possibly to other keys the person chose in the desktop's own dialog.
// The portal binds all of a session's shortcuts at once, so each change of the
// registered combinations opens a new session on the next turn of the event loop.
class PortalHotkeys : public QObject, public Hotkeys {
  Q_OBJECT
 public:
  // Whether the portal offers GlobalShortcuts on `bus`; needs an event loop.
  static bool Offered(QDBusConnection bus);

  explicit PortalHotkeys(QDBusConnection bus);
  ~PortalHotkeys() override;

  // Asks the desktop for Ctrl+Alt+key; the answer comes later (boundTrigger()),
  // so only a key that cannot be named is refused at once.
  bool registerHotkey(uint32_t id, char key) override;
  void unregisterHotkey(uint32_t id) override;
  uint32_t identifier(const char* name) override;
  void describe(uint32_t id, const QString& description) override { descriptions_[id] = description; }
  QString boundTrigger(uint32_t id) const override { return triggers_.value(id); }
  bool desktopChoosesKeys() const override { return true; }

  // The portal's spelling of Ctrl+Alt+key ("CTRL+ALT+s").
  static QString Trigger(char key);

 private Q_SLOTS:
  void onResponse(uint code, const QVariantMap& results, const QDBusMessage& message);
  void onActivated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                   const QVariantMap& options);
  void onShortcutsChanged(const QDBusObjectPath& session, const QDBusMessage& message);

 private:
  enum class Stage { Idle, CreatingSession, Binding };
  void scheduleBind();
  void bind();
  void closeSession();
  // Sends a portal call whose answer comes on a request object.
  void request(const QString& method, const QList<QVariant>& args, const QString& token);
  void takeTriggers(const QVariant& shortcuts);

  QDBusConnection bus_;
  QHash<uint32_t, QString> names_;
  QHash<uint32_t, char> keys_;
  QHash<uint32_t, QString> descriptions_;
  QHash<uint32_t, QString> triggers_;
  QString session_;
  QString pending_;  // the request object whose answer is awaited
  Stage stage_ = Stage::Idle;
  bool bindScheduled_ = false;
  unsigned tokens_ = 0;
};

}  // namespace lumora

Q_DECLARE_METATYPE(lumora::PortalShortcut)
