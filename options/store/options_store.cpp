#include "options_store.h"

#include <windows.h>
#include <shlobj.h>

#include "password_scrambler.h"

namespace {

const char kHeader[] = "Header";
const char kPrinter[] = "Printer settings";
const char kRaster[] = "Raster parameters";

}  // namespace

const char COptionsStore::kFileName[] = "RurAdazavu.ini";
const char COptionsStore::kDefaultProfile[] = "<default>";

std::string COptionsStore::DefaultFilePath() {
  char folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder))) folder[0] = 0;
  return std::string(folder) + "\\" + kFileName;
}

std::string COptionsStore::ProfileSection(size_t index) {
  return "Profile" + std::to_string(index);
}

COptionsStore::COptionsStore(const std::string& path) : file_(path) {
  actual_ = file_.ReadNumber(kHeader, "Last used", 0);
  if (!CheckDefaultProfile()) CreateDefaultFile();
  LoadAll();
  if (actual_ < 0 || actual_ >= Count()) actual_ = 0;
  SetActual(actual_);
}

bool COptionsStore::SetActual(long index) {
  if (index < 0 || index >= Count()) return false;
  if (index != actual_) {
    actual_ = index;
    file_.WriteNumber(kHeader, "Last used", actual_);
  }
  working_ = profiles_[static_cast<size_t>(index)].Options;
  return true;
}

bool COptionsStore::AddProfile(const std::string& name) {
  if (IsProfileNameExist(name)) return false;
  profiles_.emplace_back(name, working_);
  SetActual(Count() - 1);
  SaveAll();
  return true;
}

bool COptionsStore::IsProfileNameExist(const std::string& name) const {
  for (const CPdfProfile& p : profiles_) {
    if (p.Name == name) return true;
  }
  return false;
}

bool COptionsStore::IsOptionsExist() const {
  for (const CPdfProfile& p : profiles_) {
    if (p.Options == working_) return true;
  }
  return false;
}

bool COptionsStore::RemoveProfile(long index) {
  if (index < 1 || index >= Count()) return false;
  RemoveProfileAt(static_cast<size_t>(index));
  return true;
}

bool COptionsStore::RemoveProfileWithName(const std::string& name) {
  for (size_t i = 0; i < profiles_.size(); ++i) {
    if (profiles_[i].Name == name) return RemoveProfile(static_cast<long>(i));
  }
  return false;
}

bool COptionsStore::UpdateProfile() {
  if (actual_ < 0 || actual_ >= Count()) return false;
  profiles_[static_cast<size_t>(actual_)].Options = working_;
  SaveAll();
  return true;
}

void COptionsStore::LoadAll() {
  profiles_.clear();
  // The count is read again before every pass, as the file may change under us.
  for (size_t i = 0; static_cast<long>(i) < file_.ReadNumber(kHeader, "ProfilesCount", 0); ++i)
    profiles_.push_back(ReadProfile(ProfileSection(i)));

  CPrinterSettings& s = printer_;
  s.TargetFile = file_.ReadText(kPrinter, "Target file");
  s.TargetDir = file_.ReadText(kPrinter, "Target directory");
  s.ShowErrorMessages = file_.ReadSwitch(kPrinter, "Show error messages", true);
  s.SilentMode = file_.ReadSwitch(kPrinter, "Silent mode", false);
  s.CreateDirectoryIfNotExist = file_.ReadSwitch(kPrinter, "Create directory if not exist", true);
  s.OverwriteFileIfExist = file_.ReadSwitch(kPrinter, "Overwrite file if exist", false);
  s.UsingTargetFile = file_.ReadSwitch(kPrinter, "Using target file", true);
  s.JPEG_COMPRESSION = file_.ReadNumber(kRaster, "Jpeg compression", 40);
  s.TIFF_COLORMODE = file_.ReadNumber(kRaster, "TIFF colormode", 24);
  s.TIFF_MULTIPAGE = file_.ReadSwitch(kRaster, "TIFF is multipage", false);
  s.BMP_COLORMODE = file_.ReadNumber(kRaster, "BMP colormode", 24);
  s.PNG_COLORMODE = file_.ReadNumber(kRaster, "PNG colormode", 24);
  s.JPEG_GRAYSCALE = file_.ReadSwitch(kRaster, "Jpeg grayscale", false);
  s.OutputType = file_.ReadNumber(kPrinter, "Output type", 0);
  s.MultiDocMode = file_.ReadSwitch(kPrinter, "Multidoc mode", false);
  s.MultiDocumentState = file_.ReadNumber(kPrinter, "Multidoc state", 0);
  s.PutWatermarks = file_.ReadSwitch(kPrinter, "Put watermarks", false);
  s.WatermarksFile = file_.ReadText(kPrinter, "Watermarks file");
  s.WatermarksFileLandscape = file_.ReadText(kPrinter, "Watermarks file landscape");
  s.FirstPageWatermarkFileLandscape =
      file_.ReadText(kPrinter, "First page watermark file landscape");
  s.FirstPageSeparate = file_.ReadSwitch(kPrinter, "First page watermark", false);
  s.FirstPageWatermarkFile = file_.ReadText(kPrinter, "First page watermark file");
  s.WatermarkOnTheTop = file_.ReadSwitch(kPrinter, "Watermark on the top", false);
}

void COptionsStore::SaveAll() {
  for (size_t i = 0; i < profiles_.size(); ++i) WriteProfile(profiles_[i], ProfileSection(i));

  file_.WriteNumber(kHeader, "ProfilesCount", Count());
  if (actual_ >= Count()) actual_ = 0;
  file_.WriteNumber(kHeader, "Last used", actual_);

  const CPrinterSettings& s = printer_;
  file_.WriteText(kPrinter, "Target file", s.TargetFile);
  file_.WriteText(kPrinter, "Target directory", s.TargetDir);
  file_.WriteSwitch(kPrinter, "Show error messages", s.ShowErrorMessages);
  file_.WriteSwitch(kPrinter, "Silent mode", s.SilentMode);
  file_.WriteSwitch(kPrinter, "Create directory if not exist", s.CreateDirectoryIfNotExist);
  file_.WriteSwitch(kPrinter, "Overwrite file if exist", s.OverwriteFileIfExist);
  file_.WriteSwitch(kPrinter, "Using target file", s.UsingTargetFile);
  file_.WriteNumber(kRaster, "Jpeg compression", s.JPEG_COMPRESSION);
  file_.WriteNumber(kRaster, "TIFF colormode", s.TIFF_COLORMODE);
  file_.WriteSwitch(kRaster, "TIFF is multipage", s.TIFF_MULTIPAGE);
  file_.WriteNumber(kRaster, "BMP colormode", s.BMP_COLORMODE);
  file_.WriteNumber(kRaster, "PNG colormode", s.PNG_COLORMODE);
  file_.WriteSwitch(kRaster, "Jpeg grayscale", s.JPEG_GRAYSCALE);
  file_.WriteNumber(kPrinter, "Output type", s.OutputType);
  file_.WriteSwitch(kPrinter, "Multidoc mode", s.MultiDocMode);
  file_.WriteNumber(kPrinter, "Multidoc state", s.MultiDocumentState);
  file_.WriteSwitch(kPrinter, "Put watermarks", s.PutWatermarks);
  file_.WriteText(kPrinter, "Watermarks file", s.WatermarksFile);
  file_.WriteText(kPrinter, "Watermarks file landscape", s.WatermarksFileLandscape);
  file_.WriteSwitch(kPrinter, "First page watermark", s.FirstPageSeparate);
  file_.WriteText(kPrinter, "First page watermark file", s.FirstPageWatermarkFile);
  file_.WriteText(kPrinter, "First page watermark file landscape",
                  s.FirstPageWatermarkFileLandscape);
  file_.WriteSwitch(kPrinter, "Watermark on the top", s.WatermarkOnTheTop);

  if (!file_.Path().empty()) file_.Flush();
}

CPdfProfile COptionsStore::ReadProfile(const std::string& section) const {
  CPdfProfile p;
  CPdfOptions& o = p.Options;
  p.Name = file_.ReadText(section, "Name");
  o.Compression = file_.ReadNumber(section, "Compression", 0);
  o.BWImageCompression = file_.ReadNumber(section, "BW Compression", 0);
  o.ColorImageCompression = file_.ReadNumber(section, "Color image compression", 0);
  o.Layout = file_.ReadNumber(section, "Page layout", 0);
  o.Version = file_.ReadNumber(section, "PDF version", 0);
  o.Mode = file_.ReadNumber(section, "Page mode", 0);
  o.KeyLength = file_.ReadNumber(section, "Key length", 0);
  o.PdfProtectionEnabled = file_.ReadSwitch(section, "Pdf protection enabled", false);
  o.EnableCopyInformation = file_.ReadSwitch(section, "Enable copying information", false);
  o.EnableModifyAnnotation = file_.ReadSwitch(section, "Enable modifying annotation", false);
  o.EnableModifyStructure = file_.ReadSwitch(section, "Enable modifying structure", false);
  o.EnablePrinting = file_.ReadSwitch(section, "Enable printing", false);
  o.URL_Autodetection = file_.ReadSwitch(section, "URL autodetection", false);
  o.UseBookmarks = file_.ReadSwitch(section, "Use bookmarks", false);
  o.Title = file_.ReadText(section, "Title");
  o.Author = file_.ReadText(section, "Author");
  o.Subject = file_.ReadText(section, "Subject");
  o.Keywords = file_.ReadText(section, "Keywords");
  o.UserPassword = UnscramblePassword(file_.ReadText(section, "User password"));
  o.OwnerPassword = UnscramblePassword(file_.ReadText(section, "Owner password"));
  return p;
}

void COptionsStore::WriteProfile(const CPdfProfile& p, const std::string& section) const {
  const CPdfOptions& o = p.Options;
  file_.WriteText(section, "Name", p.Name);
  file_.WriteText(section, "Title", o.Title);
  file_.WriteText(section, "Author", o.Author);
  file_.WriteText(section, "Subject", o.Subject);
  file_.WriteText(section, "Keywords", o.Keywords);
  file_.WriteNumber(section, "Compression", o.Compression);
  file_.WriteNumber(section, "BW Compression", o.BWImageCompression);
  file_.WriteNumber(section, "Color image compression", o.ColorImageCompression);
  file_.WriteNumber(section, "Page layout", o.Layout);
  file_.WriteNumber(section, "PDF version", o.Version);
  file_.WriteNumber(section, "Page mode", o.Mode);
  file_.WriteNumber(section, "Key length", o.KeyLength);
  file_.WriteSwitch(section, "Pdf protection enabled", o.PdfProtectionEnabled);
  file_.WriteSwitch(section, "Enable copying information", o.EnableCopyInformation);
  file_.WriteSwitch(section, "Enable modifying annotation", o.EnableModifyAnnotation);
  file_.WriteSwitch(section, "Enable modifying structure", o.EnableModifyStructure);
  file_.WriteSwitch(section, "Enable printing", o.EnablePrinting);
  file_.WriteSwitch(section, "URL autodetection", o.URL_Autodetection);
  file_.WriteSwitch(section, "Use bookmarks", o.UseBookmarks);
  file_.WriteText(section, "User password", ScramblePassword(o.UserPassword));
  file_.WriteText(section, "Owner password", ScramblePassword(o.OwnerPassword));
}

bool COptionsStore::CheckDefaultProfile() const {
  const std::string name = file_.ReadText(ProfileSection(0), "Name");
  return file_.ReadNumber(kHeader, "ProfilesCount", 0) != 0 && name == kDefaultProfile;
}

void COptionsStore::CreateDefaultFile() const {
  file_.WriteNumber(kHeader, "ProfilesCount", 1);
  WriteProfile(CPdfProfile(kDefaultProfile, CPdfOptions()), ProfileSection(0));
}

void COptionsStore::RemoveProfileAt(size_t index) {
  if (profiles_.size() > 1) {
    for (size_t i = 1; i < profiles_.size(); ++i) file_.DeleteSection(ProfileSection(i));
  }
  if (index < profiles_.size()) profiles_.erase(profiles_.begin() + static_cast<long>(index));
  SaveAll();
}
