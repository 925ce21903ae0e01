// The client's controls in a real window: toolbar layout and looks, clicks
// passed on, the theme decision, the link label, the balloon's class and
// closing rules.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "controls/balloon_help.h"
#include "controls/button_group_ctrl.h"
#include "controls/hover_static.h"
#include "controls/theme_api.h"
#include "controls/xp_button_ctrl.h"
#include "resources/resource_ids.h"
#include "w32/window_impl.h"

namespace {

// A parent window that records the commands and messages it gets.
class Host : public w32::WindowImpl {
 public:
  std::vector<WPARAM> commands;
  int clicks = 0;
  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    W32_MESSAGE_HANDLER(kHoverStaticClicked, OnClicked)
    W32_MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
  W32_END_MSG_MAP()
  LRESULT OnCommand(UINT, WPARAM w, LPARAM, bool&) {
    commands.push_back(w);
    return 0;
  }
  LRESULT OnClicked(UINT, WPARAM, LPARAM, bool&) {
    ++clicks;
    return 0;
  }
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM l, bool& handled) {
    handled = CXPButtonCtrl::ReflectDrawItem(l);
    return TRUE;
  }
  bool Open() {
    RegisterWindowClass(L"scrivo.test.host", 0, ::LoadCursorW(nullptr, IDC_ARROW),
                        ::GetSysColorBrush(COLOR_BTNFACE));
    RECT rc{100, 100, 500, 400};
    return Create(L"scrivo.test.host", nullptr, rc, L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE) !=
           nullptr;
  }
};

void Pump() {
  MSG m;
  for (int i = 0; i < 50 && ::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
    ::TranslateMessage(&m);
    ::DispatchMessageW(&m);
  }
}

// Real input, as the user gives it: hooks see hardware input, not posted messages.
void TypeKey(WORD key) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, in, sizeof(INPUT));
}
void ClickRight(HWND over) {
  RECT rc{};
  ::GetWindowRect(over, &rc);
  ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  ::SendInput(2, in, sizeof(INPUT));
}

HWND MakeStatic(HWND parent, int x, int y, int w, int h, const wchar_t* text = L"",
                DWORD style = 0) {
  return ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           nullptr, nullptr, nullptr);
}

int LeftIn(HWND child, HWND parent) {
  RECT rc{};
  ::GetWindowRect(child, &rc);
  POINT p{rc.left, rc.top};
  ::ScreenToClient(parent, &p);
  return p.x;
}
int TopIn(HWND child, HWND parent) {
  RECT rc{};
  ::GetWindowRect(child, &rc);
  POINT p{rc.left, rc.top};
  ::ScreenToClient(parent, &p);
  return p.y;
}

TEST(ButtonGroup, FourButtonsSitAtTheRightEnd31PixelsApart) {
  Host host;
  ASSERT_TRUE(host.Open());
  HWND bar = MakeStatic(host.Handle(), 10, 10, 130, 30);
  CButtonGroupCtrl group(CButtonGroupCtrl::kHorizontal);
  ASSERT_TRUE(group.LoadImages(::GetModuleHandleW(nullptr), IDB_NAVIGATION_STRIP));
  for (int i = 0; i < 4; ++i) group.AddButton(40001 + i, i, L"tip");
  ASSERT_TRUE(group.Attach(bar));
  EXPECT_EQ(LeftIn(group.ButtonWindow(40004), bar), 100);
  EXPECT_EQ(LeftIn(group.ButtonWindow(40003), bar), 69);
  EXPECT_EQ(LeftIn(group.ButtonWindow(40002), bar), 38);
  EXPECT_EQ(LeftIn(group.ButtonWindow(40001), bar), 7);
  EXPECT_EQ(::GetDlgCtrlID(group.ButtonWindow(40002)), 40002);
  ::DestroyWindow(host.Handle());
}

TEST(ButtonGroup, VerticalGroupsPutTheLastAddedOnTop) {
  Host host;
  ASSERT_TRUE(host.Open());
  HWND bar = MakeStatic(host.Handle(), 10, 10, 34, 260);
  CButtonGroupCtrl group(CButtonGroupCtrl::kVertical);
  ASSERT_TRUE(group.LoadImages(::GetModuleHandleW(nullptr), IDB_VIEW_STRIP));
  group.AddButton(38450, 4, L"Save file");
  group.AddButton(38446, 0, L"Zoom in");
  ASSERT_TRUE(group.Attach(bar));
  EXPECT_EQ(TopIn(group.ButtonWindow(38446), bar), 0);
  EXPECT_EQ(TopIn(group.ButtonWindow(38450), bar), 31);
  ::DestroyWindow(host.Handle());
}

TEST(ButtonGroup, ClicksReachTheParentAndDisablingShowsTheGreyLook) {
  Host host;
  ASSERT_TRUE(host.Open());
  HWND bar = MakeStatic(host.Handle(), 10, 10, 130, 30);
  CButtonGroupCtrl group;
  ASSERT_TRUE(group.LoadImages(::GetModuleHandleW(nullptr), IDB_NAVIGATION_STRIP));
  group.AddButton(40001, 0, L"Go to the first page (Home or Up)");
  ASSERT_TRUE(group.Attach(bar));
  HWND button = group.ButtonWindow(40001);
  ::SendMessageW(button, BM_CLICK, 0, 0);
  Pump();
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(LOWORD(host.commands[0]), 40001);
  EXPECT_EQ(group.Button(40001)->CurrentImage(), 0);  // at rest: the highlight look
  group.EnableButton(40001, false);
  EXPECT_FALSE(group.IsButtonEnabled(40001));
  EXPECT_EQ(group.Button(40001)->CurrentImage(), 2);
  EXPECT_EQ(group.Button(40001)->Tip().Text(), L"Go to the first page (Home or Up)");
  ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  group.EnableButton(40001, true);
  ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(group.Button(40001)->CurrentImage(), 1);  // hovered: the plain look
  ::DestroyWindow(host.Handle());
}

TEST(XPButton, ClassicWithoutSchemeAndOwnerDrawnWithItsPicture) {
  EXPECT_FALSE(CThemeApi::SchemeAllowsThemes(nullptr));
  EXPECT_FALSE(CThemeApi::SchemeAllowsThemes(L"windows standard"));
  EXPECT_TRUE(CThemeApi::SchemeAllowsThemes(L"Luna"));
  ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Control Panel\\Appearance");
  EXPECT_FALSE(CThemeApi::UseThemedDrawing());

  Host host;
  ASSERT_TRUE(host.Open());
  HWND b = ::CreateWindowExW(0, L"BUTTON", L"Info", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 10,
                             10, 114, 34, host.Handle(), nullptr, nullptr, nullptr);
  CXPButtonCtrl button;
  ASSERT_TRUE(button.LoadBitmap(::GetModuleHandleW(nullptr), IDB_SAVE_BUTTON));
  ASSERT_TRUE(button.Attach(b));
  EXPECT_EQ(::GetWindowLongW(b, GWL_STYLE) & 0x0F, BS_OWNERDRAW);
  EXPECT_FALSE(button.Themed());
  ::SendMessageW(b, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(button.Hovered());
  ::SendMessageW(b, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(button.Hovered());
  ::SendMessageW(b, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  ::EnableWindow(b, FALSE);  // a disabled button is never hovered
  EXPECT_FALSE(button.Hovered());
  ::EnableWindow(b, TRUE);
  ::UpdateWindow(host.Handle());  // draws through ReflectDrawItem without faults
  ::DestroyWindow(host.Handle());
}

TEST(HoverStatic, ClickOnTheTextAndEnterPostTheClickMessage) {
  EXPECT_EQ(kHoverStaticClicked, 32868u);
  COLORREF c = 0;
  EXPECT_TRUE(CHoverStatic::ParseColor(L"0,0,255", c));
  EXPECT_EQ(c, RGB(0, 0, 255));
  EXPECT_FALSE(CHoverStatic::ParseColor(L"0,0", c));
  EXPECT_FALSE(CHoverStatic::ParseColor(L"300,0,0", c));

  Host host;
  ASSERT_TRUE(host.Open());
  HWND s = MakeStatic(host.Handle(), 10, 10, 200, 20, L"Page 1 of 3", SS_CENTER);
  CHoverStatic label;
  ASSERT_TRUE(label.Attach(s, ::LoadCursorW(nullptr, IDC_HAND)));
  EXPECT_EQ(label.Label(), L"Page 1 of 3");
  EXPECT_TRUE(::GetWindowLongW(s, GWL_STYLE) & SS_NOTIFY);
  const RECT t = label.TextRect();
  EXPECT_GT(t.left, 0);  // centred text
  EXPECT_LT(t.right, 200);
  const LPARAM inside = MAKELPARAM((t.left + t.right) / 2, (t.top + t.bottom) / 2);
  ::SendMessageW(s, WM_LBUTTONDOWN, MK_LBUTTON, inside);
  ::SendMessageW(s, WM_LBUTTONUP, 0, inside);
  ::SendMessageW(s, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));  // outside the text
  ::SendMessageW(s, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  ::SendMessageW(s, WM_KEYDOWN, VK_RETURN, 0);
  ::SendMessageW(s, WM_KEYDOWN, VK_SPACE, 0);
  ::SendMessageW(s, WM_KEYDOWN, 'A', 0);
  Pump();
  EXPECT_EQ(host.clicks, 3);
  label.SetLabel(L"Page 2 of 3");
  wchar_t text[64]{};
  ::GetWindowTextW(s, text, 64);
  EXPECT_STREQ(text, L"Page 2 of 3");
  ::DestroyWindow(host.Handle());
}

TEST(BalloonHelp, ShowsInItsOwnClassAndClosesOnAKeyPress) {
  Host host;
  ASSERT_TRUE(host.Open());
  HWND anchor = MakeStatic(host.Handle(), 50, 50, 100, 20, L"anchor");
  CBalloonHelp* balloon = CBalloonHelp::LaunchBalloon(
      L"Please enter correct page number", L"            Enter page number from 1 to 12", anchor,
      IDI_INFORMATION,
      CBalloonHelp::kCloseOnAnyButtonDown | CBalloonHelp::kCloseOnKeyPress |
          CBalloonHelp::kCloseOnAppDeactivate,
      host.Handle());
  ASSERT_NE(balloon, nullptr);
  HWND window = ::FindWindowW(L"XPBalloonHelp", nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window, balloon->Handle());
  RECT a{};
  ::GetWindowRect(anchor, &a);
  EXPECT_EQ(balloon->Anchor().x, (a.left + a.right) / 2);
  EXPECT_TRUE(::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  // A key press seen by the thread's keyboard hook closes it.
  ::SetForegroundWindow(host.Handle());
  ::SetFocus(host.Handle());
  TypeKey('A');
  for (int i = 0; i < 500 && ::IsWindow(window); ++i) {
    Pump();
    ::Sleep(10);
  }
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(CBalloonHelp::Current(), nullptr);
  ::DestroyWindow(host.Handle());
}

TEST(BalloonHelp, ClosesOnAMouseButtonAndOnItsTimeout) {
  Host host;
  ASSERT_TRUE(host.Open());
  CBalloonHelp* balloon = CBalloonHelp::LaunchBalloon(L"t", L"c", host.Handle(), nullptr,
                                                      CBalloonHelp::kCloseOnAnyButtonDown,
                                                      host.Handle());
  ASSERT_NE(balloon, nullptr);
  HWND window = balloon->Handle();
  ClickRight(host.Handle());
  for (int i = 0; i < 500 && ::IsWindow(window); ++i) {
    Pump();
    ::Sleep(10);
  }
  EXPECT_FALSE(::IsWindow(window));

  balloon = CBalloonHelp::LaunchBalloon(L"t", L"c", host.Handle(), nullptr, 0, host.Handle(), L"", 50);
  ASSERT_NE(balloon, nullptr);
  window = balloon->Handle();
  for (int i = 0; i < 500 && ::IsWindow(window); ++i) {
    Pump();
    ::Sleep(10);
  }
  EXPECT_FALSE(::IsWindow(window));
  ::DestroyWindow(host.Handle());
}

}  // namespace
