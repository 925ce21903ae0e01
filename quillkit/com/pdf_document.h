// The COM object behind "Quillkit3.PDFDocument3": IqkPDFDocument2 over a
// WriterSession. Every call is serialized by the object's lock (the class is
// registered for both apartment kinds), catches everything and reports
// failures as HRESULTs with an error description (ISupportErrorInfo).
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <mutex>

#include "quillkit_pdf.h"
#include "reserved_slots.h"
#include "w32/com_object.h"
#include "writer_session.h"

namespace quillkit::com {

class CPdfDocument final : public w32::ComObject<CPdfDocument, IqkPDFDocument2, ISupportErrorInfo> {
 public:
  CPdfDocument() = default;

  // IDispatch: the interface is bound by place in its function table, not by name.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

  // IqkPDFDocument2
  HRESULT STDMETHODCALLTYPE BeginDocument() override;
  HRESULT STDMETHODCALLTYPE EndDocument() override;
  HRESULT STDMETHODCALLTYPE SetOutputFileName(BSTR path) override;
  HRESULT STDMETHODCALLTYPE GetResolution(LONG* dotsPerInch) override;
  HRESULT STDMETHODCALLTYPE SetResolution(LONG dotsPerInch) override;
  HRESULT STDMETHODCALLTYPE GetPageHeight(LONG* height) override;
  HRESULT STDMETHODCALLTYPE SetPageHeight(LONG height) override;
  HRESULT STDMETHODCALLTYPE GetPageWidth(LONG* width) override;
  HRESULT STDMETHODCALLTYPE SetPageWidth(LONG width) override;
  HRESULT STDMETHODCALLTYPE NewPage() override;
  HRESULT STDMETHODCALLTYPE SetFixedSetting1(LONG value) override;
  HRESULT STDMETHODCALLTYPE SetFixedSetting2(LONG value) override;
  HRESULT STDMETHODCALLTYPE SetFixedSetting3(LONG value) override;
  HRESULT STDMETHODCALLTYPE SetFixedSetting4(LONG value) override;
  HRESULT STDMETHODCALLTYPE SetPageLayout(LONG layout) override;
  HRESULT STDMETHODCALLTYPE SetPageMode(LONG mode) override;
  HRESULT STDMETHODCALLTYPE SetKeywords(BSTR keywords) override;
  HRESULT STDMETHODCALLTYPE SetSubject(BSTR subject) override;
  HRESULT STDMETHODCALLTYPE SetTitle(BSTR title) override;
  HRESULT STDMETHODCALLTYPE SetAuthor(BSTR author) override;
  HRESULT STDMETHODCALLTYPE SetOwnerPassword(BSTR password) override;
  HRESULT STDMETHODCALLTYPE SetEncryption(LONG enabled) override;
  HRESULT STDMETHODCALLTYPE SetUserPassword(BSTR password) override;
  HRESULT STDMETHODCALLTYPE SetPrintPermission(LONG allowed) override;
  HRESULT STDMETHODCALLTYPE SetModifyStructurePermission(LONG allowed) override;
  HRESULT STDMETHODCALLTYPE SetModifyAnnotationsPermission(LONG allowed) override;
  HRESULT STDMETHODCALLTYPE SetCopyPermission(LONG allowed) override;
  HRESULT STDMETHODCALLTYPE SetKeyLength(LONG keyLength) override;
  HRESULT STDMETHODCALLTYPE SetCompression(LONG compression) override;
  HRESULT STDMETHODCALLTYPE PlayMetafile(HENHMETAFILE metafile, double x, double y, double scaleX,
                                         double scaleY) override;

#define QK_DECLARE_RESERVED(n) \
  HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }
  QK_FOR_EACH_RESERVED_SLOT(QK_DECLARE_RESERVED)
#undef QK_DECLARE_RESERVED

 private:
  // Runs `body` (returning a SessionError) under the lock, turning escaping
  // exceptions and errors into HRESULTs with error information.
  template <class Body>
  HRESULT Call(Body&& body) noexcept;
  HRESULT SetText(BSTR text, InfoField field);
  HRESULT Report(SessionError error) noexcept;

  std::mutex lock_;
  WriterSession session_;
};

}  // namespace quillkit::com
