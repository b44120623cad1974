// Lumora as a system meets it: the files an install puts in place, the Debian
// package, and `make run` on a tree that is already built. The desktop's own tools
// judge the files.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <sys/stat.h>

#include "QtPrinters.h"
#include "TrayDriver.h"
#include "XvfbServer.h"

using namespace lumora::test;

namespace {

const QString kBuild = QStringLiteral(LUMORA_BUILD_DIR);
const QString kSource = QStringLiteral(LUMORA_SOURCE_DIR);
const int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Every file an install puts under its prefix /usr.
QSet<QString> expectedFiles() {
  QSet<QString> files = {
      QStringLiteral("usr/bin/lumora"),
      QStringLiteral("usr/share/applications/lumora.desktop"),
      QStringLiteral("usr/share/icons/hicolor/scalable/apps/lumora.svg"),
      QStringLiteral("usr/share/man/man1/lumora.1.gz"),
      QStringLiteral("usr/share/doc/lumora/copyright"),
      QStringLiteral("usr/share/doc/lumora/changelog.gz"),
  };
  for (int size : kIconSizes) files << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/lumora.png").arg(size);
  // The software-centre data only where the build was given the project's web address.
  if (!QStringLiteral(LUMORA_APP_ID).isEmpty())
    files << QStringLiteral("usr/share/metainfo/" LUMORA_APP_ID ".metainfo.xml");
  return files;
}

QSet<QString> filesUnder(const QString& root) {
  QSet<QString> files;
  for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
    files << QDir(root).relativeFilePath(it.next());
  return files;
}

// A set as sorted lines, for messages that can be read.
std::string sorted(const QSet<QString>& set) {
  QStringList list(set.begin(), set.end());
  list.sort();
  return list.join('\n').toStdString();
}

ProcessResult tool(const QString& program, const QStringList& args, const QStringList& env = {},
                   int timeoutMs = 300000) {
  return RunProcess(program, args, QString(), timeoutMs, env);
}

QString text(const ProcessResult& r) { return QString::fromUtf8(r.out + r.err); }

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every option and command the program's own help names, and the commands for a running Lumora.
QStringList documentedNames() {
  const ProcessResult help = tool(QStringLiteral(LUMORA_BINARY), {QStringLiteral("--help")});
  QStringList names = {"--show", "--select", "--shot", "--quit", "LUMORA_REGISTRY", "LUMORA_BACKEND",
                       "XDG_CONFIG_HOME", "DISPLAY", "registry.reg", "autostart/lumora.desktop"};
  for (const auto& m : QRegularExpression(QStringLiteral("--[a-z-]+")).globalMatch(QString::fromUtf8(help.out)))
    if (!names.contains(m.captured())) names << m.captured();
  return names;
}

bool hasSymbolTable(const QString& elf) {
  return tool(QStringLiteral("readelf"), {QStringLiteral("-S"), elf}).out.contains(".symtab");
}

}  // namespace

TEST(Install, PutsEveryFileInPlaceForTheDesktopsToolsAndUninstallsExactlyThem) {
  QTemporaryDir root;
  // A component install keeps its own manifest, so the build folder's record of a real
  // `make install` stays as it is.
  const ProcessResult install =
      tool(QStringLiteral("cmake"), {"--install", kBuild, "--prefix", "/usr", "--strip", "--component", "Unspecified"},
           {QStringLiteral("DESTDIR=") + root.path()});
  ASSERT_EQ(install.exitCode, 0) << text(install).toStdString();
  EXPECT_EQ(sorted(filesUnder(root.path())), sorted(expectedFiles()));

  const QString manifest = kBuild + QStringLiteral("/install_manifest_Unspecified.txt");
  QSet<QString> listed;
  for (const QString& line : QString::fromUtf8(readAll(manifest)).split('\n', Qt::SkipEmptyParts))
    listed << line.mid(1);  // "/usr/..." without the DESTDIR
  EXPECT_EQ(sorted(listed), sorted(expectedFiles())) << "the manifest lists what was installed";

  const QString usr = root.path() + QStringLiteral("/usr");
  EXPECT_FALSE(hasSymbolTable(usr + "/bin/lumora")) << "installed stripped";
  EXPECT_TRUE(QFileInfo(usr + "/bin/lumora").isExecutable());
  for (int size : kIconSizes) {
    QImageReader icon(usr + QStringLiteral("/share/icons/hicolor/%1x%1/apps/lumora.png").arg(size));
    EXPECT_EQ(icon.size(), QSize(size, size)) << size;
  }

  const QString desktop = usr + "/share/applications/lumora.desktop";
  const ProcessResult validDesktop = tool(QStringLiteral("desktop-file-validate"), {desktop});
  EXPECT_EQ(validDesktop.exitCode, 0);
  EXPECT_EQ(text(validDesktop), QString()) << "no hints either";
  const QString entry = QString::fromUtf8(readAll(desktop));
  for (const char* line : {"Exec=lumora\n", "Icon=lumora\n", "Exec=lumora --start --shot\n", "Exec=lumora --start --select\n",
                           "Name[de]=Bereich auswählen\n", "Categories=Graphics;"})
    EXPECT_TRUE(entry.contains(QString::fromUtf8(line))) << line;

  const ProcessResult validMeta =
      tool(QStringLiteral("appstreamcli"), {"validate", "--no-net", QStringLiteral(LUMORA_PUBLISHED_METAINFO)});
  EXPECT_EQ(validMeta.exitCode, 0) << text(validMeta).toStdString();

  // Rendered wide, unhyphenated and unjustified, so that every name stays whole.
  const ProcessResult man = tool(QStringLiteral("man"), {"--warnings", "--nh", "--nj", "-l", usr + "/share/man/man1/lumora.1.gz"},
                                 {"MANWIDTH=200", "MAN_KEEP_FORMATTING=", "MANPAGER=cat", "PAGER=cat"});
  EXPECT_EQ(man.exitCode, 0);
  EXPECT_EQ(QString::fromUtf8(man.err), QString()) << "groff has no complaints";
  const QString page = QString::fromUtf8(man.out);
  for (const QString& name : documentedNames()) EXPECT_TRUE(page.contains(name)) << "the manual names " << name.toStdString();

  // The installed program names itself in the session entry it writes.
  QTemporaryDir config;
  const ProcessResult on = tool(usr + "/bin/lumora", {"--autostart", "on"}, {"XDG_CONFIG_HOME=" + config.path()});
  EXPECT_EQ(on.exitCode, 0) << text(on).toStdString();
  const QString autostart = config.filePath(QStringLiteral("autostart/lumora.desktop"));
  EXPECT_TRUE(readAll(autostart).contains(("\nExec=" + usr + "/bin/lumora\n").toUtf8())) << readAll(autostart).toStdString();
  EXPECT_EQ(tool(QStringLiteral("desktop-file-validate"), {autostart}).exitCode, 0);
  EXPECT_EQ(tool(usr + "/bin/lumora", {"--autostart", "off"}, {"XDG_CONFIG_HOME=" + config.path()}).exitCode, 0);
  EXPECT_FALSE(QFile::exists(autostart));

  // `make uninstall` removes the listed files and nothing else.
  const QString foreign = usr + "/share/applications/someone-else.desktop";
  ASSERT_TRUE(QFile(foreign).open(QIODevice::WriteOnly));
  const ProcessResult uninstall =
      tool(QStringLiteral("make"), {"-s", "-C", kSource, "uninstall", "MANIFEST=" + manifest, "BUILD=" + kBuild,
                                    "DESTDIR=" + root.path()});
  EXPECT_EQ(uninstall.exitCode, 0) << text(uninstall).toStdString();
  EXPECT_EQ(sorted(filesUnder(root.path())), sorted({QDir(root.path()).relativeFilePath(foreign)}));
}

// A user's install and root's live side by side: each prefix has its own record,
// and uninstalling one leaves the other, and the folders that were there before.
TEST(Install, EachPrefixKeepsItsOwnRecordAndUninstallRemovesTheFoldersItMade) {
  QTemporaryDir dir;
  const QString kept = dir.filePath(QStringLiteral("kept"));
  const QString made = dir.filePath(QStringLiteral("made"));
  ASSERT_TRUE(QDir().mkpath(kept + "/share/applications"));
  auto make = [&](const char* target, const QString& prefix) {
    return tool(QStringLiteral("make"), {"-s", "-C", kSource, QLatin1String(target), "BUILD=" + kBuild, "PREFIX=" + prefix});
  };
  for (const QString& prefix : {kept, made}) {
    const ProcessResult install = make("install", prefix);
    ASSERT_EQ(install.exitCode, 0) << text(install).toStdString();
  }
  EXPECT_TRUE(QFile::exists(kept + "/bin/lumora") && QFile::exists(made + "/bin/lumora"));
  EXPECT_FALSE(QFile::exists(kBuild + "/install_manifest.txt")) << "no record shared by the prefixes";

  ProcessResult uninstall = make("uninstall", made);
  EXPECT_EQ(uninstall.exitCode, 0) << text(uninstall).toStdString();
  EXPECT_FALSE(QFileInfo::exists(made)) << "every folder the install made";
  EXPECT_TRUE(QFile::exists(kept + "/bin/lumora")) << "the other prefix's install stays";
  uninstall = make("uninstall", kept);
  EXPECT_EQ(uninstall.exitCode, 0) << text(uninstall).toStdString();
  QStringList left;
  for (QDirIterator it(kept, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories); it.hasNext();)
    left << QDir(kept).relativeFilePath(it.next());
  left.sort();
  EXPECT_EQ(left, (QStringList{"share", "share/applications"}));
  EXPECT_EQ(make("uninstall", kept).exitCode, 2) << "nothing is left to remove";
}

// Whatever prefix the build was configured with, the entry follows the prefix of the install.
TEST(Install, MenuEntryNamesTheProgramAsInstalled) {
  const struct {
    QString prefix;
    QString exec;
  } cases[] = {
      {QStringLiteral("/usr"), QStringLiteral("Exec=lumora\n")},
      {QStringLiteral("/usr/local"), QStringLiteral("Exec=lumora\n")},
      {QStringLiteral("/opt/lumora kit"), QStringLiteral("Exec=\"/opt/lumora kit/bin/lumora\"\n")},
  };
  for (const auto& c : cases) {
    QTemporaryDir root;
    const ProcessResult install = tool(QStringLiteral("cmake"), {"--install", kBuild, "--prefix", c.prefix, "--component", "Unspecified"},
                                       {QStringLiteral("DESTDIR=") + root.path()});
    ASSERT_EQ(install.exitCode, 0) << text(install).toStdString();
    const QString desktop = root.path() + c.prefix + "/share/applications/lumora.desktop";
    EXPECT_TRUE(QString::fromUtf8(readAll(desktop)).contains(c.exec)) << c.prefix.toStdString();
    EXPECT_EQ(tool(QStringLiteral("desktop-file-validate"), {desktop}).exitCode, 0) << c.prefix.toStdString();
  }
}

TEST(Package, IsADebianPackageWithItsDependenciesAndPassesLintian) {
  // What `make uninstall` will remove must stay the record of `make install`.
  const QString manifest = kBuild + QStringLiteral("/install_manifest.txt");
  const bool hadManifest = QFile::exists(manifest);
  const QByteArray before = readAll(manifest);
  QTemporaryDir out;
  const ProcessResult cpack = tool(QStringLiteral("cpack"),
                                   {"-G", "DEB", "-B", out.path(), "--config", kBuild + "/CPackConfig.cmake"});
  ASSERT_EQ(cpack.exitCode, 0) << text(cpack).toStdString();
  EXPECT_EQ(QFile::exists(manifest), hadManifest);
  EXPECT_EQ(readAll(manifest), before);
  const QStringList debs = QDir(out.path()).entryList({QStringLiteral("lumora_" LUMORA_PROJECT_VERSION "_*.deb")});
  ASSERT_EQ(debs.size(), 1) << text(cpack).toStdString();
  const QString deb = out.filePath(debs.first());
  const QString arch = QString::fromUtf8(tool(QStringLiteral("dpkg"), {"--print-architecture"}).out).trimmed();
  EXPECT_EQ(debs.first(), QStringLiteral("lumora_" LUMORA_PROJECT_VERSION "_%1.deb").arg(arch));

  auto field = [&](const char* name) {
    return QString::fromUtf8(tool(QStringLiteral("dpkg-deb"), {"-f", deb, QString::fromLatin1(name)}).out).trimmed();
  };
  EXPECT_EQ(field("Package"), QStringLiteral("lumora"));
  EXPECT_EQ(field("Section"), QStringLiteral("graphics"));
  EXPECT_FALSE(field("Description").isEmpty());
  // Read from the program's own libraries, so each comes with its package and version.
  const QString depends = field("Depends");
  for (const char* package : {"libc6 (", "libqt6widgets6 (", "libqt6gui6 (", "libjpeg62-turbo (", "libxcb-shm0",
                              "libxcb-keysyms1", "fonts-liberation", "qt6-translations-l10n", "qt6-wayland"})
    EXPECT_TRUE(depends.contains(QLatin1String(package))) << package << " in " << depends.toStdString();
  EXPECT_EQ(field("Recommends"), QStringLiteral("xdg-desktop-portal, xdg-desktop-portal-gtk | xdg-desktop-portal-backend"));
  // Nothing made up reaches the users: without the project's web address there is no
  // Homepage, and the maintainer is the one who built the package.
  EXPECT_EQ(field("Homepage"), QString());
  EXPECT_FALSE(field("Maintainer").contains(QStringLiteral("lumora.example")));

  // The same files as an install, owned by root.
  QSet<QString> contents;
  for (const QString& line : QString::fromUtf8(tool(QStringLiteral("dpkg-deb"), {"-c", deb}).out).split('\n', Qt::SkipEmptyParts)) {
    const QStringList cols = line.simplified().split(' ');
    EXPECT_EQ(cols.value(1), QStringLiteral("root/root")) << line.toStdString();
    if (cols.value(0).startsWith('-')) contents << cols.last().mid(2);  // "./usr/..." -> "usr/..."
  }
  EXPECT_EQ(sorted(contents), sorted(expectedFiles()));
  QTemporaryDir unpacked;
  ASSERT_EQ(tool(QStringLiteral("dpkg-deb"), {"-x", deb, unpacked.path()}).exitCode, 0);
  EXPECT_FALSE(hasSymbolTable(unpacked.path() + "/usr/bin/lumora")) << "packaged stripped";
  const QByteArray dynamic = tool(QStringLiteral("readelf"), {"-d", unpacked.path() + "/usr/bin/lumora"}).out;
  EXPECT_FALSE(dynamic.contains("RUNPATH") || dynamic.contains("RPATH")) << dynamic.toStdString();
  EXPECT_TRUE(dynamic.contains("BIND_NOW")) << dynamic.toStdString();

  const ProcessResult lintian =
      tool(QStringLiteral("lintian"), {"--fail-on", "error", "--pedantic", "--no-tag-display-limit", deb});
  EXPECT_EQ(lintian.exitCode, 0) << text(lintian).toStdString();
  EXPECT_FALSE(text(lintian).contains(QStringLiteral("hardening-"))) << text(lintian).toStdString();
  EXPECT_FALSE(text(lintian).contains(QRegularExpression(QStringLiteral("^E: "), QRegularExpression::MultilineOption)))
      << text(lintian).toStdString();
}

namespace {

// `make run` in its own process group, stopped by that group's id.
class MakeRun {
 public:
  MakeRun(const QString& home, const QString& runtime, const QString& settings) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "LUMORA_REGISTRY", "XDG_CONFIG_HOME", "QT_QPA_PLATFORM", "MAKEFLAGS", "MAKELEVEL"})
      env.remove(QString::fromLatin1(name));
    env.insert("HOME", home);
    env.insert("XDG_RUNTIME_DIR", runtime);
    process_.setProcessEnvironment(env);
    process_.start(QStringLiteral("setsid"), {"make", "-s", "-C", kSource, "run", "BUILD=" + kBuild,
                                              "RUN_SETTINGS=" + settings});
    process_.waitForStarted(10000);
    group_ = pid_t(process_.processId());
  }
  ~MakeRun() { stop(); }

  // Output so far, one entry a line.
  QStringList lines() {
    process_.waitForReadyRead(100);
    out_ += process_.readAllStandardOutput();
    err_ += process_.readAllStandardError();
    return QString::fromUtf8(out_).split('\n', Qt::SkipEmptyParts);
  }
  QByteArray errors() {
    lines();
    return err_;
  }
  // Ctrl+C for the whole group, as a terminal sends it; then waits until every member is gone.
  void stop() {
    if (group_ <= 0 || stopped_) return;
    stopped_ = true;
    const pid_t group = group_;
    ::kill(-group, SIGINT);
    process_.waitForFinished(20000);
    if (!WaitFor([group] { return ::kill(-group, 0) != 0; }, 20000)) ::kill(-group, SIGKILL);
    lines();
  }

 private:
  QProcess process_;
  QByteArray out_, err_;
  pid_t group_ = -1;
  bool stopped_ = false;
};

}  // namespace

TEST(MakeRun, OnABuiltTreeSaysOnlyHowToReachTheProgramWhichSavesIntoThePictures) {
  QTemporaryDir dir;
  const QString home = dir.filePath(QStringLiteral("home of \"Jürgen\""));
  const QString runtime = dir.filePath(QStringLiteral("runtime"));
  ASSERT_TRUE(QDir().mkpath(home) && QDir().mkpath(runtime));
  ::chmod(QFile::encodeName(runtime).constData(), 0700);
  const QString settings = dir.filePath(QStringLiteral("run-settings.reg"));
  // A German desktop's pictures folder, which does not exist yet.
  ASSERT_TRUE(QDir().mkpath(home + "/.config"));
  QFile dirs(home + "/.config/user-dirs.dirs");
  ASSERT_TRUE(dirs.open(QIODevice::WriteOnly) && dirs.write("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n") > 0);
  dirs.close();
  const QString pictures = home + QStringLiteral("/Bilder/");

  MakeRun run(home, runtime, settings);
  ASSERT_TRUE(WaitFor([&] { return run.lines().filter(QStringLiteral("Stop it with Ctrl+C")).size() == 1; }, 120000))
      << run.lines().join('\n').toStdString() << run.errors().toStdString();
  const QStringList lines = run.lines();
  const QRegularExpression first(QStringLiteral("^Lumora runs on the private display (:\\d+) "));
  // A line per stage of the build, none of the build's own output.
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Building lumora "))) << lines.first().toStdString();
  const QRegularExpressionMatch display = first.match(lines.value(1));
  ASSERT_TRUE(display.hasMatch()) << lines.value(1).toStdString();
  const QStringList expected = {
      lines.value(1),
      QStringLiteral("Pictures go to %1 (settings: %2).").arg(pictures, settings),
      QStringLiteral("Reach it from another terminal, for example:"),
  };
  EXPECT_EQ(lines.mid(1, 3).join('\n'), expected.join('\n'));
  EXPECT_EQ(lines.size(), 10) << "nothing of the build:\n" << lines.join('\n').toStdString();
  // Every hint names only what make run installed, and the helper reaches the
  // program from any folder, with make run's display and settings.
  for (const QString& line : lines.filter(QStringLiteral("  "))) {
    const QString command = line.trimmed().section(' ', 0, 0).section('=', 0, 0) == QLatin1String("DISPLAY")
                                ? line.trimmed().section(' ', 1, 1)
                                : line.trimmed().section(' ', 0, 0);
    EXPECT_EQ(tool(QStringLiteral("sh"), {"-c", "command -v \"$0\"", command}).exitCode, 0) << line.toStdString();
  }
  EXPECT_EQ(run.errors(), QByteArray());

  // The program reads that folder: a capture by hotkey lands there. Keys sent before
  // the program grabbed them are lost, so press until a picture is there.
  EXPECT_TRUE(WaitFor(
      [&] {
        RunProcess(QStringLiteral("xdotool"), {"key", "ctrl+alt+s"}, display.captured(1), 10000);
        return WaitFor([&] { return QFile::exists(pictures + "Screen 00000.bmp"); }, 1000);
      },
      60000));
  const ProcessResult helper = RunProcess(kSource + QStringLiteral("/scripts/lumora"), {"--capture", "--delay", "0"},
                                          QString(), 60000, {"HOME=" + home, "BUILD=" + kBuild, "LUMORA_REGISTRY=", "WAYLAND_DISPLAY="});
  EXPECT_EQ(helper.exitCode, 0) << helper.err.toStdString();
  EXPECT_TRUE(QString::fromUtf8(helper.out).startsWith(pictures + "Screen 0000")) << helper.out.toStdString();
  run.stop();
  EXPECT_TRUE(QFile::exists(settings));
  EXPECT_FALSE(QFile::exists(kBuild + "/run-session")) << "only while make run runs";
}

TEST(MakeRun, ABuildThatFailsNamesItsLog) {
  const ProcessResult r = tool(kSource + QStringLiteral("/scripts/build"), {kBuild, "no_such_target"});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_TRUE(r.out.startsWith("Building no_such_target ")) << r.out.toStdString();
  EXPECT_EQ(r.out.count('\n'), 1) << "the stage, nothing of the build";
  EXPECT_TRUE(r.err.contains((kBuild + QStringLiteral("/build.log")).toUtf8())) << r.err.toStdString();
}
