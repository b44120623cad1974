#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "QtPrinters.h"
#include "platform/Dialogs.h"

namespace lumora::test {

// Records every box in order and answers confirmations from a queue (No when
// the queue is empty).
class FakeDialogs : public Dialogs {
 public:
  enum class Kind { Error, Warning, Info, Confirm, ApplicationError };
  struct Box {
    Kind kind;
    QString text;
  };

  void error(const QString& text) override { boxes.push_back({Kind::Error, text}); }
  void warning(const QString& text) override { boxes.push_back({Kind::Warning, text}); }
  void info(const QString& text) override { boxes.push_back({Kind::Info, text}); }
  bool confirm(const QString& text) override {
    boxes.push_back({Kind::Confirm, text});
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void applicationError(const QString& text) override { boxes.push_back({Kind::ApplicationError, text}); }

  QStringList texts() const {
    QStringList out;
    for (const Box& b : boxes) out << b.text;
    return out;
  }
  int count(Kind kind) const {
    int n = 0;
    for (const Box& b : boxes) n += b.kind == kind;
    return n;
  }

  std::vector<Box> boxes;
  std::deque<bool> answers;
};

}  // namespace lumora::test
