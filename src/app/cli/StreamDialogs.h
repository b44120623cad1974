#pragma once

#include <cstdio>

#include "platform/Dialogs.h"

namespace lumora {

// Message boxes for the command line: each box becomes one "Title: text" entry on a
// stream, and confirmations get a fixed answer.
class StreamDialogs : public Dialogs {
 public:
  StreamDialogs(std::FILE* out, bool answerYes) : out_(out), answerYes_(answerYes) {}

  void error(const QString& text) override;
  void warning(const QString& text) override;
  void info(const QString& text) override;
  bool confirm(const QString& text) override;
  void applicationError(const QString& text) override;

  int confirmationsDeclined() const { return declined_; }

 private:
  void print(const char* title, const QString& text);

  std::FILE* out_;
  bool answerYes_;
  int declined_ = 0;
};

}  // namespace lumora
