#include "settings/store/Registry.h"

#include <QtEndian>

#include "settings/store/RegFileRegistry.h"

namespace lumora {

RegValue RegValue::Text(const QString& text) {
  RegValue v;
  v.type = uint32_t(RegType::Sz);
  v.data.reserve((text.size() + 1) * 2);
  for (QChar c : text) {
    const char16_t u = c.unicode();
    v.data.append(char(u & 0xFF));
    v.data.append(char(u >> 8));
  }
  v.data.append(2, '\0');
  return v;
}

RegValue RegValue::Number(int32_t number) {
  RegValue v;
  v.type = uint32_t(RegType::Dword);
  v.data.resize(4);
  qToLittleEndian<uint32_t>(uint32_t(number), v.data.data());
  return v;
}

std::optional<QString> RegValue::AsText() const {
  if (type != uint32_t(RegType::Sz) && type != uint32_t(RegType::ExpandSz)) return std::nullopt;
  // The text ends at its first zero character; a value written without one (or with
  // an odd trailing byte) still reads as the characters it has.
  QString text;
  const qsizetype units = data.size() / 2;
  text.reserve(units);
  for (qsizetype i = 0; i < units; ++i) {
    const char16_t u = char16_t(uint8_t(data[2 * i]) | (uint8_t(data[2 * i + 1]) << 8));
    if (u == 0) break;
    text.append(QChar(u));
  }
  return text;
}

std::optional<int32_t> RegValue::AsNumber() const {
  if (type != uint32_t(RegType::Dword) || data.size() != 4) return std::nullopt;
  return int32_t(qFromLittleEndian<uint32_t>(data.constData()));
}

std::unique_ptr<Registry> MachineRegistry() {
  return std::make_unique<RegFileRegistry>(RegFileRegistry::DefaultPath());
}

}  // namespace lumora
