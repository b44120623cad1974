#include "capture/Formats.h"

#include <QStringList>

namespace lumora {

const FormatInfo* FormatFromSuffix(const QString& suffix) {
  for (const FormatInfo& f : kFormats)
    if (suffix == QLatin1String(f.suffix)) return &f;
  return nullptr;
}

QString PathExtension(const QString& fileName) {
  const int slash = fileName.lastIndexOf(QLatin1Char('/'));
  const int dot = fileName.lastIndexOf(QLatin1Char('.'));
  if (dot < 0 || dot < slash) return QString();
  return fileName.mid(dot, 4);
}

const FormatInfo* FormatOfFileName(const QString& fileName) {
  const int slash = fileName.lastIndexOf(QLatin1Char('/'));
  const int dot = fileName.lastIndexOf(QLatin1Char('.'));
  if (dot < 0 || dot < slash) return nullptr;
  const QString extension = fileName.mid(dot).toLower();
  if (extension == QLatin1String(".jpeg")) return &Format(OutputFormat::Jpeg);
  return FormatFromSuffix(extension);
}

QString KnownExtensions() {
  QStringList known;
  for (const FormatInfo& f : kFormats) known << QLatin1String(f.suffix);
  return known.join(QStringLiteral(", "));
}

}  // namespace lumora
