#include "ui/FileTab.h"

namespace lumora {

FileTab::FileTab(OptionsContext& context, OptionsWindow& window, QWidget* parent) : OptionsPage(context, window, parent) {}


void FileTab::showLastFile(const LastFileTexts&) {}

void FileTab::showLastPicture(const QImage&) {}

void FileTab::showNextFile(const NextFileTexts&) {}

}  // namespace lumora
