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
};

}  // namespace lumora
