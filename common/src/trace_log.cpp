#include "common/trace_log.h"

#include <cstdint>
#include <mutex>

#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace scrivo {
namespace {

std::mutex g_lock;           // one lock around formatting and writing
w32::KernelHandle g_file;    // guarded by g_lock
w32::KernelHandle g_writers; // named mutex shared by every program writing the file

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

// Every program that writes one log file takes the same named mutex around
// finding the end and writing there. Append access alone is not enough:
// where it is not carried out as one step (Wine), two programs appending at
// the same moment write to the same place and one of the lines is lost.
w32::KernelHandle OpenWritersMutex(const std::wstring& path) {
  std::wstring key = path;
  if (!key.empty()) ::CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
  uint32_t hash = 2166136261u;  // FNV-1a over the upper-cased path
  for (wchar_t c : key) {
    hash = (hash ^ (c & 0xFF)) * 16777619u;
    hash = (hash ^ (c >> 8)) * 16777619u;
  }
  const std::wstring name = w32::Format(L"Local\\ScrivoTraceLog_%08X", hash);
  return w32::KernelHandle(::CreateMutexW(nullptr, FALSE, name.c_str()));
}

// Holds the writers' mutex for one entry. Without the mutex (it could not be
// made) or when another writer keeps it too long, the entry is written
// anyway: a line that might collide is better than a line surely lost.
class WritersLock {
 public:
  explicit WritersLock(HANDLE mutex) : mutex_(mutex) {
    if (!mutex_) return;
    const DWORD wait = ::WaitForSingleObject(mutex_, 5000);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  ~WritersLock() {
    if (held_) ::ReleaseMutex(mutex_);
  }
  WritersLock(const WritersLock&) = delete;
  WritersLock& operator=(const WritersLock&) = delete;

 private:
  HANDLE mutex_;
  bool held_ = false;
};

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
      g_writers = OpenWritersMutex(path);
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
  g_writers.Reset();
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
  WritersLock writers(g_writers.Get());
  LARGE_INTEGER zero = {};
  if (!::SetFilePointerEx(g_file.Get(), zero, nullptr, FILE_END)) return;
  DWORD written = 0;
  ::WriteFile(g_file.Get(), entry.data(), static_cast<DWORD>(entry.size() * sizeof(wchar_t)),
              &written, nullptr);
}

}  // namespace scrivo
