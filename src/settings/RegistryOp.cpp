#include "settings/RegistryOp.h"

#include "settings/ValueCodes.h"

namespace lumora {

const QString RegistryOp::kKeyPath = QStringLiteral("\\SOFTWARE\\LUMORA\\");

namespace msg {
const char* const kWelcome =
    "Herzlich Willkommen zu Lumora 2002 - by Ombra\n\n"
    "Dies scheint das erste Mal zu sein, dass Sie Lumora starten.\n"
    "Das Programm wird sämtliche Benutzereinstellung in der Registrierungs-\n"
    "Datenbank ablegen, sodass sie beim nächsten Starten wieder verfügbar\n"
    "sind. Sie können jederzeit diese Einträge aus der Datenbank entfernen.\n\n"
    "Ich wünsche viel Spaß mit meinem Programm.                 Ombra";
const char* const kReadError =
    "Beim Lesen aus der Registrierungsdatenbank trat ein Fehler auf.\n"
    "Das Programm wird mit Defaulteinstellungen gestartet.\n"
    "Bitte nehmen Sie keine manuellen Änderungen in der Registry vor.";
}  // namespace msg

namespace {

// Typed reads by the store's rules: a missing text reads as empty, a missing or
// mistyped number or flag is a failure.
class Reader {
 public:
  explicit Reader(const RegistryKey& key) : key_(key) {}

  bool text(const char* name, QString& out) const {
    const std::optional<RegValue> v = key_.Value(QLatin1String(name));
    if (!v) {
      out.clear();
      return true;
    }
    const std::optional<QString> t = v->asText();
    if (!t) return false;
    out = *t;
    return true;
  }

  bool number(const char* name, int32_t& out) const {
    const std::optional<RegValue> v = key_.Value(QLatin1String(name));
    const std::optional<int32_t> n = v ? v->asNumber() : std::nullopt;
    if (!n) return false;
    out = *n;
    return true;
  }

  bool number(const char* name, int32_t low, int32_t high, uint8_t& out) const {
    int32_t n = 0;
    if (!number(name, n) || n < low || n > high) return false;
    out = uint8_t(n);
    return true;
  }

  bool flag(const char* name, bool& out) const {
    int32_t n = 0;
    if (!number(name, n)) return false;
    out = n != 0;
    return true;
  }

 private:
  const RegistryKey& key_;
};

// The values that came after the 27 and the letters. They are optional: a missing
// or mistyped one keeps its default, so older files load as they did.
void LoadScreenValues(const Reader& r, tBildschirm& b) {
  b = tBildschirm{};
  uint8_t choice = 0;
  if (r.number("Bildschirm", wsPrimaer, wsAlle, choice)) b.Bereich = choice;
  bool flag = false;
  if (r.flag("Mauszeiger", flag)) b.Mauszeiger = flag;
}

bool SaveScreenValues(RegistryKey& key, const tBildschirm& b) {
  return key.SetValue(QStringLiteral("Bildschirm"), RegValue::Number(b.Bereich)) &&
         key.SetValue(QStringLiteral("Mauszeiger"), RegValue::Number(b.Mauszeiger));
}

}  // namespace

bool RegistryOp::KeyExists(const QString& path) { return registry_.KeyExists(path); }

bool RegistryOp::readError() {
  dialogs_.error(QString::fromUtf8(msg::kReadError));
  return false;
}

bool RegistryOp::LoadSettings(Settings& s) {
  if (!KeyExists(kKeyPath)) {
    dialogs_.info(QString::fromUtf8(msg::kWelcome));
    return false;
  }
  std::unique_ptr<RegistryKey> key = registry_.OpenKey(kKeyPath);
  if (!key) return readError();
  const Reader r(*key);
  tDatei& d = s.Datei;
  tBeschriftung& b = s.Beschriftung;
  SelectionSettings& a = s.Auswahl;
  TimerSettings& t = s.Timer;
  QString text;
  uint8_t index = 0;

  if (!r.text("FileDescription", d.FileDescription) || !r.text("FileDir", d.FileDir)) return readError();
  if (!r.text("FileSuffix", text)) return readError();
  d.FileSuffix = text.left(4);
  if (!r.flag("Eingabeaufforderung", d.Eingabeaufforderung) || !r.flag("Clipboard", d.Clipboard) ||
      !r.flag("SameFile", d.SameFile) || !r.text("Text", b.Text))
    return readError();
  // Out-of-range numbers would be cut to the field's width and turn into some other
  // valid-looking value, so they count as unreadable.
  if (!r.number("BackColor", 0, 255, index)) return readError();
  b.BackColor = ColorFromIndex(index, dialogs_);
  if (!r.number("TextColor", 0, 255, index)) return readError();
  b.TextColor = ColorFromIndex(index, dialogs_);
  if (!r.number("FontSize", 8, 24, b.FontSize)) return readError();
  if (!r.text("Position", text)) return readError();
  b.Position = PositionFromText(text, dialogs_);
  if (!r.flag("Transparent", b.Transparent) || !r.flag("Zeiteinblenden", b.Zeiteinblenden) ||
      !r.number("Sel_Left", a.Sel_Left) || !r.number("Sel_Right", a.Sel_Right) || !r.number("Sel_Top", a.Sel_Top) ||
      !r.number("Sel_Bottom", a.Sel_Bottom) || !r.flag("Aktiv", a.Aktiv))
    return readError();
  if (!r.text("BmpBit", text)) return readError();
  s.Format.BmpBit = PixelFormatFromText(text, dialogs_);
  if (!r.number("JpegQuality", 1, 100, s.Format.JpegQuality)) return readError();
  if (!r.text("JpegPerformance", text)) return readError();
  s.Format.JpegPerformance = JpegMethodFromText(text, dialogs_);
  if (!r.number("ValSec", t.ValSec) || !r.number("ValMin", t.ValMin) || !r.number("ValHour", t.ValHour) ||
      !r.flag("Blank", s.Blank) || !r.flag("Loop", t.Loop) || !r.flag("TimerAutostart", t.TimerAutostart))
    return readError();
  LoadScreenValues(r, s.Bildschirm);
  key->Close();
  return true;
}

bool RegistryOp::SaveSettings(const Settings& s) {
  std::unique_ptr<RegistryKey> key = registry_.CreateKey(kKeyPath);
  if (!key) return false;
  const tDatei& d = s.Datei;
  const tBeschriftung& b = s.Beschriftung;
  const SelectionSettings& a = s.Auswahl;
  const TimerSettings& t = s.Timer;
  auto text = [&](const char* name, const QString& value) {
    return key->SetValue(QLatin1String(name), RegValue::Text(value));
  };
  auto number = [&](const char* name, int32_t value) {
    return key->SetValue(QLatin1String(name), RegValue::Number(value));
  };
  const bool written =
      text("FileDescription", d.FileDescription) && text("FileSuffix", d.FileSuffix) && text("FileDir", d.FileDir) &&
      number("Eingabeaufforderung", d.Eingabeaufforderung) && number("Clipboard", d.Clipboard) &&
      number("SameFile", d.SameFile) && text("Text", b.Text) &&
      number("BackColor", IndexFromColor(b.BackColor, dialogs_)) &&
      number("TextColor", IndexFromColor(b.TextColor, dialogs_)) && number("FontSize", b.FontSize) &&
      text("Position", PositionToText(b.Position, dialogs_)) && number("Transparent", b.Transparent) &&
      number("Zeiteinblenden", b.Zeiteinblenden) && number("Sel_Left", a.Sel_Left) &&
      number("Sel_Right", a.Sel_Right) && number("Sel_Top", a.Sel_Top) && number("Sel_Bottom", a.Sel_Bottom) &&
      number("Aktiv", a.Aktiv) && text("BmpBit", PixelFormatToText(s.Format.BmpBit, dialogs_)) &&
      number("JpegQuality", s.Format.JpegQuality) &&
      text("JpegPerformance", JpegMethodToText(s.Format.JpegPerformance, dialogs_)) && number("ValSec", t.ValSec) &&
      number("ValMin", t.ValMin) && number("ValHour", t.ValHour) && number("Blank", s.Blank) &&
      number("Loop", t.Loop) && number("TimerAutoStart", t.TimerAutostart);
  // The file store commits at Close(), so a failed save leaves the stored settings as they were.
  return written && SaveScreenValues(*key, s.Bildschirm) && key->Close();
}

bool RegistryOp::LoadShortcuts(ShortcutSettings& letters) {
  if (!KeyExists(kKeyPath)) return true;
  std::unique_ptr<RegistryKey> key = registry_.OpenKey(kKeyPath);
  if (!key) return false;
  const Reader r(*key);
  int32_t code = 0;
  if (!r.number("SC_Screen", code)) return false;
  letters.SC_Screen = char(code & 0xFF);
  if (!r.number("SC_Auswahl", code)) return false;
  letters.SC_Auswahl = char(code & 0xFF);
  // Stores written before the third hotkey have no letter for it, and a letter
  // no list offers is no key to grab: the default stays.
  if (r.number("SC_Window", code)) {
    const char c = char(code & 0xFF);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) letters.SC_Window = c;
  }
  key->Close();
  return true;
}

bool RegistryOp::SaveShortcuts(char screen, char auswahl, char window) {
  std::unique_ptr<RegistryKey> key = registry_.CreateKey(kKeyPath);
  if (!key) return false;
  return key->SetValue(QStringLiteral("SC_Screen"), RegValue::Number(uint8_t(screen))) &&
         key->SetValue(QStringLiteral("SC_Auswahl"), RegValue::Number(uint8_t(auswahl))) &&
         key->SetValue(QStringLiteral("SC_Window"), RegValue::Number(uint8_t(window))) && key->Close();
}

bool RegistryOp::DeleteAllSettings() { return registry_.DeleteKey(kKeyPath); }

}  // namespace lumora
