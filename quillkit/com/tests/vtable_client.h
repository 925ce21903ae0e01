// Calls IqkPDFDocument2 by place in its function table, as the conversion job
// does, without the interface's header: the test then checks the places
// themselves, not just the names.
#pragma once
#include <windows.h>
#include <unknwn.h>

#include <string>

namespace qktest {

// {11D3D317-C7AD-4895-8BE4-1236F78CC63A}
inline const IID kIidPdfDocument2 = {0x11D3D317, 0xC7AD, 0x4895,
                                     {0x8B, 0xE4, 0x12, 0x36, 0xF7, 0x8C, 0xC6, 0x3A}};
inline const wchar_t kProgId[] = L"Quillkit3.PDFDocument3";

enum Slot : int {
  kBeginDocument = 7,
  kEndDocument = 8,
  kOutputFileName = 10,
  kGetResolution = 11,
  kSetResolution = 12,
  kGetPageHeight = 17,
  kSetPageHeight = 18,
  kGetPageWidth = 19,
  kSetPageWidth = 20,
  kNewPage = 59,
  kFixedSetting2 = 137,
  kFixedSetting3 = 139,
  kPageLayout = 141,
  kPageMode = 143,
  kKeywords = 152,
  kSubject = 154,
  kTitle = 156,
  kAuthor = 158,
  kOwnerPassword = 203,
  kEncryption = 205,
  kUserPassword = 207,
  kPrintPermission = 209,
  kModifyStructurePermission = 211,
  kModifyAnnotationsPermission = 213,
  kCopyPermission = 215,
  kKeyLength = 225,
  kCompression = 227,
  kFixedSetting1 = 336,
  kPlayMetafile = 345,
  kFixedSetting4 = 400,
};

class VtableClient {
 public:
  explicit VtableClient(IUnknown* object) : object_(object) {}

  template <class... Args>
  HRESULT Call(int slot, Args... args) const {
    using Fn = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, Args...);
    void** table = *reinterpret_cast<void***>(object_);
    return reinterpret_cast<Fn>(table[slot])(object_, args...);
  }
  HRESULT Text(int slot, const std::wstring& text) const {
    BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    const HRESULT hr = Call(slot, b);
    SysFreeString(b);
    return hr;
  }
  long Get(int slot) const {
    long value = -1;
    if (FAILED(Call(slot, &value))) return -1;
    return value;
  }
  HRESULT Play(HENHMETAFILE emf, double x, double y, double sx, double sy) const {
    return Call(kPlayMetafile, emf, x, y, sx, sy);
  }

 private:
  IUnknown* object_;
};

}  // namespace qktest
