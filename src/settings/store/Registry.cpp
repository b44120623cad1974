#include "settings/store/Registry.h"

#include <QtEndian>

#include "settings/store/RegFileRegistry.h"
#include "settings/store/Utf16Le.h"

namespace lumora {

RegValue RegValue::Text(const QString& text) {
  RegValue v;
  v.type = uint32_t(RegType::Sz);
  v.data = EncodeUtf16Le(text);
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

std::optional<QString> RegValue::asText() const {
  if (type != uint32_t(RegType::Sz) && type != uint32_t(RegType::ExpandSz)) return std::nullopt;
  // The text ends at its first zero character; a value written without one (or with
  // an odd trailing byte) still reads as the characters it has.
  QString text = DecodeUtf16Le(data);
  const qsizetype end = text.indexOf(QChar(u'\0'));
  if (end >= 0) text.truncate(end);
  return text;
}

std::optional<int32_t> RegValue::asNumber() const {
  if (type != uint32_t(RegType::Dword) || data.size() != 4) return std::nullopt;
  return int32_t(qFromLittleEndian<uint32_t>(data.constData()));
}

std::unique_ptr<Registry> MachineRegistry() {
  return std::make_unique<RegFileRegistry>(RegFileRegistry::DefaultPath());
}

}  // namespace lumora
