#include "common/trace_log.h"

#include <mutex>

#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace scrivo {
namespace {

std::mutex g_lock;           // one lock around formatting and writing
w32::KernelHandle g_file;    // guarded by g_lock

const wchar_t kBom = 0xFEFF;

// Creates the file with its byte-order mark while no other program may write
// to it, so that a second program opening it at the same moment can never
// append a line before the mark. Returns the error of the creating call.
DWORD CreateWithMark(const std::wstring& path) {
  w32::KernelHandle created(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!created) return ::GetLastError();
  DWORD written = 0;
  if (!::WriteFile(created.Get(), &kBom, sizeof(kBom), &written, nullptr) ||
      written != sizeof(kBom))
    return ::GetLastError();
  return ERROR_SUCCESS;
}

}  // namespace

std::wstring TraceLogPath() { return L"C:\\vp_log.txt"; }

bool OpenTraceLog(const std::wstring& path) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_file.Reset();
  // Append access: each write goes to the end of the file as one piece, even
  // when another program appends at the same time.
  for (int attempt = 0; attempt < 200; ++attempt) {
    w32::KernelHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (file) {
      g_file = std::move(file);
      return true;
    }
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) {
      error = CreateWithMark(path);
      if (error == ERROR_SUCCESS || error == ERROR_FILE_EXISTS) continue;
      if (error != ERROR_SHARING_VIOLATION) {
        ::SetLastError(error);
        return false;
      }
    } else if (error != ERROR_SHARING_VIOLATION) {
      return false;
    }
    ::Sleep(5);  // another program is creating the file right now
  }
  ::SetLastError(ERROR_SHARING_VIOLATION);
  return false;
}

void CloseTraceLog() {
  std::lock_guard<std::mutex> hold(g_lock);
  g_file.Reset();
}

bool TraceLogIsOpen() {
  std::lock_guard<std::mutex> hold(g_lock);
  return g_file.Valid();
}

std::vector<std::wstring> FormatTraceLines(const SYSTEMTIME& utc, const std::wstring& text) {
  const std::wstring stamp =
      w32::Format(L"%d-%02d-%02d %02d:%02d:%02d.%03d:\t", utc.wYear, utc.wMonth, utc.wDay,
                  utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds);
  const size_t room = kMaxTraceLineChars - stamp.size() - 2;
  // The text's own line breaks end lines too (a system message text ends
  // with one), so that every line of the file has its time stamp.
  std::vector<std::wstring> pieces;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\r' && text[i] != L'\n') continue;
    pieces.push_back(text.substr(start, i - start));
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    start = i + 1;
  }
  if (start < text.size() || pieces.empty()) pieces.push_back(text.substr(start));

  std::vector<std::wstring> lines;
  for (const std::wstring& piece : pieces) {
    size_t pos = 0;
    do {
      size_t take = piece.size() - pos < room ? piece.size() - pos : room;
      if (pos + take < piece.size() && take > 1 && IS_HIGH_SURROGATE(piece[pos + take - 1])) --take;
      lines.push_back(stamp + piece.substr(pos, take) + L"\r\n");
      pos += take;
    } while (pos < piece.size());
  }
  return lines;
}

void TraceLine(const std::wstring& text) {
  std::lock_guard<std::mutex> hold(g_lock);
  if (!g_file) return;
  SYSTEMTIME utc = {};
  ::GetSystemTime(&utc);
  std::wstring entry;
  for (const std::wstring& line : FormatTraceLines(utc, text)) entry += line;
  LARGE_INTEGER zero = {};
  if (!::SetFilePointerEx(g_file.Get(), zero, nullptr, FILE_END)) return;
  DWORD written = 0;
  ::WriteFile(g_file.Get(), entry.data(), static_cast<DWORD>(entry.size() * sizeof(wchar_t)),
              &written, nullptr);
}

}  // namespace scrivo
