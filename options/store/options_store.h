// Everything an options object remembers, and its life in the per-user file
// "RurAdazavu.ini": the working PDF options, the profile list whose entry 0 is
// always the default profile "<default>", the actual profile and the printer
// settings that are not part of a profile.
//
// The store reads the file when it is constructed and writes it when asked
// (SaveAll and the profile operations); it knows nothing of COM. Writes are
// not checked: a file that cannot be written leaves a store with no profiles
// that still holds every value in memory.
#pragma once
#include <string>
#include <vector>

#include "ini_file.h"
#include "pdf_options.h"

// Printer settings, in the order the object keeps them. Switches are any
// 32-bit value (non-zero is on); what comes back from the file is 1 or 0.
struct CPrinterSettings {
  std::string TargetFile;
  std::string TargetDir;
  long ShowErrorMessages = 1;
  long SilentMode = 0;
  long CreateDirectoryIfNotExist = 1;
  long OverwriteFileIfExist = 0;
  long UsingTargetFile = 1;
  long MultiDocMode = 0;
  long MultiDocumentState = 0;
  long JPEG_COMPRESSION = 40;
  long TIFF_COLORMODE = 24;
  long TIFF_MULTIPAGE = 0;
  long BMP_COLORMODE = 24;
  long PNG_COLORMODE = 24;
  long JPEG_GRAYSCALE = 0;
  long PutWatermarks = 0;
  std::string WatermarksFile;
  std::string WatermarksFileLandscape;
  long FirstPageSeparate = 0;
  std::string FirstPageWatermarkFile;
  std::string FirstPageWatermarkFileLandscape;
  long WatermarkOnTheTop = 0;
  long OutputType = 0;
};

class COptionsStore {
 public:
  static const char kFileName[];        // "RurAdazavu.ini"
  static const char kDefaultProfile[];  // "<default>"

  // The user's options file: the local application-data folder with
  // "\RurAdazavu.ini" appended ("\RurAdazavu.ini" alone when the folder is
  // unknown).
  static std::string DefaultFilePath();

  // Runs the construction sequence on the file at `path`: read "Last used",
  // reset the file to the default profile unless it has one, load it all and
  // make the stored profile (or profile 0) actual.
  explicit COptionsStore(const std::string& path);

  CPdfOptions& Working() { return working_; }
  const CPdfOptions& Working() const { return working_; }
  CPrinterSettings& Printer() { return printer_; }
  const CPrinterSettings& Printer() const { return printer_; }
  const std::vector<CPdfProfile>& Profiles() const { return profiles_; }
  long Count() const { return static_cast<long>(profiles_.size()); }
  long Actual() const { return actual_; }
  const CIniFile& File() const { return file_; }

  // Profile operations. Those that return bool refuse with false and leave
  // everything unchanged.
  // Makes profile `index` actual: writes "Last used" when the index changes and
  // always replaces the working options with a copy of the profile's.
  bool SetActual(long index);
  // Appends a profile of that name with the working options, makes it actual
  // and saves; refused when the name exists.
  bool AddProfile(const std::string& name);
  bool IsProfileNameExist(const std::string& name) const;
  // True when the working options equal those of some profile.
  bool IsOptionsExist() const;
  // Removes profile `index` (1..count-1; the default profile stays).
  bool RemoveProfile(long index);
  // Removes the first profile of that name under the same rule.
  bool RemoveProfileWithName(const std::string& name);
  // The actual profile takes the working options, then everything is saved;
  // refused when there is no profile.
  bool UpdateProfile();

  // File routines.
  void LoadAll();
  void SaveAll();
  CPdfProfile ReadProfile(const std::string& section) const;
  void WriteProfile(const CPdfProfile& profile, const std::string& section) const;
  bool CheckDefaultProfile() const;
  void CreateDefaultFile() const;
  void RemoveProfileAt(size_t index);

  static std::string ProfileSection(size_t index);

 private:
  CPdfOptions working_;
  CIniFile file_;
  std::vector<CPdfProfile> profiles_;
  long actual_ = 0;
  CPrinterSettings printer_;
};
