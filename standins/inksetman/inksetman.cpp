// inksetman.exe: the settings manager the client starts from "Adjust
// settings" with "-s -o -c <printer> -h<window>" (outside the system; a small
// but real editor over the options object). It edits the PDF options of the
// chosen profile (compression, layout, version, page mode, key length,
// links, bookmarks, document information, security), adds and removes
// profiles, and edits the printer settings (target file or folder,
// overwriting, folders, messages, output type) and the watermarks, then
// saves them to the options file.
//
// The default profile keeps its options: changed PDF options under it are
// kept by adding them as a new profile. Exit code 0 saved, 2 cancelled,
// 1 the options object is missing.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "Tessera_h.h"
#include "resource.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"
#include "w32/dialog.h"

namespace {

const wchar_t kCaption[] = L"Inkwell settings";

std::wstring Text(HWND dialog, int id) {
  HWND item = ::GetDlgItem(dialog, id);
  const int n = item ? ::GetWindowTextLengthW(item) : 0;
  if (n <= 0) return L"";
  std::vector<wchar_t> buffer(static_cast<size_t>(n) + 1, L'\0');
  ::GetWindowTextW(item, buffer.data(), n + 1);
  return buffer.data();
}

// What the command line says: the printer after "-c", the owner window
// after "-h" (joined, "-h123", or apart, "-h 123"); "-s" and "-o" ask for
// the settings and the options, which this editor always shows.
struct Arguments {
  std::wstring printer;
  HWND owner = nullptr;
};

Arguments ParseArguments() {
  Arguments a;
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv) return a;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    std::wstring handle;
    if (arg == L"-c" && i + 1 < argc) a.printer = argv[++i];
    else if (arg == L"-h" && i + 1 < argc) handle = argv[++i];
    else if (arg.size() > 2 && arg.compare(0, 2, L"-h") == 0) handle = arg.substr(2);
    if (!handle.empty()) {
      wchar_t* end = nullptr;
      const long value = std::wcstol(handle.c_str(), &end, 10);
      HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
      if (end && *end == L'\0' && ::IsWindow(owner)) a.owner = owner;
    }
  }
  ::LocalFree(argv);
  return a;
}

class CSettingsDlg : public w32::Dialog {
 public:
  CSettingsDlg(ITessera* options, std::wstring printer) : o_(options), printer_(std::move(printer)) {
    BuildFields();
  }

  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_INITDIALOG, OnInit)
    W32_COMMAND_HANDLER(IDC_PROFILE, CBN_SELCHANGE, OnProfile)
    W32_COMMAND_ID_HANDLER(IDC_ADD_PROFILE, OnAddProfile)
    W32_COMMAND_ID_HANDLER(IDC_REMOVE_PROFILE, OnRemoveProfile)
    W32_COMMAND_ID_HANDLER(IDOK, OnSave)
    W32_COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  W32_END_MSG_MAP()

 private:
  enum class Kind { Text, Check, Choice };
  // One control and how it reaches its property. `profile`: the value is
  // one of the profile's PDF options (else a printer setting).
  struct Field {
    int id;
    Kind kind;
    bool profile;
    std::function<HRESULT(std::wstring&)> getText;
    std::function<HRESULT(const std::wstring&)> putText;
    std::function<HRESULT(long&)> getNumber;
    std::function<HRESULT(long)> putNumber;
    std::vector<const wchar_t*> choices;  // Kind::Choice: the labels of 0, 1, ...
  };

  using GetBstr = HRESULT (STDMETHODCALLTYPE ITessera::*)(BSTR*);
  using PutBstr = HRESULT (STDMETHODCALLTYPE ITessera::*)(BSTR);
  using GetLong = HRESULT (STDMETHODCALLTYPE ITessera::*)(long*);
  using PutLong = HRESULT (STDMETHODCALLTYPE ITessera::*)(long);
  using GetBool = HRESULT (STDMETHODCALLTYPE ITessera::*)(VARIANT_BOOL*);
  using PutBool = HRESULT (STDMETHODCALLTYPE ITessera::*)(VARIANT_BOOL);

  void AddText(int id, bool profile, GetBstr get, PutBstr put) {
    Field f{id, Kind::Text, profile};
    f.getText = [this, get](std::wstring& out) {
      w32::Bstr value;
      const HRESULT hr = (o_->*get)(value.Put());
      if (SUCCEEDED(hr)) out.assign(value.View());
      return hr;
    };
    f.putText = [this, put](const std::wstring& in) {
      w32::Bstr value;
      const HRESULT hr = w32::BstrFromWide(in, value.Put());
      return FAILED(hr) ? hr : (o_->*put)(value.Get());
    };
    fields_.push_back(std::move(f));
  }
  void AddCheck(int id, bool profile, GetLong get, PutLong put) {
    Field f{id, Kind::Check, profile};
    f.getNumber = [this, get](long& out) { return (o_->*get)(&out); };
    f.putNumber = [this, put](long in) { return (o_->*put)(in); };
    fields_.push_back(std::move(f));
  }
  void AddFlag(int id, GetBool get, PutBool put) {
    Field f{id, Kind::Check, false};
    f.getNumber = [this, get](long& out) {
      VARIANT_BOOL v = VARIANT_FALSE;
      const HRESULT hr = (o_->*get)(&v);
      out = v != 0;
      return hr;
    };
    f.putNumber = [this, put](long in) { return (o_->*put)(in ? VARIANT_TRUE : VARIANT_FALSE); };
    fields_.push_back(std::move(f));
  }
  // An enumerated option shown as a list; `first` is the value of the first label.
  template <class E>
  void AddChoice(int id, bool profile, HRESULT (STDMETHODCALLTYPE ITessera::*get)(E*),
                 HRESULT (STDMETHODCALLTYPE ITessera::*put)(E), std::vector<const wchar_t*> labels) {
    Field f{id, Kind::Choice, profile};
    f.getNumber = [this, get](long& out) {
      E v{};
      const HRESULT hr = (o_->*get)(&v);
      out = static_cast<long>(v);
      return hr;
    };
    f.putNumber = [this, put](long in) { return (o_->*put)(static_cast<E>(in)); };
    f.choices = std::move(labels);
    fields_.push_back(std::move(f));
  }

  void BuildFields() {
    AddChoice(IDC_COMPRESSION, true, &ITessera::get_Compression, &ITessera::put_Compression,
              {L"None", L"Flate"});
    AddChoice(IDC_LAYOUT, true, &ITessera::get_Layout, &ITessera::put_Layout,
              {L"Single page", L"One column", L"Two columns, odd pages left",
               L"Two columns, odd pages right"});
    AddChoice(IDC_VERSION, true, &ITessera::get_Version, &ITessera::put_Version,
              {L"Acrobat 4 (PDF 1.3)", L"Acrobat 5 (PDF 1.4)"});
    AddChoice(IDC_PAGE_MODE, true, &ITessera::get_Mode, &ITessera::put_Mode,
              {L"The page alone", L"Bookmarks", L"Thumbnails", L"Full screen"});
    AddChoice(IDC_KEY_LENGTH, true, &ITessera::get_KeyLength, &ITessera::put_KeyLength,
              {L"40 bits", L"128 bits"});
    AddCheck(IDC_URL_DETECTION, true, &ITessera::get_URL_Autodetection, &ITessera::put_URL_Autodetection);
    AddCheck(IDC_BOOKMARKS, true, &ITessera::get_UseBookmarks, &ITessera::put_UseBookmarks);
    AddText(IDC_TITLE, true, &ITessera::get_Title, &ITessera::put_Title);
    AddText(IDC_AUTHOR, true, &ITessera::get_Author, &ITessera::put_Author);
    AddText(IDC_SUBJECT, true, &ITessera::get_Subject, &ITessera::put_Subject);
    AddText(IDC_KEYWORDS, true, &ITessera::get_Keywords, &ITessera::put_Keywords);
    AddCheck(IDC_PROTECT, true, &ITessera::get_PdfProtectionEnabled, &ITessera::put_PdfProtectionEnabled);
    AddCheck(IDC_ALLOW_PRINTING, true, &ITessera::get_EnablePrinting, &ITessera::put_EnablePrinting);
    AddCheck(IDC_ALLOW_COPYING, true, &ITessera::get_EnableCopyInformation,
             &ITessera::put_EnableCopyInformation);
    AddCheck(IDC_ALLOW_ANNOTATIONS, true, &ITessera::get_EnableModifyAnnotation,
             &ITessera::put_EnableModifyAnnotation);
    AddCheck(IDC_ALLOW_CHANGES, true, &ITessera::get_EnableModifyStructure,
             &ITessera::put_EnableModifyStructure);
    AddText(IDC_USER_PASSWORD, true, &ITessera::get_UserPassword, &ITessera::put_UserPassword);
    AddText(IDC_OWNER_PASSWORD, true, &ITessera::get_OwnerPassword, &ITessera::put_OwnerPassword);

    AddCheck(IDC_USING_TARGET_FILE, false, &ITessera::get_UsingTargetFile, &ITessera::put_UsingTargetFile);
    AddText(IDC_TARGET_FILE, false, &ITessera::get_TargetFile, &ITessera::put_TargetFile);
    AddText(IDC_TARGET_DIR, false, &ITessera::get_TargetDir, &ITessera::put_TargetDir);
    AddCheck(IDC_OVERWRITE, false, &ITessera::get_OverwriteFileIfExist, &ITessera::put_OverwriteFileIfExist);
    AddCheck(IDC_CREATE_DIR, false, &ITessera::get_CreateDirectoryIfNotExist,
             &ITessera::put_CreateDirectoryIfNotExist);
    AddCheck(IDC_SHOW_ERRORS, false, &ITessera::get_ShowErrorMessages, &ITessera::put_ShowErrorMessages);
    AddCheck(IDC_SILENT, false, &ITessera::get_SilentMode, &ITessera::put_SilentMode);
    AddChoice(IDC_OUTPUT_TYPE, false, &ITessera::get_OutputType, &ITessera::put_OutputType,
              {L"PDF", L"BMP", L"JPEG", L"PNG", L"TIFF", L"EMF"});

    AddFlag(IDC_WATERMARKS, &ITessera::get_PutWatermarks, &ITessera::put_PutWatermarks);
    AddFlag(IDC_WATERMARK_ON_TOP, &ITessera::get_WatermarkOnTheTop, &ITessera::put_WatermarkOnTheTop);
    AddFlag(IDC_FIRST_PAGE_SEPARATE, &ITessera::get_FirstPageSeparate, &ITessera::put_FirstPageSeparate);
    AddText(IDC_WATERMARK_FILE, false, &ITessera::get_WatermarksFile, &ITessera::put_WatermarksFile);
    AddText(IDC_WATERMARK_LANDSCAPE, false, &ITessera::get_WatermarksFileLandscape,
            &ITessera::put_WatermarksFileLandscape);
    AddText(IDC_FIRST_WATERMARK, false, &ITessera::get_FirstPageWatermarkFile,
            &ITessera::put_FirstPageWatermarkFile);
    AddText(IDC_FIRST_WATERMARK_LANDSCAPE, false, &ITessera::get_FirstPageWatermarkFileLandscape,
            &ITessera::put_FirstPageWatermarkFileLandscape);
  }

  // The controls' state of the profile's options, to tell whether they changed.
  std::vector<std::wstring> ProfileState() const {
    std::vector<std::wstring> state;
    for (const Field& f : fields_) {
      if (!f.profile) continue;
      HWND item = Item(f.id);
      switch (f.kind) {
        case Kind::Text: state.push_back(Text(Handle(), f.id)); break;
        case Kind::Check: state.push_back(::IsDlgButtonChecked(Handle(), f.id) ? L"1" : L"0"); break;
        case Kind::Choice:
          state.push_back(std::to_wstring(::SendMessageW(item, CB_GETCURSEL, 0, 0)));
          break;
      }
    }
    return state;
  }

  void Load() {
    for (const Field& f : fields_) {
      if (f.kind == Kind::Text) {
        std::wstring value;
        if (SUCCEEDED(f.getText(value))) ::SetDlgItemTextW(Handle(), f.id, value.c_str());
        continue;
      }
      long value = 0;
      if (FAILED(f.getNumber(value))) continue;
      if (f.kind == Kind::Check)
        ::CheckDlgButton(Handle(), f.id, value ? BST_CHECKED : BST_UNCHECKED);
      else
        ::SendMessageW(Item(f.id), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
    }
    loaded_ = ProfileState();
  }

  // False when a value is refused; the refused field gets the focus.
  bool Store() {
    for (const Field& f : fields_) {
      HRESULT hr = S_OK;
      if (f.kind == Kind::Text) {
        hr = f.putText(Text(Handle(), f.id));
      } else if (f.kind == Kind::Check) {
        hr = f.putNumber(::IsDlgButtonChecked(Handle(), f.id) ? 1 : 0);
      } else {
        const LRESULT chosen = ::SendMessageW(Item(f.id), CB_GETCURSEL, 0, 0);
        if (chosen == CB_ERR) continue;  // nothing chosen: the stored value stays
        hr = f.putNumber(static_cast<long>(chosen));
      }
      if (FAILED(hr)) return Refused(f.id, L"This value is not accepted.");
    }
    return true;
  }

  bool Refused(int id, const wchar_t* text) {
    ::MessageBoxW(Handle(), text, kCaption, MB_OK | MB_ICONINFORMATION);
    if (id) ::SetFocus(Item(id));
    return false;
  }

  short Actual() {
    short actual = 0;
    return SUCCEEDED(o_->GetActual(&actual)) ? actual : 0;
  }

  void FillProfiles() {
    HWND combo = Item(IDC_PROFILE);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    short count = 0;
    o_->GetProfilesCount(&count);
    for (short i = 0; i < count; ++i) {
      w32::Bstr name;
      if (SUCCEEDED(o_->GetProfileName(i, name.Put())))
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::wstring(name.View()).c_str()));
    }
    ::EnableWindow(combo, count > 0);
    ::EnableWindow(Item(IDC_ADD_PROFILE), count > 0);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(Actual()), 0);
    ::EnableWindow(Item(IDC_REMOVE_PROFILE), Actual() > 0);
  }

  LRESULT OnInit(UINT, WPARAM, LPARAM, bool&) {
    ::SetDlgItemTextW(Handle(), IDC_PRINTER,
                      (L"Printer: " + (printer_.empty() ? std::wstring(L"(none given)") : printer_)).c_str());
    for (const Field& f : fields_)
      for (const wchar_t* label : f.choices)
        ::SendMessageW(Item(f.id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
    FillProfiles();
    Load();
    return TRUE;
  }

  LRESULT OnProfile(WORD, WORD, HWND combo, bool&) {
    const LRESULT chosen = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (chosen >= 0 && SUCCEEDED(o_->SetActual(static_cast<short>(chosen)))) Load();
    ::EnableWindow(Item(IDC_REMOVE_PROFILE), Actual() > 0);
    return 0;
  }

  LRESULT OnAddProfile(WORD, WORD, HWND, bool&) {
    const std::wstring name = Text(Handle(), IDC_PROFILE_NAME);
    if (name.empty()) return Refused(IDC_PROFILE_NAME, L"Enter a name for the new profile."), 0;
    w32::Bstr text;
    if (FAILED(w32::BstrFromWide(name, text.Put()))) return 0;
    BSTR raw = text.Get();
    long exists = 0;
    if (SUCCEEDED(o_->IsProfileNameExist(&raw, &exists)) && exists)
      return Refused(IDC_PROFILE_NAME, L"A profile of this name exists already."), 0;
    if (!Store()) return 0;
    if (FAILED(o_->AddProfile(&raw)))
      return Refused(IDC_PROFILE_NAME, L"The profile cannot be added."), 0;
    ::SetDlgItemTextW(Handle(), IDC_PROFILE_NAME, L"");
    FillProfiles();
    Load();
    return 0;
  }

  LRESULT OnRemoveProfile(WORD, WORD, HWND, bool&) {
    const short actual = Actual();
    if (actual <= 0) return Refused(0, L"The default profile cannot be removed."), 0;
    if (FAILED(o_->RemoveProfile(actual))) return Refused(0, L"The profile cannot be removed."), 0;
    o_->SetActual(0);
    FillProfiles();
    Load();
    return 0;
  }

  LRESULT OnSave(WORD, WORD, HWND, bool&) {
    const short actual = Actual();
    if (actual == 0 && ProfileState() != loaded_) {
      Refused(IDC_PROFILE_NAME,
              L"The default profile keeps its options. Enter a name under \"New profile\" and "
              L"press Add to keep these options as a profile of their own.");
      return 0;
    }
    if (!Store()) return 0;
    const HRESULT hr = actual > 0 ? o_->UpdateProfile() : o_->SaveData();
    if (FAILED(hr)) {
      Refused(0, L"The settings cannot be saved.");
      return 0;
    }
    EndDialog(IDOK);
    return 0;
  }

  LRESULT OnCancel(WORD, WORD, HWND, bool&) {
    EndDialog(IDCANCEL);
    return 0;
  }

  ITessera* o_;
  std::wstring printer_;
  std::vector<Field> fields_;
  std::vector<std::wstring> loaded_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int result = 1;
  try {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    {
      const Arguments args = ParseArguments();
      w32::ComPtr<ITessera> options;
      CLSID clsid{};
      if (SUCCEEDED(::CLSIDFromProgID(L"Tessera", &clsid)) &&
          SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_ITessera, options.PutVoid()))) {
        CSettingsDlg dialog(options.Get(), args.printer);
        result = dialog.DoModal(instance, IDD_SETTINGS, args.owner) == IDOK ? 0 : 2;
      } else {
        ::MessageBoxW(args.owner, L"Cannot connect to ITessera !", kCaption, MB_OK | MB_ICONINFORMATION);
      }
    }
    ::CoUninitialize();
  } catch (...) {
    result = 1;
  }
  return result;
}
