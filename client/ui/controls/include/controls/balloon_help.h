// A balloon-shaped tip window (window class "XPBalloonHelp"): a rounded
// body with a tail pointing at an anchor, an icon, a bold title and the
// content. It closes on the events its option bits name and frees itself.
#pragma once
#include <windows.h>

#include <string>

#include "w32/unique_handle.h"
#include "w32/window_impl.h"

class CBalloonHelp : public w32::WindowImpl {
 public:
  enum Options : unsigned {
    kCloseOnLButtonDown = 0x0001,
    kCloseOnMButtonDown = 0x0002,
    kCloseOnRButtonDown = 0x0004,
    kCloseOnLButtonUp = 0x0008,
    kCloseOnMButtonUp = 0x0010,
    kCloseOnRButtonUp = 0x0020,
    kCloseOnKeyPress = 0x0040,
    kCloseOnAppDeactivate = 0x0080,
    kShowTopmost = 0x0100,
    kDisableFadeIn = 0x0200,
    kCloseOnAnyButtonDown = kCloseOnLButtonDown | kCloseOnMButtonDown | kCloseOnRButtonDown,
  };
  static constexpr const wchar_t* kClassName = L"XPBalloonHelp";

  // Shows a balloon whose tail points at the centre of `anchorControl`'s
  // window rectangle. `icon` is a system icon id (IDI_INFORMATION, ...) or
  // null. `url` is opened with the shell when the balloon is clicked (empty:
  // no link). `timeoutMs` 0: no time-out. The object deletes itself when
  // the window closes; the returned pointer is valid until then.
  static CBalloonHelp* LaunchBalloon(const std::wstring& title, const std::wstring& content,
                                     HWND anchorControl, const wchar_t* icon, unsigned options,
                                     HWND parent, const std::wstring& url = L"",
                                     UINT timeoutMs = 0);
  // The balloon currently shown by this thread, or null.
  static CBalloonHelp* Current();

  const std::wstring& Title() const { return title_; }
  const std::wstring& Content() const { return content_; }
  POINT Anchor() const { return anchor_; }

  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    W32_MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    W32_MESSAGE_HANDLER(WM_LBUTTONUP, OnClick)
    W32_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    W32_MESSAGE_HANDLER(WM_ACTIVATEAPP, OnActivateApp)
    W32_MESSAGE_HANDLER(WM_CLOSE, OnClose)
    W32_MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivate)
  W32_END_MSG_MAP()

 private:
  CBalloonHelp() = default;
  ~CBalloonHelp() override;
  bool Show(const std::wstring& title, const std::wstring& content, POINT anchor,
            const wchar_t* icon, unsigned options, HWND parent, const std::wstring& url,
            UINT timeoutMs);
  void Layout(SIZE& size, bool& below, int& tailX);
  void OnFinalMessage(HWND) override;
  void RequestClose();
  static LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);

  LRESULT OnPaint(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, bool&) { return TRUE; }
  LRESULT OnClick(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnTimer(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnActivateApp(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnClose(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnMouseActivate(UINT, WPARAM, LPARAM, bool&) { return MA_NOACTIVATE; }

  std::wstring title_;
  std::wstring content_;
  std::wstring url_;
  POINT anchor_{};
  unsigned options_ = 0;
  HICON icon_ = nullptr;  // shared system icon
  w32::GdiObject titleFont_;
  w32::GdiObject contentFont_;
  HHOOK mouseHook_ = nullptr;
  HHOOK keyboardHook_ = nullptr;
  bool closing_ = false;
  bool below_ = true;
  int tailX_ = 0;
  SIZE body_{};
};
