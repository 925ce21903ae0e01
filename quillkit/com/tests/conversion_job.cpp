#include "conversion_job.h"

#include <cmath>

#include "w32/unique_handle.h"

namespace qktest {

long JobRound(double value) {
  const double whole = std::floor(value);
  return static_cast<long>(value - whole > 0.5 ? whole + 1 : whole);
}

HRESULT RunConversionJob(const VtableClient& w, const std::wstring& target, const JobOptions& o,
                         const std::vector<JobPage>& pages, std::vector<PageSize>* sizes, int stopAfter) {
#define QK_TRY(expr)                \
  do {                              \
    const HRESULT hr_ = (expr);     \
    if (FAILED(hr_)) return hr_;    \
  } while (0)
  QK_TRY(w.Call(kFixedSetting1, 1L));
  QK_TRY(w.Call(kFixedSetting2, 0L));
  QK_TRY(w.Call(kFixedSetting3, 0L));
  QK_TRY(w.Call(kPageMode, o.mode));
  QK_TRY(w.Call(kPageLayout, o.layout));
  QK_TRY(w.Call(kCompression, o.compression));
  QK_TRY(w.Text(kTitle, o.title));
  QK_TRY(w.Text(kAuthor, o.author));
  QK_TRY(w.Text(kSubject, o.subject));
  QK_TRY(w.Text(kKeywords, o.keywords));
  if (o.protect) {
    QK_TRY(w.Call(kEncryption, 1L));
    QK_TRY(w.Call(kCopyPermission, o.copy));
    QK_TRY(w.Call(kPrintPermission, o.print));
    QK_TRY(w.Call(kModifyAnnotationsPermission, o.annotations));
    QK_TRY(w.Call(kModifyStructurePermission, o.structure));
    if (!o.userPassword.empty() || !o.ownerPassword.empty()) {
      QK_TRY(w.Call(kKeyLength, o.keyLength));
      if (!o.userPassword.empty()) QK_TRY(w.Text(kUserPassword, o.userPassword));
      if (!o.ownerPassword.empty()) QK_TRY(w.Text(kOwnerPassword, o.ownerPassword));
    }
  }
  QK_TRY(w.Text(kOutputFileName, target));
  QK_TRY(w.Call(kSetResolution, o.resolution));
  QK_TRY(w.Call(kBeginDocument));
  QK_TRY(w.Call(kFixedSetting4, 100L));
  for (size_t i = 0; i < pages.size(); ++i) {
    if (stopAfter >= 0 && static_cast<int>(i) >= stopAfter) break;
    w32::EnhMetaFile emf(GetEnhMetaFileW(pages[i].emfPath.c_str()));
    if (!emf) return E_FAIL;
    ENHMETAHEADER h{};
    if (GetEnhMetaFileHeader(emf.Get(), sizeof(h), &h) < sizeof(h)) return E_FAIL;
    const long dpiX = JobRound(h.szlDevice.cx / (h.szlMicrometers.cx / 25400.0));
    const long dpiY = JobRound(h.szlDevice.cy / (h.szlMicrometers.cy / 25400.0));
    const double sx = static_cast<double>(w.Get(kGetResolution)) / dpiX;
    const double sy = static_cast<double>(w.Get(kGetResolution)) / dpiY;
    QK_TRY(w.Call(kSetPageWidth, static_cast<long>(h.szlDevice.cx * sx)));
    QK_TRY(w.Call(kSetPageHeight, static_cast<long>(h.szlDevice.cy * sy)));
    PageSize size;
    size.height = w.Get(kGetPageHeight);
    size.width = w.Get(kGetPageWidth);
    if (sizes) sizes->push_back(size);
    QK_TRY(w.Play(emf.Get(), 0, 0, sx, sy));
    if (i + 1 < pages.size()) {
      QK_TRY(w.Call(kSetResolution, o.resolution));
      w.Call(kNewPage);  // the job ignores a failure here
    }
  }
  return w.Call(kEndDocument);
#undef QK_TRY
}

}  // namespace qktest
