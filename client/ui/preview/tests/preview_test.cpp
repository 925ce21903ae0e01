// The page preview in a real window: the page list and the navigation
// buttons, the go-to-page dialog with its balloon, zoom steps, fit, real
// size, scrolling, and screenshots of what the user sees.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "controls/balloon_help.h"
#include "preview/go_to_page_dlg.h"
#include "preview/pages_dlg.h"
#include "test_job.h"
#include "w32/window_impl.h"

namespace {

void Pump(int rounds = 20) {
  for (int r = 0; r < rounds; ++r) {
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&m);
      ::DispatchMessageW(&m);
    }
    ::Sleep(5);
  }
}

std::string ShotPath(const std::string& name) {
  char path[MAX_PATH]{};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.erase(folder.find_last_of('\\') + 1);
  folder += "screenshots";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\" + name + ".bmp";
}

class Host : public w32::WindowImpl {
 public:
  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_SIZE, OnSize)
  W32_END_MSG_MAP()
  CPagesDlg* preview = nullptr;
  LRESULT OnSize(UINT, WPARAM, LPARAM, bool&) {
    if (preview && preview->Handle()) {
      RECT rc{};
      ::GetClientRect(Handle(), &rc);
      ::MoveWindow(preview->Handle(), 0, 0, rc.right, rc.bottom, TRUE);
    }
    return 0;
  }
};

// A preview of a job in a top-level window of `width` by `height`.
class Preview : public ::testing::Test {
 protected:
  void Open(const TestJob& job, int width = 640, int height = 560) {
    job_ = job;
    Host::RegisterWindowClass(L"scrivo.test.previewhost", 0, ::LoadCursorW(nullptr, IDC_ARROW),
                              ::GetSysColorBrush(COLOR_BTNFACE));
    RECT rc{40, 40, 40 + width, 40 + height};
    ASSERT_NE(host_.Create(L"scrivo.test.previewhost", nullptr, rc, L"Preview test",
                           WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN),
              nullptr);
    preview_.SetJobPath(job.jobPath);
    ASSERT_NE(preview_.Create(::GetModuleHandleW(nullptr), host_.Handle()), nullptr);
    host_.preview = &preview_;
    RECT client{};
    ::GetClientRect(host_.Handle(), &client);
    ::MoveWindow(preview_.Handle(), 0, 0, client.right, client.bottom, TRUE);
    preview_.Build();
    ::ShowWindow(preview_.Handle(), SW_SHOW);
    Pump();
  }
  void TearDown() override {
    if (host_.Handle()) ::DestroyWindow(host_.Handle());
    job_.Remove();
  }
  bool Enabled(int id) const { return preview_.BottomToolbar().IsButtonEnabled(id); }
  void Click(HWND view) {
    ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ::SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  }

  TestJob job_;
  Host host_;
  CPagesDlg preview_;
};

// Closes any "Go to page" dialog that opens, and counts them.
struct DialogWatch {
  std::atomic<bool> stop{false};
  std::atomic<int> seen{0};
  std::thread thread{[this] {
    while (!stop) {
      if (HWND d = ::FindWindowW(L"#32770", L"Go to page")) {
        ++seen;
        ::PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
      }
      ::Sleep(20);
    }
  }};
  ~DialogWatch() {
    stop = true;
    thread.join();
  }
};

TEST_F(Preview, OnePageDisablesAllFourButtonsAndInsertDoesNothing) {
  Open(TestJob::Make("preview one page", 1));
  ASSERT_EQ(preview_.PageCount(), 1u);
  EXPECT_EQ(preview_.IndicatorText(), L"Page 1 of 1");
  wchar_t text[64]{};
  ::GetWindowTextW(preview_.Indicator().Handle(), text, 64);
  EXPECT_STREQ(text, L"Page 1 of 1");
  for (int id : {40001, 40002, 40003, 40004}) EXPECT_FALSE(Enabled(id)) << id;
  DialogWatch watch;
  preview_.GoToPage();
  preview_.NextPage();
  preview_.LastPage();
  Pump(10);
  EXPECT_EQ(watch.seen, 0);
  EXPECT_EQ(preview_.CurrentPage(), 0u);
}

TEST_F(Preview, NavigationMovesThroughTheListAndUpdatesTheButtons) {
  Open(TestJob::Make("preview twelve", 12));
  ASSERT_EQ(preview_.PageCount(), 12u);
  EXPECT_FALSE(Enabled(40001));
  EXPECT_FALSE(Enabled(40003));
  EXPECT_TRUE(Enabled(40002));
  EXPECT_TRUE(Enabled(40004));
  SaveScreenshot(host_.Handle(), ShotPath("preview_first_page"));
  // The bottom toolbar's buttons reach the preview as commands.
  ::SendMessageW(preview_.BottomToolbar().ButtonWindow(40002), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(preview_.CurrentPage(), 1u);
  EXPECT_TRUE(Enabled(40001));
  preview_.LastPage();
  EXPECT_EQ(preview_.IndicatorText(), L"Page 12 of 12");
  EXPECT_FALSE(Enabled(40002));
  EXPECT_FALSE(Enabled(40004));
  preview_.PreviousPage();
  EXPECT_EQ(preview_.CurrentPage(), 10u);
  preview_.FirstPage();
  EXPECT_EQ(preview_.CurrentPage(), 0u);
  EXPECT_EQ(preview_.Pages()[3], job_.pages[3]);
}

TEST_F(Preview, ToolbarLooksPlainHoverAndDisabled) {
  Open(TestJob::Make("preview looks", 3));
  const CButtonGroupCtrl& bottom = preview_.BottomToolbar();
  ::SendMessageW(bottom.ButtonWindow(40002), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
  ::SendMessageW(preview_.RightToolbar().ButtonWindow(38446), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
  Pump();
  EXPECT_EQ(bottom.Button(40001)->CurrentImage(), 2);  // disabled
  EXPECT_EQ(bottom.Button(40002)->CurrentImage(), 1);  // hovered
  EXPECT_EQ(bottom.Button(40004)->CurrentImage(), 0);  // at rest
  EXPECT_EQ(preview_.RightToolbar().ButtonCount(), 5u);
  EXPECT_TRUE(SaveScreenshot(bottom.Handle(), ShotPath("toolbar_bottom_looks")));
  EXPECT_TRUE(SaveScreenshot(preview_.RightToolbar().Handle(), ShotPath("toolbar_right_looks")));
}

TEST_F(Preview, ZoomStepsAndTheirLowerLimit) {
  Open(TestJob::Make("preview zoom", 2));
  CEMFViewer& view = preview_.View();
  EXPECT_TRUE(view.FitOn());
  view.SetZoom(0.15);
  ::SendMessageW(preview_.Handle(), WM_COMMAND, 38447, 0);  // zoom out mode
  EXPECT_EQ(view.Mode(), CEMFViewer::kZoomOut);
  EXPECT_EQ(view.CurrentCursor(), view.ZoomOutCursor());
  Click(view.Handle());
  EXPECT_FALSE(view.FitOn());
  EXPECT_DOUBLE_EQ(view.Zoom(), 0.1);
  Click(view.Handle());
  EXPECT_DOUBLE_EQ(view.Zoom(), 0.1);
  ::SendMessageW(preview_.Handle(), WM_COMMAND, 38448, 0);  // real size
  EXPECT_DOUBLE_EQ(view.Zoom(), 1.0);
  ::SendMessageW(preview_.Handle(), WM_COMMAND, 38446, 0);  // zoom in mode
  Click(view.Handle());
  EXPECT_DOUBLE_EQ(view.Zoom(), 1.1);
  EXPECT_EQ(view.DisplayedSize().cx, static_cast<LONG>(1.1 * view.NaturalSize().cx));
  // The next page comes at real size, in zoom-in mode.
  view.ZoomOutStep();
  preview_.NextPage();
  EXPECT_DOUBLE_EQ(view.Zoom(), 1.0);
  EXPECT_EQ(view.Mode(), CEMFViewer::kZoomIn);
  // Once fit to preview is chosen it survives page changes.
  ::SendMessageW(preview_.Handle(), WM_COMMAND, 38449, 0);
  preview_.PreviousPage();
  EXPECT_TRUE(view.FitOn());
}

TEST_F(Preview, FitShrinksLargePagesAndNeverEnlargesSmallOnes) {
  Open(TestJob::Make("preview fit", 2));  // A4: larger than the view
  CEMFViewer& view = preview_.View();
  RECT client{};
  ::GetClientRect(view.Handle(), &client);
  const SIZE natural = view.NaturalSize(), shown = view.DisplayedSize();
  ASSERT_GT(natural.cy, client.bottom);
  EXPECT_LE(shown.cx, client.right);
  EXPECT_LE(shown.cy, client.bottom);
  EXPECT_TRUE(shown.cx == client.right || shown.cy == client.bottom);
  EXPECT_NEAR(static_cast<double>(shown.cx) / shown.cy,
              static_cast<double>(natural.cx) / natural.cy, 0.02);
  EXPECT_FALSE(view.HorizontalBarShown() || view.VerticalBarShown());
  EXPECT_LT(view.Zoom(), 1.0);
  SaveScreenshot(host_.Handle(), ShotPath("preview_fit_a4"));

  // Real size: scroll bars, lines of 5 and pages of 50 pixels.
  view.RealSize();
  EXPECT_TRUE(view.VerticalBarShown());
  ::SendMessageW(view.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(view.ScrollPosition().y, 5);
  ::SendMessageW(view.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(view.ScrollPosition().y, 55);
  ::SendMessageW(view.Handle(), WM_VSCROLL, SB_PAGEUP, 0);
  ::SendMessageW(view.Handle(), WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(view.ScrollPosition().y, 0);
  // Panning with the middle button moves the page with the mouse.
  ::SendMessageW(view.Handle(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(100, 200));
  EXPECT_EQ(view.CurrentCursor(), view.PanCursor());
  ::SendMessageW(view.Handle(), WM_MOUSEMOVE, MK_MBUTTON, MAKELPARAM(100, 170));
  EXPECT_EQ(view.ScrollPosition().y, 30);
  ::SendMessageW(view.Handle(), WM_MBUTTONUP, 0, MAKELPARAM(100, 170));
  EXPECT_EQ(view.CurrentCursor(), view.ZoomInCursor());
  SaveScreenshot(host_.Handle(), ShotPath("preview_real_size"));
}

TEST_F(Preview, SmallPagesStayAtNaturalSizeCentred) {
  Open(TestJob::Make("preview small", 1, 50, 30));
  CEMFViewer& view = preview_.View();
  RECT client{};
  ::GetClientRect(view.Handle(), &client);
  EXPECT_TRUE(view.FitOn());
  EXPECT_EQ(view.DisplayedSize().cx, view.NaturalSize().cx);
  EXPECT_EQ(view.DisplayedSize().cy, view.NaturalSize().cy);
  EXPECT_DOUBLE_EQ(view.Zoom(), 1.0);
  EXPECT_EQ(view.PageRect().left, (client.right - view.NaturalSize().cx) / 2);
  EXPECT_EQ(view.PageRect().top, (client.bottom - view.NaturalSize().cy) / 2);
  // A larger window does not make it larger either.
  ::MoveWindow(host_.Handle(), 0, 0, 1000, 900, TRUE);
  Pump();
  EXPECT_EQ(view.DisplayedSize().cx, view.NaturalSize().cx);
}

TEST(GoToPage, ParsesOnlyPageNumbersInRange) {
  EXPECT_EQ(CGoToPageDlg::ParsePage(L"12", 12), 12);
  EXPECT_EQ(CGoToPageDlg::ParsePage(L"1", 12), 1);
  EXPECT_EQ(CGoToPageDlg::ParsePage(L"13", 12), 0);
  EXPECT_EQ(CGoToPageDlg::ParsePage(L"0", 12), 0);
  EXPECT_EQ(CGoToPageDlg::ParsePage(L"", 12), 0);
  EXPECT_EQ(CGoToPageDlg::ParsePage(L"x1", 12), 0);
  EXPECT_EQ(CGoToPageDlg::ParsePage(L"99999999999", 12), 0);
  CEnglishTexts english;
  CGoToPageDlg dialog(12, english);
  EXPECT_EQ(dialog.RangeText(false), L"Enter page number from 1 to 12");
  EXPECT_EQ(dialog.RangeText(true), L"            Enter page number from 1 to 12");
}

TEST_F(Preview, GoToPageShowsTheBalloonForAWrongNumberAndGoesToARightOne) {
  Open(TestJob::Make("preview goto", 12));
  std::atomic<bool> labelOk{false}, balloonSeen{false}, balloonGone{false};
  std::thread driver([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !dialog; ++i, ::Sleep(20)) dialog = ::FindWindowW(L"#32770", L"Go to page");
    if (!dialog) return;
    wchar_t label[128]{};
    ::GetDlgItemTextW(dialog, 1020, label, 128);
    labelOk = std::wstring(label) == L"Enter page number from 1 to 12";
    ::SendMessageTimeoutW(::GetDlgItem(dialog, 1019), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"13"),
                          SMTO_NORMAL, 5000, nullptr);
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND balloon = nullptr;
    for (int i = 0; i < 500 && !balloon; ++i, ::Sleep(20)) balloon = ::FindWindowW(L"XPBalloonHelp", nullptr);
    balloonSeen = balloon != nullptr;
    ::Sleep(300);
    SaveScreenshot(nullptr, ShotPath("go_to_page_balloon"));
    // A key press closes the balloon.
    ::SetForegroundWindow(dialog);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = VK_SHIFT;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
    for (int i = 0; i < 500 && balloon && ::IsWindow(balloon); ++i) ::Sleep(20);
    balloonGone = balloon && !::IsWindow(balloon);
    ::SendMessageTimeoutW(::GetDlgItem(dialog, 1019), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12"),
                          SMTO_NORMAL, 5000, nullptr);
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  // The indicator's click message opens the dialog, as a click on it does.
  ::SendMessageW(preview_.Handle(), kHoverStaticClicked, 0, 0);
  driver.join();
  EXPECT_TRUE(labelOk);
  EXPECT_TRUE(balloonSeen);
  EXPECT_TRUE(balloonGone);
  EXPECT_EQ(preview_.CurrentPage(), 11u);
  EXPECT_FALSE(Enabled(40002));
  EXPECT_FALSE(Enabled(40004));
}

TEST_F(Preview, UnreadableJobGivesNoPagesAndNavigationDoesNothing) {
  TestJob missing;
  missing.jobPath = "C:\\no such folder\\job.ini";
  Open(missing);
  EXPECT_EQ(preview_.PageCount(), 0u);
  preview_.NextPage();
  preview_.LastPage();
  preview_.GoToPage();
  EXPECT_EQ(preview_.CurrentPage(), 0u);
  for (int id : {40001, 40002, 40003, 40004}) EXPECT_FALSE(Enabled(id));
}

}  // namespace
