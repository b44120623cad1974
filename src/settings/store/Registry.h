#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace lumora {

// The value types of the Windows registry, with their numbers there.
enum class RegType : uint32_t {
  None = 0,
  Sz = 1,
  ExpandSz = 2,
  Binary = 3,
  Dword = 4,
  DwordBigEndian = 5,
  Link = 6,
  MultiSz = 7,
  Qword = 11,
};

// One value as the registry holds it: its type and its bytes in the registry's own
// layout (text as UTF-16LE with its terminating zero, numbers little-endian).
struct RegValue {
  uint32_t type = uint32_t(RegType::None);
  QByteArray data;

  static RegValue Text(const QString& text);
  static RegValue Number(int32_t number);

  // Plain or expandable text, nothing expanded; nullopt for any other type.
  std::optional<QString> asText() const;
  // A number of exactly four bytes; nullopt for any other type or size.
  std::optional<int32_t> asNumber() const;

  bool operator==(const RegValue&) const = default;
};

// An open key. Writes become durable when Close() succeeds; a key dropped without
// Close() forgets them.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // Value names compare without regard to letter case.
  virtual std::optional<RegValue> Value(const QString& name) const = 0;
  virtual bool SetValue(const QString& name, const RegValue& value) = 0;
  virtual bool Close() = 0;
};

// The machine-wide hive (HKEY_LOCAL_MACHINE). Key paths are relative to it and may
// carry leading and trailing backslashes ("\SOFTWARE\LUMORA\").
class Registry {
 public:
  virtual ~Registry() = default;
  virtual bool KeyExists(const QString& path) = 0;
  // nullptr when the key is missing or cannot be read.
  virtual std::unique_ptr<RegistryKey> OpenKey(const QString& path) = 0;
  // Opens the key, creating it (and its parents) when missing; nullptr on failure.
  virtual std::unique_ptr<RegistryKey> CreateKey(const QString& path) = 0;
  // Removes the key with its values and subkeys; false when it did not exist or
  // could not be removed.
  virtual bool DeleteKey(const QString& path) = 0;
  // Keeps a copy of the stored hive as it is now, before defaults replace values
  // that could not be read; true when there was nothing to keep or it was kept.
  virtual bool KeepDamagedCopy() { return true; }
  // Where the hive is kept, when that place holds something that is not a file
  // (a folder, a pipe), which is then neither read nor written; empty otherwise.
  virtual QString UnusablePlace() { return QString(); }
};

// The machine hive: the settings file that stands in for it (RegFileRegistry).
std::unique_ptr<Registry> MachineRegistry();

}  // namespace lumora
