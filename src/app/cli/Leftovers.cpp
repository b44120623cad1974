#include "app/cli/Leftovers.h"

#include <QFileInfo>

#include "capture/Formats.h"
#include "platform/fs/AtomicFile.h"

namespace lumora {

void SweepLeftovers(const Settings& settings, const QString& settingsFile) {
  QStringList pictures;
  for (const FormatInfo& format : kFormats) pictures << QLatin1String(format.suffix);
  AtomicFile::SweepStale(settings.Datei.FileDir, pictures);
  const QFileInfo store(settingsFile);
  AtomicFile::SweepStale(store.absolutePath(), {store.fileName()});
}

}  // namespace lumora
