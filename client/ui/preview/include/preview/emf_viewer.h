// The page view: draws one page file, fits it into the view or shows it at
// a zoom factor with scroll bars, zooms on clicks, pans with the middle
// button. Painting is double-buffered and the background never erased, so
// scrolling and panning do not flicker.
#pragma once
#include <windows.h>

#include <string>

#include "preview/pix_t.h"
#include "w32/ui_handles.h"
#include "w32/window_impl.h"

class CEMFViewer : public w32::WindowImpl, public CPixT {
 public:
  enum ClickMode { kZoomIn = 0, kZoomOut = 1 };
  static constexpr double kZoomStep = 0.1;
  static constexpr double kMinZoom = 0.1;
  static constexpr int kLineStep = 5;
  static constexpr int kPageStep = 50;

  CEMFViewer();
  ~CEMFViewer() override;

  // Takes over the placeholder control; `instance` holds the cursors.
  bool Attach(HWND placeholder, HINSTANCE instance);
  // Loads a page file and lays it out; false when it gives no picture.
  bool LoadPage(const std::wstring& path);

  void ZoomInStep();        // click mode zoom in
  void ZoomOutStep();       // click mode zoom out
  void RealSize();          // fit off, zoom 1.0
  void FitToPreview();      // fit on, natural size shrunk into the view
  void SetZoom(double factor);
  void SetClickMode(ClickMode mode);

  double Zoom() const { return zoom_; }
  bool FitOn() const { return fit_; }
  ClickMode Mode() const { return mode_; }
  SIZE NaturalSize() const { return natural_; }
  SIZE DisplayedSize() const { return displayed_; }
  const RECT& PageRect() const { return pageRect_; }
  POINT ScrollPosition() const { return POINT{scrollX_, scrollY_}; }
  bool HorizontalBarShown() const { return hBarShown_; }
  bool VerticalBarShown() const { return vBarShown_; }
  HCURSOR CurrentCursor() const { return cursor_; }
  HCURSOR ZoomInCursor() const { return static_cast<HCURSOR>(zoomInCursor_.Get()); }
  HCURSOR ZoomOutCursor() const { return static_cast<HCURSOR>(zoomOutCursor_.Get()); }
  HCURSOR PanCursor() const { return static_cast<HCURSOR>(panCursor_.Get()); }

  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    W32_MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    W32_MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
    W32_MESSAGE_HANDLER(WM_SIZE, OnSize)
    W32_MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
    W32_MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
    W32_MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    W32_MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    W32_MESSAGE_HANDLER(WM_MBUTTONDOWN, OnMButtonDown)
    W32_MESSAGE_HANDLER(WM_MBUTTONUP, OnMButtonUp)
    W32_MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    W32_MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  W32_END_MSG_MAP()

 private:
  LRESULT OnPaint(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, bool&) { return TRUE; }
  LRESULT OnNcHitTest(UINT, WPARAM, LPARAM, bool&) { return HTCLIENT; }
  LRESULT OnSize(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnScroll(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnMButtonDown(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnMButtonUp(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, bool& handled);

  void Layout();
  void Redraw();
  SIZE ViewSize() const;  // client size less the shown bars
  int MaxScroll(bool horizontal) const;
  void ShowPictureError(HRESULT hr);

  HWND hBar_ = nullptr;
  HWND vBar_ = nullptr;
  SIZE natural_{0, 0};
  SIZE displayed_{0, 0};
  double zoom_ = 1.0;
  bool fit_ = true;
  RECT pageRect_{};
  int scrollX_ = 0;
  int scrollY_ = 0;
  bool hBarShown_ = false;
  bool vBarShown_ = false;
  ClickMode mode_ = kZoomIn;
  ClickMode modeBeforePan_ = kZoomIn;
  bool clickArmed_ = false;
  bool panning_ = false;
  POINT panPoint_{};
  w32::CursorHandle zoomInCursor_;
  w32::CursorHandle zoomOutCursor_;
  w32::CursorHandle panCursor_;
  HCURSOR cursor_ = nullptr;
  bool loadFailed_ = false;     // the last load gave no picture
  bool errorShown_ = false;     // its message was shown once already
};
