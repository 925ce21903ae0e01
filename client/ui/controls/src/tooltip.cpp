#include "controls/tooltip.h"

#include <commctrl.h>

namespace {
TOOLINFOW ToolFor(HWND control, const std::wstring& text) {
  TOOLINFOW info{};
  // The size both the old and the version 6 common controls accept.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = ::GetParent(control);
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  return info;
}
}  // namespace

CToolTip::~CToolTip() {
  if (tip_ && ::IsWindow(tip_)) ::DestroyWindow(tip_);
}

bool CToolTip::Create(HWND control, const std::wstring& text) {
  if (tip_ || !control) return false;
  control_ = control;
  text_ = text;
  tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr, nullptr, nullptr);
  if (!tip_) return false;
  TOOLINFOW info = ToolFor(control, text_);
  ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  return true;
}

void CToolTip::SetText(const std::wstring& text) {
  text_ = text;
  if (!tip_) return;
  TOOLINFOW info = ToolFor(control_, text_);
  ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}
