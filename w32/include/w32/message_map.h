// Message maps for window and dialog classes, in the spirit of WTL.
//
// A class derives from MessageMap (through WindowImpl or Dialog) and lists
// its handlers between W32_BEGIN_MSG_MAP and W32_END_MSG_MAP:
//
//   W32_BEGIN_MSG_MAP()
//     W32_MESSAGE_HANDLER(WM_PAINT, OnPaint)
//     W32_COMMAND_ID_HANDLER(IDOK, OnOk)
//     W32_CHAIN_MSG_MAP(BaseClass)
//   W32_END_MSG_MAP()
//
// Handler signatures:
//   message: LRESULT OnX(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
//   command: LRESULT OnX(WORD notifyCode, WORD id, HWND control, bool& handled);
//   notify:  LRESULT OnX(int id, NMHDR* header, bool& handled);
// `handled` is true on entry; a handler that sets it to false lets the
// message go on to the next entry and finally to the default processing.
#pragma once
#include <windows.h>

namespace w32 {

class MessageMap {
 public:
  virtual ~MessageMap() = default;
  // True when the message was handled; `result` is then its answer.
  virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) = 0;
};

}  // namespace w32

#define W32_BEGIN_MSG_MAP()                                                                  \
  bool ProcessWindowMessage(HWND w32Window_, UINT w32Message_, WPARAM wParam, LPARAM lParam, \
                            LRESULT& w32Result_) override {                                  \
    (void)w32Window_;                                                                        \
    bool w32Handled_ = true;                                                                 \
    (void)w32Handled_;

#define W32_MESSAGE_HANDLER(msg, func)                                  \
  if (w32Message_ == (msg)) {                                           \
    w32Handled_ = true;                                                 \
    w32Result_ = func(w32Message_, wParam, lParam, w32Handled_);        \
    if (w32Handled_) return true;                                       \
  }

#define W32_MESSAGE_RANGE_HANDLER(first, last, func)                    \
  if (w32Message_ >= (first) && w32Message_ <= (last)) {                \
    w32Handled_ = true;                                                 \
    w32Result_ = func(w32Message_, wParam, lParam, w32Handled_);        \
    if (w32Handled_) return true;                                       \
  }

#define W32_COMMAND_ID_HANDLER(id, func)                                                   \
  if (w32Message_ == WM_COMMAND && LOWORD(wParam) == (id)) {                               \
    w32Handled_ = true;                                                                    \
    w32Result_ = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam),      \
                      w32Handled_);                                                        \
    if (w32Handled_) return true;                                                          \
  }

#define W32_COMMAND_HANDLER(id, code, func)                                                \
  if (w32Message_ == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {   \
    w32Handled_ = true;                                                                    \
    w32Result_ = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam),      \
                      w32Handled_);                                                        \
    if (w32Handled_) return true;                                                          \
  }

#define W32_COMMAND_RANGE_HANDLER(first, last, func)                                       \
  if (w32Message_ == WM_COMMAND && LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last)) { \
    w32Handled_ = true;                                                                    \
    w32Result_ = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam),      \
                      w32Handled_);                                                        \
    if (w32Handled_) return true;                                                          \
  }

#define W32_NOTIFY_CODE_HANDLER(code, func)                                                \
  if (w32Message_ == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == (code)) {      \
    w32Handled_ = true;                                                                    \
    w32Result_ = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam),          \
                      w32Handled_);                                                        \
    if (w32Handled_) return true;                                                          \
  }

#define W32_CHAIN_MSG_MAP(Base)                                                            \
  if (Base::ProcessWindowMessage(w32Window_, w32Message_, wParam, lParam, w32Result_))     \
    return true;

#define W32_END_MSG_MAP() \
  return false;           \
  }
