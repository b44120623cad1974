#include "ui/FileTab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "naming/FolderChooser.h"
#include "ui/widgets/ElidedLabel.h"

namespace lumora {

namespace {

QCheckBox* makeCheckBox(const char* name, const char* caption, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(QLatin1String(name));
  return box;
}

// A value label that never widens the tab; the tooltip holds all of a long path.
ElidedLabel* makeValueLabel(const char* name, bool bold, QWidget* parent) {
  auto* label = new ElidedLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  return label;
}


}  // namespace

FileTab::FileTab(OptionsContext& context, OptionsWindow& window, QWidget* parent)
    : OptionsPage(context, window, parent), logic_(context), chooseFolder_(&ChooseFolderAndPrefix) {
  auto* gbEinstellungen = new QGroupBox(QStringLiteral(" Einstellungen "), this);
  gbEinstellungen->setObjectName(QStringLiteral("gbEinstellungen"));
  cbSameFile_ = makeCheckBox("cbSameFile", "Nummerierung deaktivieren", gbEinstellungen);
  cbEingabeauf_ = makeCheckBox("cbEingabeauf", "Eingabeaufforderung für Dateinamen", gbEinstellungen);
  cbBlank_ = makeCheckBox("cbBlank", "Freizeichen vor Nummerierung", gbEinstellungen);
  cbClipboard_ = makeCheckBox("cbClipboard", "in Zwischenablage", gbEinstellungen);
  btnZiel_ = new QPushButton(QStringLiteral("Dateiname und Pfad..."), gbEinstellungen);
  btnZiel_->setObjectName(QStringLiteral("btnZiel"));
  btnZiel_->setToolTip(QStringLiteral("Wählt den Zielordner und den Namenszusatz der Screenshots"));
  btnOpenInExp_ = new QPushButton(QStringLiteral("Ordner öffnen..."), gbEinstellungen);
  btnOpenInExp_->setObjectName(QStringLiteral("btnOpenInExp"));
  btnOpenInExp_->setToolTip(QStringLiteral("Öffnet den aktuellen Zielordner für die Screenshots"));
  // Two columns of check boxes, the buttons below them: the group spans the tab.
  auto* settingsLayout = new QGridLayout(gbEinstellungen);
  settingsLayout->setVerticalSpacing(0);
  // The longest caption shares its column with the next longest, so both fit.
  settingsLayout->setContentsMargins(6, 2, 6, 4);
  settingsLayout->setHorizontalSpacing(4);
  settingsLayout->addWidget(cbSameFile_, 0, 0);
  settingsLayout->addWidget(cbClipboard_, 1, 0);
  settingsLayout->addWidget(cbEingabeauf_, 0, 1);
  settingsLayout->addWidget(cbBlank_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(0, 4, 0, 0);
  buttons->addStretch(1);
  buttons->addWidget(btnZiel_);
  buttons->addWidget(btnOpenInExp_);
  settingsLayout->addLayout(buttons, 2, 0, 1, 2);

  auto* gbLastPic = new QGroupBox(QStringLiteral(" Letzer Screenshot "), this);
  gbLastPic->setObjectName(QStringLiteral("gbLastPic"));
  imgLastPic_ = new QLabel(gbLastPic);
  imgLastPic_->setObjectName(QStringLiteral("imgLastPic"));
  imgLastPic_->setFixedSize(157, 124);
  imgLastPic_->setAlignment(Qt::AlignCenter);
  imgLastPic_->setToolTip(QStringLiteral("Zeigt, wenn möglich, den letzten Screenshot an"));
  imgLastPic_->setPixmap(QPixmap(QStringLiteral(":/lumora/placeholder.png")));
  auto* picLayout = new QVBoxLayout(gbLastPic);
  picLayout->setContentsMargins(6, 2, 6, 4);
  picLayout->addWidget(imgLastPic_, 0, Qt::AlignCenter);

  auto* gbInfo = new QGroupBox(QStringLiteral(" Informationen "), this);
  gbInfo->setObjectName(QStringLiteral("gbInformationen"));
  lblLastFile_ = makeValueLabel("lblLastFile", true, gbInfo);
  lblLastDir_ = makeValueLabel("lblLastDir", false, gbInfo);
  lblLastTime_ = makeValueLabel("lblLastTime", false, gbInfo);
  lblLastdate_ = makeValueLabel("lblLastdate", false, gbInfo);
  lblNextFile_ = makeValueLabel("lblNextFile", true, gbInfo);
  lblNextDir_ = makeValueLabel("lblNextDir", false, gbInfo);
  auto* info = new QGridLayout(gbInfo);
  info->setContentsMargins(8, 2, 8, 4);
  info->setHorizontalSpacing(6);
  info->setVerticalSpacing(0);
  const auto caption = [gbInfo](const char* text) { return new QLabel(QString::fromUtf8(text), gbInfo); };
  info->addWidget(caption("Letzte Datei:"), 0, 0);
  info->addWidget(lblLastFile_, 0, 1);
  info->addWidget(caption("Verzeichnis:"), 1, 0);
  info->addWidget(lblLastDir_, 1, 1);
  info->addWidget(caption("Letzer Screenshot um:"), 2, 0);
  info->addWidget(lblLastTime_, 2, 1);
  info->addWidget(lblLastdate_, 3, 1);
  info->addWidget(caption("Nächste Datei:"), 4, 0);
  info->addWidget(lblNextFile_, 4, 1);
  info->addWidget(caption("Verzeichnis:"), 5, 0);
  info->addWidget(lblNextDir_, 5, 1);
  info->setColumnStretch(1, 1);
  info->setRowStretch(6, 1);

  auto* bottom = new QHBoxLayout;
  bottom->setSpacing(4);
  bottom->addWidget(gbInfo, 1);
  bottom->addWidget(gbLastPic);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  layout->addWidget(gbEinstellungen);
  layout->addLayout(bottom, 1);

  connect(cbSameFile_, &QCheckBox::clicked, this, [this](bool ticked) {
    logic_.sameFileClicked(ticked);
    applyNumberingRule();
    window_.ShowNextFile();
  });
  connect(cbEingabeauf_, &QCheckBox::clicked, this, [this](bool ticked) { logic_.eingabeaufClicked(ticked); });
  connect(cbBlank_, &QCheckBox::clicked, this, [this](bool ticked) {
    logic_.blankClicked(ticked, window_.timerRunning());
    window_.ShowNextFile();
  });
  connect(cbClipboard_, &QCheckBox::clicked, this, [this](bool ticked) {
    logic_.clipboardClicked(ticked);
    window_.ShowNextFile();
  });
  connect(btnZiel_, &QPushButton::clicked, this, [this] { btnSpeichernUnterClick(); });
  connect(btnOpenInExp_, &QPushButton::clicked, this, [this] { window_.openTargetFolder(); });
}

void FileTab::loadFromSettings() {
  const FileTabLogic::Ticks ticks = logic_.ticks();
  cbSameFile_->setChecked(ticks.sameFile);
  cbEingabeauf_->setChecked(ticks.eingabeauf);
  cbBlank_->setChecked(ticks.blank);
  cbClipboard_->setChecked(ticks.clipboard);
}

void FileTab::initWindowState() {
  showLastFile(FileTabLogic::UnknownLastFile());
  applyNumberingRule();
  showNextFile(logic_.initialNextFileTexts());
}

void FileTab::lockForTimer(bool running) {
  setEnabled(!running);
  // The timer's rule comes last: stopping it frees the naming boxes even in
  // same-file mode, until the next click on "Nummerierung deaktivieren".
  for (QWidget* w : std::initializer_list<QWidget*>{btnZiel_, btnOpenInExp_, cbEingabeauf_, cbBlank_, cbClipboard_})
    w->setEnabled(!running);
}

void FileTab::applyNumberingRule() {
  const bool enabled = FileTabLogic::NamingBoxesEnabled(cbSameFile_->isChecked());
  for (QCheckBox* box : {cbEingabeauf_, cbBlank_, cbClipboard_}) box->setEnabled(enabled);
}

void FileTab::btnSpeichernUnterClick() {
  // The dialog turns the clipboard mode off whether or not it was confirmed.
  if (chooseFolder_) chooseFolder_(this, ctx_.settings, ctx_.naming, cbBlank_->isChecked(), window_.timerRunning());
  ctx_.settings.Datei.Clipboard = false;
  cbClipboard_->setChecked(false);
  window_.ShowNextFile();
}

void FileTab::showLastFile(const LastFileTexts& texts) {
  lblLastFile_->setPath(texts.file);
  lblLastDir_->setPath(texts.dir);
  lblLastTime_->setPath(texts.time);
  lblLastdate_->setPath(texts.date);
}

void FileTab::showLastPicture(const QImage& thumbnail) {
  if (!thumbnail.isNull()) imgLastPic_->setPixmap(QPixmap::fromImage(thumbnail));
}

void FileTab::showNextFile(const NextFileTexts& texts) {
  lblNextFile_->setPath(texts.file);
  lblNextDir_->setPath(texts.dir);
}

}  // namespace lumora
