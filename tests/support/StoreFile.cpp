#include "StoreFile.h"

#include <QFile>

namespace lumora::test {

namespace {

QString readText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The range of the data of `name` in `text`: after `"name"=` up to the line end.
bool findValue(const QString& text, const QString& name, int& start, int& end) {
  const QString key = QStringLiteral("\n\"%1\"=").arg(name);
  const int at = text.indexOf(key);
  if (at < 0) return false;
  start = at + key.size();
  end = text.indexOf(QLatin1Char('\n'), start);
  if (end < 0) end = text.size();
  if (end > start && text.at(end - 1) == QLatin1Char('\r')) --end;
  return true;
}

}  // namespace

bool SetStoreValue(const QString& path, const QString& name, const QString& data) {
  QString text = readText(path);
  int start = 0, end = 0;
  if (!findValue(text, name, start, end)) return false;
  text.replace(start, end - start, data);
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0;
}

QString StoreValue(const QString& path, const QString& name) {
  const QString text = readText(path);
  int start = 0, end = 0;
  return findValue(text, name, start, end) ? text.mid(start, end - start) : QString();
}

}  // namespace lumora::test
