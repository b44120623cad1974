#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "settings/Defaults.h"

using namespace lumora;

TEST(Defaults, EverySettingButTheHotkeyLettersIsReset) {
  Settings s;
  s.Shortcuts = {'X', '7'};
  s.Datei.Counter = 42;
  s.Datei.SameFile = s.Datei.Clipboard = s.Datei.Eingabeaufforderung = true;
  s.Beschriftung.Transparent = s.Auswahl.Aktiv = s.Timer.Loop = true;

  SetDefaults(s, QSize(1024, 768), QStringLiteral("/pics/"));

  EXPECT_EQ(s.Datei.FileDescription, QStringLiteral("Screen"));
  EXPECT_EQ(s.Datei.FileDir, QStringLiteral("/pics/"));
  EXPECT_EQ(s.Datei.FileSuffix, QStringLiteral(".bmp"));
  EXPECT_EQ(s.Datei.Counter, 0);
  EXPECT_FALSE(s.Datei.SameFile || s.Datei.Clipboard || s.Datei.Eingabeaufforderung);
  EXPECT_TRUE(s.Blank);
  EXPECT_EQ(s.Beschriftung.Text, QStringLiteral("Ausgabetext"));
  EXPECT_EQ(s.Beschriftung.BackColor, 0x000000u);
  EXPECT_EQ(s.Beschriftung.TextColor, 0xFFFFFFu);
  EXPECT_EQ(s.Beschriftung.FontName, QStringLiteral("Arial"));
  EXPECT_EQ(s.Beschriftung.FontSize, 14);
  EXPECT_EQ(s.Beschriftung.Position, tpKeine);
  EXPECT_FALSE(s.Beschriftung.Transparent || s.Beschriftung.Zeiteinblenden);
  EXPECT_EQ((std::array{s.Auswahl.Sel_Left, s.Auswahl.Sel_Top, s.Auswahl.Sel_Right, s.Auswahl.Sel_Bottom}),
            (std::array{0, 0, 1024, 768}));
  EXPECT_FALSE(s.Auswahl.Aktiv);
  EXPECT_EQ(s.Format.BmpBit, pf24Bit);
  EXPECT_EQ(s.Format.JpegQuality, 80);
  EXPECT_EQ(s.Format.JpegPerformance, jmQuality);
  EXPECT_EQ((std::array{s.Timer.ValHour, s.Timer.ValMin, s.Timer.ValSec}), (std::array{0, 0, 10}));
  EXPECT_FALSE(s.Timer.Loop || s.Timer.TimerAutostart);
  EXPECT_EQ(s.Shortcuts.SC_Screen, 'X');
  EXPECT_EQ(s.Shortcuts.SC_Auswahl, '7');
}

TEST(Defaults, FolderIsTheProgramsOwnUnlessItIsReadOnly) {
  // The program's own folder only where it was built: an installed program's
  // folder is no place for pictures, even where the user may write there (root
  // in /usr/bin, an install into ~/.local/bin).
  QTemporaryDir program, pictures;
  const QString bin = program.path() + "/bin";
  QDir().mkpath(bin);
  const struct {
    const char* what;
    QString folder;
    QString built;
    bool own;
  } cases[] = {
      {"in its build folder", program.path(), program.path(), true},
      {"in its build folder, spelt otherwise", program.path() + "/bin/..", program.path(), true},
      {"installed elsewhere", program.path(), program.path() + "/build", false},
      {"without a known build folder", program.path(), QString(), false},
      {"in a bin folder", bin, bin, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DefaultFolder({c.folder, c.built}, pictures.path()),
              c.own ? QFileInfo(c.folder).absoluteFilePath() + "/" : pictures.path() + "/")
        << c.what;

  // A program folder that cannot take files (gone, or read-only for the user) gives
  // the pictures folder, which is created when missing.
  const QString fresh = pictures.path() + "/Bilder";
  EXPECT_EQ(DefaultFolder({program.path() + "/gone", program.path() + "/gone"}, fresh), fresh + "/");
  EXPECT_TRUE(QDir(fresh).exists());
  QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner);
  if (!QFileInfo(program.path()).isWritable()) {  // root may write anywhere
    EXPECT_EQ(DefaultFolder({program.path(), program.path()}, pictures.path()), pictures.path() + "/");
  }
  QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
