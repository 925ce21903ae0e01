// The window layer: message maps reach the right handlers, subclassed
// controls keep their own behaviour for what the map leaves alone, dialogs
// answer through their results, and the message loop hands WM_QUIT's code
// back after offering messages to its filters.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "w32/dialog.h"
#include "w32/message_loop.h"
#include "w32/paint.h"
#include "w32/window_impl.h"

namespace {

const wchar_t kTestClass[] = L"w32.test.window";

class BaseWindow : public w32::WindowImpl {
 public:
  int baseHits = 0;
  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_APP + 1, OnBase)
  W32_END_MSG_MAP()
  LRESULT OnBase(UINT, WPARAM, LPARAM, bool&) { return ++baseHits; }
};

class TestWindow : public BaseWindow {
 public:
  std::vector<WORD> commands;
  int passedOn = 0;
  bool finalSeen = false;
  W32_BEGIN_MSG_MAP()
    W32_COMMAND_ID_HANDLER(100, OnCommand)
    W32_COMMAND_RANGE_HANDLER(200, 210, OnCommand)
    W32_MESSAGE_HANDLER(WM_APP + 2, OnPassOn)
    W32_MESSAGE_HANDLER(WM_APP + 3, OnThrow)
    W32_CHAIN_MSG_MAP(BaseWindow)
  W32_END_MSG_MAP()
  LRESULT OnCommand(WORD, WORD id, HWND, bool&) {
    commands.push_back(id);
    return 0;
  }
  LRESULT OnPassOn(UINT, WPARAM, LPARAM, bool& handled) {
    ++passedOn;
    handled = false;  // DefWindowProc answers 0
    return 77;
  }
  LRESULT OnThrow(UINT, WPARAM, LPARAM, bool&) { throw 1; }
  void OnFinalMessage(HWND) override { finalSeen = true; }
};

TEST(WindowLayer, MessageMapDispatchesChainsAndFallsBack) {
  ASSERT_TRUE(w32::WindowImpl::RegisterWindowClass(kTestClass, 0, nullptr, nullptr));
  ASSERT_TRUE(w32::WindowImpl::RegisterWindowClass(kTestClass, 0, nullptr, nullptr));
  TestWindow window;
  RECT rc{0, 0, 100, 100};
  ASSERT_NE(window.Create(kTestClass, nullptr, rc, L"t", WS_POPUP), nullptr);
  HWND h = window.Handle();
  ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), 0);
  ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(205, 0), 0);
  ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(211, 0), 0);
  EXPECT_EQ(window.commands, (std::vector<WORD>{100, 205}));
  EXPECT_EQ(::SendMessageW(h, WM_APP + 1, 0, 0), 1);  // through the chained base map
  EXPECT_EQ(window.baseHits, 1);
  EXPECT_EQ(::SendMessageW(h, WM_APP + 2, 0, 0), 0);  // handler declined: default answer
  EXPECT_EQ(window.passedOn, 1);
  EXPECT_EQ(::SendMessageW(h, WM_APP + 3, 0, 0), 0);  // an exception stays inside
  ::DestroyWindow(h);
  EXPECT_TRUE(window.finalSeen);
  EXPECT_EQ(window.Handle(), nullptr);
}

class EditTaker : public w32::WindowImpl {
 public:
  int chars = 0;
  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_CHAR, OnChar)
  W32_END_MSG_MAP()
  LRESULT OnChar(UINT, WPARAM wParam, LPARAM, bool& handled) {
    ++chars;
    handled = wParam == 'x';  // swallow 'x', let the edit have the rest
    return 0;
  }
};

TEST(WindowLayer, SubclassedControlKeepsItsOwnBehaviour) {
  HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  {
    EditTaker taker;
    ASSERT_TRUE(taker.SubclassWindow(edit));
    EXPECT_FALSE(taker.SubclassWindow(edit));
    ::SendMessageW(edit, WM_CHAR, 'a', 0);
    ::SendMessageW(edit, WM_CHAR, 'x', 0);
    ::SendMessageW(edit, WM_CHAR, 'b', 0);
    EXPECT_EQ(taker.chars, 3);
    wchar_t text[16]{};
    ::GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(text, L"ab");
  }  // the object goes first: the edit gets its procedure back
  ::SendMessageW(edit, WM_CHAR, 'x', 0);
  wchar_t text[16]{};
  ::GetWindowTextW(edit, text, 16);
  EXPECT_STREQ(text, L"abx");
  ::DestroyWindow(edit);
}

// A dialog template in memory: no items, 100 by 50 units.
struct EmptyTemplate {
  DLGTEMPLATE dlg;
  WORD menu = 0, windowClass = 0, title = 0;
};

class TestDialog : public w32::Dialog {
 public:
  bool initialised = false;
  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_INITDIALOG, OnInit)
    W32_MESSAGE_HANDLER(WM_APP + 5, OnAnswer)
    W32_COMMAND_ID_HANDLER(IDOK, OnOk)
  W32_END_MSG_MAP()
  LRESULT OnInit(UINT, WPARAM, LPARAM, bool&) {
    initialised = true;
    ::PostMessageW(Handle(), WM_COMMAND, IDOK, 0);
    return TRUE;
  }
  LRESULT OnAnswer(UINT, WPARAM, LPARAM, bool&) { return 1234; }
  LRESULT OnOk(WORD, WORD, HWND, bool&) {
    EndDialog(42);
    return 0;
  }
};

TEST(WindowLayer, DialogsAnswerThroughTheirResults) {
  EmptyTemplate t{};
  t.dlg.style = WS_POPUP | DS_MODALFRAME;
  t.dlg.cx = 100;
  t.dlg.cy = 50;
  TestDialog modal;
  EXPECT_EQ(modal.DoModalIndirect(nullptr, &t.dlg, nullptr), 42);
  EXPECT_TRUE(modal.initialised);

  TestDialog modeless;
  ASSERT_NE(modeless.CreateIndirect(nullptr, &t.dlg, nullptr), nullptr);
  EXPECT_EQ(::SendMessageW(modeless.Handle(), WM_APP + 5, 0, 0), 1234);
  modeless.DestroyWindow();
  EXPECT_EQ(modeless.Handle(), nullptr);
}

class CountingFilter : public w32::MessageFilter {
 public:
  UINT swallow;
  int seen = 0;
  explicit CountingFilter(UINT m) : swallow(m) {}
  bool PreTranslateMessage(MSG& message) override {
    if (message.message != swallow) return false;
    ++seen;
    return true;
  }
};

TEST(WindowLayer, MessageLoopFiltersAndReturnsTheQuitCode) {
  w32::AppModule module;
  w32::MessageLoop loop;
  ASSERT_TRUE(module.AddMessageLoop(&loop));
  EXPECT_FALSE(module.AddMessageLoop(&loop));
  EXPECT_EQ(module.GetMessageLoop(), &loop);
  CountingFilter filter(WM_APP + 9);
  loop.AddMessageFilter(&filter);
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 9, 0, 0);
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 9, 0, 0);
  ::PostQuitMessage(7);
  EXPECT_EQ(loop.Run(), 7);
  EXPECT_EQ(filter.seen, 2);
  loop.RemoveMessageFilter(&filter);
  module.RemoveMessageLoop();
  EXPECT_EQ(module.GetMessageLoop(), nullptr);
}

TEST(WindowLayer, MemoryDcHoldsWhatWasDrawn) {
  w32::ClientDc screen(nullptr);
  w32::MemoryDc buffer(screen.Get(), 8, 4);
  ASSERT_TRUE(buffer.Valid());
  RECT all{0, 0, 8, 4};
  w32::GdiObject brush(::CreateSolidBrush(RGB(10, 20, 30)));
  ::FillRect(buffer.Get(), &all, static_cast<HBRUSH>(brush.Get()));
  EXPECT_EQ(::GetPixel(buffer.Get(), 7, 3), RGB(10, 20, 30));
  w32::MemoryDc target(screen.Get(), 8, 4);
  ASSERT_TRUE(buffer.BlitTo(target.Get()));
  EXPECT_EQ(::GetPixel(target.Get(), 0, 0), RGB(10, 20, 30));
}

}  // namespace
