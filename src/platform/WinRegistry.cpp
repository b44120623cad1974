#include "platform/WinRegistry.h"

#include <windows.h>

#include <vector>

namespace lumora {

namespace {

// advapi32 wants paths below the root without a leading backslash.
std::wstring subkey(const QString& path) {
  QStringView p(path);
  while (p.startsWith(QLatin1Char('\\'))) p = p.mid(1);
  while (p.endsWith(QLatin1Char('\\'))) p.chop(1);
  return p.toString().toStdWString();
}

class WinKey : public RegistryKey {
 public:
  explicit WinKey(HKEY key) : key_(key) {}
  ~WinKey() override {
    if (key_) RegCloseKey(key_);
  }

  std::optional<RegValue> Value(const QString& name) const override {
    const std::wstring n = name.toStdWString();
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_, n.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    // The value may grow between the two calls; ask again with the new size.
    for (int attempt = 0; attempt < 4; ++attempt) {
      QByteArray data(qsizetype(size), '\0');
      const LONG rc = RegQueryValueExW(key_, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
      if (rc == ERROR_SUCCESS) {
        data.resize(qsizetype(size));
        return RegValue{uint32_t(type), data};
      }
      if (rc != ERROR_MORE_DATA) return std::nullopt;
    }
    return std::nullopt;
  }

  bool SetValue(const QString& name, const RegValue& value) override {
    const std::wstring n = name.toStdWString();
    return RegSetValueExW(key_, n.c_str(), 0, DWORD(value.type), reinterpret_cast<const BYTE*>(value.data.constData()),
                          DWORD(value.data.size())) == ERROR_SUCCESS;
  }

  bool Close() override {
    if (!key_) return true;
    const LONG rc = RegCloseKey(key_);
    key_ = nullptr;
    return rc == ERROR_SUCCESS;
  }

 private:
  HKEY key_;
};

}  // namespace

bool WinRegistry::KeyExists(const QString& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::unique_ptr<RegistryKey> WinRegistry::OpenKey(const QString& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey(path).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<WinKey>(key);
}

std::unique_ptr<RegistryKey> WinRegistry::CreateKey(const QString& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, subkey(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<WinKey>(key);
}

bool WinRegistry::DeleteKey(const QString& path) {
  // Named, the key goes with its subkeys; a missing key is ERROR_FILE_NOT_FOUND.
  return RegDeleteTreeW(HKEY_LOCAL_MACHINE, subkey(path).c_str()) == ERROR_SUCCESS;
}

}  // namespace lumora
