#include "app/cli/CommandLine.h"

#include "capture/Formats.h"

namespace lumora {

namespace {

std::optional<ScreenRect> parseRegion(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != 4) return std::nullopt;
  int32_t v[4];
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    v[i] = parts[i].trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
  }
  ScreenRect r{v[0], v[1], v[2], v[3]};
  if (r.width() <= 0 || r.height() <= 0) return std::nullopt;
  return r;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& args) {
  CommandLine cl;
  auto fail = [&cl](const QString& why) {
    cl.mode = CommandLine::Mode::Invalid;
    cl.error = why;
    return cl;
  };
  bool capture = false;
  bool captureOption = false;
  bool autostart = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    auto value = [&](QString& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    QString v;
    if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
      cl.mode = CommandLine::Mode::Help;
      return cl;
    } else if (a == QLatin1String("--version")) {
      cl.mode = CommandLine::Mode::Version;
      return cl;
    } else if (a == QLatin1String("--capture")) {
      capture = true;
    } else if (a == QLatin1String("--show") || a == QLatin1String("--select") || a == QLatin1String("--shot") ||
               a == QLatin1String("--shot-window") || a == QLatin1String("--quit")) {
      if (!cl.verb.isEmpty())
        return fail(QStringLiteral("one of --show, --select, --shot, --shot-window, --quit at a time"));
      cl.verb = a.mid(2);
    } else if (a == QLatin1String("--start")) {
      cl.start = true;
    } else if (a == QLatin1String("--autostart")) {
      if (!value(v) || (v != QLatin1String("on") && v != QLatin1String("off")))
        return fail(QStringLiteral("--autostart wants on or off"));
      cl.autostartOn = v == QLatin1String("on");
      autostart = true;
    } else if (a == QLatin1String("--yes")) {
      cl.yes = captureOption = true;
    } else if (a == QLatin1String("--pointer")) {
      cl.pointer = captureOption = true;
    } else if (a == QLatin1String("--screen")) {
      const QStringList choices = {QStringLiteral("primary"), QStringLiteral("pointer"), QStringLiteral("all")};
      if (!value(v) || !choices.contains(v)) return fail(QStringLiteral("--screen wants primary, pointer or all"));
      cl.screen = uint8_t(choices.indexOf(v));
      captureOption = true;
    } else if (a == QLatin1String("--output")) {
      if (!value(v) || v.isEmpty()) return fail(QStringLiteral("--output needs a file name"));
      cl.output = v;
      captureOption = true;
      if (!FormatOfFileName(v))
        return fail(QStringLiteral("--output needs a file name ending in one of %1").arg(KnownExtensions()));
    } else if (a == QLatin1String("--region")) {
      if (!value(v)) return fail(QStringLiteral("--region needs L,T,R,B"));
      cl.region = parseRegion(v);
      if (!cl.region) return fail(QStringLiteral("--region wants four whole numbers L,T,R,B with L < R and T < B"));
      captureOption = true;
    } else if (a == QLatin1String("--window")) {
      cl.window = captureOption = true;
    } else if (a == QLatin1String("--delay")) {
      bool ok = false;
      if (!value(v)) return fail(QStringLiteral("--delay needs milliseconds"));
      cl.delayMs = v.toInt(&ok);
      if (!ok || cl.delayMs < 0) return fail(QStringLiteral("--delay wants a number of milliseconds, 0 or more"));
      captureOption = true;
    } else {
      return fail(QStringLiteral("unknown argument: %1").arg(a));
    }
  }
  if (captureOption && !capture) return fail(QStringLiteral("capture options need --capture"));
  if (cl.start && (cl.verb.isEmpty() || cl.verb == QLatin1String("quit")))
    return fail(QStringLiteral("--start goes with --show, --select, --shot or --shot-window"));
  if (cl.window && cl.region) return fail(QStringLiteral("--window and --region exclude each other"));
  if (!cl.verb.isEmpty()) {
    if (capture || autostart) return fail(QStringLiteral("--%1 goes alone").arg(cl.verb));
    cl.mode = CommandLine::Mode::Verb;
    return cl;
  }
  if (autostart) {
    if (capture) return fail(QStringLiteral("--autostart goes alone"));
    cl.mode = CommandLine::Mode::Autostart;
    return cl;
  }
  cl.mode = capture ? CommandLine::Mode::Capture : CommandLine::Mode::Tray;
  return cl;
}

QString UsageError(const CommandLine& cl) {
  return QStringLiteral("lumora: %1\nTry 'lumora --help' for more information.\n").arg(cl.error);
}

QString UsageText() {
  return QStringLiteral(
      "Usage: lumora [--capture [--output FILE] [--region L,T,R,B | --window] [--delay MS]\n"
      "                      [--screen primary|pointer|all] [--pointer] [--yes]]\n"
      "       lumora [--start] --show | --select | --shot | --shot-window\n"
      "       lumora --quit\n"
      "       lumora --autostart on|off\n"
      "\n"
      "Without arguments Lumora starts in the notification area; when it runs already,\n"
      "its options window opens.\n"
      "\n"
      "  --show            open the running Lumora's options window\n"
      "  --select          choose the capture area on the running Lumora (as Ctrl+Alt+A)\n"
      "  --shot            take a screenshot with the running Lumora (as Ctrl+Alt+S)\n"
      "  --shot-window     take the active window with the running Lumora (as Ctrl+Alt+W)\n"
      "  --quit            end the running Lumora; its settings are saved\n"
      "  --start           with --show, --select or --shot: start Lumora first when none runs\n"
      "  --capture         take one screenshot with the stored settings and exit\n"
      "  --output FILE     write it to FILE; the extension (%1) picks the format\n"
      "  --region L,T,R,B  capture this rectangle instead of the whole screen\n"
      "  --window          capture the window that has the focus, with its frame\n"
      "  --delay MS        wait MS milliseconds before the grab (default 200)\n"
      "  --screen primary|pointer|all\n"
      "                    the whole screen is the primary monitor, the one with the\n"
      "                    pointer, or all of them (default: as stored)\n"
      "  --pointer         draw the mouse pointer into the picture (X11)\n"
      "  --yes             answer the warnings about poor settings with Yes (default No)\n"
      "  --autostart on|off\n"
      "                    start Lumora with the desktop session (on) or no longer (off)\n"
      "  --help            show this text\n"
      "  --version         show the version\n"
      "\n"
      "Exit status of --capture: 0 saved, 1 failed, 2 bad usage, 3 a warning was declined.\n"
      "Exit status of --show, --select, --shot, --shot-window, --quit: 0 done, 1 no Lumora runs\n"
      "(or, with --start, none could be started), 2 bad usage; --shot and --shot-window wait\n"
      "for the picture and exit 1 when none was saved.\n"
      "\n"
      "Coordinates are screen pixels from the primary monitor's top-left corner, and\n"
      "--region may reach onto the other monitors.\n")
      .arg(KnownExtensions());
}

}  // namespace lumora
