#pragma once

#include <QString>

namespace lumora::test {

// Replaces the data of one value in a settings store file written by lumora, for
// example SetStoreValue(path, "FileDir", "\"/tmp/x/\"") or "dword:0000000e".
// False when the file or the value is missing.
bool SetStoreValue(const QString& path, const QString& name, const QString& data);

// The data of one value as written in the file, or an empty text.
QString StoreValue(const QString& path, const QString& name);

}  // namespace lumora::test
