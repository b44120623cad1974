#include "ui/FormatTabLogic.h"

namespace lumora {

namespace {
const char* const kSuffixes[FormatTabLogic::kFormatCount] = {".bmp", ".jpg", ".tga", ".png"};
}

int FormatTabLogic::FormatIndexFromSuffix(const QString& suffix) {
  for (int i = 0; i < kFormatCount; ++i)
    if (suffix == QLatin1String(kSuffixes[i])) return i;
  return -1;
}

QString FormatTabLogic::SuffixFromFormatIndex(int index) {
  return index >= 0 && index < kFormatCount ? QLatin1String(kSuffixes[index]) : QString();
}

int FormatTabLogic::BmpBitIndexFromCode(uint8_t code) {
  for (size_t i = 0; i < kBmpBitCodes.size(); ++i)
    if (kBmpBitCodes[i] == code) return int(i);
  return -1;
}

uint8_t FormatTabLogic::JpegQualityFromPosition(int position) {
  if (position < 1) return 1;
  return uint8_t(position > 100 ? 100 : position);
}

FormatTabLogic::Groups FormatTabLogic::VisibleGroups(int formatIndex) {
  return {formatIndex == 0, formatIndex == 1, formatIndex == 2};
}

bool FormatTabLogic::updateFormatControls(int formatIndex) {
  const QString suffix = SuffixFromFormatIndex(formatIndex);
  if (suffix.isEmpty() || suffix == ctx_.settings.Datei.FileSuffix) return false;
  ctx_.settings.Datei.FileSuffix = suffix;
  return true;
}

void FormatTabLogic::formatClicked(int formatIndex, bool timerRunning) {
  updateFormatControls(formatIndex);
  ctx_.settings.Datei.Counter = 0;
  ctx_.naming.AdvanceFileName(ctx_.settings.Blank, timerRunning);
}

void FormatTabLogic::initFormat(int formatIndex, bool timerRunning) {
  // The proposal was searched before the suffix was settled; left alone it would
  // name a file the writers cannot produce.
  if (!updateFormatControls(formatIndex)) return;
  ctx_.settings.Datei.Counter = 0;
  ctx_.naming.AdvanceFileName(ctx_.settings.Blank, timerRunning);
}

void FormatTabLogic::bmpBitClicked(int index) {
  if (index >= 0 && index < int(kBmpBitCodes.size())) ctx_.settings.Format.BmpBit = kBmpBitCodes[size_t(index)];
}

uint8_t FormatTabLogic::jpegQualityChanged(int position) {
  ctx_.settings.Format.JpegQuality = JpegQualityFromPosition(position);
  return ctx_.settings.Format.JpegQuality;
}

void FormatTabLogic::jpegMethodClicked(bool bestPerfSender) {
  ctx_.settings.Format.JpegPerformance = bestPerfSender ? jmQuality : jmSpeed;
}

}  // namespace lumora
