// The job's PDF writer, created by ProgID "Quillkit3.PDFDocument3".
#include <objbase.h>

#include "conversion/com_error.h"
#include "conversion/emf_to_pdf_converter.h"
#include "quillkit_pdf.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"

namespace {

class QuillkitWriter : public IPdfWriter {
 public:
  explicit QuillkitWriter(w32::ComPtr<IqkPDFDocument2> doc) : d_(std::move(doc)) {}

  void SetFixedSetting1(long v) override { Check(d_->SetFixedSetting1(v), "SetFixedSetting1"); }
  void SetFixedSetting2(long v) override { Check(d_->SetFixedSetting2(v), "SetFixedSetting2"); }
  void SetFixedSetting3(long v) override { Check(d_->SetFixedSetting3(v), "SetFixedSetting3"); }
  void SetFixedSetting4(long v) override { Check(d_->SetFixedSetting4(v), "SetFixedSetting4"); }
  void SetPageMode(long v) override { Check(d_->SetPageMode(v), "SetPageMode"); }
  void SetPageLayout(long v) override { Check(d_->SetPageLayout(v), "SetPageLayout"); }
  void SetCompression(long v) override { Check(d_->SetCompression(v), "SetCompression"); }
  void SetTitle(const std::string& t) override { Check(d_->SetTitle(Text(t).Get()), "SetTitle"); }
  void SetAuthor(const std::string& t) override { Check(d_->SetAuthor(Text(t).Get()), "SetAuthor"); }
  void SetSubject(const std::string& t) override {
    Check(d_->SetSubject(Text(t).Get()), "SetSubject");
  }
  void SetKeywords(const std::string& t) override {
    Check(d_->SetKeywords(Text(t).Get()), "SetKeywords");
  }
  void SetEncryption(long v) override { Check(d_->SetEncryption(v), "SetEncryption"); }
  void SetCopyPermission(long v) override { Check(d_->SetCopyPermission(v), "SetCopyPermission"); }
  void SetPrintPermission(long v) override {
    Check(d_->SetPrintPermission(v), "SetPrintPermission");
  }
  void SetModifyAnnotationsPermission(long v) override {
    Check(d_->SetModifyAnnotationsPermission(v), "SetModifyAnnotationsPermission");
  }
  void SetModifyStructurePermission(long v) override {
    Check(d_->SetModifyStructurePermission(v), "SetModifyStructurePermission");
  }
  void SetKeyLength(long v) override { Check(d_->SetKeyLength(v), "SetKeyLength"); }
  void SetUserPassword(const std::string& t) override {
    Check(d_->SetUserPassword(Text(t).Get()), "SetUserPassword");
  }
  void SetOwnerPassword(const std::string& t) override {
    Check(d_->SetOwnerPassword(Text(t).Get()), "SetOwnerPassword");
  }
  void SetOutputFileName(const std::string& p) override {
    Check(d_->SetOutputFileName(Text(p).Get()), "SetOutputFileName");
  }
  void SetResolution(long v) override { Check(d_->SetResolution(v), "SetResolution"); }
  long GetResolution() override {
    long v = 0;
    Check(d_->GetResolution(&v), "GetResolution");
    return v;
  }
  void BeginDocument() override { Check(d_->BeginDocument(), "BeginDocument"); }
  void SetPageWidth(long v) override { Check(d_->SetPageWidth(v), "SetPageWidth"); }
  void SetPageHeight(long v) override { Check(d_->SetPageHeight(v), "SetPageHeight"); }
  long GetPageWidth() override {
    long v = 0;
    Check(d_->GetPageWidth(&v), "GetPageWidth");
    return v;
  }
  long GetPageHeight() override {
    long v = 0;
    Check(d_->GetPageHeight(&v), "GetPageHeight");
    return v;
  }
  void PlayMetafile(HENHMETAFILE emf, double x, double y, double sx, double sy) override {
    Check(d_->PlayMetafile(emf, x, y, sx, sy), "PlayMetafile");
  }
  void NewPage() override { Check(d_->NewPage(), "NewPage"); }
  void EndDocument() override { Check(d_->EndDocument(), "EndDocument"); }

 private:
  static void Check(HRESULT hr, const char* what) { ThrowIfFailed(hr, what); }
  static w32::Bstr Text(const std::string& text) {
    w32::Bstr b;
    ThrowIfFailed(w32::BstrFromNarrow(text, b.Put()), "text to BSTR");
    return b;
  }
  w32::ComPtr<IqkPDFDocument2> d_;
};

}  // namespace

std::unique_ptr<IPdfWriter> CEmfToPdfConverter::ConnectPdfWriter() {
  CLSID clsid;
  if (FAILED(::CLSIDFromProgID(L"Quillkit3.PDFDocument3", &clsid))) return nullptr;
  w32::ComPtr<IqkPDFDocument2> doc;
  if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IqkPDFDocument2,
                                doc.PutVoid())))
    return nullptr;
  return std::make_unique<QuillkitWriter>(std::move(doc));
}
