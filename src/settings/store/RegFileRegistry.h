#pragma once

#include <QByteArray>
#include <QString>

#include "settings/store/RegFile.h"
#include "settings/store/Registry.h"

namespace lumora {

// The machine hive kept in a registry export file, so that people can read and edit
// it and bring their settings over from Windows. Every operation reads the file
// afresh; every change replaces it whole through a temporary file.
class RegFileRegistry : public Registry {
 public:
  explicit RegFileRegistry(QString path) : path_(std::move(path)) {}

  // $LUMORA_REGISTRY, otherwise $XDG_CONFIG_HOME/lumora/registry.reg (~/.config by default).
  static QString DefaultPath();

  bool KeyExists(const QString& path) override;
  std::unique_ptr<RegistryKey> OpenKey(const QString& path) override;
  std::unique_ptr<RegistryKey> CreateKey(const QString& path) override;
  bool DeleteKey(const QString& path) override;
  // registry.reg.broken, beside the file.
  bool KeepDamagedCopy() override;
  QString UnusablePlace() override;

  const QString& path() const { return path_; }
  QString brokenPath() const { return path_ + QStringLiteral(".broken"); }

  // NotAFile: a folder, a pipe or a device under the name, which is left alone.
  enum class State { Missing, Readable, Damaged, NotAFile };
  struct Snapshot {
    State state = State::Missing;
    RegFile file;      // empty unless Readable
    QByteArray bytes;  // what was read, kept to rescue a damaged file
  };
  Snapshot load() const;
  // Writes `file` over the store. A damaged file is first kept beside it as
  // registry.reg.broken. An empty `file` removes the store.
  bool store(const Snapshot& before, const RegFile& file) const;

 private:
  bool keepBroken(const Snapshot& before) const;
  bool writeBroken(const QByteArray& bytes) const;

  QString path_;
  // What this object wrote last: a file that still holds exactly that has nothing
  // of the user's in it to rescue (the user's own was kept when it was replaced).
  mutable QByteArray lastWritten_;
  // The user's own file as it was when this object last replaced it.
  mutable QByteArray replacedBytes_;
};

}  // namespace lumora
