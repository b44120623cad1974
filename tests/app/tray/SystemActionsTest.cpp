#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "app/tray/SystemActions.h"
#include "settings/store/RegFileRegistry.h"
#include "settings/Defaults.h"

using namespace lumora;
using test::FakeDialogs;
using test::FakeScreensaver;

namespace {

struct Rig {
  QTemporaryDir dir;
  RegFileRegistry registry{dir.filePath(QStringLiteral("registry.reg"))};
  FakeDialogs dialogs;
  RegistryOp store{registry, dialogs};
  FakeScreensaver screensaver;
  QStringList log;
  SystemActions actions{dialogs, store, screensaver,
                        {[this] { log << "close options"; }, [this] { log << "close tray"; },
                         [this] { log << "reset"; }}};
  Rig() {
    Settings s;
    SetDefaults(s, QSize(800, 600), QStringLiteral("/tmp/"));
    store.SaveSettings(s);
  }
};

}  // namespace

TEST(SystemActions, TheScreensaverCaptionNamesTheStateTheClickSet) {
  Rig rig;
  EXPECT_EQ(rig.actions.ToggleScreensaver(), QStringLiteral("Screensaver On"));
  EXPECT_EQ(rig.actions.ToggleScreensaver(), QStringLiteral("Screensaver Off"));
  EXPECT_EQ(rig.screensaver.calls, (std::vector<bool>{true, false}));
  EXPECT_TRUE(rig.dialogs.boxes.empty());

  rig.screensaver.works = false;
  EXPECT_EQ(rig.actions.ToggleScreensaver(), QStringLiteral("Screensaver On")) << "the flag flips anyway";
  ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
  EXPECT_EQ(rig.dialogs.boxes[0].text,
            QStringLiteral("Die Systemeinstellung für den Screensaver konnte nicht\n"
                           "durchgeführt werden! Es ist kein Status verfügbar."));
}

TEST(SystemActions, UninstallAndResetAskFirstThenRemoveTheStore) {
  // No: nothing happens.
  for (bool uninstall : {true, false}) {
    Rig rig;
    uninstall ? rig.actions.uninstallAndQuit() : rig.actions.ResetSettings();
    EXPECT_TRUE(rig.store.KeyExists(RegistryOp::kKeyPath));
    EXPECT_TRUE(rig.log.isEmpty());
    EXPECT_FALSE(rig.actions.uninstalled());
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_EQ(rig.dialogs.boxes[0].kind, FakeDialogs::Kind::Confirm);
  }

  // Reset, Yes: the store is gone, the defaults are back, the window closes.
  Rig rig;
  rig.dialogs.answers = {true};
  rig.actions.ResetSettings();
  EXPECT_FALSE(rig.store.KeyExists(RegistryOp::kKeyPath));
  EXPECT_EQ(rig.log, (QStringList{"reset", "close options"}));
  EXPECT_EQ(rig.dialogs.boxes.size(), 1u) << "no error";

  // Uninstall in the same run: the store is already gone, which is reported, and
  // the program still ends without saving.
  rig.log.clear();
  rig.dialogs.answers = {true};
  rig.actions.uninstallAndQuit();
  EXPECT_TRUE(rig.actions.uninstalled());
  EXPECT_EQ(rig.log, (QStringList{"close options", "close tray"}));
  ASSERT_EQ(rig.dialogs.boxes.size(), 3u);
  EXPECT_EQ(rig.dialogs.boxes[2].kind, FakeDialogs::Kind::Error);
  EXPECT_TRUE(rig.dialogs.boxes[2].text.startsWith(
      QStringLiteral("Die Einträge konnten nicht (vollständig) aus der Registrierungs-\ndatenbank entfernt werden.")));
  EXPECT_TRUE(rig.dialogs.boxes[1].text.startsWith(QStringLiteral("Wollen Sie Lumora wirklich Deinstallieren?\n\n")));
}
