// The settings store over the registry file, through restarts of the program.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <future>
#include <unistd.h>
#include <sys/stat.h>

#include "FakeDialogs.h"
#include "RegistryTestSupport.h"
#include "settings/store/RegFileRegistry.h"
#include "settings/Defaults.h"
#include "settings/RegistryOp.h"
#include "settings/SettingsStartup.h"
#include "settings/ValueCodes.h"

using namespace lumora;
using test::FakeDialogs;

namespace {

const QSize kScreen(1024, 768);

// Every value away from its default, so that a lost value shows.
Settings unusual() {
  Settings s;
  s.Datei = {7, "Bild", ".jpg", "/srv/bilder/", "ignored", true, true, true};
  s.Blank = false;
  s.Format = {pf4Bit, 42, jmSpeed};
  s.Beschriftung = {"Grüße \"x\" \\", 0x808080, 0xFF0000, "Arial", 22, tpUnten, true, true};
  s.Auswahl = {-5, 7, 900, -1, true};
  s.Timer = {100000, 59, 1, true, true};
  s.Shortcuts = {'9', 'Z'};
  s.Bildschirm.Mauszeiger = true;
  return s;
}

void expectSameStoredSettings(const Settings& a, const Settings& b) {
  EXPECT_EQ(a.Datei.FileDescription, b.Datei.FileDescription);
  EXPECT_EQ(a.Datei.FileSuffix, b.Datei.FileSuffix);
  EXPECT_EQ(a.Datei.FileDir, b.Datei.FileDir);
  EXPECT_EQ(a.Datei.SameFile, b.Datei.SameFile);
  EXPECT_EQ(a.Datei.Eingabeaufforderung, b.Datei.Eingabeaufforderung);
  EXPECT_EQ(a.Datei.Clipboard, b.Datei.Clipboard);
  EXPECT_EQ(a.Blank, b.Blank);
  EXPECT_EQ(a.Format.BmpBit, b.Format.BmpBit);
  EXPECT_EQ(a.Format.JpegQuality, b.Format.JpegQuality);
  EXPECT_EQ(a.Format.JpegPerformance, b.Format.JpegPerformance);
  EXPECT_EQ(a.Beschriftung.Text, b.Beschriftung.Text);
  EXPECT_EQ(a.Beschriftung.BackColor, b.Beschriftung.BackColor);
  EXPECT_EQ(a.Beschriftung.TextColor, b.Beschriftung.TextColor);
  EXPECT_EQ(a.Beschriftung.FontSize, b.Beschriftung.FontSize);
  EXPECT_EQ(a.Beschriftung.Position, b.Beschriftung.Position);
  EXPECT_EQ(a.Beschriftung.Transparent, b.Beschriftung.Transparent);
  EXPECT_EQ(a.Beschriftung.Zeiteinblenden, b.Beschriftung.Zeiteinblenden);
  EXPECT_EQ(a.Auswahl.Sel_Left, b.Auswahl.Sel_Left);
  EXPECT_EQ(a.Auswahl.Sel_Top, b.Auswahl.Sel_Top);
  EXPECT_EQ(a.Auswahl.Sel_Right, b.Auswahl.Sel_Right);
  EXPECT_EQ(a.Auswahl.Sel_Bottom, b.Auswahl.Sel_Bottom);
  EXPECT_EQ(a.Auswahl.Aktiv, b.Auswahl.Aktiv);
  EXPECT_EQ(a.Timer.ValHour, b.Timer.ValHour);
  EXPECT_EQ(a.Timer.ValMin, b.Timer.ValMin);
  EXPECT_EQ(a.Timer.ValSec, b.Timer.ValSec);
  EXPECT_EQ(a.Timer.Loop, b.Timer.Loop);
  EXPECT_EQ(a.Timer.TimerAutostart, b.Timer.TimerAutostart);
  EXPECT_EQ(a.Bildschirm.Mauszeiger, b.Bildschirm.Mauszeiger);
}

class Store : public ::testing::Test {
 protected:
  // One program start as the tray program makes it: letters first, then the rest.
  Settings start() {
    dialogs.boxes.clear();
    RegFileRegistry registry(path);
    RegistryOp store(registry, dialogs);
    Settings s;
    InitShortcuts(store, s.Shortcuts);
    loaded = LoadSettingsAtStart(store, dialogs, s, kScreen, QStringLiteral("/opt/lumora/"));
    return s;
  }
  QString text() const {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  void write(const QString& contents) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(contents.toUtf8());
  }
  // The stored file with one value line replaced (or removed when `line` is empty).
  void replaceValue(const QString& name, const QString& line) {
    QStringList lines = text().split(QLatin1Char('\n'));
    for (QString& l : lines)
      if (l.startsWith(QLatin1Char('"') + name + QStringLiteral("\"="))) l = line;
    write(lines.join(QLatin1Char('\n')));
  }

  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("registry.reg"));
  RegFileRegistry registry{path};
  FakeDialogs dialogs;
  RegistryOp store{registry, dialogs};
  bool loaded = false;
};

}  // namespace

TEST_F(Store, AllSettingsAndBothLettersSurviveARestart) {
  const Settings before = unusual();
  ASSERT_TRUE(store.SaveSettings(before));
  ASSERT_TRUE(store.SaveShortcuts(before.Shortcuts.SC_Screen, before.Shortcuts.SC_Auswahl));
  const QStringList names = {"FileDescription", "FileSuffix", "FileDir", "Eingabeaufforderung", "Clipboard",
                             "SameFile", "Text", "BackColor", "TextColor", "FontSize", "Position", "Transparent",
                             "Zeiteinblenden", "Sel_Left", "Sel_Right", "Sel_Top", "Sel_Bottom", "Aktiv", "BmpBit",
                             "JpegQuality", "JpegPerformance", "ValSec", "ValMin", "ValHour", "Blank", "Loop",
                             "TimerAutoStart", "SC_Screen", "SC_Auswahl"};
  qsizetype at = 0;
  for (const QString& n : names) {
    const qsizetype next = text().indexOf(QLatin1Char('"') + n + QStringLiteral("\"="), at);
    EXPECT_GT(next, at) << n.toStdString() << " out of order";
    at = next;
  }
  EXPECT_TRUE(text().contains(QStringLiteral("\"Position\"=\"unten\"\n\"Transparent\"=dword:00000001")));

  const Settings after = start();
  EXPECT_TRUE(loaded);
  EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
  expectSameStoredSettings(after, before);
  EXPECT_EQ(after.Shortcuts.SC_Screen, '9');
  EXPECT_EQ(after.Shortcuts.SC_Auswahl, 'Z');
  EXPECT_EQ(after.Beschriftung.FontName, QStringLiteral("Arial"));
}

TEST_F(Store, FirstStartsThenResetThenUninstall) {
  // First start: the shortcut load writes nothing, so the welcome (not the read error)
  // follows, and the defaults are stored without the letters.
  Settings s = start();
  EXPECT_FALSE(loaded);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].kind, FakeDialogs::Kind::Info);
  EXPECT_EQ(dialogs.boxes[0].text, QString::fromUtf8(msg::kWelcome));
  EXPECT_TRUE(dialogs.boxes[0].text.endsWith(QStringLiteral("Programm.                 Ombra")));
  EXPECT_EQ(s.Datei.FileDir, QStringLiteral("/opt/lumora/"));
  EXPECT_EQ(s.Auswahl.Sel_Right, 1024);
  EXPECT_TRUE(text().contains(QStringLiteral("\"TimerAutoStart\"=dword:00000000")));
  EXPECT_FALSE(text().contains(QStringLiteral("SC_Screen")));

  // Second start: the letters are missing, so 'S' and 'A' are written; all else loads.
  s = start();
  EXPECT_TRUE(loaded);
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_TRUE(text().contains(QStringLiteral(
      "\"SC_Screen\"=dword:00000053\n\"SC_Auswahl\"=dword:00000041\n\"SC_Window\"=dword:00000057")));

  // The user picks other letters; a reset removes the key but the letters stay in use
  // until exit, and the exit save does not write them.
  ASSERT_TRUE(store.SaveShortcuts('X', 'Y'));
  s.Shortcuts = {'X', 'Y'};
  EXPECT_TRUE(store.DeleteAllSettings());
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_EQ(s.Shortcuts.SC_Screen, 'X');
  EXPECT_TRUE(SaveSettingsAtExit(store, dialogs, s, false));
  s = start();
  EXPECT_EQ(s.Shortcuts.SC_Screen, 'S');
  EXPECT_EQ(s.Shortcuts.SC_Auswahl, 'A');
  EXPECT_TRUE(dialogs.boxes.empty());

  // Uninstall: the key goes and the exit writes nothing; a second delete finds nothing.
  EXPECT_TRUE(store.DeleteAllSettings());
  EXPECT_TRUE(SaveSettingsAtExit(store, dialogs, s, true));
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_FALSE(store.DeleteAllSettings());
}

TEST_F(Store, HandEditedValues) {
  struct Case {
    const char* name;
    const char* line;  // empty: the value is deleted
    bool readError;
    const char* message;  // a conversion's own message, no failure
  };
  const Case cases[] = {
      {"FileDir", "", false, nullptr},
      {"Text", "\"Text\"=hex(2):41,00,00,00", false, nullptr},
      {"FontSize", "\"FontSize\"=dword:00000009", false, nullptr},
      {"BackColor", "\"BackColor\"=dword:0000000b", false, msg::kColor},
      {"Position", "\"Position\"=\"Oben\"", false, msg::kPosition},
      {"BmpBit", "", false, msg::kPixelFormat},
      {"Clipboard", "", true, nullptr},
      {"Clipboard", "\"Clipboard\"=\"1\"", true, nullptr},
      {"FileDir", "\"FileDir\"=dword:00000001", true, nullptr},
      {"Sel_Left", "\"Sel_Left\"=hex(4):01,00", true, nullptr},
      {"Sel_Left", "\"Sel_Left\"=hex:01,00,00,00", true, nullptr},
      {"ValHour", "\"ValHour\"=hex(b):01,00,00,00,00,00,00,00", true, nullptr},
      {"BackColor", "\"BackColor\"=dword:00000100", true, nullptr},
      {"TextColor", "\"TextColor\"=dword:ffffffff", true, nullptr},
      {"FontSize", "\"FontSize\"=dword:00000007", true, nullptr},
      {"FontSize", "\"FontSize\"=dword:0000001a", true, nullptr},
      {"JpegQuality", "\"JpegQuality\"=dword:00000000", true, nullptr},
      {"JpegQuality", "\"JpegQuality\"=dword:00000065", true, nullptr},
      {"TimerAutoStart", "", true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.line);
    ASSERT_TRUE(store.SaveSettings(unusual()));
    replaceValue(QString::fromLatin1(c.name), QString::fromLatin1(c.line));
    dialogs.boxes.clear();
    Settings s;
    EXPECT_EQ(store.LoadSettings(s), !c.readError);
    QStringList want;
    if (c.message) want << QString::fromUtf8(c.message);
    if (c.readError) want << QString::fromUtf8(msg::kReadError);
    EXPECT_EQ(dialogs.texts(), want);
  }
}

TEST_F(Store, LoadsWhatIsThereAsTheRulesSay) {
  ASSERT_TRUE(store.SaveSettings(unusual()));
  replaceValue(QStringLiteral("FileSuffix"), QStringLiteral("\"FileSuffix\"=\".jpeg\""));
  replaceValue(QStringLiteral("FileDir"), QString());
  replaceValue(QStringLiteral("TimerAutoStart"), QStringLiteral("\"TimerAutostart\"=dword:00000005"));
  Settings s;
  ASSERT_TRUE(store.LoadSettings(s));
  EXPECT_EQ(s.Datei.FileSuffix, QStringLiteral(".jpe"));
  EXPECT_EQ(s.Datei.FileDir, QString());
  EXPECT_TRUE(s.Timer.TimerAutostart);
  ASSERT_TRUE(store.SaveSettings(s));
  EXPECT_EQ(text().count(QStringLiteral("utostart\"="), Qt::CaseInsensitive), 1);
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(Store, AFileFromBeforeTheScreenValuesLoadsThemAsDefaults) {
  const struct {
    const char* line;  // empty: the value is not there
  } cases[] = {{""}, {"\"Mauszeiger\"=\"1\""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    ASSERT_TRUE(store.SaveSettings(unusual()));
    replaceValue(QStringLiteral("Mauszeiger"), QString::fromLatin1(c.line));
    dialogs.boxes.clear();
    Settings s;
    s.Bildschirm.Mauszeiger = true;
    EXPECT_TRUE(store.LoadSettings(s));
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_FALSE(s.Bildschirm.Mauszeiger);
  }
}

TEST_F(Store, ADamagedFileTakesTheReadErrorRoadAndIsKept) {
  write(QStringLiteral("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\LUMORA]\n"
                       "\"FileDir\"=\"/home/ich/"));
  const QString damaged = text();
  Settings s = start();
  EXPECT_FALSE(loaded);
  EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(msg::kReadError)});
  EXPECT_EQ(s.Datei.FileDescription, QStringLiteral("Screen"));
  QFile broken(registry.brokenPath());
  ASSERT_TRUE(broken.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(broken.readAll()), damaged);
  // Defaults and letters are now stored: the next start is quiet.
  s = start();
  EXPECT_TRUE(loaded);
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(Store, OneBadValueKeepsTheWholeFileAsBrokenBeforeDefaultsReplaceIt) {
  // The file reads, but one value is out of range or missing: the read error
  // road. The user's folder, prefix and format must survive in the copy, also
  // when the file has no hotkey letters yet (written by hand, by another tool,
  // after a reset), whose writing rewrites the file before the rest is read, and
  // when the settings are reached through a link.
  struct Case {
    const char* what;
    const char* name;
    const char* line;
    bool letters;
    bool linked;
  };
  const Case cases[] = {
      {"font size 25", "FontSize", "\"FontSize\"=dword:00000019", true, false},
      {"missing flag", "Clipboard", "", true, false},
      {"text where a number belongs", "JpegQuality", "\"JpegQuality\"=\"80\"", true, false},
      {"font size 25, no letters", "FontSize", "\"FontSize\"=dword:00000019", false, false},
      {"font size 0x7fffffff, no letters", "FontSize", "\"FontSize\"=dword:7fffffff", false, false},
      {"font size as text, no letters", "FontSize", "\"FontSize\"=\"14\"", false, false},
      {"quality 0, no letters", "JpegQuality", "\"JpegQuality\"=dword:00000000", false, false},
      {"text for a flag, no letters", "Aktiv", "\"Aktiv\"=\"ja\"", false, false},
      {"font size 25 through a link", "FontSize", "\"FontSize\"=dword:00000019", true, true},
      {"font size 25 through a link, no letters", "FontSize", "\"FontSize\"=dword:00000019", false, true},
  };
  const QString real = dir.filePath(QStringLiteral("dotfiles/lumora.reg"));
  QDir().mkpath(dir.filePath(QStringLiteral("dotfiles")));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const QString& f : {path, path + QStringLiteral(".broken"), real}) QFile::remove(f);
    if (c.linked) ASSERT_TRUE(QFile::link(real, path));
    ASSERT_TRUE(store.SaveSettings(unusual()));
    if (c.letters) ASSERT_TRUE(store.SaveShortcuts('9', 'Z'));
    replaceValue(QLatin1String(c.name), QLatin1String(c.line));
    const QString damaged = text();
    const Settings s = start();
    EXPECT_FALSE(loaded);
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(msg::kReadError)});
    EXPECT_EQ(s.Datei.FileDir, QStringLiteral("/opt/lumora/")) << "defaults in use";
    const QString broken = path + QStringLiteral(".broken");
    EXPECT_FALSE(QFileInfo(broken).isSymLink()) << "the copy holds the bytes, not a way to them";
    QFile copy(broken);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(copy.readAll()), damaged);
    if (c.linked) EXPECT_TRUE(QFileInfo(path).isSymLink()) << "the link stays a link";
  }
}

TEST_F(Store, ASettingsPathThatIsNoFileIsNamedAndLeftAlone) {
  // A pipe would keep the program waiting for a writer forever; a folder is no
  // place for settings either. Neither is read, replaced or copied.
  for (const bool pipe : {true, false}) {
    SCOPED_TRACE(pipe ? "pipe" : "folder");
    QFile::remove(path);
    QDir().rmdir(path);
    if (pipe)
      ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
      ASSERT_TRUE(QDir().mkdir(path));
    auto started = std::async(std::launch::async, [&] { return start(); });
    if (started.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
      ADD_FAILURE() << "the start waits for the pipe";
      // Let every waiting reader go, so that the test can end.
      do {
        const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
      } while (started.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready);
    }
    const Settings s = started.get();
    EXPECT_FALSE(loaded);
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(msg::kNotAFile).arg(path)});
    EXPECT_EQ(s.Datei.FileDir, QStringLiteral("/opt/lumora/")) << "defaults in use";
    EXPECT_FALSE(SaveSettingsAtExit(store, dialogs, s, false));
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(pipe ? S_ISFIFO(st.st_mode) : S_ISDIR(st.st_mode), true) << "left as it was";
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".broken")));
  }
}

TEST_F(Store, WhatTheStoreWritesItCanAlwaysReadBack) {
  // Texts a user can type or paste: line breaks, control characters, a lone
  // half of a surrogate pair, a very long caption; extreme numbers.
  Settings before = unusual();
  before.Beschriftung.Text = QStringLiteral("Zeile 1\nZeile 2\t\u0001 \U0001F4F7 ") + QChar(0xD83D) +
                             QString(40000, QChar(0x00FC));
  before.Datei.FileDescription = QStringLiteral("a\"b\\c=d[e]");
  before.Datei.FileDir = QStringLiteral("/tmp/[HKEY_LOCAL_MACHINE\\x]/");
  before.Auswahl = {INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, true};
  before.Beschriftung.FontSize = 9;
  ASSERT_TRUE(store.SaveSettings(before));
  const Settings after = start();
  EXPECT_TRUE(loaded) << dialogs.texts().join(QLatin1Char('|')).toStdString();
  expectSameStoredSettings(after, before);
  EXPECT_EQ(StoredImage(after), StoredImage(before)) << "and an autosave finds nothing changed";
}

TEST_F(Store, AFailedFirstWriteAndAFailedExitSaveAreReported) {
  const QByteArray folder = QFile::encodeName(dir.path());
  ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
  Settings s = test::WithoutPrivileges([&] { return start(); });
  EXPECT_EQ(dialogs.texts(), (QStringList{QString::fromUtf8(msg::kWelcome), QString::fromUtf8(msg::kFirstWriteFailed)}));
  dialogs.boxes.clear();
  EXPECT_FALSE(test::WithoutPrivileges([&] { return SaveSettingsAtExit(store, dialogs, s, false); }));
  EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(msg::kExitSaveFailed)});
  ::chmod(folder.constData(), 0755);
}

TEST_F(Store, ReadsARegeditExport) {
  ASSERT_TRUE(store.SaveSettings(unusual()));
  ASSERT_TRUE(store.SaveShortcuts('9', 'Z'));
  // As regedit on Windows exports it: UTF-16LE with BOM, CRLF, and regedit's own layout.
  QString exported = text();
  exported.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  exported.replace(QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\LUMORA]"),
                   QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumora]"));
  QByteArray bytes("\xFF\xFE", 2);
  for (QChar c : exported) bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
  write(QString());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
  f.close();
  const Settings s = start();
  EXPECT_TRUE(loaded);
  EXPECT_TRUE(dialogs.boxes.empty());
  expectSameStoredSettings(s, unusual());
  EXPECT_EQ(s.Shortcuts.SC_Screen, '9');
}
