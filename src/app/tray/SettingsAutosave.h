#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace lumora {

// Saves the settings a moment after the user changed them, so that a crash, a lost
// display or a power cut costs nothing; the save at exit stays. It listens to the
// user's input anywhere in the program (clicks, keys, the wheel) and to the
// program's own commands, waits until things are quiet for `delay`, and writes
// only when what the store keeps has really changed.
class SettingsAutosave : public QObject {
  Q_OBJECT
 public:
  // `image` is everything a save would store; `save` stores it and tells whether
  // that worked.
  SettingsAutosave(std::function<QByteArray()> image, std::function<bool()> save,
                   std::chrono::milliseconds delay = std::chrono::milliseconds(1000));

  // Something may have changed: check after the delay, unless more comes first.
  void poke();
  // The settings as they are now count as stored (after a save elsewhere, or a
  // reset that is meant to reach the store only at exit).
  void markStored();
  // While held nothing is written (the uninstall and reset actions delete the
  // store and must not see it written back behind them).
  void hold(bool held);
  // Checks at once; true when nothing was left unsaved.
  bool flush();

  // Holds the autosave back while it lives: for the actions that delete the
  // store, which must not see it written back behind them.
  class Hold {
   public:
    explicit Hold(SettingsAutosave& autosave) : autosave_(autosave) { autosave_.hold(true); }
    ~Hold() {
      if (!kept_) autosave_.hold(false);
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    // Never let go: the settings are gone for good.
    void keep() { kept_ = true; }

   private:
    SettingsAutosave& autosave_;
    bool kept_ = false;
  };

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<QByteArray()> image_;
  std::function<bool()> save_;
  QTimer timer_;
  QByteArray stored_;
  bool held_ = false;
  bool toldFailure_ = false;
};

}  // namespace lumora
