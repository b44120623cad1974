#include "settings/store/RegFile.h"

#include <algorithm>

namespace lumora {

QStringView TrimKeyPath(const QString& path) {
  QStringView v(path);
  while (v.startsWith(QLatin1Char('\\'))) v = v.mid(1);
  while (v.endsWith(QLatin1Char('\\'))) v.chop(1);
  return v;
}

namespace {

QString quoted(const QString& text) {
  QString out;
  out.reserve(text.size() + 2);
  out += QLatin1Char('"');
  for (QChar c : text) {
    if (c == QLatin1Char('\\') || c == QLatin1Char('"')) out += QLatin1Char('\\');
    out += c;
  }
  out += QLatin1Char('"');
  return out;
}

// Text that a quoted string carries without loss: one line, whole UTF-16 pairs.
bool quotable(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u < 0x20 || u == 0x7F) return false;
    if (QChar::isHighSurrogate(u)) {
      if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate()) return false;
      ++i;
    } else if (QChar::isLowSurrogate(u)) {
      return false;
    }
  }
  return true;
}

// `out` is the value's line so far.
void appendHex(QString& out, const QString& prefix, const QByteArray& data) {
  static const char digits[] = "0123456789abcdef";
  out += prefix;
  qsizetype lineLength = out.size();
  for (qsizetype i = 0; i < data.size(); ++i) {
    const bool last = i + 1 == data.size();
    // regedit keeps its lines under 80 columns; so do we, for people who read the file.
    if (lineLength + 3 > 77) {
      out += QStringLiteral("\\\n  ");
      lineLength = 2;
    }
    const uint8_t b = uint8_t(data[i]);
    out += QLatin1Char(digits[b >> 4]);
    out += QLatin1Char(digits[b & 15]);
    if (!last) out += QLatin1Char(',');
    lineLength += 3;
  }
}

QString valueLine(const RegFile::Entry& e) {
  QString line = e.text.isEmpty() ? QStringLiteral("@") : quoted(e.text);
  line += QLatin1Char('=');
  const RegValue& v = e.value;
  if (v.type == uint32_t(RegType::Sz)) {
    const QString text = *v.asText();
    if (quotable(text) && RegValue::Text(text).data == v.data) return line + quoted(text);
  }
  if (v.type == uint32_t(RegType::Dword) && v.data.size() == 4)
    return line + QStringLiteral("dword:%1").arg(uint32_t(*v.asNumber()), 8, 16, QLatin1Char('0'));
  if (v.type == uint32_t(RegType::Binary))
    appendHex(line, QStringLiteral("hex:"), v.data);
  else
    appendHex(line, QStringLiteral("hex(%1):").arg(v.type, 0, 16), v.data);
  return line;
}

}  // namespace

const RegValue* RegFile::Section::find(const QString& name) const {
  for (const Entry& e : entries)
    if (!e.isComment && e.text.compare(name, Qt::CaseInsensitive) == 0) return &e.value;
  return nullptr;
}

void RegFile::Section::set(const QString& name, const RegValue& value) {
  for (Entry& e : entries) {
    if (!e.isComment && e.text.compare(name, Qt::CaseInsensitive) == 0) {
      e.value = value;
      return;
    }
  }
  entries.push_back(Entry{false, name, value});
}

bool RegFile::Section::remove(const QString& name) {
  auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
    return !e.isComment && e.text.compare(name, Qt::CaseInsensitive) == 0;
  });
  if (it == entries.end()) return false;
  entries.erase(it);
  return true;
}

bool RegFile::SamePath(const QString& a, const QString& b) {
  return TrimKeyPath(a).compare(TrimKeyPath(b), Qt::CaseInsensitive) == 0;
}

bool RegFile::IsSameOrSubkey(const QString& path, const QString& key) {
  const QStringView p = TrimKeyPath(path);
  const QStringView k = TrimKeyPath(key);
  if (!p.startsWith(k, Qt::CaseInsensitive)) return false;
  return p.size() == k.size() || p[k.size()] == QLatin1Char('\\');
}

bool RegFile::hasKey(const QString& path) const {
  return std::any_of(sections.begin(), sections.end(),
                     [&](const Section& s) { return !s.deleted && IsSameOrSubkey(s.path, path); });
}

RegFile::Section* RegFile::findSection(const QString& path) {
  for (Section& s : sections)
    if (!s.deleted && SamePath(s.path, path)) return &s;
  return nullptr;
}

const RegFile::Section* RegFile::findSection(const QString& path) const {
  return const_cast<RegFile*>(this)->findSection(path);
}

RegFile::Section& RegFile::createSection(const QString& path) {
  if (Section* s = findSection(path)) return *s;
  sections.push_back(Section{TrimKeyPath(path).toString(), false, {}});
  return sections.back();
}

bool RegFile::removeKey(const QString& path) {
  const bool existed = hasKey(path);
  std::erase_if(sections, [&](const Section& s) { return IsSameOrSubkey(s.path, path); });
  return existed;
}

QByteArray RegFile::serialize() const {
  QString out = QStringLiteral("Windows Registry Editor Version 5.00\n\n");
  for (const QString& line : preamble) out += line + QLatin1Char('\n');
  if (!preamble.isEmpty()) out += QLatin1Char('\n');
  for (const Section& s : sections) {
    out += QLatin1Char('[');
    if (s.deleted) out += QLatin1Char('-');
    out += s.path + QStringLiteral("]\n");
    for (const Entry& e : s.entries) out += (e.isComment ? e.text : valueLine(e)) + QLatin1Char('\n');
    out += QLatin1Char('\n');
  }
  return out.toUtf8();
}

}  // namespace lumora
