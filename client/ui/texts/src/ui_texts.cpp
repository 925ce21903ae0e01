#include "texts/ui_texts.h"

std::unique_ptr<IUiTexts> MakeUiTexts() { return std::make_unique<CEnglishTexts>(); }
