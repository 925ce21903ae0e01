// One private-profile (INI) file read through the system-code-page interface.
#pragma once
#include <string>

class CIni {
 public:
  explicit CIni(std::string path);
  // Makes the system write its cached copy of the file to disk.
  virtual ~CIni();
  CIni(const CIni&) = delete;
  CIni& operator=(const CIni&) = delete;

  const std::string& Path() const { return path_; }

  // The key's text, at most 299 characters. An absent key yields `def`
  // (nullptr: empty text); an empty path yields empty text without reading.
  std::string ReadString(const char* section, const char* key, const char* def = nullptr) const;
  // `def` formatted with "%d" is the default of a text read; the text is then
  // converted as a decimal integer (leading blanks and a sign accepted, up to
  // the first non-digit; no digits give 0). An empty path yields `def`.
  int ReadInt(const char* section, const char* key, int def) const;

  // The conversion ReadInt applies: like atoi, but out-of-range values are
  // held at the int limits instead of being undefined.
  static int ToInt(const std::string& text);

 private:
  std::string path_;
};
