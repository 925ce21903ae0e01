// The job's own options object, created by ProgID "Tessera".
#include <objbase.h>

#include "Tessera_h.h"
#include "conversion/com_error.h"
#include "conversion/emf_to_pdf_converter.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"

namespace {

class TesseraOptions : public IJobOptions {
 public:
  explicit TesseraOptions(w32::ComPtr<ITessera> object) : o_(std::move(object)) {}

  long Number(JobOption option) override {
    long value = 0;
    HRESULT hr = E_INVALIDARG;
    switch (option) {
      case JobOption::ShowErrorMessages: hr = o_->get_ShowErrorMessages(&value); break;
      case JobOption::OverwriteFileIfExist: hr = o_->get_OverwriteFileIfExist(&value); break;
      case JobOption::CreateDirectoryIfNotExist: hr = o_->get_CreateDirectoryIfNotExist(&value); break;
      case JobOption::Mode: hr = Enum(&ITessera::get_Mode, value); break;
      case JobOption::Layout: hr = Enum(&ITessera::get_Layout, value); break;
      case JobOption::Compression: hr = Enum(&ITessera::get_Compression, value); break;
      case JobOption::KeyLength: hr = Enum(&ITessera::get_KeyLength, value); break;
      case JobOption::PdfProtectionEnabled: hr = o_->get_PdfProtectionEnabled(&value); break;
      case JobOption::EnableCopyInformation: hr = o_->get_EnableCopyInformation(&value); break;
      case JobOption::EnablePrinting: hr = o_->get_EnablePrinting(&value); break;
      case JobOption::EnableModifyAnnotation: hr = o_->get_EnableModifyAnnotation(&value); break;
      case JobOption::EnableModifyStructure: hr = o_->get_EnableModifyStructure(&value); break;
      case JobOption::UsingTargetFile: hr = o_->get_UsingTargetFile(&value); break;
      default: break;
    }
    ThrowIfFailed(hr, JobOptionName(option));
    return value;
  }

  std::string Text(JobOption option) override {
    w32::Bstr value;
    HRESULT hr = E_INVALIDARG;
    switch (option) {
      case JobOption::Title: hr = o_->get_Title(value.Put()); break;
      case JobOption::Author: hr = o_->get_Author(value.Put()); break;
      case JobOption::Subject: hr = o_->get_Subject(value.Put()); break;
      case JobOption::Keywords: hr = o_->get_Keywords(value.Put()); break;
      case JobOption::UserPassword: hr = o_->get_UserPassword(value.Put()); break;
      case JobOption::OwnerPassword: hr = o_->get_OwnerPassword(value.Put()); break;
      case JobOption::TargetFile: hr = o_->get_TargetFile(value.Put()); break;
      case JobOption::TargetDir: hr = o_->get_TargetDir(value.Put()); break;
      default: break;
    }
    ThrowIfFailed(hr, JobOptionName(option));
    std::string text;
    ThrowIfFailed(w32::NarrowFromBstr(value.Get(), text), JobOptionName(option));
    return text;
  }

 private:
  template <typename E>
  HRESULT Enum(HRESULT (STDMETHODCALLTYPE ITessera::*get)(E*), long& out) {
    E value{};
    const HRESULT hr = (o_.Get()->*get)(&value);
    out = static_cast<long>(value);
    return hr;
  }
  w32::ComPtr<ITessera> o_;
};

}  // namespace

std::unique_ptr<IJobOptions> CEmfToPdfConverter::ConnectOptions() {
  CLSID clsid;
  if (FAILED(::CLSIDFromProgID(L"Tessera", &clsid))) return nullptr;
  w32::ComPtr<ITessera> object;
  if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_ITessera, object.PutVoid())))
    return nullptr;
  return std::make_unique<TesseraOptions>(std::move(object));
}
