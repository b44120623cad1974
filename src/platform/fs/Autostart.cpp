#include "platform/fs/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/fs/AtomicFile.h"

namespace lumora {

namespace {

bool needsQuotes(const QString& arg) {
  static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
  for (QChar c : arg)
    if (reserved.contains(c)) return true;
  return arg.isEmpty();
}

// The string escape of desktop entries, which readers undo before anything else.
QString escapeString(QString value) { return value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")); }

bool sayableInEntry(const QString& program) {
  if (!QDir::isAbsolutePath(program)) return false;
  for (QChar c : program)
    if (c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter) return false;
  return true;
}

// The desktop shells' own ways of switching an entry off without removing it.
bool switchedOff(const QByteArray& text) {
  bool inMainGroup = false;
  for (const QByteArray& raw : text.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (line.startsWith('[')) {
      inMainGroup = line == "[Desktop Entry]";
      continue;
    }
    const int eq = line.indexOf('=');
    if (!inMainGroup || eq < 0) continue;
    const QByteArray key = line.left(eq).trimmed();
    const QByteArray value = line.mid(eq + 1).trimmed();
    if (key == "Hidden" && value == "true") return true;
    if (key == "X-GNOME-Autostart-enabled" && value == "false") return true;
  }
  return false;
}

}  // namespace

Autostart::Autostart(const QString& configHome, const QString& program)
    : path_(configHome + QStringLiteral("/autostart/lumora.desktop")), program_(program) {}

bool Autostart::enabled() const {
  QFile file(path_);
  if (!file.exists()) return false;
  // An entry we cannot read is one the session cannot read either, but it is there.
  if (!file.open(QIODevice::ReadOnly)) return true;
  return !switchedOff(file.read(64 * 1024));
}

bool Autostart::set(bool on) const {
  if (!on) return !QFile::exists(path_) || QFile::remove(path_);
  const std::optional<QString> text = EntryText(program_);
  if (!text) return false;
  if (!QDir().mkpath(QFileInfo(path_).absolutePath())) return false;
  const QByteArray bytes = text->toUtf8();
  AtomicFile file(path_);
  return file.open() && file.write(bytes.constData(), size_t(bytes.size())) && file.commit();
}

QString Autostart::ExecArgument(const QString& program) {
  QString arg = program;
  if (needsQuotes(arg)) {
    QString quoted;
    for (QChar c : arg) {
      if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
        quoted += QLatin1Char('\\');
      quoted += c;
    }
    arg = QLatin1Char('"') + quoted + QLatin1Char('"');
  }
  return escapeString(arg).replace(QLatin1Char('%'), QStringLiteral("%%"));
}

std::optional<QString> Autostart::EntryText(const QString& program) {
  if (!sayableInEntry(program)) return std::nullopt;
  // TryExec lets the session skip the entry quietly once that program is gone,
  // as happens to a build folder that was cleaned.
  return QStringLiteral(
             "[Desktop Entry]\n"
             "Type=Application\n"
             "Name=Lumora\n"
             "Comment=Screenshots from the notification area\n"
             "Comment[de]=Bildschirmfotos aus dem Infobereich\n"
             "Icon=lumora\n"
             "TryExec=%1\n"
             "Exec=%2\n"
             "Terminal=false\n")
      .arg(escapeString(program), ExecArgument(program));
}

}  // namespace lumora
