// inksetman.exe: a small settings manager over the options object (stands
// in for the outside settings manager the client starts with
// "-s -o -c <printer> -h<window>"). It edits the document information,
// the security settings and the watermarks of the chosen profile and saves
// them to the options file.
#include <windows.h>
#include <objbase.h>

#include <cwchar>
#include <string>

#include "Tessera_h.h"
#include "resource.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"
#include "w32/dialog.h"

namespace {

std::wstring Text(HWND dialog, int id) {
  wchar_t buffer[1024]{};
  ::GetDlgItemTextW(dialog, id, buffer, 1024);
  return buffer;
}

class CSettingsDlg : public w32::Dialog {
 public:
  explicit CSettingsDlg(ITessera* options) : o_(options) {}

  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_INITDIALOG, OnInit)
    W32_COMMAND_HANDLER(IDC_PROFILE, CBN_SELCHANGE, OnProfile)
    W32_COMMAND_ID_HANDLER(IDOK, OnSave)
    W32_COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  W32_END_MSG_MAP()

 private:
  using GetText = HRESULT (STDMETHODCALLTYPE ITessera::*)(BSTR*);
  using PutText = HRESULT (STDMETHODCALLTYPE ITessera::*)(BSTR);
  using GetLong = HRESULT (STDMETHODCALLTYPE ITessera::*)(long*);
  using PutLong = HRESULT (STDMETHODCALLTYPE ITessera::*)(long);
  struct TextField { int id; GetText get; PutText put; };
  struct CheckField { int id; GetLong get; PutLong put; };
  static constexpr TextField kTexts[] = {
      {IDC_TITLE, &ITessera::get_Title, &ITessera::put_Title},
      {IDC_AUTHOR, &ITessera::get_Author, &ITessera::put_Author},
      {IDC_SUBJECT, &ITessera::get_Subject, &ITessera::put_Subject},
      {IDC_KEYWORDS, &ITessera::get_Keywords, &ITessera::put_Keywords},
      {IDC_USER_PASSWORD, &ITessera::get_UserPassword, &ITessera::put_UserPassword},
      {IDC_OWNER_PASSWORD, &ITessera::get_OwnerPassword, &ITessera::put_OwnerPassword},
      {IDC_WATERMARK_FILE, &ITessera::get_WatermarksFile, &ITessera::put_WatermarksFile},
  };
  static constexpr CheckField kChecks[] = {
      {IDC_PROTECT, &ITessera::get_PdfProtectionEnabled, &ITessera::put_PdfProtectionEnabled},
      {IDC_ALLOW_PRINTING, &ITessera::get_EnablePrinting, &ITessera::put_EnablePrinting},
      {IDC_ALLOW_COPYING, &ITessera::get_EnableCopyInformation, &ITessera::put_EnableCopyInformation},
  };

  void Load() {
    for (const TextField& f : kTexts) {
      w32::Bstr value;
      if (SUCCEEDED((o_->*f.get)(value.Put())))
        ::SetDlgItemTextW(Handle(), f.id, std::wstring(value.View()).c_str());
    }
    for (const CheckField& f : kChecks) {
      long value = 0;
      (o_->*f.get)(&value);
      ::CheckDlgButton(Handle(), f.id, value ? BST_CHECKED : BST_UNCHECKED);
    }
    VARIANT_BOOL flag = VARIANT_FALSE;
    o_->get_PutWatermarks(&flag);
    ::CheckDlgButton(Handle(), IDC_WATERMARKS, flag ? BST_CHECKED : BST_UNCHECKED);
    flag = VARIANT_FALSE;
    o_->get_WatermarkOnTheTop(&flag);
    ::CheckDlgButton(Handle(), IDC_WATERMARK_ON_TOP, flag ? BST_CHECKED : BST_UNCHECKED);
  }

  // False when a value is refused; the refused field gets the focus.
  bool Store() {
    for (const TextField& f : kTexts) {
      w32::Bstr value;
      w32::BstrFromWide(Text(Handle(), f.id), value.Put());
      if (FAILED((o_->*f.put)(value.Get()))) return Refused(f.id);
    }
    for (const CheckField& f : kChecks)
      if (FAILED((o_->*f.put)(::IsDlgButtonChecked(Handle(), f.id) ? 1 : 0))) return Refused(f.id);
    o_->put_PutWatermarks(::IsDlgButtonChecked(Handle(), IDC_WATERMARKS) ? VARIANT_TRUE : VARIANT_FALSE);
    o_->put_WatermarkOnTheTop(::IsDlgButtonChecked(Handle(), IDC_WATERMARK_ON_TOP) ? VARIANT_TRUE
                                                                                   : VARIANT_FALSE);
    return true;
  }

  bool Refused(int id) {
    ::MessageBoxW(Handle(), L"This value is not accepted.", L"Inkwell settings",
                  MB_OK | MB_ICONINFORMATION);
    ::SetFocus(Item(id));
    return false;
  }

  LRESULT OnInit(UINT, WPARAM, LPARAM, bool&) {
    HWND combo = Item(IDC_PROFILE);
    short count = 0, actual = 0;
    o_->GetProfilesCount(&count);
    o_->GetActual(&actual);
    for (short i = 0; i < count; ++i) {
      w32::Bstr name;
      if (SUCCEEDED(o_->GetProfileName(i, name.Put())))
        ::SendMessageW(combo, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(std::wstring(name.View()).c_str()));
    }
    if (count == 0) ::EnableWindow(combo, FALSE);
    ::SendMessageW(combo, CB_SETCURSEL, actual, 0);
    Load();
    return TRUE;
  }

  LRESULT OnProfile(WORD, WORD, HWND combo, bool&) {
    const LRESULT chosen = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (chosen >= 0 && SUCCEEDED(o_->SetActual(static_cast<short>(chosen)))) Load();
    return 0;
  }

  LRESULT OnSave(WORD, WORD, HWND, bool&) {
    if (!Store()) return 0;
    o_->UpdateProfile();
    o_->SaveData();
    EndDialog(IDOK);
    return 0;
  }

  LRESULT OnCancel(WORD, WORD, HWND, bool&) {
    EndDialog(IDCANCEL);
    return 0;
  }

  ITessera* o_;
};

// The window after "-h" on the command line, or null.
HWND OwnerFromCommandLine(const wchar_t* commandLine) {
  const wchar_t* h = commandLine ? std::wcsstr(commandLine, L"-h") : nullptr;
  if (!h) return nullptr;
  const long value = std::wcstol(h + 2, nullptr, 10);
  HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
  return ::IsWindow(owner) ? owner : nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  int result = 1;
  try {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    {
      w32::ComPtr<ITessera> options;
      CLSID clsid{};
      if (SUCCEEDED(::CLSIDFromProgID(L"Tessera", &clsid)) &&
          SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_ITessera, options.PutVoid()))) {
        CSettingsDlg dialog(options.Get());
        result = dialog.DoModal(instance, IDD_SETTINGS, OwnerFromCommandLine(commandLine)) == IDOK ? 0 : 2;
      } else {
        ::MessageBoxW(nullptr, L"Cannot connect to ITessera !", L"Inkwell settings",
                      MB_OK | MB_ICONINFORMATION);
      }
    }
    ::CoUninitialize();
  } catch (...) {
    result = 1;
  }
  return result;
}
