#include <gtest/gtest.h>

#include "app/cli/CommandLine.h"
#include "capture/Formats.h"
#include "settings/Settings.h"

using namespace lumora;
using Mode = CommandLine::Mode;

TEST(CommandLine, ReadsTheCaptureOptions) {
  const CommandLine cl = ParseCommandLine(
      {"--capture", "--output", "shot.jpg", "--region", "-10,20,300,400", "--delay", "0", "--yes"});
  ASSERT_EQ(cl.mode, Mode::Capture) << cl.error.toStdString();
  EXPECT_EQ(cl.output, QStringLiteral("shot.jpg"));
  ASSERT_TRUE(cl.region.has_value());
  EXPECT_EQ(*cl.region, (ScreenRect{-10, 20, 300, 400}));
  EXPECT_EQ(cl.delayMs, 0);
  EXPECT_TRUE(cl.yes);

  const CommandLine plain = ParseCommandLine({"--capture"});
  EXPECT_EQ(plain.mode, Mode::Capture);
  EXPECT_EQ(plain.delayMs, 200);
  EXPECT_FALSE(plain.yes);
  EXPECT_FALSE(plain.region.has_value());
  EXPECT_FALSE(plain.window);
  EXPECT_TRUE(ParseCommandLine({"--capture", "--window", "--delay", "900"}).window);
  EXPECT_FALSE(plain.pointer);
  EXPECT_FALSE(plain.screen.has_value());

  const struct {
    const char* name;
    uint8_t code;
  } screens[] = {{"primary", wsPrimaer}, {"pointer", wsMauszeiger}, {"all", wsAlle}};
  for (const auto& c : screens) {
    const CommandLine chosen = ParseCommandLine({"--capture", "--screen", c.name, "--pointer"});
    ASSERT_EQ(chosen.mode, Mode::Capture) << c.name;
    EXPECT_EQ(chosen.screen, c.code);
    EXPECT_TRUE(chosen.pointer);
  }

  for (const char* name : {"a.bmp", "a.jpg", "a.tga", "a.png"})
    EXPECT_EQ(ParseCommandLine({"--capture", "--output", name}).mode, Mode::Capture) << name;
  EXPECT_TRUE(UsageText().contains(QStringLiteral("(.bmp, .jpg, .tga, .png)")));

  EXPECT_EQ(ParseCommandLine({}).mode, Mode::Tray);
  EXPECT_EQ(ParseCommandLine({"--capture", "--help"}).mode, Mode::Help);
  EXPECT_EQ(ParseCommandLine({"--version"}).mode, Mode::Version);
}

TEST(CommandLine, RefusesBadUsage) {
  const QStringList bad[] = {
      {"--frobnicate"},
      {"--output", "a.bmp"},                       // capture option without --capture
      {"--capture", "--output"},                   // missing value
      {"--capture", "--region", "1,2,3"},          // three numbers
      {"--capture", "--region", "10,0,5,5"},       // right before left
      {"--capture", "--region", "a,b,c,d"},
      {"--capture", "--region", "0,0,99999999999,1"},  // not a 32-bit number
      {"--capture", "--delay", "-1"},
      {"--capture", "--delay", "soon"},
      {"--capture", "--region", "0,0,0,0"},        // nothing to capture
      {"--capture", "--region", "5,5,5,100"},      // no width
      {"--capture", "--output", "shot.gif"},       // no format of ours
      {"--capture", "--output", "shot"},
      {"--shot", "--quit"},                        // one verb at a time
      {"--shot", "--capture"},
      {"--select", "--autostart", "on"},
      {"--start"},                                 // --start needs a verb to carry out
      {"--start", "--quit"},
      {"--start", "--capture"},
      {"--capture", "--output", "a.jpe"},
      {"--capture", "--output", "a.jpegs"},
      {"--capture", "--output", "dir.png/shot"},
      {"--window"},                                // capture option without --capture
      {"--capture", "--window", "--region", "0,0,5,5"},  // one or the other
      {"--shot-window", "--window"},
      {"--capture", "--screen", "second"},
      {"--capture", "--screen"},
      {"--pointer"},
  };
  for (const QStringList& args : bad) {
    const CommandLine cl = ParseCommandLine(args);
    EXPECT_EQ(cl.mode, Mode::Invalid) << args.join(' ').toStdString();
    EXPECT_FALSE(cl.error.isEmpty());
    // One line naming the problem, and where the help is.
    EXPECT_EQ(UsageError(cl), QStringLiteral("lumora: %1\nTry 'lumora --help' for more information.\n").arg(cl.error));
    EXPECT_FALSE(cl.error.contains('\n'));
  }
}

TEST(CommandLine, OutputExtensionsInAnyLetterCase) {
  const struct {
    const char* name;
    OutputFormat format;
  } cases[] = {
      {"a.bmp", OutputFormat::Bmp},  {"a.BMP", OutputFormat::Bmp},   {"a.jpg", OutputFormat::Jpeg},
      {"a.JPG", OutputFormat::Jpeg}, {"a.jpeg", OutputFormat::Jpeg}, {"a.JPEG", OutputFormat::Jpeg},
      {"a.Tga", OutputFormat::Tga},  {"a.PNG", OutputFormat::Png},   {"x.y/a.png", OutputFormat::Png},
  };
  for (const auto& c : cases) {
    const CommandLine cl = ParseCommandLine({"--capture", "--output", c.name});
    EXPECT_EQ(cl.mode, Mode::Capture) << c.name << ": " << cl.error.toStdString();
    EXPECT_EQ(cl.output, QLatin1String(c.name));
    const FormatInfo* format = FormatOfFileName(QLatin1String(c.name));
    ASSERT_NE(format, nullptr) << c.name;
    EXPECT_EQ(format->format, c.format) << c.name;
  }
  // The settings keep their exact extensions.
  EXPECT_EQ(FormatFromSuffix(QStringLiteral(".PNG")), nullptr);
}

TEST(CommandLine, VerbsForTheRunningProgram) {
  for (const char* verb : {"show", "select", "shot", "shot-window", "quit"}) {
    const CommandLine cl = ParseCommandLine({QStringLiteral("--") + QLatin1String(verb)});
    EXPECT_EQ(cl.mode, Mode::Verb) << verb;
    EXPECT_EQ(cl.verb, QLatin1String(verb));
  }
  for (const char* verb : {"--show", "--select", "--shot", "--shot-window", "--window", "--quit", "--start"})
    EXPECT_TRUE(UsageText().contains(QLatin1String(verb))) << verb;
  EXPECT_FALSE(ParseCommandLine({"--shot"}).start);
  const CommandLine started = ParseCommandLine({"--start", "--select"});
  EXPECT_EQ(started.mode, Mode::Verb);
  EXPECT_EQ(started.verb, QStringLiteral("select"));
  EXPECT_TRUE(started.start);
}
