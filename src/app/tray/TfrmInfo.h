#pragma once

#include <QPixmap>
#include <QRegion>
#include <QTimer>
#include <QWidget>

namespace lumora {

class CaptureNotice;

// The round badge that confirms a hotkey capture for two seconds.
class TfrmInfo : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kDisplayMs = 2000;
  explicit TfrmInfo(QWidget* parent = nullptr);

  // Shows the badge in the middle of the screen. While it is up, another call
  // changes nothing: it still closes two seconds after it first appeared.
  void showPopup();
  QTimer& displayTimer() { return DisplayTimer; }
  // Where the desktop confirms captures itself, it does instead of the badge.
  void setNotice(CaptureNotice* notice) { notice_ = notice; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void DisplayTimerTimer();

  QPixmap OkImage;
  QTimer DisplayTimer;
  QRegion disc_;
  bool seeThrough_ = false;
  CaptureNotice* notice_ = nullptr;
  bool noticeShown_ = false;
};

}  // namespace lumora
