// The portal screen and the D-Bus screensaver switch against stand-in services
// on a private bus.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <sys/stat.h>
#include <functional>
#include <utime.h>

#include "Fakes.h"
#include "PrivateBus.h"
#include "Unprivileged.h"
#include "platform/wayland/DBusScreensaver.h"
#include "platform/wayland/DesktopNotice.h"
#include "platform/wayland/PortalScreen.h"

using namespace lumora;
using namespace lumora::test;
using namespace std::chrono_literals;

namespace {

// How the stand-in portal answers a Screenshot call.
enum class Answer { Picture, OldPicture, Cancelled, Refused, Never, NotAPicture, NoFile, OwnHandle, FileAsItIs };

class FakePortal : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
 public:
  Answer answer = Answer::Picture;
  QImage picture;
  QString file;
  QDBusConnection* bus = nullptr;
  QVariantMap lastOptions;
  int delayMs = 20;

 public Q_SLOTS:
  QDBusObjectPath Screenshot(const QString&, const QVariantMap& options) {
    lastOptions = options;
    QString sender = message().service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                       .arg(sender, options.value(QStringLiteral("handle_token")).toString());
    if (answer == Answer::OwnHandle) path = QStringLiteral("/org/freedesktop/portal/desktop/request/own/1");
    // The answer follows the call's return, as a real portal's does.
    QTimer::singleShot(delayMs, this, [this, path] { respond(path); });
    return QDBusObjectPath(path);
  }

 private:
  void respond(const QString& path) {
    uint code = 0;
    QVariantMap results;
    switch (answer) {
      case Answer::Never:
        return;
      case Answer::Cancelled:
        code = 1;
        break;
      case Answer::Refused:
        code = 2;
        break;
      case Answer::FileAsItIs:
        results[QStringLiteral("uri")] = QUrl::fromLocalFile(file).toString();
        break;
      case Answer::NoFile:
        results[QStringLiteral("uri")] = QStringLiteral("https://example.invalid/shot.png");
        break;
      case Answer::NotAPicture: {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("no picture here");
        results[QStringLiteral("uri")] = QUrl::fromLocalFile(file).toString();
        break;
      }
      case Answer::OldPicture:
        // Written long before the request: not the portal's answer to it.
        picture.save(file, "PNG");
        {
          const utimbuf old{1000000000, 1000000000};
          ::utime(QFile::encodeName(file).constData(), &old);
        }
        results[QStringLiteral("uri")] = QUrl::fromLocalFile(file).toString();
        break;
      case Answer::Picture:
      case Answer::OwnHandle:
        picture.save(file, "PNG");
        results[QStringLiteral("uri")] = QUrl::fromLocalFile(file).toString();
        break;
    }
    QDBusMessage signal =
        QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    signal << code << results;
    bus->send(signal);
  }
};

using Permissions = QMap<QString, QStringList>;

// The portal's permission store, holding the person's answer for screenshots.
class FakePermissionStore : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.impl.portal.PermissionStore")
 public:
  Permissions screenshot;

 public Q_SLOTS:
  Permissions Lookup(const QString& table, const QString& id, QDBusVariant& data) {
    data = QDBusVariant(QVariant(0u));
    return table == QLatin1String("screenshot") && id == QLatin1String("screenshot") ? screenshot : Permissions();
  }
};

class FakeScreenSaver : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
 public:
  QStringList calls;

 public Q_SLOTS:
  uint Inhibit(const QString& application, const QString& reason) {
    calls << QStringLiteral("Inhibit %1").arg(application);
    return 42;
  }
  void UnInhibit(uint cookie) { calls << QStringLiteral("UnInhibit %1").arg(cookie); }
};

// A notification server: GNOME Shell's banners.
class FakeNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
 public:
  QStringList calls;

 public Q_SLOTS:
  uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary, const QString&,
              const QStringList&, const QVariantMap& hints, int) {
    calls << QStringLiteral("Notify %1 %2 %3 \"%4\" transient=%5")
                 .arg(app)
                 .arg(replaces)
                 .arg(icon, summary)
                 .arg(hints.value(QStringLiteral("transient")).toBool());
    return replaces != 0 ? replaces : 7;
  }
  void CloseNotification(uint id) { calls << QStringLiteral("Close %1").arg(id); }
};

class Portal : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qDBusRegisterMetaType<Permissions>();
    bus = new PrivateBus;
  }
  static void TearDownTestSuite() {
    delete bus;
    bus = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(bus->running());
    service = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(bus->address(), name("service")));
    client = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(bus->address(), name("client")));
    ASSERT_TRUE(service->isConnected() && client->isConnected());
    portal.bus = service.get();
    portal.picture = TestPattern(200, 100).convertToFormat(QImage::Format_RGB32);
    portal.file = dir.filePath(QStringLiteral("out.png"));
  }
  void TearDown() override {
    service->unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
    service->unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
    service->unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
    service->unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
    service->unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    service->unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    service->unregisterObject(QStringLiteral("/org/freedesktop/impl/portal/PermissionStore"));
    service->unregisterService(QStringLiteral("org.freedesktop.impl.portal.PermissionStore"));
    QDBusConnection::disconnectFromBus(service->name());
    QDBusConnection::disconnectFromBus(client->name());
  }
  void offerPortal() {
    ASSERT_TRUE(service->registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                        QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service->registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
  }
  QString name(const char* what) { return QStringLiteral("%1-%2").arg(QLatin1String(what)).arg(++connections); }

  static PrivateBus* bus;
  static inline int connections = 0;
  std::unique_ptr<QDBusConnection> service, client;
  FakePortal portal;
  QTemporaryDir dir;
};

PrivateBus* Portal::bus = nullptr;

}  // namespace

TEST_F(Portal, AnAnsweredRequestGivesThePictureCroppedAndRemovesThePortalsFile) {
  offerPortal();
  PortalScreen screen(*client, {}, 5s);
  QImage got;
  ASSERT_TRUE(screen.grab({0, 0, 200, 100}, got)) << screen.lastError().toStdString();
  EXPECT_EQ(got, portal.picture);
  EXPECT_EQ(screen.size(), QSize(200, 100));
  EXPECT_EQ(portal.lastOptions.value(QStringLiteral("interactive")), QVariant(false));
  EXPECT_FALSE(QFile::exists(portal.file));

  // Past the edges: the part on screen, black around it, as on X11.
  ASSERT_TRUE(screen.grab({190, -5, 210, 5}, got));
  ASSERT_EQ(got.size(), QSize(20, 10));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) {
      const QPoint p(190 + x, y - 5);
      EXPECT_EQ(got.pixel(x, y), portal.picture.rect().contains(p) ? portal.picture.pixel(p) : qRgb(0, 0, 0));
    }
  // Edges far out of any desktop are all black, not an overflow.
  ASSERT_TRUE(screen.grab({INT32_MAX - 4, INT32_MIN, INT32_MAX, INT32_MIN + 2}, got));
  EXPECT_EQ(got.pixel(0, 0), qRgb(0, 0, 0));
}

TEST_F(Portal, EveryUnansweredOrRefusedRequestIsAFailedGrabWithItsReason) {
  struct Case {
    Answer answer;
    bool offered;
    const char* reason;
    Permissions kept = {};
  };
  const Case cases[] = {
      // Neither a failure nor a refusal is ever called a cancel of the person's.
      {Answer::Cancelled, true, "cancelled on the screen, or the desktop could not take it"},
      {Answer::Refused, true, "did not take the screenshot: the desktop reports a failure"},
      // The person said no once and the desktop keeps it: say how to undo it.
      {Answer::Refused, true, "the desktop refused: screenshots were denied", {{QString(), {"no"}}}},
      {Answer::Refused, true, "reports a failure", {{QStringLiteral("org.other.App"), {"no"}}}},
      {Answer::Never, true, "no answer within 0.3 seconds"},
      {Answer::NotAPicture, true, "could not be read"},
      {Answer::NoFile, true, "named no picture file"},
      {Answer::Picture, false, "not available for screenshots"},
  };
  FakePermissionStore store;
  ASSERT_TRUE(service->registerObject(QStringLiteral("/org/freedesktop/impl/portal/PermissionStore"), &store,
                                      QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(service->registerService(QStringLiteral("org.freedesktop.impl.portal.PermissionStore")));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    store.screenshot = c.kept;
    if (c.offered) offerPortal();
    portal.answer = c.answer;
    PortalScreen screen(*client, {}, 300ms);
    QImage target(7, 7, QImage::Format_RGB32);
    EXPECT_FALSE(screen.grab({0, 0, 10, 10}, target));
    EXPECT_TRUE(screen.lastError().contains(QLatin1String(c.reason))) << screen.lastError().toStdString();
    EXPECT_EQ(screen.refusedByDesktop(), c.kept.value(QString()).contains(QStringLiteral("no")));
    service->unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
    service->unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
    QFile::remove(portal.file);
  }
}

TEST_F(Portal, AnAnswerThatTakesLongIsAnnouncedOnceAndStillTaken) {
  offerPortal();
  portal.delayMs = 600;
  PortalScreen screen(*client, {}, 30s, 50ms);
  QStringList notices;
  screen.onWaiting = [&](const QString& what) { notices << what; };
  QImage got;
  ASSERT_TRUE(screen.grab({0, 0, 200, 100}, got)) << screen.lastError().toStdString();
  EXPECT_EQ(got, portal.picture);
  ASSERT_EQ(notices.size(), 1);
  EXPECT_TRUE(notices.first().contains(QLatin1String("may be asking"))) << notices.first().toStdString();
}

TEST_F(Portal, APictureFileThatIsNotOursAloneIsNeverRead) {
  offerPortal();
  portal.answer = Answer::FileAsItIs;
  const QString real = dir.filePath(QStringLiteral("real.png"));
  const QByteArray path = QFile::encodeName(portal.file);
  struct Case {
    const char* reason;
    std::function<bool()> make;
  };
  const Case cases[] = {
      {"symbolic link", [&] { return portal.picture.save(real, "PNG") && QFile::link(real, portal.file); }},
      {"may be changed by other users (mode 0664)",
       [&] { return portal.picture.save(portal.file, "PNG") && ::chmod(path.constData(), 0664) == 0; }},
      {"not a plain file", [&] { return ::mkfifo(path.constData(), 0600) == 0; }},
      // Only root can hand a file to another user; as anyone else the case is moot.
      {"belongs to another user",
       [&] {
         return ::geteuid() != 0 || (portal.picture.save(portal.file, "PNG") && ::chmod(path.constData(), 0600) == 0 &&
                                     ::chown(path.constData(), kNobody, kNobody) == 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    ASSERT_TRUE(c.make());
    if (!QFileInfo::exists(portal.file) && !QFileInfo(portal.file).isSymLink()) continue;
    PortalScreen screen(*client, {}, 5s);
    QImage target;
    EXPECT_FALSE(screen.grab({0, 0, 10, 10}, target));
    EXPECT_TRUE(screen.lastError().contains(QLatin1String(c.reason))) << screen.lastError().toStdString();
    // What is not ours stays where it is.
    EXPECT_TRUE(QFileInfo(portal.file).isSymLink() || QFileInfo::exists(portal.file));
    QFile::remove(portal.file);
  }
}

TEST_F(Portal, AFileThePortalMadeEarlierStaysAndAnOwnHandleIsFollowed) {
  offerPortal();
  PortalScreen screen(*client, {}, 5s);
  QImage got;
  portal.answer = Answer::OldPicture;
  ASSERT_TRUE(screen.grab({0, 0, 200, 100}, got));
  EXPECT_TRUE(QFile::exists(portal.file));

  portal.answer = Answer::OwnHandle;
  QFile::remove(portal.file);
  ASSERT_TRUE(screen.grab({0, 0, 200, 100}, got)) << screen.lastError().toStdString();
  EXPECT_EQ(got, portal.picture);
}

TEST_F(Portal, ThePrimaryOutputIsItsPartOfTheDesktopsPicture) {
  offerPortal();
  // Two outputs side by side at twice the density; the primary is the right one.
  portal.picture = TestPattern(400, 200).convertToFormat(QImage::Format_RGB32);
  const PortalScreen::Desktop desktop{QRect(100, 0, 100, 100), QRect(0, 0, 200, 100), 2.0};
  PortalScreen screen(*client, [&] { return desktop; }, 5s);
  EXPECT_EQ(screen.size(), QSize(200, 200));
  QImage got;
  ASSERT_TRUE(screen.grab({0, 0, 200, 200}, got));
  EXPECT_EQ(got, portal.picture.copy(200, 0, 200, 200));
  // Left of the primary is the other output, as with several monitors on X11;
  // together they are the desktop.
  ASSERT_TRUE(screen.grab({-1, 0, 1, 1}, got));
  EXPECT_EQ(got.pixel(0, 0), portal.picture.pixel(199, 0));
  EXPECT_EQ(got.pixel(1, 0), portal.picture.pixel(200, 0));
  EXPECT_EQ(screen.monitors(), (std::vector<QRect>{{0, 0, 200, 200}, {-200, 0, 400, 200}}));
  ASSERT_TRUE(screen.grab({-200, 0, 200, 200}, got));
  EXPECT_EQ(got, portal.picture);
}

TEST_F(Portal, TheScreensaverSwitchHoldsAnInhibitionWhileOff) {
  EXPECT_FALSE(DBusScreensaver::Available(*client));
  {
    DBusScreensaver absent(*client);
    EXPECT_FALSE(absent.setActive(false));
  }
  // The switch waits for its answers without an event loop: the stand-in answers
  // from a thread of its own.
  FakeScreenSaver saver;
  QThread worker;
  saver.moveToThread(&worker);
  worker.start();
  struct Stop {
    QThread& t;
    ~Stop() {
      t.quit();
      t.wait();
    }
  } stop{worker};
  ASSERT_TRUE(service->registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver,
                                      QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(service->registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
  EXPECT_TRUE(DBusScreensaver::Available(*client));
  {
    DBusScreensaver s(*client);
    EXPECT_TRUE(s.setActive(true));  // nothing held: nothing to give back
    EXPECT_TRUE(s.setActive(false));
    EXPECT_TRUE(s.setActive(false));  // held once only
    EXPECT_TRUE(s.inhibited());
    EXPECT_TRUE(s.setActive(true));
    EXPECT_FALSE(s.inhibited());
    EXPECT_TRUE(s.setActive(false));
  }  // an inhibition still held is given back at the end
  worker.quit();
  worker.wait();
  EXPECT_EQ(saver.calls, (QStringList{"Inhibit lumora", "UnInhibit 42", "Inhibit lumora", "UnInhibit 42"}));
}

TEST_F(Portal, TheCaptureNoticeIsOneTransientBannerReplacedAndClosedInTurn) {
  DesktopNotice notice(*client);
  EXPECT_FALSE(notice.show()) << "no server: the badge window shows";
  FakeNotifications server;
  ASSERT_TRUE(service->registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                      QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(service->registerService(QStringLiteral("org.freedesktop.Notifications")));
  auto settle = [&](int calls) { return QTest::qWaitFor([&] { return server.calls.size() >= calls; }, 5000); };
  ASSERT_TRUE(notice.show());
  ASSERT_TRUE(settle(1));
  notice.close();
  ASSERT_TRUE(settle(2));
  // Closed before the server has answered: closed once the answer names it.
  ASSERT_TRUE(notice.show());
  notice.close();
  ASSERT_TRUE(settle(4));
  EXPECT_EQ(server.calls, (QStringList{"Notify Lumora 0 lumora \"Screenshot erstellt\" transient=1", "Close 7",
                                       "Notify Lumora 7 lumora \"Screenshot erstellt\" transient=1", "Close 7"}));
}

#include "PortalScreenTest.moc"
