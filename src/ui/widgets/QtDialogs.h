#pragma once

#include <QWidget>

#include "platform/Dialogs.h"

namespace lumora {

// The program's message boxes as Qt shows them, with the German titles and buttons.
class QtDialogs : public Dialogs {
 public:
  void error(const QString& text) override;
  void warning(const QString& text) override;
  void info(const QString& text) override;
  bool confirm(const QString& text) override;
  void applicationError(const QString& text) override;

  // The program is ending: boxes no longer wait for an answer; their text goes
  // to standard error and a question counts as No.
  void setQuitting(bool quitting) { quitting_ = quitting; }

 private:
  bool show(int kind, const QString& title, const QString& text);
  bool quitting_ = false;
};

}  // namespace lumora
