// The session-start entry: readable by the desktop's own tools for any program
// path, switched on and off from the menu and the shell, and failures reported.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "FakeDialogs.h"
#include "platform/fs/Autostart.h"
#include "app/cli/CommandLine.h"
#include "app/cli/AutostartCommand.h"
#include "app/tray/SessionStartItem.h"

using namespace lumora;
using test::FakeDialogs;

namespace {

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

struct Result {
  int code = -1;
  QString out;
};

Result run(const QString& program, const QStringList& args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  if (!p.waitForFinished(30000)) {
    p.kill();
    p.waitForFinished();
  }
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

}  // namespace

// Whatever folder the program sits in, the desktop's validator accepts the entry
// and GLib's launcher (what GNOME and others start autostart entries with) runs
// exactly that program.
TEST(Autostart, EntryStartsTheProgramWhereverItLies) {
  const struct {
    QString folder;
    bool glibStarts;
  } cases[] = {
      {QStringLiteral("plain"), true},
      {QStringLiteral("with blank"), true},
      {QStringLiteral("dollar$HOME"), true},
      // GLib looks for the program before it undoes the "%%" of a literal percent
      // sign, so no entry can make it start this one; the entry is still right.
      {QStringLiteral("percent%u%%"), false},
      {QStringLiteral("quote\"and'apostrophe"), true},
      {QStringLiteral("back\\slash"), true},
      {QStringLiteral("back`tick;amp&(paren)"), true},
      {QStringLiteral("Bildschirmfotos für Jürgen"), true},
  };
  for (const auto& c : cases) {
    const QString& name = c.folder;
    SCOPED_TRACE(name.toStdString());
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(name));
    const QString program = dir.path() + QLatin1Char('/') + name + QStringLiteral("/lumora");
    const QString marker = dir.filePath(QStringLiteral("started"));
    ASSERT_TRUE(writeFile(program, "#!/bin/sh\nprintf '%s' \"$0\" > \"$MARKER.new\" && mv \"$MARKER.new\" \"$MARKER\"\n"));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const std::optional<QString> text = Autostart::EntryText(program);
    ASSERT_TRUE(text.has_value());
    const QString entry = dir.filePath(QStringLiteral("lumora.desktop"));
    ASSERT_TRUE(writeFile(entry, text->toUtf8()));
    const Result valid = run(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(valid.code, 0) << valid.out.toStdString();
    EXPECT_TRUE(valid.out.isEmpty()) << valid.out.toStdString();

    if (!c.glibStarts) continue;
    qputenv("MARKER", QFile::encodeName(marker));
    const Result launched = run(QStringLiteral("gio"), {QStringLiteral("launch"), entry});
    EXPECT_EQ(launched.code, 0) << launched.out.toStdString();
    for (int i = 0; i < 100 && !QFile::exists(marker); ++i) QThread::msleep(50);
    EXPECT_EQ(QString::fromUtf8(readAll(marker)), program);
  }
}

TEST(Autostart, RefusesPathsAnEntryCannotHold) {
  EXPECT_FALSE(Autostart::EntryText(QStringLiteral("lumora")).has_value()) << "relative";
  EXPECT_FALSE(Autostart::EntryText(QStringLiteral("/tmp/a\nb/lumora")).has_value()) << "line break";
  EXPECT_FALSE(Autostart::EntryText(QStringLiteral("/tmp/a") + QChar::ReplacementCharacter + "/lumora").has_value())
      << "a name that was not text";

  QTemporaryDir dir;
  const Autostart autostart(dir.path(), QStringLiteral("relative/lumora"));
  FakeDialogs dialogs;
  EXPECT_FALSE(SwitchSessionStart(autostart, true, dialogs));
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].kind, FakeDialogs::Kind::Error);
  EXPECT_FALSE(QFile::exists(autostart.path()));
}

TEST(Autostart, OnOffAndTheDesktopsOwnSwitches) {
  QTemporaryDir dir;
  const QString config = dir.filePath(QStringLiteral("fresh/config"));  // nothing of it exists yet
  const Autostart autostart(config, QStringLiteral("/usr/bin/lumora"));
  EXPECT_EQ(autostart.path(), config + QStringLiteral("/autostart/lumora.desktop"));
  EXPECT_FALSE(autostart.enabled());
  EXPECT_TRUE(autostart.set(false)) << "off when already off";

  ASSERT_TRUE(autostart.set(true));
  EXPECT_TRUE(autostart.enabled());
  const QByteArray text = readAll(autostart.path());
  EXPECT_TRUE(text.contains("\nExec=/usr/bin/lumora\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("\nTryExec=/usr/bin/lumora\n")) << text.toStdString();
  EXPECT_EQ(QDir(config + QStringLiteral("/autostart")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("lumora.desktop")})
      << "no temporary file left";

  // Desktops switch an entry off without removing it; switching on again writes a fresh one.
  const struct {
    const char* line;
    bool enabled;
  } switches[] = {
      {"Hidden=true", false},
      {"X-GNOME-Autostart-enabled=false", false},
      {"X-GNOME-Autostart-enabled=true", true},
      {"Hidden=false", true},
  };
  for (const auto& s : switches) {
    ASSERT_TRUE(writeFile(autostart.path(), text + s.line + "\n"));
    EXPECT_EQ(autostart.enabled(), s.enabled) << s.line;
  }
  ASSERT_TRUE(writeFile(autostart.path(), "[Desktop Entry]\nHidden=true\n"));
  ASSERT_TRUE(autostart.set(true));
  EXPECT_TRUE(autostart.enabled());

  ASSERT_TRUE(autostart.set(false));
  EXPECT_FALSE(QFile::exists(autostart.path()));
  EXPECT_FALSE(autostart.enabled());
}

TEST(Autostart, FailuresAreReportedAndChangeNothing) {
  QTemporaryDir dir;
  // A file where the autostart folder belongs: no folder can be made, as root or not.
  ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("autostart")), "not a folder"));
  const Autostart blocked(dir.path(), QStringLiteral("/usr/bin/lumora"));
  FakeDialogs dialogs;
  EXPECT_FALSE(SwitchSessionStart(blocked, true, dialogs));
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].kind, FakeDialogs::Kind::Error);
  EXPECT_TRUE(dialogs.boxes[0].text.contains(blocked.path())) << dialogs.boxes[0].text.toStdString();
  EXPECT_EQ(readAll(dir.filePath(QStringLiteral("autostart"))), QByteArray("not a folder"));

  // An entry that cannot be removed (here a folder full of files) stays switched on.
  QTemporaryDir other;
  const Autostart stuck(other.path(), QStringLiteral("/usr/bin/lumora"));
  ASSERT_TRUE(QDir().mkpath(stuck.path()));
  ASSERT_TRUE(writeFile(stuck.path() + QStringLiteral("/inside"), "x"));
  FakeDialogs dialogs2;
  EXPECT_TRUE(SwitchSessionStart(stuck, false, dialogs2));
  EXPECT_EQ(dialogs2.count(FakeDialogs::Kind::Error), 1);

  // The shell command says the same and fails with status 1.
  char out[256] = {}, err[256] = {};
  FILE* o = fmemopen(out, sizeof out - 1, "w");
  FILE* e = fmemopen(err, sizeof err - 1, "w");
  EXPECT_EQ(AutostartCommand(blocked, true, o, e), 1);
  std::fclose(o);
  std::fclose(e);
  EXPECT_STREQ(out, "");
  EXPECT_NE(std::string(err).find("cannot write"), std::string::npos) << err;
}

TEST(Autostart, CommandLineTakesOnOrOffAlone) {
  const CommandLine on = ParseCommandLine({"--autostart", "on"});
  EXPECT_EQ(on.mode, CommandLine::Mode::Autostart);
  EXPECT_TRUE(on.autostartOn);
  const CommandLine off = ParseCommandLine({"--autostart", "off"});
  EXPECT_EQ(off.mode, CommandLine::Mode::Autostart);
  EXPECT_FALSE(off.autostartOn);
  const QStringList bad[] = {{"--autostart"}, {"--autostart", "yes"}, {"--autostart", "on", "--capture"},
                             {"--capture", "--autostart", "off"}, {"--autostart", "on", "--yes"}};
  for (const QStringList& args : bad)
    EXPECT_EQ(ParseCommandLine(args).mode, CommandLine::Mode::Invalid) << args.join(' ').toStdString();
}

TEST(SessionStartItem, ShowsTheEntryOnDiskAndSwitchesIt) {
  QTemporaryDir dir;
  const Autostart autostart(dir.path(), QStringLiteral("/usr/bin/lumora"));
  FakeDialogs dialogs;
  QMenu options;
  options.addAction(QStringLiteral("Zielordner öffnen (Explorer)"));
  QAction* item = AddSessionStartItem(options, autostart, dialogs);
  EXPECT_EQ(options.actions().last(), item) << "the last item";
  EXPECT_EQ(item->text(), QStringLiteral("  Mit der Sitzung starten"));
  EXPECT_TRUE(item->isCheckable());

  // Switched on from a shell while the program runs: the menu shows it when it opens.
  ASSERT_TRUE(autostart.set(true));
  Q_EMIT options.aboutToShow();
  EXPECT_TRUE(item->isChecked());

  item->trigger();  // off
  EXPECT_FALSE(item->isChecked());
  EXPECT_FALSE(QFile::exists(autostart.path()));
  item->trigger();  // on
  EXPECT_TRUE(item->isChecked());
  EXPECT_TRUE(autostart.enabled());
  EXPECT_TRUE(dialogs.boxes.empty());
}
