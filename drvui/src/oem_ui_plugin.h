// The plug-in object the core printer driver's user interface creates through
// the class factory: the pages, the private DEVMODE part, the hidden colour
// options and the colour profile name.
#pragma once
#include <windows.h>

#include "oem_ui_kit.h"
#include "w32/com_object.h"
#include "w32/com_ptr.h"

namespace drvui {

class CInkOemUI final : public w32::ComObject<CInkOemUI, IPrintOemUI> {
 public:
  CInkOemUI() = default;

  // IPrintOemCommon
  HRESULT STDMETHODCALLTYPE GetInfo(DWORD mode, PVOID buffer, DWORD bufferSize,
                                    PDWORD needed) override;
  HRESULT STDMETHODCALLTYPE DevMode(DWORD mode, POEMDMPARAM param) override;

  // IPrintOemUI
  HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* driver) override;
  HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD mode, POEMCUIPPARAM param) override;
  HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO info,
                                                   LPARAM lParam) override;
  HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) override;
  HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW,
                                            PVOID) override;
  HRESULT STDMETHODCALLTYPE DeviceCapabilitiesW(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW,
                                                PVOID, DWORD, DWORD*) override;
  HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD, PBYTE) override;
  HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR, INT, DWORD, LPARAM) override;
  HRESULT STDMETHODCALLTYPE DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) override;
  HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE printer, POEMUIOBJ uiObject,
                                              PDEVMODEW publicDevMode, PVOID privateDevMode,
                                              ULONG queryMode, VOID* profile,
                                              ULONG* profileSize, FLONG* profileFlags) override;
  HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) override;
  HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE, HANDLE, PWSTR) override;

 private:
  // The core driver's services, once published; released with the object.
  w32::ComPtr<IPrintOemDriverUI> driver_;
};

}  // namespace drvui
