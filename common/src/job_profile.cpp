#include "common/job_profile.h"

#include <cwchar>
#include <vector>

#include "w32/strings.h"

namespace scrivo {

std::wstring JobProfile::ReadText(const wchar_t* section, const wchar_t* key,
                                  const wchar_t* fallback, size_t maxChars) const {
  std::vector<wchar_t> buffer(maxChars + 1, L'\0');
  const DWORD n = ::GetPrivateProfileStringW(section, key, fallback, buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path_.c_str());
  return std::wstring(buffer.data(), n < buffer.size() ? n : buffer.size() - 1);
}

int JobProfile::ReadInt(const wchar_t* section, const wchar_t* key, int fallback) const {
  return static_cast<int>(::GetPrivateProfileIntW(section, key, fallback, path_.c_str()));
}

bool JobProfile::HasKey(const wchar_t* section, const wchar_t* key) const {
  // Two different defaults give the same answer only when the key is there.
  const std::wstring a = ReadText(section, key, L"\x01", 1);
  const std::wstring b = ReadText(section, key, L"\x02", 1);
  return a == b;
}

std::wstring JobProfile::PageKey(int index) { return w32::Format(L"File%d", index); }

int JobProfile::PageKeyBound(int count) const {
  if (count <= 0) return 0;
  // The names of the keys of section "EMF", each ended by a zero.
  std::vector<wchar_t> names(4096);
  for (;;) {
    const DWORD n = ::GetPrivateProfileStringW(L"EMF", nullptr, L"", names.data(),
                                               static_cast<DWORD>(names.size()), path_.c_str());
    if (n + 2 < names.size() || names.size() >= (1u << 24)) {
      names.resize(n);
      break;
    }
    names.resize(names.size() * 4);
  }
  long long highest = -1;
  size_t start = 0;
  while (start < names.size()) {
    size_t end = start;
    while (end < names.size() && names[end] != L'\0') ++end;
    const std::wstring name(names.data() + start, end - start);
    if (name.size() > 4 && _wcsnicmp(name.c_str(), L"File", 4) == 0) {
      long long index = 0;
      bool digits = true;
      for (size_t i = 4; i < name.size() && digits; ++i) {
        if (name[i] < L'0' || name[i] > L'9' || index > 0x7fffffff) digits = false;
        else index = index * 10 + (name[i] - L'0');
      }
      if (digits && index > highest) highest = index;
    }
    start = end + 1;
  }
  return highest + 1 < count ? static_cast<int>(highest + 1) : count;
}

bool JobProfile::DeleteSection(const wchar_t* section) const {
  return ::WritePrivateProfileStringW(section, nullptr, nullptr, path_.c_str()) != FALSE;
}

bool JobProfile::WriteText(const wchar_t* section, const wchar_t* key,
                           const std::wstring& value) const {
  return ::WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str()) != FALSE;
}

void JobProfile::Flush() const {
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());
}

}  // namespace scrivo
