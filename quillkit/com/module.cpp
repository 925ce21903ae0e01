// The exports of quillkit.dll: the class object of "Quillkit3.PDFDocument3"
// and its registration.
#include <windows.h>

#include "pdf_document.h"
#include "w32/class_factory.h"
#include "w32/com_module.h"
#include "w32/com_registration.h"
#include "w32/module_path.h"

namespace {

w32::InprocClassRegistration Registration() {
  w32::InprocClassRegistration cls;
  cls.clsid = CLSID_QuillkitPDFDocument;
  cls.description = L"Quillkit PDF Document";
  cls.progId = L"Quillkit3.PDFDocument3";
  cls.serverPath = w32::ModulePath(w32::ComModule::Handle());
  // Each object serializes its own calls, so clients of either apartment
  // kind may use it directly; the interface has no proxy to marshal it.
  cls.threadingModel = L"Both";
  return cls;
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (IsEqualCLSID(clsid, CLSID_QuillkitPDFDocument))
    return w32::ClassFactory<quillkit::com::CPdfDocument>::Create(riid, ppv);
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return w32::ComModule::CanUnloadNow(); }

STDAPI DllRegisterServer() {
  try {
    return w32::RegisterInprocClass(Registration());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllUnregisterServer() {
  try {
    return w32::UnregisterInprocClass(Registration());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
