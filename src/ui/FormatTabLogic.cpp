#include "ui/FormatTabLogic.h"

#include "capture/Formats.h"

namespace lumora {

int FormatTabLogic::FormatIndexFromSuffix(const QString& suffix) {
  const FormatInfo* format = FormatFromSuffix(suffix);
  return format ? int(format->format) : -1;
}

QString FormatTabLogic::SuffixFromFormatIndex(int index) {
  return index >= 0 && index < kFormatCount ? QLatin1String(kFormats[size_t(index)].suffix) : QString();
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
  const auto is = [formatIndex](OutputFormat f) { return formatIndex == int(f); };
  return {is(OutputFormat::Bmp), is(OutputFormat::Jpeg), is(OutputFormat::Tga)};
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
