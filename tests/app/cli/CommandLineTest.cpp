#include <gtest/gtest.h>

#include "app/cli/CommandLine.h"
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
      {"--capture", "--output", "a.PNG"},          // extensions are exact
      {"--capture", "--screen", "second"},
      {"--capture", "--screen"},
      {"--pointer"},
  };
  for (const QStringList& args : bad) {
    const CommandLine cl = ParseCommandLine(args);
    EXPECT_EQ(cl.mode, Mode::Invalid) << args.join(' ').toStdString();
    EXPECT_FALSE(cl.error.isEmpty());
  }
}

TEST(CommandLine, VerbsForTheRunningProgram) {
  for (const char* verb : {"show", "select", "shot", "quit"}) {
    const CommandLine cl = ParseCommandLine({QStringLiteral("--") + QLatin1String(verb)});
    EXPECT_EQ(cl.mode, Mode::Verb) << verb;
    EXPECT_EQ(cl.verb, QLatin1String(verb));
  }
  for (const char* verb : {"--show", "--select", "--shot", "--quit"})
    EXPECT_TRUE(UsageText().contains(QLatin1String(verb))) << verb;
}
