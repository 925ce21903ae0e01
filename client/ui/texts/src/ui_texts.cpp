#include "texts/ui_texts.h"

#include <cstring>

#include "lang/lang_keys.h"
#include "lang/lang_manager.h"

namespace {

// The user's language as loaded by CLangManager; keys are found by name in
// the fixed key list.
class CLanguageTexts : public IUiTexts {
 public:
  bool Active() const override { return manager_.Loaded(); }
  std::string Text(const char* key) const override {
    for (size_t i = 0; i < kLangKeyCount; ++i) {
      if (std::strcmp(kLangKeys[i], key) != 0) continue;
      const std::string* text = manager_.Text(i);
      return text ? *text : std::string();
    }
    return std::string();
  }

 private:
  CLangManager manager_;
};

}  // namespace

std::unique_ptr<IUiTexts> MakeUiTexts() { return std::make_unique<CLanguageTexts>(); }
