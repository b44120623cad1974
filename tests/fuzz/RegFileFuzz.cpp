// libFuzzer target for the registry file reader: any bytes either fail to parse or
// give a file that writes and reads back to exactly itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "settings/store/RegFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<lumora::RegFile> file =
      lumora::RegFile::Parse(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
  if (!file) return 0;
  const QByteArray written = file->serialize();
  const std::optional<lumora::RegFile> again = lumora::RegFile::Parse(written);
  if (!again || !(*again == *file) || again->serialize() != written) std::abort();
  for (const lumora::RegFile::Section& s : file->sections)
    for (const lumora::RegFile::Entry& e : s.entries) {
      (void)e.value.asText();
      (void)e.value.asNumber();
    }
  return 0;
}
