// Reading of registry export files, in every form regedit writes them.
#include <QHash>
#include <QStringDecoder>
#include <map>

#include "settings/store/RegFile.h"
#include "settings/store/Utf16Le.h"

namespace lumora {

namespace {

const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kHeader4 = QStringLiteral("REGEDIT4");

// Windows-1252 0x80..0x9F; the five unassigned bytes keep their own code points,
// as Windows maps them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t fromCp1252(uint8_t b) { return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b); }

std::optional<QString> decodeUtf16Le(QByteArrayView b) {
  if (b.size() % 2 != 0) return std::nullopt;
  const QString text = DecodeUtf16Le(b);
  // Unpaired surrogates are not text; they mark a file that is not what it claims.
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;
    } else if (text[i].isSurrogate()) {
      return std::nullopt;
    }
  }
  return text;
}

std::optional<QString> decode(QByteArrayView b) {
  if (b.size() >= 2 && uint8_t(b[0]) == 0xFF && uint8_t(b[1]) == 0xFE) return decodeUtf16Le(b.sliced(2));
  if (b.size() >= 3 && uint8_t(b[0]) == 0xEF && uint8_t(b[1]) == 0xBB && uint8_t(b[2]) == 0xBF) b = b.sliced(3);
  else if (b.startsWith(QByteArrayView("REGEDIT4"))) {
    QString text(b.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < b.size(); ++i) text[i] = QChar(fromCp1252(uint8_t(b[i])));
    return text;
  }
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(b);
  if (utf8.hasError()) return std::nullopt;
  return text;
}

QStringView trimmed(QStringView v) {
  while (!v.isEmpty() && (v.front() == QLatin1Char(' ') || v.front() == QLatin1Char('\t'))) v = v.mid(1);
  while (!v.isEmpty() && (v.back() == QLatin1Char(' ') || v.back() == QLatin1Char('\t'))) v.chop(1);
  return v;
}

bool isHexDigit(QChar c) {
  return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
         (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// 1 to 8 hex digits and nothing else.
std::optional<uint32_t> hexNumber(QStringView v) {
  if (v.isEmpty() || v.size() > 8) return std::nullopt;
  uint32_t n = 0;
  for (QChar c : v) {
    if (!isHexDigit(c)) return std::nullopt;
    const char16_t u = c.unicode();
    n = n * 16 + uint32_t(u <= '9' ? u - '0' : (u | 0x20) - 'a' + 10);
  }
  return n;
}

// A quoted string at the start of `v`, with the escapes \\ and \"; any other
// backslash stands for itself, as people type Windows paths. Advances `v` past it.
std::optional<QString> quotedString(QStringView& v) {
  if (!v.startsWith(QLatin1Char('"'))) return std::nullopt;
  QString out;
  for (qsizetype i = 1; i < v.size(); ++i) {
    const QChar c = v[i];
    if (c == QLatin1Char('"')) {
      v = v.mid(i + 1);
      return out;
    }
    if (c == QLatin1Char('\\') && i + 1 < v.size() && (v[i + 1] == QLatin1Char('\\') || v[i + 1] == QLatin1Char('"'))) {
      out += v[++i];
    } else {
      out += c;
    }
  }
  return std::nullopt;
}

// Builds the file's keys with indexes by path and by value name, so that a large
// file with many keys or values reads in linear time.
class Parser {
 public:
  explicit Parser(const QString& text) {
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines_ = normalised.split(QLatin1Char('\n'));
  }

  std::optional<RegFile> run() {
    qsizetype i = 0;
    while (i < lines_.size() && trimmed(lines_[i]).isEmpty()) ++i;
    if (i == lines_.size()) return std::nullopt;
    const QStringView header = trimmed(lines_[i]);
    if (header == kHeader4) ansi_ = true;
    else if (header != kHeader5) return std::nullopt;
    for (line_ = i + 1; line_ < lines_.size(); ++line_) {
      const QStringView line = trimmed(lines_[line_]);
      if (line.isEmpty()) continue;
      bool ok = false;
      if (line.startsWith(QLatin1Char(';'))) ok = comment(line);
      else if (line.startsWith(QLatin1Char('['))) ok = section(line);
      else if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@'))) ok = value(line);
      if (!ok) return std::nullopt;
    }
    return result();
  }

 private:
  struct Built {
    RegFile::Section section;
    bool removed = false;
    std::vector<bool> gone;  // entries deleted by a later "name"=- line
    QHash<QString, size_t> names;
  };

  static QString folded(QStringView path) {
    while (path.startsWith(QLatin1Char('\\'))) path = path.mid(1);
    while (path.endsWith(QLatin1Char('\\'))) path.chop(1);
    return path.toString().toCaseFolded();
  }

  RegFile result() {
    RegFile file;
    file.preamble = preamble_;
    for (Built& b : built_) {
      if (b.removed) continue;
      RegFile::Section s{b.section.path, b.section.deleted, {}};
      for (size_t e = 0; e < b.section.entries.size(); ++e)
        if (!b.gone[e]) s.entries.push_back(std::move(b.section.entries[e]));
      file.sections.push_back(std::move(s));
    }
    return file;
  }

  bool comment(QStringView line) {
    if (current_ == kNone) {
      preamble_ << line.toString();
    } else {
      built_[current_].section.entries.push_back(RegFile::Entry{true, line.toString(), {}});
      built_[current_].gone.push_back(false);
    }
    return true;
  }

  // Drops what was read so far of the key and its subkeys; a subkey's path sorts
  // right after its prefix.
  void removeKey(std::map<QString, size_t>& index, const QString& key) {
    if (auto it = index.find(key); it != index.end()) {
      built_[it->second].removed = true;
      index.erase(it);
    }
    const QString prefix = key + QLatin1Char('\\');
    for (auto it = index.lower_bound(prefix); it != index.end() && it->first.startsWith(prefix);) {
      built_[it->second].removed = true;
      it = index.erase(it);
    }
  }

  bool section(QStringView line) {
    if (!line.endsWith(QLatin1Char(']'))) return false;
    QStringView path = line.mid(1, line.size() - 2);
    const bool deleted = path.startsWith(QLatin1Char('-'));
    if (deleted) path = path.mid(1);
    if (!path.startsWith(QLatin1String("HKEY_"), Qt::CaseInsensitive)) return false;
    const QString key = folded(path);
    if (deleted) {
      // Deleting a key also drops the earlier deletions of its subkeys.
      removeKey(byPath_, key);
      removeKey(deletedAt_, key);
      current_ = built_.size();
      deletedAt_.emplace(key, current_);
      built_.push_back(Built{RegFile::Section{path.toString(), true, {}}, false, {}, {}});
    } else if (auto found = byPath_.find(key); found != byPath_.end()) {
      current_ = found->second;
    } else {
      current_ = built_.size();
      byPath_.emplace(key, current_);
      built_.push_back(Built{RegFile::Section{path.toString(), false, {}}, false, {}, {}});
    }
    return true;
  }

  bool value(QStringView line) {
    if (current_ == kNone) return false;
    QString name;
    if (line.startsWith(QLatin1Char('@'))) {
      line = line.mid(1);
    } else {
      std::optional<QString> n = quotedString(line);
      if (!n) return false;
      name = *n;
    }
    line = trimmed(line);
    if (!line.startsWith(QLatin1Char('='))) return false;
    line = trimmed(line.mid(1));

    std::optional<RegValue> v;
    if (line != QLatin1String("-")) {
      v = data(line);
      if (!v) return false;
    }
    Built& b = built_[current_];
    // Values under a "[-key]" line are not imported; regedit skips them too.
    if (b.section.deleted) return true;
    const QString key = name.toCaseFolded();
    auto found = b.names.find(key);
    if (!v) {
      if (found != b.names.end()) {
        b.gone[found.value()] = true;
        b.names.erase(found);
      }
    } else if (found != b.names.end()) {
      b.section.entries[found.value()].value = *v;
    } else {
      b.names.insert(key, b.section.entries.size());
      b.section.entries.push_back(RegFile::Entry{false, name, *v});
      b.gone.push_back(false);
    }
    return true;
  }

  std::optional<RegValue> data(QStringView v) {
    if (v.startsWith(QLatin1Char('"'))) {
      std::optional<QString> text = quotedString(v);
      if (!text || !trimmed(v).isEmpty()) return std::nullopt;
      return RegValue::Text(*text);
    }
    if (v.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
      std::optional<uint32_t> n = hexNumber(v.mid(6));
      if (!n) return std::nullopt;
      return RegValue::Number(int32_t(*n));
    }
    uint32_t type = uint32_t(RegType::Binary);
    if (v.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
      v = v.mid(4);
    } else if (v.startsWith(QLatin1String("hex("), Qt::CaseInsensitive)) {
      const qsizetype close = v.indexOf(QLatin1String("):"));
      if (close < 0) return std::nullopt;
      std::optional<uint32_t> t = hexNumber(v.mid(4, close - 4));
      if (!t) return std::nullopt;
      type = *t;
      v = v.mid(close + 2);
    } else {
      return std::nullopt;
    }
    std::optional<QByteArray> bytes = hexBytes(v);
    if (!bytes) return std::nullopt;
    RegValue value{type, *bytes};
    const bool textType = type == uint32_t(RegType::Sz) || type == uint32_t(RegType::ExpandSz) ||
                          type == uint32_t(RegType::MultiSz);
    if (ansi_ && textType) {
      // REGEDIT4 stores text bytes in the ANSI code page; we hold them as the registry's UTF-16.
      QString text(bytes->size(), Qt::Uninitialized);
      for (qsizetype i = 0; i < bytes->size(); ++i) text[i] = QChar(fromCp1252(uint8_t((*bytes)[i])));
      value.data = EncodeUtf16Le(text);
    }
    return value;
  }

  // Comma-separated two-digit bytes; a line ending in a backslash goes on in the next.
  std::optional<QByteArray> hexBytes(QStringView first) {
    QString text = first.toString();
    for (;;) {
      while (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('\t'))) text.chop(1);
      if (!text.endsWith(QLatin1Char('\\'))) break;
      text.chop(1);
      if (++line_ >= lines_.size()) return std::nullopt;
      text += trimmed(lines_[line_]);
    }
    QByteArray out;
    const QStringView all = trimmed(text);
    if (all.isEmpty()) return out;
    const QList<QStringView> parts = all.split(QLatin1Char(','));
    out.reserve(parts.size());
    for (qsizetype i = 0; i < parts.size(); ++i) {
      const QStringView p = trimmed(parts[i]);
      if (p.isEmpty() && i + 1 == parts.size() && i > 0) break;  // a trailing comma
      if (p.size() > 2) return std::nullopt;
      std::optional<uint32_t> b = hexNumber(p);
      if (!b) return std::nullopt;
      out.append(char(*b));
    }
    return out;
  }

  static constexpr size_t kNone = size_t(-1);

  QStringList lines_;
  qsizetype line_ = 0;
  size_t current_ = kNone;
  bool ansi_ = false;
  QStringList preamble_;
  std::vector<Built> built_;
  std::map<QString, size_t> byPath_;   // keys read so far, by folded path
  std::map<QString, size_t> deletedAt_;  // "[-key]" markers, by folded path
};

}  // namespace

std::optional<RegFile> RegFile::Parse(QByteArrayView bytes) {
  if (bytes.size() > kMaxSize) return std::nullopt;
  std::optional<QString> text = decode(bytes);
  if (!text) return std::nullopt;
  // No registry file holds a zero character in its text; binary data is hex.
  if (text->contains(QChar(0))) return std::nullopt;
  return Parser(*text).run();
}

}  // namespace lumora
