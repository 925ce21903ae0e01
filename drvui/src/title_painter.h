// The About page's title bar: a static control painted as a gray band with
// the product name in white.
#pragma once
#include <windows.h>

namespace drvui {

// Makes `control` paint itself as the title band. Idempotent.
void PaintAsTitle(HWND control);

}  // namespace drvui
