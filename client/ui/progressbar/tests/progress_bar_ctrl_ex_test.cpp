#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "progressbar/progress_bar_ctrl_ex.h"
#include "w32/unique_handle.h"

namespace {

// A hidden parent with one static child of the given client width.
class BarHost : public ::testing::Test {
 protected:
  void Make(int width, int height) {
    parent_ = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(parent_, nullptr) << ::GetLastError();
    child_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                               parent_, reinterpret_cast<HMENU>(101), nullptr, nullptr);
    ASSERT_NE(child_, nullptr);
    ASSERT_TRUE(bar_.SubclassWindow(child_));
  }
  void TearDown() override {
    if (parent_) ::DestroyWindow(parent_);
  }
  // Paints the bar into a 32-bit bitmap and returns the colour at (x, y).
  COLORREF PixelAfterPaint(int width, int height, int x, int y) {
    w32::OwnedDc dc(::CreateCompatibleDC(nullptr));
    w32::GdiObject bmp(::CreateBitmap(width, height, 1, 32, nullptr));
    HGDIOBJ old = ::SelectObject(dc.Get(), bmp.Get());
    bar_.Paint(dc.Get());
    const COLORREF c = ::GetPixel(dc.Get(), x, y);
    ::SelectObject(dc.Get(), old);
    return c;
  }
  HWND parent_ = nullptr;
  HWND child_ = nullptr;
  CProgressBarCtrlEx bar_;
};

TEST_F(BarHost, StartsAtZeroOfZeroToHundredWithPercentage) {
  Make(100, 20);
  EXPECT_EQ(bar_.Minimum(), 0);
  EXPECT_EQ(bar_.Maximum(), 100);
  EXPECT_EQ(bar_.Pos(), 0);
  EXPECT_EQ(bar_.DisplayText(), L"0%");
  bar_.StepIt();
  EXPECT_EQ(bar_.Pos(), 1);
}

TEST_F(BarHost, HalfwayFillsHalfWithTextInBothColours) {
  Make(100, 20);
  bar_.SetPos(50);
  EXPECT_EQ(bar_.FilledWidth(), 50);
  EXPECT_EQ(bar_.DisplayText(), L"50%");

  w32::OwnedDc dc(::CreateCompatibleDC(nullptr));
  w32::GdiObject bmp(::CreateBitmap(100, 20, 1, 32, nullptr));
  HGDIOBJ old = ::SelectObject(dc.Get(), bmp.Get());
  bar_.Paint(dc.Get());
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF window = ::GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(::GetPixel(dc.Get(), 10, 2), highlight);
  EXPECT_EQ(::GetPixel(dc.Get(), 90, 2), window);
  // The text over the filled half is drawn in the background colour and the
  // text over the rest in the bar colour.
  int backInFilled = 0, barInRest = 0;
  for (int y = 3; y < 17; ++y)
    for (int x = 30; x < 70; ++x) {
      const COLORREF c = ::GetPixel(dc.Get(), x, y);
      if (x < 50 && c != highlight) ++backInFilled;
      if (x >= 50 && c != window) ++barInRest;
    }
  EXPECT_GT(backInFilled, 0);
  EXPECT_GT(barInRest, 0);
  ::SelectObject(dc.Get(), old);
}

TEST_F(BarHost, RepaintsOnlyWhenTheFilledWidthChanges) {
  Make(10, 20);
  const unsigned before = bar_.RepaintRequests();
  bar_.SetPos(50);  // width 5
  EXPECT_EQ(bar_.RepaintRequests(), before + 1);
  bar_.SetPos(55);  // still 5 pixels: the old text stays on the screen
  EXPECT_EQ(bar_.RepaintRequests(), before + 1);
  bar_.SetPos(60);  // 6 pixels
  EXPECT_EQ(bar_.RepaintRequests(), before + 2);
}

TEST_F(BarHost, AnswersProgressMessagesSentToItsWindow) {
  Make(100, 20);
  ::SendMessageW(child_, PBM_SETPOS, 70, 0);
  EXPECT_EQ(::SendMessageW(child_, PBM_GETPOS, 0, 0), 70);
  EXPECT_EQ(bar_.Pos(), 70);
}

TEST_F(BarHost, EmptyRangeDrawsNothingAndNeverDividesByZero) {
  Make(100, 20);
  bar_.SetRange(5, 5);
  bar_.SetPos(5);
  EXPECT_EQ(bar_.FilledWidth(), 0);
  EXPECT_EQ(bar_.DisplayText(), L"");
  EXPECT_NO_FATAL_FAILURE(PixelAfterPaint(100, 20, 1, 1));
}

TEST_F(BarHost, DestroyingTheWindowReleasesIt) {
  Make(100, 20);
  bar_.DestroyWindow();
  EXPECT_EQ(bar_.Window(), nullptr);
  EXPECT_FALSE(::IsWindow(child_));
  bar_.SetPos(30);  // no window: harmless
}

}  // namespace
