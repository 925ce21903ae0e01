// The language table as the windows see it: whether a language is active
// (a language file was loaded) and the text of a key. Without a language the
// windows use their own English texts.
#pragma once
#include <memory>
#include <string>

class IUiTexts {
 public:
  virtual ~IUiTexts() = default;
  virtual bool Active() const = 0;
  // The text of `key` (system code page); meaningful only while Active().
  virtual std::string Text(const char* key) const = 0;
};

// No language file: every window keeps its English texts.
class CEnglishTexts : public IUiTexts {
 public:
  bool Active() const override { return false; }
  std::string Text(const char*) const override { return std::string(); }
};

// The language table of one window: the user's language from the language
// files (inactive, so English, when none is chosen or found).
std::unique_ptr<IUiTexts> MakeUiTexts();
