#include "platform/wayland/PortalHotkeys.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QHashFunctions>
#include <QTimer>
#include <unistd.h>

#include "platform/wayland/PortalRequest.h"

namespace lumora {

QDBusArgument& operator<<(QDBusArgument& arg, const PortalShortcut& s) {
  arg.beginStructure();
  arg << s.id << s.properties;
  arg.endStructure();
  return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, PortalShortcut& s) {
  arg.beginStructure();
  arg >> s.id >> s.properties;
  arg.endStructure();
  return arg;
}

namespace {

const QString kService = PortalService();
const QString kPath = PortalPath();
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

QString sessionHandle(const QVariantMap& results) {
  const QVariant handle = results.value(QStringLiteral("session_handle"));
  // The interface says a string; some portals send an object path.
  if (handle.canConvert<QDBusObjectPath>()) return handle.value<QDBusObjectPath>().path();
  return handle.toString();
}

}  // namespace

bool PortalHotkeys::Offered(QDBusConnection bus) {
  if (!bus.isConnected()) return false;
  QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
  get << kInterface << QStringLiteral("version");
  QDBusPendingCallWatcher watcher(bus.asyncCall(get, 3000));
  QEventLoop loop;
  QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
  if (!watcher.isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  return watcher.reply().type() == QDBusMessage::ReplyMessage;
}

PortalHotkeys::PortalHotkeys(QDBusConnection bus) : bus_(std::move(bus)) {
  qDBusRegisterMetaType<PortalShortcut>();
  qDBusRegisterMetaType<QList<PortalShortcut>>();
  // Every request's answer comes to this connection; onResponse picks the awaited one.
  bus_.connect(QString(), QString(), kRequest, QStringLiteral("Response"), this,
               SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
  bus_.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
               SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
  bus_.connect(kService, kPath, kInterface, QStringLiteral("ShortcutsChanged"), this,
               SLOT(onShortcutsChanged(QDBusObjectPath, QDBusMessage)));
}

PortalHotkeys::~PortalHotkeys() { closeSession(); }

QString PortalHotkeys::Trigger(char key) {
  return QStringLiteral("CTRL+ALT+") + QChar(QLatin1Char(key)).toLower();
}

uint32_t PortalHotkeys::identifier(const char* name) {
  const uint32_t id = (qHash(QByteArray(name)) & 0x7fffffffu) | 1u;
  names_[id] = QString::fromLatin1(name);
  return id;
}

bool PortalHotkeys::registerHotkey(uint32_t id, char key) {
  const bool nameable = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
  if (!names_.contains(id) || !nameable) return false;
  keys_[id] = key;
  scheduleBind();
  return true;
}

void PortalHotkeys::unregisterHotkey(uint32_t id) {
  if (keys_.remove(id)) scheduleBind();
}

void PortalHotkeys::scheduleBind() {
  // Both combinations are registered one after the other; they go out together.
  if (bindScheduled_) return;
  bindScheduled_ = true;
  QTimer::singleShot(0, this, &PortalHotkeys::bind);
}

void PortalHotkeys::closeSession() {
  if (session_.isEmpty()) return;
  bus_.send(QDBusMessage::createMethodCall(kService, session_, QStringLiteral("org.freedesktop.portal.Session"),
                                           QStringLiteral("Close")));
  session_.clear();
}

void PortalHotkeys::bind() {
  bindScheduled_ = false;
  closeSession();
  triggers_.clear();
  stage_ = Stage::Idle;
  pending_.clear();
  if (keys_.isEmpty()) return;
  const QString token = QStringLiteral("lumora_%1_%2").arg(::getpid()).arg(++tokens_);
  stage_ = Stage::CreatingSession;
  request(QStringLiteral("CreateSession"),
          {QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("session_handle_token"), token}}},
          token);
}

void PortalHotkeys::request(const QString& method, const QList<QVariant>& args, const QString& token) {
  const QString path = PortalRequestPath(bus_, token);
  pending_ = path;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
  call.setArguments(args);
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, path] {
    watcher->deleteLater();
    QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (pending_ != path) return;
    if (reply.isError()) {
      pending_.clear();
      stage_ = Stage::Idle;
      return;
    }
    // Portals older than the token convention answer on a path of their own.
    pending_ = reply.value().path();
  });
}

void PortalHotkeys::onResponse(uint code, const QVariantMap& results, const QDBusMessage& message) {
  if (message.path() != pending_ || pending_.isEmpty()) {
    // A session that a newer binding overtook is not needed any more.
    const QString stale = sessionHandle(results);
    if (code == 0 && !stale.isEmpty() && stale != session_)
      bus_.send(QDBusMessage::createMethodCall(kService, stale, QStringLiteral("org.freedesktop.portal.Session"),
                                               QStringLiteral("Close")));
    return;
  }
  pending_.clear();
  if (code != 0) {
    stage_ = Stage::Idle;
    return;
  }
  if (stage_ == Stage::CreatingSession) {
    session_ = sessionHandle(results);
    if (session_.isEmpty()) {
      stage_ = Stage::Idle;
      return;
    }
    QList<PortalShortcut> shortcuts;
    for (auto it = keys_.cbegin(); it != keys_.cend(); ++it)
      shortcuts.push_back({names_.value(it.key()),
                           {{QStringLiteral("description"), descriptions_.value(it.key(), names_.value(it.key()))},
                            {QStringLiteral("preferred_trigger"), Trigger(it.value())}}});
    const QString token = QStringLiteral("lumora_%1_%2").arg(::getpid()).arg(++tokens_);
    stage_ = Stage::Binding;
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts), QString(),
             QVariantMap{{QStringLiteral("handle_token"), token}}},
            token);
    return;
  }
  if (stage_ == Stage::Binding) {
    stage_ = Stage::Idle;
    takeTriggers(results.value(QStringLiteral("shortcuts")));
  }
}

void PortalHotkeys::takeTriggers(const QVariant& shortcuts) {
  const QList<PortalShortcut> list = qdbus_cast<QList<PortalShortcut>>(shortcuts);
  triggers_.clear();
  for (const PortalShortcut& s : list) {
    const uint32_t id = names_.key(s.id, 0);
    if (id != 0) triggers_[id] = s.properties.value(QStringLiteral("trigger_description")).toString();
  }
  if (onBound) onBound();
}

void PortalHotkeys::onActivated(const QDBusObjectPath& session, const QString& shortcut, qulonglong,
                                const QVariantMap&) {
  if (session.path() != session_ || session_.isEmpty()) return;
  const uint32_t id = names_.key(shortcut, 0);
  if (id != 0 && keys_.contains(id) && onPressed) onPressed(id);
}

void PortalHotkeys::onShortcutsChanged(const QDBusObjectPath& session, const QDBusMessage& message) {
  // The person changed the keys in the desktop's own settings.
  if (session.path() != session_ || session_.isEmpty() || message.arguments().size() < 2) return;
  takeTriggers(message.arguments().at(1));
}

}  // namespace lumora
