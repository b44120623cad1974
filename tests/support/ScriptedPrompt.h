#pragma once

#include <QString>

#include "naming/FileNaming.h"

namespace lumora::test {

// The file-name prompt, answered as the test says: `answer` 1 accepts `result`.
class ScriptedPrompt : public NamePrompt {
 public:
  int Execute() override {
    ++calls;
    return answer;
  }
  QString PromptResult() const override { return result; }
  int answer = 1;
  int calls = 0;
  QString result;
};

}  // namespace lumora::test
