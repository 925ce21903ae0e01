// The printer-driver kit's user-interface plug-in interface, declared here
// because the cross toolchain ships no header for it: the interfaces the core
// driver and a plug-in exchange, the structures they pass, and the mode and
// reason numbers. Layouts and the order of the methods follow the kit's
// published documentation; the host calls the methods by their vtable slot,
// so the order below is part of the binary contract.
//
// The common property-sheet structures (PROPSHEETUI_INFO, OPTITEM,
// CPSUICBPARAM, ...) come from the toolchain's compstui.h.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <prsht.h>
#include <compstui.h>

// The class identifier that the kit fixes for every user-interface plug-in.
inline constexpr CLSID CLSID_OEMUI = {
    0xABCE80D7, 0x9F46, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};
inline constexpr IID IID_IPrintOemUI = {
    0xC6A7A9D0, 0x774C, 0x11D1, {0x94, 0x7F, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
inline constexpr IID IID_IPrintOemDriverUI = {
    0x92B05D50, 0x78BC, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};

// IPrintOemCommon::GetInfo modes.
#define OEMGI_GETSIGNATURE 1
#define OEMGI_GETINTERFACEVERSION 2
#define OEMGI_GETVERSION 3
#define OEMGI_GETPUBLISHERINFO 4

// IPrintOemCommon::DevMode modes, in the order the host uses them.
#define OEMDM_SIZE 1
#define OEMDM_DEFAULT 2
#define OEMDM_CONVERT 3
#define OEMDM_MERGE 4

// IPrintOemUI::CommonUIProp modes.
#define OEMCUIP_DOCPROP 1
#define OEMCUIP_PRNPROP 2

// IPrintOemUI::QueryColorProfile: what is asked for, and what is returned.
#define QCP_DEVICEPROFILE 0x0000
#define QCP_SOURCEPROFILE 0x0001
#define QCP_PROFILEMEMORY 0x0001
#define QCP_PROFILEDISK 0x0002

// The header that starts every plug-in's private part of a DEVMODEW.
typedef struct _OEM_DMEXTRAHEADER {
  DWORD dwSize;       // size of the whole private part, header included
  DWORD dwSignature;  // the plug-in's GetInfo signature
  DWORD dwVersion;    // the plug-in's GetInfo version
} OEM_DMEXTRAHEADER, *POEM_DMEXTRAHEADER;

typedef struct _OEMDMPARAM {
  DWORD cbSize;
  PVOID pdriverobj;  // not used for user-interface plug-ins
  HANDLE hPrinter;
  HANDLE hModule;
  PDEVMODEW pPublicDMIn;
  PDEVMODEW pPublicDMOut;
  PVOID pOEMDMIn;   // private part to convert or merge from
  PVOID pOEMDMOut;  // private part to write
  DWORD cbBufSize;  // in: size of pOEMDMOut; out (OEMDM_SIZE): size the plug-in needs
} OEMDMPARAM, *POEMDMPARAM;

// The obsolete function-table way of reaching the driver, still carried in
// OEMUIOBJ.
typedef BOOL(APIENTRY* PFN_DrvGetDriverSetting)(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                                DWORD cbSize, PDWORD pcbNeeded,
                                                PDWORD pdwOptionsReturned);
typedef BOOL(APIENTRY* PFN_DrvUpdateUISetting)(PVOID pdriverobj, PVOID pOptItem,
                                               DWORD dwPreviousSelection, DWORD dwMode);

typedef struct _OEMUIPROCS {
  PFN_DrvGetDriverSetting DrvGetDriverSetting;
  PFN_DrvUpdateUISetting DrvUpdateUISetting;
} OEMUIPROCS, *POEMUIPROCS;

typedef struct _OEMUIOBJ {
  DWORD cbSize;
  POEMUIPROCS pOemUIProcs;
} OEMUIOBJ, *POEMUIOBJ;

typedef struct _OEMCUIPPARAM* POEMCUIPPARAM;
typedef LONG(APIENTRY* OEMCUIPCALLBACK)(PCPSUICBPARAM, POEMCUIPPARAM);

typedef struct _OEMCUIPPARAM {
  DWORD cbSize;
  POEMUIOBJ poemuiobj;
  HANDLE hPrinter;
  PWSTR pPrinterName;
  HANDLE hModule;
  HANDLE hOEMHeap;
  PDEVMODEW pPublicDM;  // document properties only
  PVOID pOEMDM;         // document properties only
  DWORD dwFlags;
  POPTITEM pDrvOptItems;  // the driver's own option items
  DWORD cDrvOptItems;
  POPTITEM pOEMOptItems;  // the plug-in's option items, when it asked for any
  DWORD cOEMOptItems;
  PVOID pOEMUserData;
  OEMCUIPCALLBACK OEMCUIPCallback;  // set by the plug-in
} OEMCUIPPARAM;

// Passed to DevQueryPrintEx; the plug-in only hands the pointer on.
struct _DEVQUERYPRINT_INFO;
typedef struct _DEVQUERYPRINT_INFO* PDEVQUERYPRINT_INFO;

// What a rendering and a user-interface plug-in have in common.
struct IPrintOemCommon : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                            PDWORD pcbNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) = 0;
};

// The user-interface plug-in. Slots 0-2 IUnknown, 3-4 IPrintOemCommon, then
// these in this order (the documentation lists them alphabetically, which is
// not the vtable order).
struct IPrintOemUI : public IPrintOemCommon {
  virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) = 0;
  virtual HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                           LPARAM lParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                         LPARAM lParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ poemuiobj,
                                                    PDEVQUERYPRINT_INFO pDQPInfo,
                                                    PDEVMODEW pPublicDM, PVOID pOEMDM) = 0;
  // Named DeviceCapabilities in the kit; <windows.h> maps that name to
  // DeviceCapabilitiesW, so it is spelled out here to keep one name.
  virtual HRESULT STDMETHODCALLTYPE DeviceCapabilitiesW(POEMUIOBJ poemuiobj, HANDLE hPrinter,
                                                        PWSTR pDeviceName, WORD wCapability,
                                                        PVOID pOutput, PDEVMODEW pPublicDM,
                                                        PVOID pOEMDM, DWORD dwOld,
                                                        DWORD* dwResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR pPrinterName, INT iDriverEvent,
                                                 DWORD dwFlags, LPARAM lParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DriverEvent(DWORD dwDriverEvent, DWORD dwLevel,
                                                LPBYTE pDriverInfo, LPARAM lParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE hPrinter, POEMUIOBJ poemuiobj,
                                                      PDEVMODEW pPublicDM, PVOID pOEMDM,
                                                      ULONG ulQueryMode, VOID* pvProfileData,
                                                      ULONG* pcbProfileData,
                                                      FLONG* pflProfileData) = 0;
  virtual HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND hWnd, UINT usMsg, WPARAM wParam,
                                                         LPARAM lParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE hPrinter, HANDLE hHeap,
                                                        PWSTR pwstrCartridges) = 0;
};

// The services the core driver offers its user-interface plug-ins.
struct IPrintOemDriverUI : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID pOutput,
                                                        DWORD cbSize, PDWORD pcbNeeded,
                                                        PDWORD pdwOptionsReturned) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE hPrinter, PCSTR pFeature,
                                                              PCSTR pOption) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID pOptItem,
                                                       DWORD dwPreviousSelection,
                                                       DWORD dwMode) = 0;
};

__CRT_UUID_DECL(IPrintOemUI, 0xC6A7A9D0, 0x774C, 0x11D1, 0x94, 0x7F, 0x00, 0xA0, 0xC9, 0x06,
                0x40, 0xB8)
__CRT_UUID_DECL(IPrintOemDriverUI, 0x92B05D50, 0x78BC, 0x11D1, 0x94, 0x80, 0x00, 0xA0, 0xC9,
                0x06, 0x40, 0xB8)
