#include "app/cli/StreamDialogs.h"

#include "ui/widgets/AppInfo.h"

namespace lumora {

void StreamDialogs::print(const char* title, const QString& text) {
  std::fprintf(out_, "%s: %s\n", title, text.toUtf8().constData());
  std::fflush(out_);
}

void StreamDialogs::error(const QString& text) {
  print("Fehler", text);
}

void StreamDialogs::warning(const QString& text) { print("Warnung", text); }

void StreamDialogs::info(const QString& text) { print("Information", text); }

bool StreamDialogs::confirm(const QString& text) {
  print("Bestätigung", text);
  if (!answerYes_) ++declined_;
  return answerYes_;
}

void StreamDialogs::applicationError(const QString& text) {
  print(kApplicationTitle, text);
}

}  // namespace lumora
