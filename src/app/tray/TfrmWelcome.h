#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace lumora {

class TrayController;

// The splash shown for two seconds at start, and the owner of the tray icon and
// its menu for the rest of the program's life. Closing it ends the program.
class TfrmWelcome : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kSplashMs = 2000;
  // `exitSequence` runs once when the window closes, before the program ends.
  TfrmWelcome(TrayController& controller, std::function<void()> exitSequence);
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

  TrayController& controller_;
  std::function<void()> exitSequence_;
  QTimer timerWelcome_;
  QMenu* pmTaskbar_ = nullptr;
  QMenu* pmOptionen_ = nullptr;
  QAction* pmOptNoInfo_ = nullptr;
  QSystemTrayIcon* icon_ = nullptr;
  bool closing_ = false;
  bool toldNoTray_ = false;
};

}  // namespace lumora
