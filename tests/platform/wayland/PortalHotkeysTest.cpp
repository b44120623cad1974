// The hotkeys through the GlobalShortcuts portal, against a stand-in portal on a
// private bus.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "PrivateBus.h"
#include "platform/wayland/PortalHotkeys.h"

using namespace lumora;
using namespace lumora::test;

using Shortcut = lumora::PortalShortcut;

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// Binds what it is asked for, unless the person chose other keys for an id in
// its dialog (`chosen`), and answers as KDE's portal does.
class FakeShortcutsPortal : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
  Q_PROPERTY(uint version READ version)
 public:
  QDBusConnection* bus = nullptr;
  QMap<QString, QString> chosen;
  QStringList sessions;
  QStringList lastBind;  // "id=preferred trigger (description)", by id
  uint version() const { return 1; }

  void activate(const QString& session, const QString& id) {
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("Activated"));
    signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(0) << QVariantMap();
    bus->send(signal);
  }

 public Q_SLOTS:
  QDBusObjectPath CreateSession(const QVariantMap& options) {
    const QString sender = senderPart();
    const QString session = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                                .arg(sender, options.value(QStringLiteral("session_handle_token")).toString());
    sessions << session;
    return answer(options, {{QStringLiteral("session_handle"), session}});
  }
  // The type named in full: QtDBus finds a slot's argument types by their registered names.
  QDBusObjectPath BindShortcuts(const QDBusObjectPath&, const QList<lumora::PortalShortcut>& shortcuts, const QString&,
                                const QVariantMap& options) {
    lastBind.clear();
    QList<Shortcut> bound;
    for (const Shortcut& s : shortcuts) {
      const QString wanted = s.properties.value(QStringLiteral("preferred_trigger")).toString();
      lastBind << QStringLiteral("%1=%2 (%3)").arg(s.id, wanted,
                                                   s.properties.value(QStringLiteral("description")).toString());
      // KDE names the keys its own way.
      QString shown = chosen.value(s.id, wanted);
      shown.replace(QLatin1String("CTRL"), QLatin1String("Ctrl")).replace(QLatin1String("ALT"), QLatin1String("Alt"));
      shown = shown.left(shown.size() - 1) + shown.right(1).toUpper();
      bound.push_back({s.id, {{QStringLiteral("trigger_description"), shown}}});
    }
    lastBind.sort();
    return answer(options, {{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}});
  }

 private:
  QString senderPart() { return message().service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_')); }
  QDBusObjectPath answer(const QVariantMap& options, const QVariantMap& results) {
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                             .arg(senderPart(), options.value(QStringLiteral("handle_token")).toString());
    QTimer::singleShot(10, this, [this, path, results] {
      QDBusMessage signal =
          QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
      signal << 0u << results;
      bus->send(signal);
    });
    return QDBusObjectPath(path);
  }
};

bool Settle(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

class Shortcuts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    bus = new PrivateBus;
  }
  static void TearDownTestSuite() {
    delete bus;
    bus = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(bus->running());
    const int n = ++connections;
    service = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(bus->address(), QStringLiteral("s%1").arg(n)));
    client = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(bus->address(), QStringLiteral("c%1").arg(n)));
    ASSERT_TRUE(service->isConnected() && client->isConnected());
    portal.bus = service.get();
  }
  void TearDown() override {
    service->unregisterObject(kPath);
    service->unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
    QDBusConnection::disconnectFromBus(service->name());
    QDBusConnection::disconnectFromBus(client->name());
  }
  void offerPortal() {
    ASSERT_TRUE(service->registerObject(kPath, &portal,
                                        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
    ASSERT_TRUE(service->registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
  }

  static PrivateBus* bus;
  static inline int connections = 0;
  std::unique_ptr<QDBusConnection> service, client;
  FakeShortcutsPortal portal;
};

PrivateBus* Shortcuts::bus = nullptr;

}  // namespace

TEST_F(Shortcuts, BothAreBoundTogetherAnActivationPressesAndANewLetterBindsAgain) {
  EXPECT_FALSE(PortalHotkeys::Offered(*client));  // the README's bindings stay the way there
  offerPortal();
  ASSERT_TRUE(PortalHotkeys::Offered(*client));

  PortalHotkeys hotkeys(*client);
  const uint32_t selection = hotkeys.identifier("LUMORA_1"), capture = hotkeys.identifier("LUMORA_2");
  hotkeys.describe(selection, QStringLiteral("Bereichsauswahl"));
  hotkeys.describe(capture, QStringLiteral("Screenshot erstellen"));
  int bound = 0;
  QList<uint32_t> pressed;
  hotkeys.onBound = [&] { ++bound; };
  hotkeys.onPressed = [&](uint32_t id) { pressed << id; };
  // The person picks other keys for the capture in the desktop's dialog.
  portal.chosen[QStringLiteral("LUMORA_2")] = QStringLiteral("CTRL+Shift+p");
  ASSERT_TRUE(hotkeys.registerHotkey(selection, 'A'));
  ASSERT_TRUE(hotkeys.registerHotkey(capture, 'S'));
  EXPECT_FALSE(hotkeys.registerHotkey(capture, '#'));
  ASSERT_TRUE(Settle([&] { return bound == 1; }));
  EXPECT_EQ(portal.sessions.size(), 1);
  EXPECT_EQ(portal.lastBind, (QStringList{"LUMORA_1=CTRL+ALT+a (Bereichsauswahl)",
                                          "LUMORA_2=CTRL+ALT+s (Screenshot erstellen)"}));
  EXPECT_EQ(hotkeys.boundTrigger(selection), QStringLiteral("Ctrl+Alt+A"));
  EXPECT_EQ(hotkeys.boundTrigger(capture), QStringLiteral("Ctrl+Shift+P"));

  portal.activate(portal.sessions.last(), QStringLiteral("LUMORA_2"));
  portal.activate(QStringLiteral("/org/freedesktop/portal/desktop/session/other/1"), QStringLiteral("LUMORA_1"));
  ASSERT_TRUE(Settle([&] { return !pressed.isEmpty(); }));
  EXPECT_EQ(pressed, QList<uint32_t>{capture});

  // A new letter from the shortcut dialog: a new session with the new keys; the
  // old session's activations no longer count.
  portal.chosen.clear();
  const QString old = portal.sessions.last();
  ASSERT_TRUE(hotkeys.registerHotkey(capture, 'X'));
  ASSERT_TRUE(Settle([&] { return bound == 2; }));
  EXPECT_EQ(portal.sessions.size(), 2);
  EXPECT_EQ(portal.lastBind.last(), QStringLiteral("LUMORA_2=CTRL+ALT+x (Screenshot erstellen)"));
  EXPECT_EQ(hotkeys.boundTrigger(capture), QStringLiteral("Ctrl+Alt+X"));
  pressed.clear();
  portal.activate(old, QStringLiteral("LUMORA_2"));
  portal.activate(portal.sessions.last(), QStringLiteral("LUMORA_1"));
  ASSERT_TRUE(Settle([&] { return !pressed.isEmpty(); }));
  EXPECT_EQ(pressed, QList<uint32_t>{selection});
}

#include "PortalHotkeysTest.moc"
