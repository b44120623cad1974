#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "FakeDialogs.h"
#include "QtPrinters.h"
#include "app/tray/GermanInterface.h"
#include "naming/FileNaming.h"
#include "naming/FolderChooser.h"
#include "ui/widgets/ProgramFont.h"
#include "settings/Defaults.h"

using namespace lumora;

namespace {

QStringList menuTexts(QLineEdit& edit) {
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList texts;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) texts << a->text().section(QLatin1Char('\t'), 0, 0);  // without the key
  return texts;
}

}  // namespace

TEST(GermanInterface, QtsOwnDialogAndMenusSpeakGermanAndUseTheProgramsFont) {
  QLineEdit edit;
  const QStringList english = menuTexts(edit);
  {
    const GermanInterface german(*qApp);
    ASSERT_TRUE(german.qtTranslated()) << GermanInterface::QtCatalogue().toStdString();
    EXPECT_EQ(QApplication::font().family(), ProgramFont().family());
    EXPECT_EQ(QApplication::font().pointSizeF(), 8.0);

    const QStringList texts = menuTexts(edit);
    EXPECT_NE(texts, english);
    EXPECT_TRUE(texts.contains(QStringLiteral("&Rückgängig"))) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Alles auswählen"))) << texts.join(QLatin1Char('|')).toStdString();

    // The folder-and-prefix dialog as the options window opens it.
    Settings settings;
    SetDefaults(settings, QSize(800, 600), QDir::tempPath() + QLatin1Char('/'));
    test::FakeDialogs dialogs;
    FileNaming naming(settings, dialogs);
    QStringList shown;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
        if (auto* label = dialog->findChild<QLabel*>(QLatin1String(name))) shown << label->text();
      for (QPushButton* b : dialog->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>()) shown << b->text();
      dialog->reject();
    });
    ChooseFolderAndPrefix(nullptr, settings, naming, false, true);
    EXPECT_EQ(shown, (QStringList{"Suchen in:", "Datei&name:", "Dateien des Typs:", "&Öffnen", "Abbrechen"}));
  }
  EXPECT_EQ(menuTexts(edit), english) << "gone with the object";
}
