// The job description file as the agent and the converter read it: through
// the wide-character private-profile functions, which read a file in UTF-16
// (with its byte-order mark) or in the system code page alike.
#pragma once
#include <windows.h>
#include <string>

namespace scrivo {

class JobProfile {
 public:
  explicit JobProfile(std::wstring path) : path_(std::move(path)) {}

  const std::wstring& Path() const { return path_; }

  // The key's text, at most `maxChars` characters; `fallback` when absent.
  std::wstring ReadText(const wchar_t* section, const wchar_t* key,
                        const wchar_t* fallback = L"", size_t maxChars = 259) const;
  // The key as a decimal integer (sign and leading blanks accepted); `fallback`
  // when absent.
  int ReadInt(const wchar_t* section, const wchar_t* key, int fallback) const;
  bool HasKey(const wchar_t* section, const wchar_t* key) const;

  // "File%d" of section "EMF".
  static std::wstring PageKey(int index);
  // How many page keys there can be for a "Count" of `count`: the count,
  // bounded by one more than the highest page key present, so that a huge
  // count over a short list does not make callers loop billions of times.
  int PageKeyBound(int count) const;

  // Removes a whole section (writing it with no key).
  bool DeleteSection(const wchar_t* section) const;
  bool WriteText(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;
  // Makes the system write its cached copy of the file to disk.
  void Flush() const;

 private:
  std::wstring path_;
};

}  // namespace scrivo
