#include "test_files.h"

#include <cwctype>

#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace testfiles {

std::wstring FreshPath(const wchar_t* stem) {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  static LONG counter = 0;
  const std::wstring path = w32::Format(L"%s%s-%lu-%ld.txt", temp, stem, ::GetCurrentProcessId(),
                                        ::InterlockedIncrement(&counter));
  ::DeleteFileW(path.c_str());
  return path;
}

std::vector<unsigned char> ReadBytes(const std::wstring& path) {
  w32::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
  std::vector<unsigned char> bytes;
  if (!file) return bytes;
  unsigned char chunk[65536];
  DWORD got = 0;
  while (::ReadFile(file.Get(), chunk, sizeof(chunk), &got, nullptr) && got > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  return bytes;
}

std::vector<std::wstring> ReadLogLines(const std::wstring& path) {
  const std::vector<unsigned char> bytes = ReadBytes(path);
  std::wstring all;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    all += static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (size_t end; (end = all.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
    lines.push_back(all.substr(start, end - start));
  if (start < all.size()) lines.push_back(all.substr(start));  // a torn last line shows up
  return lines;
}

// "%d-%02d-%02d %02d:%02d:%02d.%03d:\t" followed by the text.
bool MatchesLineFormat(const std::wstring& line, std::wstring* text, int* hour) {
  const wchar_t pattern[] = L"dddd-dd-dd dd:dd:dd.ddd:\t";
  const size_t n = wcslen(pattern);
  if (line.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    if (pattern[i] == L'd' ? !std::iswdigit(line[i]) : line[i] != pattern[i]) return false;
  }
  if (text) *text = line.substr(n);
  if (hour) *hour = std::stoi(line.substr(11, 2));
  return true;
}

}  // namespace testfiles
