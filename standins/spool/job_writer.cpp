#include "job_writer.h"

#include <algorithm>

#include "sample_pages.h"
#include "w32/module_path.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace spool {
namespace {

bool CreateFolders(const std::wstring& folder) {
  if (folder.empty()) return false;
  const DWORD attrs = ::GetFileAttributesW(folder.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES) return (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::wstring parent = w32::ParentFolder(folder);
  if (!parent.empty() && parent != folder && parent.back() != L':') CreateFolders(parent);
  return ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

// A new, empty job file: UTF-16 files start with their byte-order mark, which
// makes the profile functions keep writing UTF-16.
bool CreateJobFile(const std::wstring& path, bool ansi) {
  w32::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  if (ansi) return true;
  const wchar_t bom = 0xFEFF;
  DWORD written = 0;
  return ::WriteFile(file.Get(), &bom, sizeof(bom), &written, nullptr) && written == sizeof(bom);
}

}  // namespace

bool WriteJob(const Options& options, const std::wstring& folder, int jobId, WrittenJob* job,
              std::wstring* error) {
  if (!CreateFolders(folder)) {
    *error = L"cannot create the folder " + folder;
    return false;
  }
  job->jobFile = w32::JoinPath(folder, w32::Format(L"job %d.ini", jobId));
  job->pages.clear();
  const int pages = options.emfFiles.empty() ? options.samplePages
                                             : static_cast<int>(options.emfFiles.size());
  for (int i = 0; i < pages; ++i) {
    const std::wstring page = w32::JoinPath(folder, w32::Format(L"job %d page %d.emf", jobId, i + 1));
    if (options.emfFiles.empty()) {
      if (!DrawSamplePage(page, i + 1, pages, error)) return false;
    } else if (!::CopyFileW(options.emfFiles[i].c_str(), page.c_str(), FALSE)) {
      *error = L"cannot copy " + options.emfFiles[i] + L": " +
               w32::SystemErrorText(::GetLastError());
      return false;
    }
    job->pages.push_back(page);
  }

  if (!CreateJobFile(job->jobFile, options.ansi)) {
    *error = L"cannot create " + job->jobFile + L": " + w32::SystemErrorText(::GetLastError());
    return false;
  }
  auto omitted = [&](const std::wstring& key) {
    return std::any_of(options.omit.begin(), options.omit.end(),
                       [&](const std::wstring& o) { return _wcsicmp(o.c_str(), key.c_str()) == 0; });
  };
  bool ok = true;
  auto put = [&](const wchar_t* section, const std::wstring& key, const std::wstring& value) {
    if (omitted(key)) return;
    ok = ok && ::WritePrivateProfileStringW(section, key.c_str(), value.c_str(),
                                            job->jobFile.c_str());
  };
  // Paper values as the printer settings give them: portrait, A4, 0.1 mm.
  put(L"Device", L"DeviceName", options.device);
  put(L"Document", L"Name", options.document);
  put(L"Document", L"HorizontalResolution", L"600");
  put(L"Document", L"Orientation", L"1");
  put(L"Document", L"PaperSize", L"9");
  put(L"Document", L"PaperLength", L"2970");
  put(L"Document", L"PaperWidth", L"2100");
  put(L"Document", L"JobID", std::to_wstring(jobId));
  put(L"EMF", L"Count", std::to_wstring(pages));
  for (int i = 0; i < pages; ++i) put(L"EMF", w32::Format(L"File%d", i), job->pages[i]);
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, job->jobFile.c_str());
  if (!ok) *error = L"cannot write " + job->jobFile;
  return ok;
}

}  // namespace spool
