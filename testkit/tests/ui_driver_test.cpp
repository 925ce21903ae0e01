// The driver against windows of our own: a dialog-like window with controls on
// a thread of its own, a message box of our own process, and a broadcast.
#include <gtest/gtest.h>

#include <thread>

#include "testkit/notify_listener.h"
#include "testkit/process.h"
#include "testkit/ui_driver.h"

namespace {

// A window with an edit (id 10) and a button (id 11) whose click closes it.
class Form {
 public:
  Form() {
    thread_ = std::thread([this] { Run(); });
    // A process's first window can take long on a loaded machine.
    testkit::WaitUntil([this] { return ready_; }, 120000);
  }
  ~Form() {
    testkit::WaitUntil([this] { return ready_; }, 120000);
    if (::IsWindow(window_)) ::PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
  volatile bool ready_ = false;
  volatile bool clicked_ = false;

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Form*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
    if (m == WM_COMMAND && LOWORD(wp) == 11 && self) {
      self->clicked_ = true;
      ::DestroyWindow(w);
      return 0;
    }
    if (m == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(w, m, wp, lp);
  }
  void Run() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TestkitForm";
    ::RegisterClassW(&wc);
    window_ = ::CreateWindowExW(0, L"TestkitForm", L"Testkit form", WS_OVERLAPPEDWINDOW, 0, 0,
                                300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    edit_ = ::CreateWindowExW(0, L"EDIT", L"before", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, window_,
                              reinterpret_cast<HMENU>(10), wc.hInstance, nullptr);
    ::CreateWindowExW(0, L"BUTTON", L"&Close", WS_CHILD | WS_VISIBLE, 0, 30, 100, 20, window_,
                      reinterpret_cast<HMENU>(11), wc.hInstance, nullptr);
    ready_ = true;
    if (!window_) return;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  }
  std::thread thread_;
};

TEST(UiDriver, FindsReadsSetsAndPresses) {
  Form form;
  ASSERT_TRUE(form.window_);
  testkit::WindowQuery query{::GetCurrentProcessId(), L"TestkitForm", L"Testkit form"};
  HWND found = testkit::WaitForTopLevelWindow(query, 5000);
  EXPECT_EQ(found, form.window_);
  EXPECT_EQ(testkit::FindTopLevelWindow({::GetCurrentProcessId() + 4, L"TestkitForm", L""}),
            nullptr);
  EXPECT_EQ(testkit::FindTopLevelWindow({0, L"TestkitForm", L"other title"}), nullptr);

  const auto controls = testkit::Controls(found);
  ASSERT_EQ(controls.size(), 2u);
  EXPECT_EQ(controls[0].text, L"before");
  EXPECT_EQ(controls[1].text, L"&Close");

  EXPECT_TRUE(testkit::SetEditText(testkit::ControlById(found, 10), L"after"));
  EXPECT_EQ(testkit::WindowText(form.edit_), L"after");

  EXPECT_FALSE(testkit::PressButtonByText(found, L"Open"));
  EXPECT_TRUE(testkit::PressButtonByText(found, L"Close"));
  EXPECT_TRUE(testkit::WaitForWindowGone(found, 5000));
  EXPECT_TRUE(form.clicked_);
}

TEST(UiDriver, ReadsAndPressesAMessageBox) {
  int result = 0;
  std::thread shower([&] {
    result = ::MessageBoxW(nullptr, L"first line\nsecond line", L"Box caption", MB_YESNO);
  });
  auto box = testkit::WaitForMessageBox(::GetCurrentProcessId(), 10000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Box caption");
  EXPECT_EQ(box->text, L"first line\nsecond line");
  EXPECT_TRUE(testkit::PressMessageBoxButton(box->window, IDNO));
  shower.join();
  EXPECT_EQ(result, IDNO);
}

TEST(UiDriver, WaitsAreBounded) {
  const DWORD start = ::GetTickCount();
  EXPECT_FALSE(testkit::WaitForMessageBox(::GetCurrentProcessId(), 300).has_value());
  EXPECT_EQ(testkit::WaitForTopLevelWindow({0, L"NoSuchClassAnywhere", L""}, 300), nullptr);
  EXPECT_LT(::GetTickCount() - start, 10000u);
}

TEST(NotifyListener, ReceivesABroadcast) {
  testkit::NotifyListener listener(L"Testkit_notify_message");
  ASSERT_TRUE(listener.Ready());
  ::SendNotifyMessageW(HWND_BROADCAST, listener.Message(), 0xF00D, 42);
  auto got = listener.WaitFor(0xF00D, 10000);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->lParam, 42);
}

TEST(Process, RunAndWaitGivesTheExitCodeAndEndsOverrunningPrograms) {
  const std::wstring uidriver = testkit::QuotedProgram(L"uidriver.exe");
  EXPECT_EQ(testkit::RunAndWait(uidriver + L" nonsense", 30000), 2u);
  // uidriver waiting for a window that never comes, stopped after 500 ms.
  const DWORD start = ::GetTickCount();
  EXPECT_FALSE(testkit::RunAndWait(uidriver + L" find --class NoSuchClass --timeout 60000", 500));
  EXPECT_LT(::GetTickCount() - start, 30000u);
  testkit::Process p = testkit::Process::Start(L"no-such-program-anywhere.exe");
  EXPECT_FALSE(p.Valid());
  EXPECT_NE(p.Error(), 0u);
}

}  // namespace
