// The keys of a language file's "Interface" section, in their fixed order:
// a key's position is its index into the loaded texts.
#pragma once
#include <cstddef>

constexpr size_t kLangKeyCount = 130;
extern const char* const kLangKeys[kLangKeyCount];

// Positions of the keys the client's windows and the conversion job use.
enum LangKey : size_t {
  LANG_CANCEL = 1,
  LANG_QUESTION = 35,
  LANG_PROGRESS_DLG_CAPTION = 78,
  LANG_PREPARING_DOCUMENT = 81,
  LANG_OPEN_PDF_DOCUMENT_QUESTION = 84,
};
