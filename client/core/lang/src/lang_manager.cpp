#include "lang/lang_manager.h"

#include <windows.h>
#include <shlobj.h>

#include "lang/lang_keys.h"
#include "w32/module_path.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace {

std::string ProgramLanguageFolder() {
  std::string path = w32::Narrow(w32::ModulePath());
  const size_t slash = path.find_last_of('\\');
  path.erase(slash == std::string::npos ? 0 : slash + 1);
  return path + "Lang\\";
}

std::string LocalAppDataFolder() {
  char folder[MAX_PATH + 1] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder))) return "";
  return folder;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

bool FileExists(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CLangManager::CLangManager() : folder_(ProgramLanguageFolder()) { Load(LocalAppDataFolder()); }

CLangManager::CLangManager(const std::string& languageFolder, const std::string& settingsFolder)
    : folder_(languageFolder) {
  if (!folder_.empty() && folder_.back() != '\\') folder_ += '\\';
  Load(settingsFolder);
}

CLangManager::~CLangManager() = default;

const std::string* CLangManager::Text(size_t index) const {
  if (!loaded_ || index >= texts_.size()) return nullptr;
  return &texts_[index];
}

void CLangManager::Load(const std::string& settingsFolder) {
  names_.push_back("English");

  // The language files, in the order the directory lists them.
  WIN32_FIND_DATAA found;
  w32::FindHandle find(::FindFirstFileA((folder_ + "*.nls").c_str(), &found));
  if (find) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      files_.push_back(folder_ + found.cFileName);
    } while (::FindNextFileA(find.Get(), &found));
  }
  for (const std::string& file : files_) {
    const std::string name = CIni(file).ReadString("Language", "Name");
    names_.push_back(name);
    table_.emplace_back(name, file);
  }

  settingsIni_ = std::make_unique<CIni>(settingsFolder + "\\Lang.ini");
  chosen_ = settingsIni_->ReadString("Language used", "Name", "English");
  if (chosen_.empty()) chosen_ = "English";
  if (::lstrcmpiA(chosen_.c_str(), "English") == 0) return;

  const std::pair<std::string, std::string>* match = nullptr;
  for (const auto& entry : table_)
    if (entry.first == chosen_) {
      match = &entry;
      break;
    }
  if (!match) return;
  languageFile_ = match->second;
  if (!FileExists(languageFile_)) return;

  loaded_ = 1;
  languageIni_ = std::make_unique<CIni>(languageFile_);
  texts_.reserve(kLangKeyCount);
  for (const char* key : kLangKeys)
    texts_.push_back(Replace(languageIni_->ReadString("Interface", key), "NEWLINE", "\r\n"));
}
