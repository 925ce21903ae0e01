// The options file as the Windows private-profile functions see it: values in
// named sections of an ANSI INI file, read and written key by key, with the
// value forms of the options file (text, "%ld" numbers, Y/N switches).
//
// A file whose path cannot be used (empty, or longer than the 259 characters
// the ANSI functions accept) is never touched: reads give their defaults and
// writes do nothing, exactly as for a file that cannot be written.
#pragma once
#include <string>

class CIniFile {
 public:
  // The longest path the ANSI private-profile functions take.
  static constexpr size_t kMaxPath = 259;
  // Values longer than this come back cut (they are read into 1024 bytes).
  static constexpr size_t kMaxValue = 1023;

  explicit CIniFile(std::string path = {});

  const std::string& Path() const { return path_; }
  bool Usable() const { return usable_; }

  std::string ReadText(const std::string& section, const char* key,
                       const char* fallback = "") const;
  long ReadNumber(const std::string& section, const char* key, long fallback) const;
  // "1", "T", "t", "Y", "y" give 1; "0", "F", "f", "N", "n" give 0; anything
  // else, an empty or missing value included, gives the fallback.
  long ReadSwitch(const std::string& section, const char* key, bool fallback) const;

  void WriteText(const std::string& section, const char* key, const std::string& value) const;
  void WriteNumber(const std::string& section, const char* key, long value) const;
  // "Y" for any non-zero value, "N" for zero.
  void WriteSwitch(const std::string& section, const char* key, long value) const;
  void DeleteSection(const std::string& section) const;
  // Writes the platform's cached copy of the file to disk.
  void Flush() const;

 private:
  std::string path_;
  bool usable_;
};
