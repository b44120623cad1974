#include "settings/Defaults.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lumora {

namespace {

QString withSlash(QString folder) {
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

}  // namespace

void SetDefaults(Settings& s, QSize screenSize, const QString& defaultFolder) {
  s.Datei.FileDescription = QStringLiteral("Screen");
  s.Datei.FileDir = defaultFolder;
  s.Datei.FileSuffix = QStringLiteral(".bmp");
  s.Datei.Eingabeaufforderung = false;
  s.Datei.Clipboard = false;
  s.Datei.SameFile = false;
  s.Datei.Counter = 0;
  s.Blank = true;

  s.Beschriftung.Text = QStringLiteral("Ausgabetext");
  s.Beschriftung.BackColor = 0x000000;
  s.Beschriftung.TextColor = 0xFFFFFF;
  s.Beschriftung.FontName = QStringLiteral("Arial");
  s.Beschriftung.FontSize = 14;
  s.Beschriftung.Position = tpKeine;
  s.Beschriftung.Transparent = false;
  s.Beschriftung.Zeiteinblenden = false;

  s.Auswahl.Sel_Left = 0;
  s.Auswahl.Sel_Top = 0;
  s.Auswahl.Sel_Right = screenSize.width();
  s.Auswahl.Sel_Bottom = screenSize.height();
  s.Auswahl.Aktiv = false;

  s.Format.BmpBit = pf24Bit;
  s.Format.JpegQuality = 80;
  s.Format.JpegPerformance = jmQuality;

  s.Timer.ValHour = 0;
  s.Timer.ValMin = 0;
  s.Timer.ValSec = 10;
  s.Timer.Loop = false;
  s.Timer.TimerAutostart = false;

  s.Bildschirm = tBildschirm{};
}

QString DefaultFolder(const ProgramPlace& program, const QString& picturesFolder) {
  const QFileInfo info(program.folder);
  const bool built = !program.folder.isEmpty() && !program.buildFolder.isEmpty() && info.isDir() &&
                     info.canonicalFilePath() == QFileInfo(program.buildFolder).canonicalFilePath();
  if (built && info.fileName() != QLatin1String("bin") && info.isWritable())
    return withSlash(info.absoluteFilePath());
  QString pictures = picturesFolder.isEmpty()
                         ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                         : picturesFolder;
  if (pictures.isEmpty()) pictures = QDir::homePath();
  // A fresh account may have no pictures folder yet; captures must have somewhere to go.
  QDir().mkpath(pictures);
  return withSlash(pictures);
}

}  // namespace lumora
