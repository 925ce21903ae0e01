// The visual-styles functions of "uxtheme.dll", loaded at run time so that
// the client also starts on systems without the library. The library is
// looked for once per process, under a lock.
#pragma once
#include <windows.h>

using HTHEME_ = HANDLE;

class CThemeApi {
 public:
  // The process-wide instance; Loaded() tells whether the library is there.
  static const CThemeApi& Instance();
  bool Loaded() const { return open_ != nullptr; }

  // Whether buttons are drawn with the theme: system version above 4, the
  // appearance scheme ("Control Panel\Appearance", "Current") readable and
  // not "Windows Standard", and the library present.
  static bool UseThemedDrawing();
  // The scheme test alone, for a given scheme name (nullptr: unreadable).
  static bool SchemeAllowsThemes(const wchar_t* scheme);

  HTHEME_ Open(HWND window, const wchar_t* classList) const;
  void Close(HTHEME_ theme) const;
  HRESULT DrawBackground(HTHEME_ theme, HDC dc, int part, int state, const RECT* rect) const;
  HRESULT DrawText(HTHEME_ theme, HDC dc, int part, int state, const wchar_t* text, DWORD flags,
                   const RECT* rect) const;

 private:
  CThemeApi();
  using OpenFn = HTHEME_(WINAPI*)(HWND, LPCWSTR);
  using CloseFn = HRESULT(WINAPI*)(HTHEME_);
  using BackgroundFn = HRESULT(WINAPI*)(HTHEME_, HDC, int, int, const RECT*, const RECT*);
  using TextFn = HRESULT(WINAPI*)(HTHEME_, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
  HMODULE module_ = nullptr;  // kept for the life of the process
  OpenFn open_ = nullptr;
  CloseFn close_ = nullptr;
  BackgroundFn background_ = nullptr;
  TextFn text_ = nullptr;
};

// Parts and states of the "Button" class used by the client.
enum { kBpPushButton = 1 };
enum { kPbsNormal = 1, kPbsHot = 2, kPbsPressed = 3, kPbsDisabled = 4, kPbsDefaulted = 5 };
