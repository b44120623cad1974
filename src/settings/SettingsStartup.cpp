#include "settings/SettingsStartup.h"

#include "settings/Defaults.h"

namespace lumora {

namespace msg {
const char* const kFirstWriteFailed =
    "Lumora konnte bei der ersten Ausführung keine Daten in die\n"
    "Registrierungsdatenbank schreiben. Benutzereinstellungen sind\n"
    "somit für folgende Programmläufe nicht wieder verfügbar.";
const char* const kExitSaveFailed =
    "Die Einstellungen konnten nicht in die Registrierungsdatenbank\n"
    "übernommen werden. Es kann zu einem Fehler beim nächsten Programm-\n"
    "start kommen, der dann jedoch wenn möglich, behoben wird.";
const char* const kNotAFile =
    "Die Einstellungsdatei\n%1\nist keine gewöhnliche Datei. Lumora liest sie nicht und schreibt\n"
    "nichts hinein; das Programm wird mit Defaulteinstellungen gestartet.";
}  // namespace msg

void InitShortcuts(RegistryOp& store, ShortcutSettings& letters) {
  if (!store.LoadShortcuts(letters)) store.SaveShortcuts('S', 'A');
}

bool LoadSettingsAtStart(RegistryOp& store, Dialogs& dialogs, Settings& settings, QSize screenSize,
                         const QString& defaultFolder) {
  const QString unusable = store.UnusablePlace();
  if (!unusable.isEmpty()) {
    dialogs.error(QString::fromUtf8(msg::kNotAFile).arg(unusable));
    SetDefaults(settings, screenSize, defaultFolder);
    return false;
  }
  const bool stored = store.KeyExists(RegistryOp::kKeyPath);
  if (store.LoadSettings(settings)) {
    settings.Beschriftung.FontName = QStringLiteral("Arial");
    return true;
  }
  // Settings that were there but could not all be read are kept aside, so that
  // one bad value costs the user nothing they cannot get back.
  if (stored) store.KeepDamagedCopy();
  SetDefaults(settings, screenSize, defaultFolder);
  if (!store.SaveSettings(settings)) dialogs.error(QString::fromUtf8(msg::kFirstWriteFailed));
  return false;
}

bool SaveSettingsAtExit(RegistryOp& store, Dialogs& dialogs, const Settings& settings, bool uninstalled) {
  if (uninstalled) return true;
  if (store.SaveSettings(settings)) return true;
  dialogs.error(QString::fromUtf8(msg::kExitSaveFailed));
  return false;
}

namespace {

// Takes down what a save would write, in order, instead of storing it.
class RecordingRegistry : public Registry {
 public:
  class Key : public RegistryKey {
   public:
    explicit Key(QByteArray& out) : out_(out) {}
    std::optional<RegValue> Value(const QString&) const override { return std::nullopt; }
    bool SetValue(const QString& name, const RegValue& value) override {
      out_ += name.toUtf8() + '\0' + QByteArray::number(value.type) + '\0' + value.data + '\0';
      return true;
    }
    bool Close() override { return true; }

   private:
    QByteArray& out_;
  };

  bool KeyExists(const QString&) override { return true; }
  std::unique_ptr<RegistryKey> OpenKey(const QString&) override { return std::make_unique<Key>(image); }
  std::unique_ptr<RegistryKey> CreateKey(const QString&) override { return std::make_unique<Key>(image); }
  bool DeleteKey(const QString&) override { return false; }

  QByteArray image;
};

}  // namespace

QByteArray StoredImage(const Settings& settings) {
  RecordingRegistry recorder;
  SilentDialogs silent;
  RegistryOp(recorder, silent).SaveSettings(settings);
  return recorder.image;
}

}  // namespace lumora
