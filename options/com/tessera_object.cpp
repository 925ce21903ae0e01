#include "tessera_object.h"

#include <new>
#include <string>

#include "password_scrambler.h"
#include "w32/bstr.h"

namespace {

// Runs a member body that may allocate; nothing escapes to the caller.
template <class F>
HRESULT Guarded(F body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

template <class T, class V>
HRESULT Put(T* out, V value) noexcept {
  if (!out) return E_POINTER;
  *out = static_cast<T>(value);
  return S_OK;
}

// Texts are converted with the calling thread's ANSI code page, both ways.
HRESULT GetText(BSTR* out, const std::string& text) noexcept {
  return w32::BstrFromNarrow(text, out, CP_THREAD_ACP);
}

// The text of a BSTR in the thread's ANSI code page. Texts are kept one per
// line in the options file, so a line break or a zero in them would cut the
// value and break the lines after it: such texts are refused.
HRESULT ReadText(BSTR in, std::string& out) noexcept {
  std::string text;
  const HRESULT hr = w32::NarrowFromBstr(in, text, CP_THREAD_ACP);
  if (FAILED(hr)) return hr;
  if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return E_INVALIDARG;
  out.swap(text);
  return S_OK;
}

HRESULT SetText(BSTR in, std::string& field) noexcept { return ReadText(in, field); }

// A password must come back whole from the file, whose values are read back to
// 1023 characters: its hex form limits it to 511 bytes.
HRESULT SetPassword(BSTR in, std::string& field) noexcept {
  std::string text;
  const HRESULT hr = ReadText(in, text);
  if (FAILED(hr)) return hr;
  if (text.size() > kMaxStoredPasswordBytes) return E_INVALIDARG;
  field.swap(text);
  return S_OK;
}

// Enumerations compare as unsigned numbers, so negative values are refused.
HRESULT SetEnum(long value, unsigned long low, unsigned long high, long& field) noexcept {
  const unsigned long v = static_cast<unsigned long>(value);
  if (v < low || v > high) return E_INVALIDARG;
  field = value;
  return S_OK;
}

HRESULT SetColorMode(short value, long& field) noexcept {
  switch (value) {
    case 1: case 4: case 8: case 9: case 24:
      field = value;
      return S_OK;
    default:
      return E_INVALIDARG;
  }
}

// VARIANT_BOOL values are kept sign-extended and handed back as their low 16 bits.
HRESULT GetFlag(VARIANT_BOOL* out, long field) noexcept {
  return Put(out, static_cast<VARIANT_BOOL>(static_cast<unsigned short>(field & 0xFFFF)));
}
HRESULT SetFlag(VARIANT_BOOL value, long& field) noexcept {
  field = static_cast<long>(static_cast<short>(value));
  return S_OK;
}

// Profile names are passed as a pointer to a BSTR.
HRESULT ReadName(const BSTR* in, std::string& out) noexcept {
  if (!in) return E_POINTER;
  return ReadText(*in, out);
}

}  // namespace

CTessera::CTessera() : store_(COptionsStore::DefaultFilePath()) {}

CTessera::~CTessera() {
  try {
    store_.SaveAll();
  } catch (...) {
    // The state is lost, but a destructor reached from Release must not throw.
  }
}

// --- Working options --------------------------------------------------------

#define TESSERA_ENUM_PROPERTY(Name, Type, Field, Low, High)                        \
  HRESULT CTessera::get_##Name(Type* pVal) { return Put(pVal, store_.Field); }     \
  HRESULT CTessera::put_##Name(Type newVal) {                                     \
    return SetEnum(static_cast<long>(newVal), Low, High, store_.Field);           \
  }
#define TESSERA_SWITCH_PROPERTY(Name, Field)                                       \
  HRESULT CTessera::get_##Name(LONG* pVal) { return Put(pVal, store_.Field); }     \
  HRESULT CTessera::put_##Name(LONG newVal) {                                     \
    store_.Field = newVal;                                                         \
    return S_OK;                                                                   \
  }
#define TESSERA_TEXT_PROPERTY(Name, Field)                                         \
  HRESULT CTessera::get_##Name(BSTR* pVal) { return GetText(pVal, store_.Field); } \
  HRESULT CTessera::put_##Name(BSTR newVal) { return SetText(newVal, store_.Field); }
#define TESSERA_COLOR_MODE_PROPERTY(Name, Field)                                   \
  HRESULT CTessera::get_##Name(short* pVal) { return Put(pVal, store_.Field); }    \
  HRESULT CTessera::put_##Name(short newVal) { return SetColorMode(newVal, store_.Field); }
#define TESSERA_FLAG_PROPERTY(Name, Field)                                         \
  HRESULT CTessera::get_##Name(VARIANT_BOOL* pVal) { return GetFlag(pVal, store_.Field); } \
  HRESULT CTessera::put_##Name(VARIANT_BOOL newVal) { return SetFlag(newVal, store_.Field); }

TESSERA_ENUM_PROPERTY(Compression, PDFCompression, Working().Compression, 0, 1)
TESSERA_ENUM_PROPERTY(Layout, PageLayout, Working().Layout, 0, 3)
TESSERA_ENUM_PROPERTY(Version, PDFVersion, Working().Version, 0, 1)
TESSERA_ENUM_PROPERTY(Mode, PageMode, Working().Mode, 0, 3)
TESSERA_ENUM_PROPERTY(KeyLength, CryptoKeyLength, Working().KeyLength, 0, 1)
TESSERA_ENUM_PROPERTY(BWImageCompression, BWCompression, Working().BWImageCompression, 2, 4)
TESSERA_ENUM_PROPERTY(ColorImageCompression, ColorCompression, Working().ColorImageCompression,
                      0, 1)

TESSERA_SWITCH_PROPERTY(PdfProtectionEnabled, Working().PdfProtectionEnabled)
TESSERA_SWITCH_PROPERTY(EnableCopyInformation, Working().EnableCopyInformation)
TESSERA_SWITCH_PROPERTY(EnableModifyAnnotation, Working().EnableModifyAnnotation)
TESSERA_SWITCH_PROPERTY(EnableModifyStructure, Working().EnableModifyStructure)
TESSERA_SWITCH_PROPERTY(EnablePrinting, Working().EnablePrinting)
TESSERA_SWITCH_PROPERTY(URL_Autodetection, Working().URL_Autodetection)
TESSERA_SWITCH_PROPERTY(UseBookmarks, Working().UseBookmarks)

HRESULT CTessera::get_UserPassword(BSTR* pVal) { return GetText(pVal, store_.Working().UserPassword); }
HRESULT CTessera::put_UserPassword(BSTR newVal) {
  return SetPassword(newVal, store_.Working().UserPassword);
}
HRESULT CTessera::get_OwnerPassword(BSTR* pVal) {
  return GetText(pVal, store_.Working().OwnerPassword);
}
HRESULT CTessera::put_OwnerPassword(BSTR newVal) {
  return SetPassword(newVal, store_.Working().OwnerPassword);
}
TESSERA_TEXT_PROPERTY(Title, Working().Title)
TESSERA_TEXT_PROPERTY(Author, Working().Author)
TESSERA_TEXT_PROPERTY(Subject, Working().Subject)
TESSERA_TEXT_PROPERTY(Keywords, Working().Keywords)

// --- Printer settings -------------------------------------------------------

TESSERA_TEXT_PROPERTY(TargetFile, Printer().TargetFile)
TESSERA_TEXT_PROPERTY(TargetDir, Printer().TargetDir)
TESSERA_SWITCH_PROPERTY(ShowErrorMessages, Printer().ShowErrorMessages)
TESSERA_SWITCH_PROPERTY(SilentMode, Printer().SilentMode)
TESSERA_SWITCH_PROPERTY(CreateDirectoryIfNotExist, Printer().CreateDirectoryIfNotExist)
TESSERA_SWITCH_PROPERTY(OverwriteFileIfExist, Printer().OverwriteFileIfExist)
TESSERA_SWITCH_PROPERTY(UsingTargetFile, Printer().UsingTargetFile)
TESSERA_SWITCH_PROPERTY(TIFF_MULTIPAGE, Printer().TIFF_MULTIPAGE)
TESSERA_SWITCH_PROPERTY(JPEG_GRAYSCALE, Printer().JPEG_GRAYSCALE)
TESSERA_SWITCH_PROPERTY(MultiDocMode, Printer().MultiDocMode)
TESSERA_COLOR_MODE_PROPERTY(TIFF_COLORMODE, Printer().TIFF_COLORMODE)
TESSERA_COLOR_MODE_PROPERTY(BMP_COLORMODE, Printer().BMP_COLORMODE)
TESSERA_COLOR_MODE_PROPERTY(PNG_COLORMODE, Printer().PNG_COLORMODE)
TESSERA_ENUM_PROPERTY(OutputType, OutputFormat, Printer().OutputType, 0, 5)
TESSERA_ENUM_PROPERTY(MultiDocumentState, MultiDocState, Printer().MultiDocumentState, 0, 2)
TESSERA_FLAG_PROPERTY(PutWatermarks, Printer().PutWatermarks)
TESSERA_FLAG_PROPERTY(FirstPageSeparate, Printer().FirstPageSeparate)
TESSERA_FLAG_PROPERTY(WatermarkOnTheTop, Printer().WatermarkOnTheTop)
TESSERA_TEXT_PROPERTY(WatermarksFile, Printer().WatermarksFile)
TESSERA_TEXT_PROPERTY(WatermarksFileLandscape, Printer().WatermarksFileLandscape)
TESSERA_TEXT_PROPERTY(FirstPageWatermarkFile, Printer().FirstPageWatermarkFile)
TESSERA_TEXT_PROPERTY(FirstPageWatermarkFileLandscape, Printer().FirstPageWatermarkFileLandscape)

HRESULT CTessera::get_JPEG_COMPRESSION(short* pVal) {
  return Put(pVal, store_.Printer().JPEG_COMPRESSION);
}
HRESULT CTessera::put_JPEG_COMPRESSION(short newVal) {
  // Compared as an unsigned 16-bit number: -1 is 65535 and refused.
  if (static_cast<unsigned short>(newVal) > 255) return E_INVALIDARG;
  store_.Printer().JPEG_COMPRESSION = newVal;
  return S_OK;
}

#undef TESSERA_ENUM_PROPERTY
#undef TESSERA_SWITCH_PROPERTY
#undef TESSERA_TEXT_PROPERTY
#undef TESSERA_COLOR_MODE_PROPERTY
#undef TESSERA_FLAG_PROPERTY

// --- Saving and profiles ----------------------------------------------------

HRESULT CTessera::SaveData() {
  return Guarded([&] {
    store_.SaveAll();
    return S_OK;
  });
}

HRESULT CTessera::GetProfileName(short Profile, BSTR* pbstr) {
  if (!pbstr) return E_POINTER;
  *pbstr = nullptr;
  if (Profile < 0 || Profile >= store_.Count()) return E_INVALIDARG;
  return GetText(pbstr, store_.Profiles()[static_cast<size_t>(Profile)].Name);
}

HRESULT CTessera::AddProfile(BSTR* pbszProfileName) {
  std::string name;
  const HRESULT hr = ReadName(pbszProfileName, name);
  if (FAILED(hr)) return hr;
  return Guarded([&] { return store_.AddProfile(name) ? S_OK : E_INVALIDARG; });
}

HRESULT CTessera::GetProfilesCount(short* pCount) { return Put(pCount, store_.Count()); }

HRESULT CTessera::SetActual(short Actual) {
  return Guarded([&] { return store_.SetActual(Actual) ? S_OK : E_INVALIDARG; });
}

HRESULT CTessera::GetActual(short* pActual) { return Put(pActual, store_.Actual()); }

HRESULT CTessera::IsProfileNameExist(BSTR* pbszProfileName, LONG* pbUnique) {
  if (!pbUnique) return E_POINTER;
  std::string name;
  HRESULT hr = ReadName(pbszProfileName, name);
  if (hr == E_INVALIDARG) {
    *pbUnique = 0;  // a name no profile can have
    return S_OK;
  }
  if (FAILED(hr)) return hr;
  *pbUnique = store_.IsProfileNameExist(name) ? 1 : 0;
  return S_OK;
}

HRESULT CTessera::GetCurrentProfileName(BSTR* pbstr) {
  if (!pbstr) return E_POINTER;
  *pbstr = nullptr;
  const long actual = store_.Actual();
  if (actual < 0 || actual >= store_.Count()) return E_INVALIDARG;
  return GetText(pbstr, store_.Profiles()[static_cast<size_t>(actual)].Name);
}

HRESULT CTessera::IsOptionsExist(LONG* pbUnique) {
  return Put(pbUnique, store_.IsOptionsExist() ? 1 : 0);
}

HRESULT CTessera::RemoveProfile(short Profile) {
  return Guarded([&] { return store_.RemoveProfile(Profile) ? S_OK : E_INVALIDARG; });
}

HRESULT CTessera::RemoveProfileWithName(BSTR* pbszProfileName) {
  std::string name;
  const HRESULT hr = ReadName(pbszProfileName, name);
  if (FAILED(hr)) return hr;
  return Guarded([&] { return store_.RemoveProfileWithName(name) ? S_OK : E_INVALIDARG; });
}

HRESULT CTessera::UpdateProfile() {
  return Guarded([&] { return store_.UpdateProfile() ? S_OK : E_INVALIDARG; });
}
