#include "TrayDriver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <csignal>

#include "StoreFile.h"

namespace lumora::test {

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QThread::msleep(50);
  }
  return true;
}

QString Dword(int value) { return QStringLiteral("dword:%1").arg(uint32_t(value), 8, 16, QLatin1Char('0')); }

TrayDriver::TrayDriver(int width, int height) : TrayDriver(width, height, Options{}) {}

TrayDriver::TrayDriver(int width, int height, Options options) : server(options.server, width, height) {
  if (options.trayHost) startTrayHost();
  registry = dir.filePath(QStringLiteral("registry.reg"));
  folder = dir.path() + QStringLiteral("/shots/");
  QDir().mkpath(folder);
}

TrayDriver::~TrayDriver() {
  for (auto& p : programs_)
    if (p->state() != QProcess::NotRunning) {
      ::kill(pid_t(p->processId()), SIGKILL);
      p->waitForFinished(5000);
    }
}

bool TrayDriver::seedStore() {
  const ProcessResult r =
      RunProcess(QStringLiteral(LUMORA_BINARY), {"--capture", "--delay", "0", "--output", dir.filePath("seed.bmp")},
                 server.display(), 60000, {QStringLiteral("LUMORA_REGISTRY=") + registry});
  return r.exitCode == 0 && SetStoreValue(registry, "FileDir", QStringLiteral("\"%1\"").arg(folder));
}

QProcess& TrayDriver::start(const QStringList& extraEnv, const QStringList& args) {
  auto process = std::make_unique<QProcess>();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", server.display());
  env.insert("LUMORA_REGISTRY", registry);
  env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
  env.remove("QT_QPA_PLATFORM");
  for (const QString& kv : extraEnv) env.insert(kv.section('=', 0, 0), kv.section('=', 1));
  process->setProcessEnvironment(env);
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process->start(QStringLiteral(LUMORA_BINARY), args);
  process->waitForStarted(10000);
  programs_.push_back(std::move(process));
  return *programs_.back();
}

bool TrayDriver::waitReady() { return WaitFor([&] { return iconShown(); }); }

void TrayDriver::startTrayHost() {
  trayHost_ = server.startClient(QStringLiteral("trayer"),
                                 {"--edge", "top", "--align", "left", "--widthtype", "pixel", "--width", "200",
                                  "--height", "32", "--SetDockType", "false", "--SetPartialStrut", "false",
                                  "--transparent", "false"});
}

void TrayDriver::stopTrayHost() {
  server.stopClient(trayHost_);
  trayHost_ = -1;
}

bool TrayDriver::quit(QProcess& lumora) {
  menu({"Up", "Return"});
  return lumora.waitForFinished(15000);
}

QString TrayDriver::xdo(const QStringList& args) {
  return QString::fromUtf8(RunProcess(QStringLiteral("xdotool"), args, server.display(), 20000).out).trimmed();
}

bool TrayDriver::visible(const QString& title) {
  return !xdo({"search", "--onlyvisible", "--name", "^" + title + "$"}).isEmpty();
}

bool TrayDriver::iconShown() {
  // Qt makes unmapped helper windows of the program's class too; the icon is the
  // small visible one inside the tray.
  for (const QString& w : xdo({"search", "--onlyvisible", "--class", "lumora"}).split('\n', Qt::SkipEmptyParts)) {
    const QString geometry = xdo({"getwindowgeometry", w});
    if (geometry.contains("Geometry: 22x") || geometry.contains("x30")) return true;
  }
  return false;
}

void TrayDriver::menu(const QStringList& keys) {
  xdo({"mousemove", "10", "15", "click", "3"});
  QThread::msleep(400);
  xdo(QStringList{"key", "--delay", "80"} + keys);
  QThread::msleep(300);
}

void TrayDriver::drag(QPoint from, QPoint to) {
  auto move = [this](QPoint p) {
    xdo({"mousemove", QString::number(p.x()), QString::number(p.y())});
    QThread::msleep(100);
  };
  move(from);
  xdo({"mousedown", "1"});
  QThread::msleep(100);
  move((from + to) / 2);
  move(to);
  xdo({"mouseup", "1"});
  QThread::msleep(200);
}

bool TrayDriver::shot(const QString& name) {
  return WaitFor([&] { return QFile::exists(folder + name); });
}

}  // namespace lumora::test
