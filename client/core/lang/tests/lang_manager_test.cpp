#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "lang/lang_keys.h"
#include "lang/lang_manager.h"

namespace {

// A language folder and a settings folder of their own for each test.
class Lang : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "scrivo_lang_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
            std::to_string(::GetCurrentProcessId()) + "\\";
    ::CreateDirectoryA(root_.c_str(), nullptr);
    langFolder_ = root_ + "Lang\\";
    ::CreateDirectoryA(langFolder_.c_str(), nullptr);
    settings_ = root_ + "settings";
    ::CreateDirectoryA(settings_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::string& f : written_) ::DeleteFileA(f.c_str());
    ::RemoveDirectoryA(langFolder_.c_str());
    ::RemoveDirectoryA(settings_.c_str());
    ::RemoveDirectoryA(root_.c_str());
  }
  void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    written_.push_back(path);
  }
  void Choose(const std::string& name) {
    Write(settings_ + "\\Lang.ini", "[Language used]\r\nName=" + name + "\r\n");
  }
  std::string root_, langFolder_, settings_;
  std::vector<std::string> written_;
};

TEST_F(Lang, WithoutLanguageFilesOnlyEnglishIsOffered) {
  ::RemoveDirectoryA(langFolder_.c_str());
  Choose("Deutsch");
  CLangManager m(langFolder_, settings_);
  EXPECT_EQ(m.LanguageNames(), std::vector<std::string>{"English"});
  EXPECT_FALSE(m.Loaded());
  EXPECT_EQ(m.Text(1), nullptr);
}

TEST_F(Lang, MissingSettingsFileMeansEnglish) {
  Write(langFolder_ + "de.nls", "[Language]\r\nName=Deutsch\r\n[Interface]\r\nCANCEL=Abbrechen\r\n");
  CLangManager m(langFolder_, settings_);
  EXPECT_EQ(m.ChosenLanguage(), "English");
  EXPECT_FALSE(m.Loaded());
  EXPECT_EQ(m.LanguageNames(), (std::vector<std::string>{"English", "Deutsch"}));
}

TEST_F(Lang, EnglishInAnyCaseSelectsTheBuiltInTexts) {
  Write(langFolder_ + "en.nls", "[Language]\r\nName=english\r\n[Interface]\r\nCANCEL=x\r\n");
  Choose("eNgLiSh");
  CLangManager m(langFolder_, settings_);
  EXPECT_FALSE(m.Loaded());
  EXPECT_EQ(m.Text(LANG_CANCEL), nullptr);
}

TEST_F(Lang, ChosenLanguageLoadsEveryKeyInOrder) {
  Write(langFolder_ + "de.nls",
        "[Language]\r\nName=Deutsch\r\n[Interface]\r\nPROCEED=Weiter\r\n"
        "QUESTION=Frage\r\nOPEN_PDF_DOCUMENT_QUESTION=PDF-Datei oeffnen?NEWLINEJa oder nein\r\n"
        "WATERMARKS_DLG=aNEWLINEbNEWLINEc\r\nPROGRESS_DLG_CAPTION=Umwandlung\r\n");
  Choose("Deutsch");
  CLangManager m(langFolder_, settings_);
  ASSERT_TRUE(m.Loaded());
  ASSERT_EQ(m.Texts().size(), kLangKeyCount);
  EXPECT_EQ(*m.Text(0), "Weiter");
  EXPECT_EQ(*m.Text(LANG_QUESTION), "Frage");
  EXPECT_EQ(*m.Text(LANG_PROGRESS_DLG_CAPTION), "Umwandlung");
  EXPECT_EQ(*m.Text(LANG_OPEN_PDF_DOCUMENT_QUESTION), "PDF-Datei oeffnen?\r\nJa oder nein");
  EXPECT_EQ(*m.Text(kLangKeyCount - 1), "a\r\nb\r\nc");
  EXPECT_EQ(*m.Text(LANG_CANCEL), "");  // missing key: empty, no English fallback
  EXPECT_EQ(m.Text(kLangKeyCount), nullptr);
  EXPECT_STREQ(kLangKeys[LANG_CANCEL], "CANCEL");
  EXPECT_STREQ(kLangKeys[LANG_PREPARING_DOCUMENT], "PREPARING_DOCUMENT");
}

TEST_F(Lang, NamesAreMatchedExactlyAndTheFirstListedFileWins) {
  Write(langFolder_ + "a.nls", "[Language]\r\nName=Francais\r\n[Interface]\r\nCANCEL=Annuler A\r\n");
  Write(langFolder_ + "b.nls", "[Language]\r\nName=Francais\r\n[Interface]\r\nCANCEL=Annuler B\r\n");
  Choose("Francais");
  CLangManager m(langFolder_, settings_);
  ASSERT_TRUE(m.Loaded());
  ASSERT_EQ(m.LanguageFiles().size(), 2u);
  EXPECT_EQ(m.LanguageFile(), m.LanguageFiles()[0]);
  const std::string expected =
      m.LanguageFiles()[0].substr(m.LanguageFiles()[0].size() - 5) == "a.nls" ? "Annuler A"
                                                                             : "Annuler B";
  EXPECT_EQ(*m.Text(LANG_CANCEL), expected);

  Choose("francais");
  CLangManager lower(langFolder_, settings_);
  EXPECT_FALSE(lower.Loaded());  // names are compared with their case
}

TEST_F(Lang, DefaultFoldersAreBesideTheProgram) {
  CLangManager m;
  const std::string tail = "\\Lang\\";
  ASSERT_GT(m.LanguageFolder().size(), tail.size());
  EXPECT_EQ(m.LanguageFolder().substr(m.LanguageFolder().size() - tail.size()), tail);
}

}  // namespace
