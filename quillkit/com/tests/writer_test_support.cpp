#include "writer_test_support.h"

#include <cstdio>

#include "w32/module_path.h"
#include "w32/strings.h"

namespace qktest {

Writer::Writer() {
  CLSID clsid{};
  hr_ = CLSIDFromProgID(kProgId, &clsid);
  if (SUCCEEDED(hr_))
    hr_ = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIidPdfDocument2,
                           reinterpret_cast<void**>(&object_));
  client_ = VtableClient(object_);
}

std::wstring OutputFolder() {
  const std::wstring folder = w32::JoinPath(w32::ModuleFolder(), L"qkcom-out");
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::wstring CorpusFile(const std::wstring& relative) {
  // The tests run from <build>/win/bin; the corpus lies beside the source tree.
  std::wstring dir(32768, L'\0');
  const DWORD n = GetEnvironmentVariableW(L"QK_CORPUS_DIR", &dir[0], static_cast<DWORD>(dir.size()));
  if (n > 0 && n < dir.size()) {
    dir.resize(n);
    return w32::JoinPath(dir, relative);
  }
  return w32::JoinPath(QK_CORPUS_DIR_DEFAULT, relative);
}

void WriteExpectations(const std::wstring& name, const std::vector<std::string>& lines) {
  FILE* out = _wfopen(w32::JoinPath(OutputFolder(), name + L".expect").c_str(), L"wb");
  if (!out) return;
  for (const std::string& line : lines) std::fprintf(out, "%s\n", line.c_str());
  std::fclose(out);
}

std::wstring RecordBlankEmf(const std::wstring& name, long width, long height) {
  const std::wstring path = w32::JoinPath(OutputFolder(), name);
  RECT frame{0, 0, width, height};
  HDC dc = CreateEnhMetaFileW(nullptr, path.c_str(), &frame, nullptr);
  if (dc) DeleteEnhMetaFile(CloseEnhMetaFile(dc));
  return path;
}

}  // namespace qktest
