#pragma once

#include "platform/Registry.h"

namespace lumora {

// The real machine hive through advapi32. Built on Windows only.
class WinRegistry : public Registry {
 public:
  bool KeyExists(const QString& path) override;
  std::unique_ptr<RegistryKey> OpenKey(const QString& path) override;
  std::unique_ptr<RegistryKey> CreateKey(const QString& path) override;
  bool DeleteKey(const QString& path) override;
};

}  // namespace lumora
