// The language of the client's windows: finds the ".nls" files in the "Lang"
// folder beside the program, reads the user's choice from "Lang.ini" in the
// local application-data folder and, when a language other than English is
// chosen and its file exists, holds its text for every key.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "jobfile/ini.h"

class CLangManager {
 public:
  // Does all the work. The folders default to the program's "Lang\" folder
  // and the user's local application-data folder.
  CLangManager();
  CLangManager(const std::string& languageFolder, const std::string& settingsFolder);
  virtual ~CLangManager();
  CLangManager(const CLangManager&) = delete;
  CLangManager& operator=(const CLangManager&) = delete;

  // True when the texts come from a language file.
  bool Loaded() const { return loaded_ != 0; }
  // The text at key position `index`; nullptr when no language file is in
  // use or the position is past the texts (the window keeps its own text).
  const std::string* Text(size_t index) const;
  const std::vector<std::string>& Texts() const { return texts_; }

  // "English" followed by the names declared by the language files found.
  const std::vector<std::string>& LanguageNames() const { return names_; }
  const std::vector<std::string>& LanguageFiles() const { return files_; }
  const std::string& ChosenLanguage() const { return chosen_; }
  const std::string& LanguageFile() const { return languageFile_; }
  const std::string& LanguageFolder() const { return folder_; }

 private:
  void Load(const std::string& settingsFolder);

  std::unique_ptr<CIni> languageIni_;
  std::unique_ptr<CIni> settingsIni_;
  std::vector<std::pair<std::string, std::string>> table_;  // name, ".nls" path
  std::vector<std::string> files_;
  std::vector<std::string> names_;
  std::vector<std::string> texts_;
  long loaded_ = 0;
  std::string languageFile_;
  std::string folder_;
  std::string chosen_;
};
