// One complete set of PDF options (the working set of an options object and
// the payload of every profile), and a named profile. Texts are held in the
// system code page, as they are stored in the options file.
#pragma once
#include <string>

// Numbers are 32-bit signed; numeric fields come before the texts.
struct tagPDFOPTIONS {
  long Compression;
  long Layout;
  long Version;
  long Mode;
  long KeyLength;
  long BWImageCompression;
  long ColorImageCompression;
  long PdfProtectionEnabled;
  long EnableCopyInformation;
  long EnableModifyAnnotation;
  long EnableModifyStructure;
  long EnablePrinting;
  long URL_Autodetection;
  long UseBookmarks;
  std::string UserPassword;
  std::string OwnerPassword;
  std::string Title;
  std::string Author;
  std::string Subject;
  std::string Keywords;
};

class CPdfOptions : public tagPDFOPTIONS {
 public:
  // The options of a freshly created default profile.
  CPdfOptions();
  CPdfOptions(const CPdfOptions&) = default;
  CPdfOptions& operator=(const CPdfOptions&) = default;

  // Every field equal; texts compared byte by byte.
  bool operator==(const CPdfOptions& other) const;
  bool operator!=(const CPdfOptions& other) const { return !(*this == other); }
};

class CPdfProfile {
 public:
  CPdfProfile() = default;
  CPdfProfile(std::string name, const CPdfOptions& options)
      : Name(std::move(name)), Options(options) {}
  bool operator==(const CPdfProfile& other) const {
    return Name == other.Name && Options == other.Options;
  }

  std::string Name;
  CPdfOptions Options;
};
