#include "pdf_document.h"

#include <wincrypt.h>

#include <new>
#include <string>
#include <vector>

#include "quillkit_win/gdi_font_provider.h"
#include "quillkit_win/text_decoder.h"
#include "w32/bstr.h"
#include "w32/strings.h"

namespace quillkit::com {
namespace {

HRESULT ToHresult(SessionError error) {
  switch (error) {
    case SessionError::None: return S_OK;
    case SessionError::InvalidArgument: return E_INVALIDARG;
    case SessionError::WrongState: return E_UNEXPECTED;
    case SessionError::BadHandle: return E_HANDLE;
    case SessionError::WriteFailed: return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
    case SessionError::OutOfMemory: return E_OUTOFMEMORY;
    default: return E_FAIL;
  }
}

// Sets the thread's error information to `text` for this interface.
void SetErrorText(const std::wstring& text) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return;
  create->SetGUID(IID_IqkPDFDocument2);
  create->SetSource(const_cast<LPOLESTR>(L"Quillkit3.PDFDocument3"));
  create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

// An owner password nobody knows, so that the permissions bind whoever opens
// the file with the user password. Empty when no random source is available.
std::string RandomOwnerPassword() {
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
    return {};
  BYTE bytes[16] = {};
  const BOOL ok = CryptGenRandom(provider, sizeof(bytes), bytes);
  CryptReleaseContext(provider, 0);
  if (!ok) return {};
  static const char kHex[] = "0123456789abcdef";
  std::string password;
  for (BYTE b : bytes) {
    password += kHex[b >> 4];
    password += kHex[b & 15];
  }
  return password;
}

}  // namespace

HRESULT CPdfDocument::Report(SessionError error) noexcept {
  const HRESULT hr = ToHresult(error);
  if (FAILED(hr)) {
    try {
      SetErrorText(w32::Widen(session_.LastError(), CP_UTF8));
    } catch (...) {
    }
  }
  return hr;
}

template <class Body>
HRESULT CPdfDocument::Call(Body&& body) noexcept {
  try {
    std::lock_guard<std::mutex> guard(lock_);
    return Report(body());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT CPdfDocument::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT CPdfDocument::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT CPdfDocument::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return DISP_E_UNKNOWNNAME;
}

HRESULT CPdfDocument::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT CPdfDocument::InterfaceSupportsErrorInfo(REFIID riid) {
  return IsEqualIID(riid, IID_IqkPDFDocument2) ? S_OK : S_FALSE;
}

HRESULT CPdfDocument::BeginDocument() {
  return Call([&] {
    if (!session_.Begun() && session_.EncryptionOn() && session_.OwnerPasswordEmpty()) {
      const std::string owner = RandomOwnerPassword();
      if (!owner.empty()) session_.SetOwnerPassword(owner);
    }
    // Text is embedded with the faces GDI gives the page's fonts, which are
    // the faces the application's glyph numbers belong to.
    if (!session_.Begun()) session_.SetFontProvider(quillkit::win::gdiFontProvider());
    // Double-byte 8-bit text is decoded by the system's code pages.
    if (!session_.Begun()) session_.SetTextDecoder(quillkit::win::windowsTextDecoder());
    return session_.Begin();
  });
}

HRESULT CPdfDocument::EndDocument() {
  return Call([&] { return session_.End(); });
}

HRESULT CPdfDocument::SetOutputFileName(BSTR path) {
  return Call([&] {
    std::string utf8;
    if (FAILED(w32::NarrowFromBstr(path, utf8, CP_UTF8))) return SessionError::OutOfMemory;
    return session_.SetOutputPath(utf8);
  });
}

HRESULT CPdfDocument::GetResolution(LONG* dotsPerInch) {
  if (!dotsPerInch) return E_POINTER;
  return Call([&] {
    *dotsPerInch = session_.Resolution();
    return SessionError::None;
  });
}

HRESULT CPdfDocument::SetResolution(LONG dotsPerInch) {
  return Call([&] { return session_.SetResolution(dotsPerInch); });
}

HRESULT CPdfDocument::GetPageHeight(LONG* height) {
  if (!height) return E_POINTER;
  return Call([&] {
    *height = session_.PageHeight();
    return SessionError::None;
  });
}

HRESULT CPdfDocument::SetPageHeight(LONG height) {
  return Call([&] { return session_.SetPageHeight(height); });
}

HRESULT CPdfDocument::GetPageWidth(LONG* width) {
  if (!width) return E_POINTER;
  return Call([&] {
    *width = session_.PageWidth();
    return SessionError::None;
  });
}

HRESULT CPdfDocument::SetPageWidth(LONG width) {
  return Call([&] { return session_.SetPageWidth(width); });
}

HRESULT CPdfDocument::NewPage() {
  return Call([&] { return session_.NewPage(); });
}

// The four fixed settings are accepted whatever their value and leave the
// output as it is.
HRESULT CPdfDocument::SetFixedSetting1(LONG) { return S_OK; }
HRESULT CPdfDocument::SetFixedSetting2(LONG) { return S_OK; }
HRESULT CPdfDocument::SetFixedSetting3(LONG) { return S_OK; }
HRESULT CPdfDocument::SetFixedSetting4(LONG) { return S_OK; }

HRESULT CPdfDocument::SetPageLayout(LONG layout) {
  return Call([&] { return session_.SetPageLayout(layout); });
}

HRESULT CPdfDocument::SetPageMode(LONG mode) {
  return Call([&] { return session_.SetPageMode(mode); });
}

HRESULT CPdfDocument::SetText(BSTR text, InfoField field) {
  return Call([&] {
    std::string utf8;
    if (FAILED(w32::NarrowFromBstr(text, utf8, CP_UTF8))) return SessionError::OutOfMemory;
    return session_.SetInfo(field, utf8);
  });
}

HRESULT CPdfDocument::SetKeywords(BSTR keywords) { return SetText(keywords, InfoField::Keywords); }
HRESULT CPdfDocument::SetSubject(BSTR subject) { return SetText(subject, InfoField::Subject); }
HRESULT CPdfDocument::SetTitle(BSTR title) { return SetText(title, InfoField::Title); }
HRESULT CPdfDocument::SetAuthor(BSTR author) { return SetText(author, InfoField::Author); }

HRESULT CPdfDocument::SetOwnerPassword(BSTR password) {
  return Call([&] {
    std::string utf8;
    if (FAILED(w32::NarrowFromBstr(password, utf8, CP_UTF8))) return SessionError::OutOfMemory;
    return session_.SetOwnerPassword(utf8);
  });
}

HRESULT CPdfDocument::SetUserPassword(BSTR password) {
  return Call([&] {
    std::string utf8;
    if (FAILED(w32::NarrowFromBstr(password, utf8, CP_UTF8))) return SessionError::OutOfMemory;
    return session_.SetUserPassword(utf8);
  });
}

HRESULT CPdfDocument::SetEncryption(LONG enabled) {
  return Call([&] { return session_.SetEncryption(enabled != 0); });
}

HRESULT CPdfDocument::SetPrintPermission(LONG allowed) {
  return Call([&] { return session_.SetPermission(Permission::Print, allowed != 0); });
}

HRESULT CPdfDocument::SetModifyStructurePermission(LONG allowed) {
  return Call([&] { return session_.SetPermission(Permission::ModifyStructure, allowed != 0); });
}

HRESULT CPdfDocument::SetModifyAnnotationsPermission(LONG allowed) {
  return Call([&] { return session_.SetPermission(Permission::ModifyAnnotations, allowed != 0); });
}

HRESULT CPdfDocument::SetCopyPermission(LONG allowed) {
  return Call([&] { return session_.SetPermission(Permission::Copy, allowed != 0); });
}

HRESULT CPdfDocument::SetKeyLength(LONG keyLength) {
  return Call([&] { return session_.SetKeyLength(keyLength); });
}

HRESULT CPdfDocument::SetCompression(LONG compression) {
  return Call([&] { return session_.SetCompression(compression); });
}

HRESULT CPdfDocument::PlayMetafile(HENHMETAFILE metafile, double x, double y, double scaleX,
                                   double scaleY) {
  bool partial = false;
  const HRESULT hr = Call([&] {
    // GetEnhMetaFileBits fails for anything that is not a metafile handle.
    const UINT size = metafile ? GetEnhMetaFileBits(metafile, 0, nullptr) : 0;
    if (size == 0) return session_.Play(nullptr, 0, x, y, scaleX, scaleY, nullptr);
    std::vector<BYTE> bits(size);
    if (GetEnhMetaFileBits(metafile, size, bits.data()) != size) return SessionError::BadHandle;
    return session_.Play(bits.data(), bits.size(), x, y, scaleX, scaleY, &partial);
  });
  // A damaged metafile is drawn as far as it is valid: the page and the
  // document go on, and S_FALSE tells a caller that looks.
  return hr == S_OK && partial ? S_FALSE : hr;
}

}  // namespace quillkit::com
