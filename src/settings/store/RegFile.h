#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "settings/store/Registry.h"

namespace lumora {

// A key path without its leading and trailing backslashes.
QStringView TrimKeyPath(const QString& path);

// The contents of a registry export (.reg) file: the keys in file order with their
// values and comment lines. Reads what regedit writes (UTF-16LE with BOM, REGEDIT4 in
// Windows-1252, UTF-8) and writes the version 5 text as UTF-8.
class RegFile {
 public:
  struct Entry {
    bool isComment = false;
    QString text;  // the comment line, or the value name (empty: the default value "@")
    RegValue value;
    bool operator==(const Entry&) const = default;
  };
  struct Section {
    QString path;          // as written, e.g. "HKEY_LOCAL_MACHINE\SOFTWARE\LUMORA"
    bool deleted = false;  // a "[-path]" line: the key and its subkeys are removed
    std::vector<Entry> entries;

    const RegValue* find(const QString& name) const;
    void set(const QString& name, const RegValue& value);
    bool remove(const QString& name);
    bool operator==(const Section&) const = default;
  };

  // Larger files are not settings files; refusing them bounds the memory a damaged
  // or foreign file can take.
  static constexpr qsizetype kMaxSize = 4 * 1024 * 1024;

  // nullopt when the bytes are not a registry file.
  static std::optional<RegFile> Parse(QByteArrayView bytes);
  QByteArray serialize() const;

  // Key paths compare without regard to letter case or surrounding backslashes; a
  // key exists when it or one of its subkeys has a section.
  bool hasKey(const QString& path) const;
  Section* findSection(const QString& path);
  const Section* findSection(const QString& path) const;
  Section& createSection(const QString& path);
  // Removes the key and its subkeys; false when none of them existed.
  bool removeKey(const QString& path);
  bool isEmpty() const { return sections.empty() && preamble.isEmpty(); }

  static bool SamePath(const QString& a, const QString& b);
  static bool IsSameOrSubkey(const QString& path, const QString& key);

  QStringList preamble;  // comment lines before the first key
  std::vector<Section> sections;

  bool operator==(const RegFile&) const = default;
};

}  // namespace lumora
