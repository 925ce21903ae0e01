#include "job_pieces.h"

#include <cwchar>
#include <vector>

#include "common/job_profile.h"
#include "w32/module_path.h"
#include "w32/registry.h"

namespace agent {

std::wstring JobValueName(JobSource source, bool legacy, const std::wstring& userName) {
  if (legacy) return L"Print Job";
  return source == kFromSharedEvent ? L"Shared" : userName;
}

std::optional<std::wstring> ReadJobValue(HKEY key, const std::wstring& name, LONG* error) {
  wchar_t buffer[260] = {};  // 520 bytes
  DWORD type = 0, size = sizeof(buffer);
  LONG rc = ::RegQueryValueExW(key, name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(buffer), &size);
  if (rc == ERROR_SUCCESS && type != REG_SZ) rc = ERROR_DATATYPE_MISMATCH;
  if (rc != ERROR_SUCCESS) {
    *error = rc;
    return std::nullopt;
  }
  size_t chars = size / sizeof(wchar_t);
  while (chars > 0 && buffer[chars - 1] == L'\0') --chars;
  const size_t nul = std::wstring(buffer, chars).find(L'\0');
  if (nul != std::wstring::npos) chars = nul;
  if (chars > 259) {
    *error = ERROR_MORE_DATA;
    return std::nullopt;
  }
  *error = ERROR_SUCCESS;
  return std::wstring(buffer, chars);
}

HandoffSettings ReadHandoffSettings(const w32::RegKey& key) {
  auto text = [&](const wchar_t* name) {
    std::optional<std::wstring> v = key.ReadString(name);
    return v && v->size() <= 259 ? *v : std::wstring();
  };
  HandoffSettings s;
  s.clientApplication = text(L"Client Application");
  s.transferMode = key.ReadDwordOr(L"Transfer Mode", 0);
  s.targetClass = text(L"Target Window Class");
  s.targetTitle = text(L"Target Window Title");
  s.clipboardFormat = text(L"Clipboard Format");
  s.messageId = key.ReadDwordOr(L"Message ID", 0);
  return s;
}

std::wstring ClientCommand(const std::wstring& app) {
  if (app.find(L' ') != std::wstring::npos && (app.empty() || app[0] != L'"'))
    return L"\"" + app + L"\"";
  return app;
}

std::wstring AgentFolder() {
  const std::wstring self = w32::ModulePath();
  const size_t slash = self.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : self.substr(0, slash + 1);
}

std::wstring AuxiliaryCommand(const std::wstring& folder, const wchar_t* program,
                              const std::wstring& jobPath) {
  const std::wstring path = folder + program;
  const std::wstring part = folder.find(L' ') != std::wstring::npos ? L"\"" + path + L"\"" : path;
  return part + L" " + jobPath;
}

UINT ThreadAnsiCodePage() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  if (::GetVersionExW(&version) && version.dwMajorVersion >= 5) return CP_THREAD_ACP;
  wchar_t page[8] = {};
  if (::GetLocaleInfoW(::GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, page, 8) > 0) {
    const UINT cp = static_cast<UINT>(_wtoi(page));
    if (cp != 0) return cp;
  }
  return CP_ACP;
}

std::optional<AnsiBlock> MakeAnsiBlock(const std::wstring& jobPath) {
  AnsiBlock block{};
  if (jobPath.empty()) return block;
  const UINT cp = ThreadAnsiCodePage();
  BOOL lossy = FALSE;
  // UTF-7/8 code pages do not take the lossy flag; the thread's is never one.
  const int n = ::WideCharToMultiByte(cp, 0, jobPath.c_str(), static_cast<int>(jobPath.size()),
                                      nullptr, 0, nullptr, &lossy);
  if (n <= 0 || n > 259 || lossy) return std::nullopt;
  ::WideCharToMultiByte(cp, 0, jobPath.c_str(), static_cast<int>(jobPath.size()), block.data(),
                        259, nullptr, nullptr);
  return block;
}

bool PreprocessingCancelled(const std::wstring& jobPath) {
  const std::wstring result =
      scrivo::JobProfile(jobPath).ReadText(L"Document", L"PreprocessingResult", L"", 255);
  return !result.empty() && _wcsicmp(result.c_str(), L"Cancel") == 0;
}

UINT ClipboardMessage(DWORD messageId) {
  return messageId >= 0x8000 && messageId <= 0xBFFF ? messageId : 0x8000;
}

}  // namespace agent
