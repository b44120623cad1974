// What the GNOME tests need of the shell, run inside the session as its user:
//   gnome_shell_helper picture FILE     the shell's own picture of the screen
//   gnome_shell_helper keys KEYSYM...   presses and releases each key in turn
// The shell gives pictures only to a few well-known names, gnome-screenshot's
// among them; input goes through mutter's remote desktop interface.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QThread>
#include <cstdio>

namespace {

QDBusMessage call(const QString& service, const QString& path, const QString& interface, const QString& method,
                  const QVariantList& args = {}) {
  QDBusMessage m = QDBusMessage::createMethodCall(service, path, interface, method);
  m.setArguments(args);
  QDBusMessage reply = QDBusConnection::sessionBus().call(m, QDBus::Block, 30000);
  if (reply.type() == QDBusMessage::ErrorMessage)
    std::fprintf(stderr, "%s: %s\n", qPrintable(method), qPrintable(reply.errorMessage()));
  return reply;
}

int picture(const QString& file) {
  if (!QDBusConnection::sessionBus().registerService(QStringLiteral("org.gnome.Screenshot"))) return 1;
  const QDBusMessage r = call(QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("/org/gnome/Shell/Screenshot"),
                              QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("Screenshot"),
                              {false, false, file});
  return r.type() == QDBusMessage::ReplyMessage && r.arguments().value(0).toBool() ? 0 : 1;
}

int keys(const QStringList& keysyms) {
  const QString service = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
  const QDBusMessage created = call(service, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), service,
                                    QStringLiteral("CreateSession"));
  if (created.type() != QDBusMessage::ReplyMessage) return 1;
  const QString session = created.arguments().value(0).value<QDBusObjectPath>().path();
  const QString iface = QStringLiteral("org.gnome.Mutter.RemoteDesktop.Session");
  auto key = [&](uint keysym, bool down) {
    return call(service, session, iface, QStringLiteral("NotifyKeyboardKeysym"), {keysym, down}).type() ==
           QDBusMessage::ReplyMessage;
  };
  bool ok = call(service, session, iface, QStringLiteral("Start")).type() == QDBusMessage::ReplyMessage;
  // The first events only bring the virtual devices into being.
  ok = ok && key(0xffe1, true) && key(0xffe1, false);
  call(service, session, iface, QStringLiteral("NotifyPointerMotionRelative"), {0.0, 0.0});
  QThread::msleep(500);
  for (const QString& k : keysyms) {
    bool valid = false;
    const uint keysym = k.toUInt(&valid, 16);
    ok = ok && valid && key(keysym, true) && key(keysym, false);
    QThread::msleep(300);
  }
  call(service, session, iface, QStringLiteral("Stop"));
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() == 2 && args[0] == QLatin1String("picture")) return picture(args[1]);
  if (args.size() >= 2 && args[0] == QLatin1String("keys")) return keys(args.mid(1));
  std::fprintf(stderr, "usage: gnome_shell_helper picture FILE | keys KEYSYM...\n");
  return 2;
}
