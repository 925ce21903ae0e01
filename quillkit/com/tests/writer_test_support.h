// What the writer's tests share: COM for the test's thread, a fresh writer
// made by ProgID, the output folder and the corpus, and the expectation files
// that check_outputs.sh verifies with the PDF tools after the tests ran.
#pragma once
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "vtable_client.h"

namespace qktest {

class ComApartment {
 public:
  ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_;
};

// A writer created by ProgID for IqkPDFDocument2 (null on failure).
class Writer {
 public:
  Writer();
  ~Writer() { Release(); }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  IUnknown* Get() const { return object_; }
  const VtableClient& Client() const { return client_; }
  HRESULT CreateResult() const { return hr_; }
  void Release() {
    if (object_) object_->Release();
    object_ = nullptr;
  }

 private:
  HRESULT hr_ = E_FAIL;
  IUnknown* object_ = nullptr;
  VtableClient client_{nullptr};
};

// The folder the tests write their PDFs and expectation files into.
std::wstring OutputFolder();
// A file of the shared EMF corpus, e.g. L"apps\\test-068.emf".
std::wstring CorpusFile(const std::wstring& relative);
// Writes `lines` as NAME.expect beside the PDFs.
void WriteExpectations(const std::wstring& name, const std::vector<std::string>& lines);
// Records an EMF that draws nothing, with a frame of the given size in 0.01 mm.
std::wstring RecordBlankEmf(const std::wstring& name, long widthHundredthMm, long heightHundredthMm);

}  // namespace qktest
