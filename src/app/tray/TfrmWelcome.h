#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace lumora {

class NotificationArea;
class TrayController;

// The splash shown for two seconds at start, and the owner of the tray icon and
// its menu for the rest of the program's life. Closing it ends the program.
class TfrmWelcome : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kSplashMs = 2000;
  // How often the program looks for a notification area while there is none.
  static constexpr int kTrayLookMs = 500;
  // `exitSequence` runs once when the window closes, before the program ends.
  // `area` tells when a notification area is there to take the icon; without
  // one the icon is made at once.
  TfrmWelcome(TrayController& controller, std::function<void()> exitSequence, NotificationArea* area = nullptr);
  ~TfrmWelcome() override;

  QMenu* pmTaskbar() const { return pmTaskbar_; }
  QMenu* pmOptionen() const { return pmOptionen_; }
  QAction* pmOptNoInfo() const { return pmOptNoInfo_; }
  QTimer& timerWelcome() { return timerWelcome_; }
  // Whether the icon could be put into a notification area.
  bool hasTrayIcon() const;
  // How a user reaches the program when there is no notification area.
  void RemoveTrayIcon();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenu();
  void timerWelcomeTimer();
  void AddTrayIcon();
  void lookForTray();
  void makeIcon();
  void iconActivated(int reason);

  TrayController& controller_;
  std::function<void()> exitSequence_;
  QTimer timerWelcome_;
  QMenu* pmTaskbar_ = nullptr;
  QMenu* pmOptionen_ = nullptr;
  QAction* pmOptNoInfo_ = nullptr;
  NotificationArea* area_;
  QTimer trayLook_;
  bool trayFound_ = false;
  QSystemTrayIcon* icon_ = nullptr;
  // Whether the icon went to a status notifier host, whose activation stands
  // for the double click (an embedding tray hands over the clicks themselves).
  bool statusNotifier_ = false;
  bool closing_ = false;
  bool toldNoTray_ = false;
};

}  // namespace lumora
