// A dialog run by a C++ object with a message map: modal (DoModal) or
// modeless (Create), from a template resource.
//
// Handlers answer with their LRESULT; the dialog procedure stores it as the
// message result (DWLP_MSGRESULT), except for the messages whose answer is
// the procedure's own return value (WM_INITDIALOG, WM_CTLCOLOR*, ...). No
// exception leaves the dialog procedure.
#pragma once
#include <windows.h>

#include "w32/message_map.h"

namespace w32 {

class Dialog : public MessageMap {
 public:
  Dialog() = default;
  ~Dialog() override;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  HWND Handle() const { return window_; }
  bool IsWindow() const { return window_ != nullptr && ::IsWindow(window_); }

  // Runs the dialog modally; returns what EndDialog was given, or -1.
  INT_PTR DoModal(HINSTANCE instance, int templateId, HWND parent);
  // Creates the dialog modeless; null on failure.
  HWND Create(HINSTANCE instance, int templateId, HWND parent);
  // The same from a template in memory (DLGTEMPLATE and its items).
  INT_PTR DoModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent);
  HWND CreateIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent);

  BOOL EndDialog(INT_PTR result) { return ::EndDialog(window_, result); }
  BOOL DestroyWindow() { return window_ ? ::DestroyWindow(window_) : FALSE; }
  HWND Item(int id) const { return ::GetDlgItem(window_, id); }

  // Centres the dialog on `owner` (its parent or owner when null, else the
  // screen's work area), kept inside the work area.
  void CenterWindow(HWND owner = nullptr);

 protected:
  // Called after WM_NCDESTROY with the former handle.
  virtual void OnFinalMessage(HWND window) {}

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

}  // namespace w32
