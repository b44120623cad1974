#include "app/tray/TfrmWelcome.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <cstdio>

#include "app/tray/TrayController.h"

namespace lumora {

namespace {
QIcon menuIcon(const char* name) { return QIcon(QStringLiteral(":/lumora/%1.png").arg(QLatin1String(name))); }
}  // namespace

TfrmWelcome::TfrmWelcome(TrayController& controller, std::function<void()> exitSequence)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      controller_(controller),
      exitSequence_(std::move(exitSequence)) {
  setObjectName(QStringLiteral("frmWelcome"));
  setWindowTitle(QStringLiteral("WelcomeScreen"));
  setFixedSize(210, 310);
  auto* image = new QLabel(this);
  image->setObjectName(QStringLiteral("Image1"));
  image->setPixmap(QPixmap(QStringLiteral(":/lumora/splash.png")));
  image->setGeometry(0, 0, 210, 310);
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());

  buildMenu();
  icon_ = new QSystemTrayIcon(QIcon(QStringLiteral(":/lumora/icon32.png")), this);
  icon_->setToolTip(QStringLiteral("Lumora 2002 Manager"));
  connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) controller_.onShowOptions();
    if (reason == QSystemTrayIcon::Context) pmTaskbar_->popup(QCursor::pos());
    // A single left click does nothing.
  });

  // The splash timer runs from creation with its stored period; showing the
  // splash restarts it with two seconds.
  timerWelcome_.setInterval(3000);
  connect(&timerWelcome_, &QTimer::timeout, this, &TfrmWelcome::timerWelcomeTimer);
  timerWelcome_.start();
}

TfrmWelcome::~TfrmWelcome() { delete pmTaskbar_; }

void TfrmWelcome::buildMenu() {
  pmTaskbar_ = new QMenu;
  pmTaskbar_->setObjectName(QStringLiteral("pmTaskbar"));
  auto item = [this](QMenu* menu, const char* name, const QString& caption, const char* icon, auto action) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (icon) a->setIcon(menuIcon(icon));
    connect(a, &QAction::triggered, this, action);
    return a;
  };
  TrayController& c = controller_;
  item(pmTaskbar_, "pmAnzeigen", QStringLiteral("Lumora anzeigen"), "menu-show", [&c] { c.onShowOptions(); });
  pmTaskbar_->addSeparator()->setObjectName(QStringLiteral("N2"));
  item(pmTaskbar_, "pmAuswahl", QStringLiteral("Bereich auswählen"), "menu-select", [&c] { c.onSelectRegion(); });
  item(pmTaskbar_, "pmScreenshot", QStringLiteral("Screenshot!"), "menu-screenshot", [&c] { c.onScreenshot(); });
  pmTaskbar_->addSeparator()->setObjectName(QStringLiteral("N1"));

  QMenu* options = pmOptionen_ = pmTaskbar_->addMenu(menuIcon("menu-options"), QStringLiteral("Optionen"));
  options->setObjectName(QStringLiteral("pmOptionen"));
  item(options, "pmOptDeinstall", QStringLiteral("Deinstallieren und Beenden"), "menu-uninstall",
       [&c] { c.onUninstall(); });
  item(options, "pmOptEinstRueck", QStringLiteral("Einstellungen zurücksetzen"), "menu-reset",
       [&c] { c.onResetSettings(); });
  options->addSeparator()->setObjectName(QStringLiteral("N3"));
  pmOptNoInfo_ = item(options, "pmOptNoInfo", QStringLiteral("  Bestätigungen unterdrücken"), nullptr,
                      [&c] { c.toggleSuppressConfirmations(); });
  pmOptNoInfo_->setCheckable(true);
  item(options, "S1", QStringLiteral("  Shortcuts personalisieren..."), nullptr, [&c] { c.onShortcuts(); });
  options->addSeparator()->setObjectName(QStringLiteral("N5"));
  item(options, "pmZielordnerffnen", QStringLiteral("Zielordner öffnen (Explorer)"), "menu-folder",
       [&c] { c.onOpenTargetFolder(); });

  pmTaskbar_->addSeparator()->setObjectName(QStringLiteral("N4"));
  item(pmTaskbar_, "pmMenuZu", QStringLiteral("Menü schließen"), nullptr, [] {});
  item(pmTaskbar_, "pmEnde", QStringLiteral("Beenden"), nullptr, [this] { close(); });
}

bool TfrmWelcome::hasTrayIcon() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TfrmWelcome::showEvent(QShowEvent* event) {
  timerWelcome_.start(kSplashMs);
  QWidget::showEvent(event);
}

void TfrmWelcome::timerWelcomeTimer() {
  hide();
  timerWelcome_.stop();
  AddTrayIcon();
}

void TfrmWelcome::AddTrayIcon() {
  // Shown also without a notification area: the icon goes in as soon as one starts,
  // and comes back when it restarts.
  if (!QSystemTrayIcon::isSystemTrayAvailable() && !toldNoTray_) {
    std::fprintf(stderr, "lumora: no notification area yet; until one starts: %s\n",
                 controller_.reachText().toUtf8().constData());
    toldNoTray_ = true;
  }
  // On Wayland only a notification area present at start takes the icon; Qt's
  // watch for one that starts later listens for X11's tray and warns there.
  if (!QSystemTrayIcon::isSystemTrayAvailable() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
    return;
  icon_->show();
}

void TfrmWelcome::RemoveTrayIcon() { icon_->hide(); }

void TfrmWelcome::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    timerWelcome_.stop();
    if (exitSequence_) exitSequence_();
    QCoreApplication::quit();
  }
  event->accept();
}

}  // namespace lumora
