// The options object: ITessera over the options store. Every property reads or
// writes the store in memory; the store reaches the file through SaveData, the
// profile methods and the object's final release. A rejected value is
// E_INVALIDARG and leaves the old one. Apartment-threaded: no locks.
#pragma once
#include <windows.h>

#include "Tessera_h.h"
#include "options_store.h"
#include "w32/com_object.h"
#include "w32/dispatch_impl.h"

class CTessera final : public w32::ComObject<CTessera, w32::DispatchImpl<ITessera>> {
 public:
  static constexpr bool kAggregatable = true;

  // Reads the user's options file (creating its default profile when needed)
  // and makes the last used profile actual.
  CTessera();
  // Writes the whole state back to the file.
  ~CTessera();

  // Working options (profile scope).
  HRESULT STDMETHODCALLTYPE get_Compression(PDFCompression* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Compression(PDFCompression newVal) override;
  HRESULT STDMETHODCALLTYPE get_Layout(PageLayout* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Layout(PageLayout newVal) override;
  HRESULT STDMETHODCALLTYPE get_Version(PDFVersion* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Version(PDFVersion newVal) override;
  HRESULT STDMETHODCALLTYPE get_Mode(PageMode* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Mode(PageMode newVal) override;
  HRESULT STDMETHODCALLTYPE get_KeyLength(CryptoKeyLength* pVal) override;
  HRESULT STDMETHODCALLTYPE put_KeyLength(CryptoKeyLength newVal) override;
  HRESULT STDMETHODCALLTYPE get_BWImageCompression(BWCompression* pVal) override;
  HRESULT STDMETHODCALLTYPE put_BWImageCompression(BWCompression newVal) override;

  // Printer settings.
  HRESULT STDMETHODCALLTYPE get_TargetFile(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_TargetFile(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_TargetDir(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_TargetDir(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_ShowErrorMessages(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ShowErrorMessages(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_SilentMode(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_SilentMode(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_CreateDirectoryIfNotExist(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_CreateDirectoryIfNotExist(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_OverwriteFileIfExist(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_OverwriteFileIfExist(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_UsingTargetFile(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UsingTargetFile(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_JPEG_COMPRESSION(short* pVal) override;
  HRESULT STDMETHODCALLTYPE put_JPEG_COMPRESSION(short newVal) override;
  HRESULT STDMETHODCALLTYPE get_TIFF_COLORMODE(short* pVal) override;
  HRESULT STDMETHODCALLTYPE put_TIFF_COLORMODE(short newVal) override;
  HRESULT STDMETHODCALLTYPE get_TIFF_MULTIPAGE(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_TIFF_MULTIPAGE(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_BMP_COLORMODE(short* pVal) override;
  HRESULT STDMETHODCALLTYPE put_BMP_COLORMODE(short newVal) override;
  HRESULT STDMETHODCALLTYPE get_PNG_COLORMODE(short* pVal) override;
  HRESULT STDMETHODCALLTYPE put_PNG_COLORMODE(short newVal) override;

  // Protection, passwords and document information (profile scope).
  HRESULT STDMETHODCALLTYPE get_PdfProtectionEnabled(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_PdfProtectionEnabled(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_EnableCopyInformation(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_EnableCopyInformation(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_EnableModifyAnnotation(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_EnableModifyAnnotation(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_EnableModifyStructure(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_EnableModifyStructure(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_EnablePrinting(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_EnablePrinting(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_UserPassword(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UserPassword(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_OwnerPassword(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_OwnerPassword(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_Title(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Title(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_Author(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Author(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_Subject(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Subject(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_Keywords(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_Keywords(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_URL_Autodetection(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_URL_Autodetection(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_JPEG_GRAYSCALE(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_JPEG_GRAYSCALE(LONG newVal) override;

  // Saving and profiles.
  HRESULT STDMETHODCALLTYPE SaveData() override;
  HRESULT STDMETHODCALLTYPE GetProfileName(short Profile, BSTR* pbstr) override;
  HRESULT STDMETHODCALLTYPE AddProfile(BSTR* pbszProfileName) override;
  HRESULT STDMETHODCALLTYPE GetProfilesCount(short* pCount) override;
  HRESULT STDMETHODCALLTYPE SetActual(short Actual) override;
  HRESULT STDMETHODCALLTYPE GetActual(short* pActual) override;
  HRESULT STDMETHODCALLTYPE IsProfileNameExist(BSTR* pbszProfileName, LONG* pbUnique) override;
  HRESULT STDMETHODCALLTYPE GetCurrentProfileName(BSTR* pbstr) override;
  HRESULT STDMETHODCALLTYPE IsOptionsExist(LONG* pbUnique) override;
  HRESULT STDMETHODCALLTYPE RemoveProfile(short Profile) override;
  HRESULT STDMETHODCALLTYPE RemoveProfileWithName(BSTR* pbszProfileName) override;
  HRESULT STDMETHODCALLTYPE UpdateProfile() override;

  // The members at the end of the vtable: bookmarks, colour images, output
  // type, multi-document collection and watermarks.
  HRESULT STDMETHODCALLTYPE get_UseBookmarks(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UseBookmarks(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_ColorImageCompression(ColorCompression* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ColorImageCompression(ColorCompression newVal) override;
  HRESULT STDMETHODCALLTYPE get_OutputType(OutputFormat* pVal) override;
  HRESULT STDMETHODCALLTYPE put_OutputType(OutputFormat newVal) override;
  HRESULT STDMETHODCALLTYPE get_MultiDocMode(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_MultiDocMode(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_MultiDocumentState(MultiDocState* pVal) override;
  HRESULT STDMETHODCALLTYPE put_MultiDocumentState(MultiDocState newVal) override;
  HRESULT STDMETHODCALLTYPE get_PutWatermarks(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_PutWatermarks(VARIANT_BOOL newVal) override;
  HRESULT STDMETHODCALLTYPE get_WatermarksFile(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_WatermarksFile(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_FirstPageSeparate(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_FirstPageSeparate(VARIANT_BOOL newVal) override;
  HRESULT STDMETHODCALLTYPE get_FirstPageWatermarkFile(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_FirstPageWatermarkFile(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_WatermarkOnTheTop(VARIANT_BOOL* pVal) override;
  HRESULT STDMETHODCALLTYPE put_WatermarkOnTheTop(VARIANT_BOOL newVal) override;
  HRESULT STDMETHODCALLTYPE get_WatermarksFileLandscape(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_WatermarksFileLandscape(BSTR newVal) override;
  HRESULT STDMETHODCALLTYPE get_FirstPageWatermarkFileLandscape(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE put_FirstPageWatermarkFileLandscape(BSTR newVal) override;

 private:
  COptionsStore store_;
};
