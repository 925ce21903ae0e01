#include "preview/emf_viewer.h"

#include <olectl.h>

#include "resources/resource_ids.h"
#include "w32/paint.h"

namespace {

HCURSOR LoadOwnedCursor(HINSTANCE instance, int id) {
  return static_cast<HCURSOR>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 32, 32, LR_MONOCHROME));
}

}  // namespace

CEMFViewer::CEMFViewer() : cursor_(::LoadCursorW(nullptr, IDC_ARROW)) {}

CEMFViewer::~CEMFViewer() {
  // The view's cursors go with it; the window (if any) first lets go of them.
  if (Handle()) ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

bool CEMFViewer::Attach(HWND placeholder, HINSTANCE instance) {
  if (!SubclassWindow(placeholder)) return false;
  ::SetWindowLongW(placeholder, GWL_STYLE,
                   ::GetWindowLongW(placeholder, GWL_STYLE) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  hBar_ = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | SBS_HORZ, 0, 0, 0, 0, placeholder,
                            nullptr, nullptr, nullptr);
  vBar_ = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | SBS_VERT, 0, 0, 0, 0, placeholder,
                            nullptr, nullptr, nullptr);
  zoomInCursor_.Reset(LoadOwnedCursor(instance, IDC_CURSOR_ZOOM_IN));
  zoomOutCursor_.Reset(LoadOwnedCursor(instance, IDC_CURSOR_ZOOM_OUT));
  panCursor_.Reset(LoadOwnedCursor(instance, IDC_CURSOR_PAN));
  return hBar_ && vBar_;
}

bool CEMFViewer::LoadPage(const std::wstring& path) {
  const bool loaded = LoadPicture(path);
  loadFailed_ = !loaded;
  errorShown_ = false;
  natural_ = SIZE{0, 0};
  if (loaded) {
    const SIZE hm = HimetricSize();
    w32::ClientDc screen(nullptr);
    natural_.cx = ::MulDiv(hm.cx, ::GetDeviceCaps(screen.Get(), LOGPIXELSX), 2540);
    natural_.cy = ::MulDiv(hm.cy, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 2540);
  }
  scrollX_ = scrollY_ = 0;
  if (fit_) {
    FitToPreview();
  } else {
    SetZoom(1.0);
  }
  SetClickMode(kZoomIn);
  return loaded;
}

void CEMFViewer::SetClickMode(ClickMode mode) {
  mode_ = mode;
  HCURSOR c = mode == kZoomIn ? ZoomInCursor() : ZoomOutCursor();
  if (c) cursor_ = c;
  if (Handle() && ::GetCapture() != Handle()) {
    POINT p{};
    ::GetCursorPos(&p);
    if (::WindowFromPoint(p) == Handle()) ::SetCursor(cursor_);
  }
}

void CEMFViewer::ZoomInStep() { SetClickMode(kZoomIn); }
void CEMFViewer::ZoomOutStep() { SetClickMode(kZoomOut); }

void CEMFViewer::RealSize() {
  fit_ = false;
  SetZoom(1.0);
}

void CEMFViewer::FitToPreview() {
  fit_ = true;
  if (hBar_) ::ShowWindow(hBar_, SW_HIDE);
  if (vBar_) ::ShowWindow(vBar_, SW_HIDE);
  hBarShown_ = vBarShown_ = false;
  scrollX_ = scrollY_ = 0;
  displayed_ = natural_;
  zoom_ = 1.0;
  Layout();
  Redraw();
}

void CEMFViewer::SetZoom(double factor) {
  zoom_ = factor;
  displayed_.cx = static_cast<LONG>(factor * natural_.cx);
  displayed_.cy = static_cast<LONG>(factor * natural_.cy);
  Layout();
  Redraw();
}

SIZE CEMFViewer::ViewSize() const {
  RECT client{};
  if (Handle()) ::GetClientRect(Handle(), &client);
  SIZE s{client.right, client.bottom};
  if (vBarShown_) s.cx -= ::GetSystemMetrics(SM_CXVSCROLL);
  if (hBarShown_) s.cy -= ::GetSystemMetrics(SM_CYHSCROLL);
  if (s.cx < 0) s.cx = 0;
  if (s.cy < 0) s.cy = 0;
  return s;
}

int CEMFViewer::MaxScroll(bool horizontal) const {
  const SIZE view = ViewSize();
  const int m = horizontal ? displayed_.cx - view.cx : displayed_.cy - view.cy;
  return m > 0 ? m : 0;
}

void CEMFViewer::Layout() {
  if (!Handle()) return;
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const int w = client.right, h = client.bottom;

  if (fit_ && (displayed_.cx > w || displayed_.cy > h) && natural_.cx > 0 && natural_.cy > 0 &&
      h > 0) {
    const double ratio = static_cast<double>(natural_.cx) / natural_.cy;
    int pw, ph;
    if (static_cast<double>(w) / h < ratio) {
      pw = w;
      ph = static_cast<int>(w / ratio);
    } else {
      ph = h;
      pw = static_cast<int>(h * ratio);
    }
    const int left = static_cast<int>((w - pw) * 0.5), top = static_cast<int>((h - ph) * 0.5);
    pageRect_ = RECT{left, top, left + pw, top + ph};
    displayed_ = SIZE{pw, ph};
    zoom_ = static_cast<double>(pw) / natural_.cx;
    ::ShowWindow(hBar_, SW_HIDE);
    ::ShowWindow(vBar_, SW_HIDE);
    hBarShown_ = vBarShown_ = false;
    scrollX_ = scrollY_ = 0;
    return;
  }

  const bool needV = h < displayed_.cy;
  const bool needH = w < displayed_.cx;
  if (!needV) scrollY_ = 0;
  if (!needH) scrollX_ = 0;
  vBarShown_ = needV;
  hBarShown_ = needH;
  const int sbw = ::GetSystemMetrics(SM_CXVSCROLL), sbh = ::GetSystemMetrics(SM_CYHSCROLL);
  const SIZE view = ViewSize();
  if (needV) {
    ::MoveWindow(vBar_, w - sbw, 0, sbw, h - (needH ? sbh : 0), TRUE);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE, 0, displayed_.cy, static_cast<UINT>(view.cy)};
    ::SetScrollInfo(vBar_, SB_CTL, &si, TRUE);
  }
  if (needH) {
    ::MoveWindow(hBar_, 0, h - sbh, w - (needV ? sbw : 0), sbh, TRUE);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE, 0, displayed_.cx, static_cast<UINT>(view.cx)};
    ::SetScrollInfo(hBar_, SB_CTL, &si, TRUE);
  }
  if (scrollX_ > MaxScroll(true)) scrollX_ = MaxScroll(true);
  if (scrollY_ > MaxScroll(false)) scrollY_ = MaxScroll(false);
  if (needH) ::SetScrollPos(hBar_, SB_CTL, scrollX_, TRUE);
  if (needV) ::SetScrollPos(vBar_, SB_CTL, scrollY_, TRUE);
  ::ShowWindow(vBar_, needV ? SW_SHOWNA : SW_HIDE);
  ::ShowWindow(hBar_, needH ? SW_SHOWNA : SW_HIDE);

  const int pw = displayed_.cx, ph = displayed_.cy;
  int left = 0, top = 0;
  if (needH && needV) {
    left = top = 0;
  } else if (needH) {
    top = (view.cy - ph) / 2;
  } else if (needV) {
    left = (view.cx - pw) / 2;
  } else {
    left = (view.cx - pw) / 2;
    top = (view.cy - ph) / 2;
  }
  pageRect_ = RECT{left, top, left + pw, top + ph};
}

void CEMFViewer::Redraw() {
  if (Handle()) ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CEMFViewer::ShowPictureError(HRESULT hr) {
  const wchar_t* text = nullptr;
  switch (hr) {
    case E_POINTER: text = L"E_POINTER !"; break;
    case E_OUTOFMEMORY: text = L"E_OUTOFMEMORY !"; break;
    case E_INVALIDARG: text = L"E_INVALIDARG !"; break;
    case CTL_E_INVALIDPROPERTYVALUE: text = L"CTL_E_INVALIDPROPERTYVALUE  !"; break;
    default: return;
  }
  ::MessageBoxW(Handle(), text, L"IPicture error", MB_OK | MB_ICONINFORMATION);
}

LRESULT CEMFViewer::OnPaint(UINT, WPARAM, LPARAM, bool&) {
  w32::PaintDc paint(Handle());
  const SIZE view = ViewSize();
  w32::MemoryDc buffer(paint.Get(), view.cx, view.cy);
  HDC dc = buffer.Valid() ? buffer.Get() : paint.Get();
  RECT all{0, 0, view.cx, view.cy};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));

  HRESULT renderResult = S_OK;
  if (IPicture* picture = Picture()) {
    const SIZE hm = HimetricSize();
    RECT target = pageRect_;
    ::OffsetRect(&target, -scrollX_, -scrollY_);
    renderResult = picture->Render(dc, target.left, target.top, displayed_.cx, displayed_.cy, 0,
                                   hm.cy, hm.cx, -hm.cy, nullptr);
  }
  if (loadFailed_ || Picture()) {
    w32::GdiObject frame(::CreateSolidBrush(::GetSysColor(COLOR_HIGHLIGHT)));
    ::FrameRect(dc, &pageRect_, static_cast<HBRUSH>(frame.Get()));
  }
  if (buffer.Valid()) buffer.BlitTo(paint.Get());
  if (hBarShown_ && vBarShown_) {
    RECT corner{view.cx, view.cy, view.cx + ::GetSystemMetrics(SM_CXVSCROLL),
                view.cy + ::GetSystemMetrics(SM_CYHSCROLL)};
    ::FillRect(paint.Get(), &corner, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }

  // A message box re-paints the view when it closes: each failure is told
  // once per page load, not at every paint.
  if (!errorShown_) {
    if (loadFailed_) {
      errorShown_ = true;
      ::MessageBoxW(Handle(), L"Picture is not loaded !", L"Information", MB_OK | MB_ICONINFORMATION);
    } else if (FAILED(renderResult)) {
      errorShown_ = true;
      ShowPictureError(renderResult);
    }
  }
  return 0;
}

LRESULT CEMFViewer::OnSize(UINT, WPARAM, LPARAM, bool&) {
  // With fit on the page is fitted again from its natural size, so that a
  // larger view shows it larger again (never above natural size).
  if (fit_) {
    displayed_ = natural_;
    zoom_ = 1.0;
  }
  Layout();
  Redraw();
  return 0;
}

LRESULT CEMFViewer::OnScroll(UINT message, WPARAM wParam, LPARAM, bool&) {
  const bool horizontal = message == WM_HSCROLL;
  int& position = horizontal ? scrollX_ : scrollY_;
  int next = position;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: next -= kLineStep; break;
    case SB_LINEDOWN: next += kLineStep; break;
    case SB_PAGEUP: next -= kPageStep; break;
    case SB_PAGEDOWN: next += kPageStep; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      // The 32-bit position, not the 16 bits of the message.
      SCROLLINFO si{sizeof(si), SIF_TRACKPOS};
      ::GetScrollInfo(horizontal ? hBar_ : vBar_, SB_CTL, &si);
      next = si.nTrackPos;
      break;
    }
    default: return 0;
  }
  if (next < 0) next = 0;
  if (next > MaxScroll(horizontal)) return 0;
  if (next == position) return 0;
  position = next;
  ::SetScrollPos(horizontal ? hBar_ : vBar_, SB_CTL, position, TRUE);
  Redraw();
  return 0;
}

LRESULT CEMFViewer::OnLButtonDown(UINT, WPARAM, LPARAM, bool&) {
  clickArmed_ = true;
  return 0;
}

LRESULT CEMFViewer::OnLButtonUp(UINT, WPARAM, LPARAM, bool&) {
  if (!clickArmed_) return 0;
  clickArmed_ = false;
  fit_ = false;
  if (mode_ == kZoomIn) {
    SetZoom(zoom_ + kZoomStep);
  } else {
    const double lowered = zoom_ - kZoomStep;
    SetZoom(lowered > kMinZoom ? lowered : kMinZoom);
  }
  return 0;
}

LRESULT CEMFViewer::OnMButtonDown(UINT, WPARAM, LPARAM lParam, bool&) {
  modeBeforePan_ = mode_;
  panning_ = true;
  if (PanCursor()) cursor_ = PanCursor();
  ::SetCursor(cursor_);
  panPoint_ = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ::SetCapture(Handle());
  return 0;
}

LRESULT CEMFViewer::OnMButtonUp(UINT, WPARAM, LPARAM, bool&) {
  if (!panning_) return 0;
  panning_ = false;
  if (::GetCapture() == Handle()) ::ReleaseCapture();
  SetClickMode(modeBeforePan_);
  ::SetCursor(cursor_);
  return 0;
}

LRESULT CEMFViewer::OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, bool&) {
  if (!panning_ || !(wParam & MK_MBUTTON) || fit_) return 0;
  const SIZE view = ViewSize();
  if (displayed_.cx <= view.cx && displayed_.cy <= view.cy) return 0;
  const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  // Kept within the scroll range, so that panning reaches the page's edges.
  auto clamp = [](int v, int hi) { return v < 0 ? 0 : (v > hi ? hi : v); };
  const int x = clamp(scrollX_ + panPoint_.x - p.x, MaxScroll(true));
  const int y = clamp(scrollY_ + panPoint_.y - p.y, MaxScroll(false));
  panPoint_ = p;
  if (x == scrollX_ && y == scrollY_) return 0;
  scrollX_ = x;
  scrollY_ = y;
  if (hBarShown_) ::SetScrollPos(hBar_, SB_CTL, scrollX_, TRUE);
  if (vBarShown_) ::SetScrollPos(vBar_, SB_CTL, scrollY_, TRUE);
  Redraw();
  return 0;
}

LRESULT CEMFViewer::OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (reinterpret_cast<HWND>(wParam) == Handle() && LOWORD(lParam) == HTCLIENT && cursor_) {
    ::SetCursor(cursor_);
    return TRUE;
  }
  handled = false;
  return 0;
}
