#include "ui/FormatTab.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace lumora {

namespace {

QGroupBox* makeGroup(const char* name, const char* caption, QWidget* parent) {
  auto* group = new QGroupBox(QString::fromUtf8(caption), parent);
  group->setObjectName(QLatin1String(name));
  return group;
}

QRadioButton* makeRadio(const QString& name, const char* caption, QWidget* parent) {
  auto* radio = new QRadioButton(QString::fromUtf8(caption), parent);
  radio->setObjectName(name);
  return radio;
}

// An information group holding one picture or one bold, centred text.
QGroupBox* makeInfoGroup(const char* name, QWidget* content, QWidget* parent) {
  QGroupBox* group = makeGroup(name, " Informationen ", parent);
  content->setParent(group);
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(6, 2, 6, 6);
  layout->addWidget(content, 1, Qt::AlignCenter);
  group->setFixedSize(176, 104);
  return group;
}

QLabel* makePicture(const char* name, const char* resource) {
  auto* picture = new QLabel;
  picture->setObjectName(QLatin1String(name));
  picture->setPixmap(QPixmap(QLatin1String(resource)));
  return picture;
}

}  // namespace

FormatTab::FormatTab(OptionsContext& context, OptionsWindow& window, QWidget* parent)
    : OptionsPage(context, window, parent), logic_(context) {
  QGroupBox* gbFormat = makeGroup("rgFormat", " Dateityp ", this);
  rgFormat_ = new QButtonGroup(this);
  auto* formatLayout = new QVBoxLayout(gbFormat);
  formatLayout->setContentsMargins(8, 4, 8, 6);
  formatLayout->setSpacing(0);  // four items in the height three had before
  const char* formats[] = {"BMP - Windows Bitmap", "JPEG - Joint Photographic Experts Group", "TGA - Targa-Bitmap",
                           "PNG"};
  for (int i = 0; i < FormatTabLogic::kFormatCount; ++i) {
    QRadioButton* item = makeRadio(QStringLiteral("rgFormat%1").arg(i), formats[i], gbFormat);
    rgFormat_->addButton(item, i);
    formatLayout->addWidget(item);
  }
  rgFormat_->button(0)->setChecked(true);  // the design-time choice

  auto* tgaText = new QLabel(QStringLiteral("Das Speichern in das TGA-Format ist nicht verlustbehaftet."));
  tgaText->setObjectName(QStringLiteral("lblFormatInfoTGA"));
  tgaText->setAlignment(Qt::AlignCenter);
  tgaText->setWordWrap(true);
  tgaText->setMinimumWidth(150);
  QFont bold = tgaText->font();
  bold.setBold(true);
  tgaText->setFont(bold);
  gbFormatInfoBMP_ = makeInfoGroup("gbFormatInfoBMP", makePicture("imgFormatInfoBMP", ":/lumora/format-info-bmp.png"), this);
  gbFormatInfoJPG_ = makeInfoGroup("gbFormatInfoJPG", makePicture("imgFormatInfoJPG", ":/lumora/format-info-jpg.png"), this);
  gbFormatInfoTGA_ = makeInfoGroup("gbFormatInfoTGA", tgaText, this);

  gbBmp_ = makeGroup("gbBmp", " Bitmap-Einstellungen ", this);
  rgBmpBit_ = new QButtonGroup(this);
  auto* bmpLayout = new QGridLayout(gbBmp_);
  bmpLayout->setContentsMargins(8, 4, 8, 6);
  bmpLayout->addWidget(new QLabel(QStringLiteral("Quantisierung:"), gbBmp_), 0, 0, 2, 1, Qt::AlignTop);
  const char* depths[] = {"1 Bit", "4 Bit", "8 Bit", "16 Bit", "24 Bit", "32 Bit"};
  for (int i = 0; i < int(FormatTabLogic::kBmpBitCodes.size()); ++i) {
    QRadioButton* item = makeRadio(QStringLiteral("rgBmpBit%1").arg(i), depths[i], gbBmp_);
    rgBmpBit_->addButton(item, i);
    // Three columns, filled column by column like a radio group.
    bmpLayout->addWidget(item, i % 2, 1 + i / 2);
  }
  bmpLayout->setColumnStretch(1, 1);
  bmpLayout->setColumnStretch(2, 1);
  bmpLayout->setColumnStretch(3, 1);
  bmpLayout->setRowStretch(2, 1);

  gbJpeg_ = makeGroup("gbJpeg", " JPEG-Einstellungen ", this);
  tbJpegQuality_ = new QSlider(Qt::Horizontal, gbJpeg_);
  tbJpegQuality_->setObjectName(QStringLiteral("tbJpegQuality"));
  tbJpegQuality_->setRange(0, 100);
  tbJpegQuality_->setTickInterval(10);
  tbJpegQuality_->setTickPosition(QSlider::TicksBelow);
  tbJpegQuality_->setPageStep(10);
  tbJpegQuality_->setToolTip(QStringLiteral("Jpeg-Kompressionsqualität"));
  edJpegPercent_ = new QLineEdit(QStringLiteral("---"), gbJpeg_);
  edJpegPercent_->setObjectName(QStringLiteral("edJpegPercent"));
  edJpegPercent_->setReadOnly(true);
  edJpegPercent_->setAlignment(Qt::AlignCenter);
  edJpegPercent_->setFixedWidth(40);
  rbJpegBestPerf_ = makeRadio(QStringLiteral("rbJpegBestPerf"), "Qualitätsbezogen", gbJpeg_);
  rbBestSpeed_ = makeRadio(QStringLiteral("rbBestSpeed"), "Geschwindigkeitsbezogen", gbJpeg_);
  auto* scale = new QHBoxLayout;
  scale->addWidget(new QLabel(QStringLiteral("1 %"), gbJpeg_));
  scale->addStretch(1);
  scale->addWidget(new QLabel(QStringLiteral("50 %"), gbJpeg_));
  scale->addStretch(1);
  scale->addWidget(new QLabel(QStringLiteral("100 %"), gbJpeg_));
  auto* methods = new QHBoxLayout;
  methods->addWidget(rbJpegBestPerf_);
  methods->addWidget(rbBestSpeed_);
  methods->addStretch(1);
  auto* jpegLayout = new QGridLayout(gbJpeg_);
  jpegLayout->setContentsMargins(8, 4, 8, 6);
  jpegLayout->setVerticalSpacing(0);
  jpegLayout->addWidget(tbJpegQuality_, 0, 0);
  jpegLayout->addWidget(edJpegPercent_, 0, 1);
  jpegLayout->addLayout(scale, 1, 0);
  jpegLayout->addLayout(methods, 2, 0, 1, 2);
  jpegLayout->setRowMinimumHeight(2, 26);
  jpegLayout->setRowStretch(3, 1);

  gbTga_ = makeGroup("gbTga", " Targa-Einstellungen ", this);
  auto* tgaSettings = new QLabel(
      QStringLiteral("Keine Einstellungen möglich. Das Targa-Bitmap wird mit 16,7 Mio Farben gespeichert."), gbTga_);
  tgaSettings->setWordWrap(true);
  auto* tgaLayout = new QVBoxLayout(gbTga_);
  tgaLayout->setContentsMargins(8, 4, 8, 6);
  tgaLayout->addWidget(tgaSettings);
  tgaLayout->addStretch(1);

  // The three information groups share one place, as do the three settings
  // groups; the chosen format shows one of each.
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(gbFormat, 0, 0);
  for (QGroupBox* info : {gbFormatInfoBMP_, gbFormatInfoJPG_, gbFormatInfoTGA_}) layout->addWidget(info, 0, 1);
  for (QGroupBox* group : {gbBmp_, gbJpeg_, gbTga_}) layout->addWidget(group, 1, 0, 1, 2);
  layout->setColumnStretch(0, 1);
  layout->setRowStretch(1, 1);
  showFormatGroups(0);

  connect(rgFormat_, &QButtonGroup::idClicked, this, [this](int index) {
    logic_.formatClicked(index, window_.timerRunning());
    showFormatGroups(index);
    window_.ShowNextFile();
  });
  connect(rgBmpBit_, &QButtonGroup::idClicked, this, [this](int index) { logic_.bmpBitClicked(index); });
  connect(tbJpegQuality_, &QSlider::valueChanged, this, [this](int position) {
    edJpegPercent_->setText(QString::number(logic_.jpegQualityChanged(position)));
  });
  for (QRadioButton* method : {rbJpegBestPerf_, rbBestSpeed_})
    connect(method, &QRadioButton::clicked, this, [this, method] { logic_.jpegMethodClicked(method == rbJpegBestPerf_); });
}

void FormatTab::loadFromSettings() {
  const Settings& s = ctx_.settings;
  SetFormatFromSuffix(s.Datei.FileSuffix);
  // Blocked, so that the stored value reaches the edit box exactly as stored.
  {
    const QSignalBlocker block(tbJpegQuality_);
    tbJpegQuality_->setValue(s.Format.JpegQuality);
  }
  edJpegPercent_->setText(QString::number(s.Format.JpegQuality));
  SetJpegMethodControl(s.Format.JpegPerformance);
  SetBmpBitControl(s.Format.BmpBit);
}

void FormatTab::initWindowState() {
  logic_.initFormat(rgFormat_->checkedId(), window_.timerRunning());
  showFormatGroups(rgFormat_->checkedId());
}

void FormatTab::lockForTimer(bool running) { setEnabled(!running); }

void FormatTab::SetFormatFromSuffix(const QString& suffix) {
  const int index = FormatTabLogic::FormatIndexFromSuffix(suffix);
  if (index >= 0) rgFormat_->button(index)->setChecked(true);
}

void FormatTab::SetBmpBitControl(uint8_t code) {
  const int index = FormatTabLogic::BmpBitIndexFromCode(code);
  if (index >= 0) rgBmpBit_->button(index)->setChecked(true);
}

void FormatTab::SetJpegMethodControl(uint8_t code) {
  if (code == jmQuality) rbJpegBestPerf_->setChecked(true);
  if (code == jmSpeed) rbBestSpeed_->setChecked(true);
}

void FormatTab::UpdateFormatControls() {
  logic_.updateFormatControls(rgFormat_->checkedId());
  showFormatGroups(rgFormat_->checkedId());
}

void FormatTab::showFormatGroups(int formatIndex) {
  const FormatTabLogic::Groups groups = FormatTabLogic::VisibleGroups(formatIndex);
  gbBmp_->setVisible(groups.bmp);
  gbFormatInfoBMP_->setVisible(groups.bmp);
  gbJpeg_->setVisible(groups.jpeg);
  gbFormatInfoJPG_->setVisible(groups.jpeg);
  gbTga_->setVisible(groups.tga);
  gbFormatInfoTGA_->setVisible(groups.tga);
}

}  // namespace lumora
