// A real property sheet built from the page descriptions the plug-in handed
// to the (fake) host, shown modeless on the test's own thread. Every wait
// pumps the thread's messages and is bounded by the caller's time-out.
#pragma once
#include <windows.h>
#include <prsht.h>
#include <functional>
#include <string>
#include <vector>

namespace drvui_test {

class ModelessSheet {
 public:
  ModelessSheet() = default;
  ModelessSheet(const ModelessSheet&) = delete;
  ModelessSheet& operator=(const ModelessSheet&) = delete;
  ~ModelessSheet();

  // Creates the pages and shows the sheet; false (with the reason in Error())
  // when a page or the sheet cannot be made.
  bool Show(const std::vector<PROPSHEETPAGEW>& pages, const std::wstring& caption);
  const std::wstring& Error() const { return error_; }

  HWND Window() const { return sheet_; }
  // The dialog of page `index`, created when it is first selected.
  HWND Page(int index) const;
  // Selects page `index` and waits until its dialog exists.
  bool Select(int index, DWORD timeoutMs);

  // Dispatches messages until `condition` holds or `timeoutMs` passed.
  bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
  // Dispatches messages for `ms` milliseconds (to let windows paint).
  void PumpFor(DWORD ms);

 private:
  HWND sheet_ = nullptr;
  std::wstring error_;
};

}  // namespace drvui_test
