#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ini_text.h"
#include "options_store.h"
#include "password_scrambler.h"

using tessera_test::ReadIniText;
using tessera_test::Value;

namespace {

// Each test has a file of its own in the temporary folder, so tests may run
// side by side.
class Store : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::string(folder) + "tessera_" + info->name() + ".ini";
    Remove();
  }
  void TearDown() override { Remove(); }
  void Remove() {
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
    ::DeleteFileA(path_.c_str());
  }
  void Write(const char* section, const char* key, const char* value) {
    ::WritePrivateProfileStringA(section, key, value, path_.c_str());
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
  }
  // Four profiles: "<default>", "one", "two", "three", each with its own title.
  void MakeFourProfiles() {
    COptionsStore store(path_);
    for (const char* name : {"one", "two", "three"}) {
      store.Working().Title = std::string("title of ") + name;
      ASSERT_TRUE(store.AddProfile(name));
    }
    ASSERT_EQ(store.Count(), 4);
  }

  std::string path_;
};

TEST(PasswordScrambler, IsRc4WithTheFixedKeyInUpperCaseHex) {
  // Reference values computed independently from the 38-byte key.
  EXPECT_EQ(ScramblePassword("secret"), "C19BEC519816");
  EXPECT_EQ(ScramblePassword("Pa\xDF w0rd"), "E29F50038A52668B");
  EXPECT_EQ(ScramblePassword(""), "");
  EXPECT_EQ(UnscramblePassword("C19BEC519816"), "secret");
  EXPECT_EQ(UnscramblePassword(""), "");
}

TEST(PasswordScrambler, ReadsPairsByTheHexRule) {
  const std::string hex = ScramblePassword("abcd");
  // Lower-case digits are not digits: the password does not come back.
  std::string lower = hex;
  for (char& c : lower) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(UnscramblePassword(lower), "abcd");
  // A non-digit ends its pair with the digits read so far: "4G" is 0x04, "G4" is 0x00.
  EXPECT_EQ(UnscramblePassword("4G" + hex.substr(2)), UnscramblePassword("04" + hex.substr(2)));
  EXPECT_EQ(UnscramblePassword("G4" + hex.substr(2)), UnscramblePassword("00" + hex.substr(2)));
  // An odd last character is a pair of its own.
  EXPECT_EQ(UnscramblePassword(hex.substr(0, 7)),
            UnscramblePassword(hex.substr(0, 6) + "0" + hex.substr(6, 1)));
  // The password ends at its first zero byte.
  EXPECT_EQ(UnscramblePassword(ScramblePassword(std::string("ab\0cd", 5))), "ab");
}

TEST(PdfOptions, EqualityCoversEveryField) {
  const CPdfOptions defaults;
  long tagPDFOPTIONS::*numbers[] = {
      &tagPDFOPTIONS::Compression,           &tagPDFOPTIONS::Layout,
      &tagPDFOPTIONS::Version,               &tagPDFOPTIONS::Mode,
      &tagPDFOPTIONS::KeyLength,             &tagPDFOPTIONS::BWImageCompression,
      &tagPDFOPTIONS::ColorImageCompression, &tagPDFOPTIONS::PdfProtectionEnabled,
      &tagPDFOPTIONS::EnableCopyInformation, &tagPDFOPTIONS::EnableModifyAnnotation,
      &tagPDFOPTIONS::EnableModifyStructure, &tagPDFOPTIONS::EnablePrinting,
      &tagPDFOPTIONS::URL_Autodetection,     &tagPDFOPTIONS::UseBookmarks};
  for (auto field : numbers) {
    CPdfOptions changed = defaults;
    changed.*field += 1;
    EXPECT_NE(changed, defaults);
    CPdfOptions copy(changed);
    EXPECT_EQ(copy, changed);
  }
  std::string tagPDFOPTIONS::*texts[] = {&tagPDFOPTIONS::UserPassword, &tagPDFOPTIONS::OwnerPassword,
                                          &tagPDFOPTIONS::Title,        &tagPDFOPTIONS::Author,
                                          &tagPDFOPTIONS::Subject,      &tagPDFOPTIONS::Keywords};
  for (auto field : texts) {
    CPdfOptions changed = defaults;
    changed.*field = "x";
    EXPECT_NE(changed, defaults);
    CPdfOptions assigned;
    assigned = changed;
    EXPECT_EQ(assigned, changed);
  }
}

TEST_F(Store, FirstUseLeavesExactlyTheDefaultFile) {
  {
    COptionsStore store(path_);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(store.Profiles()[0].Name, "<default>");
    EXPECT_EQ(store.Working(), CPdfOptions());
    store.SaveAll();
  }
  EXPECT_EQ(ReadIniText(path_), tessera_test::DefaultFile());
}

TEST_F(Store, SwitchesReadByTheirFirstCharacter) {
  Write("Printer settings", "Show error messages", "no");
  Write("Printer settings", "Silent mode", "true");
  Write("Printer settings", "Create directory if not exist", "maybe");
  Write("Printer settings", "Overwrite file if exist", "1");
  Write("Printer settings", "Using target file", "");
  Write("Raster parameters", "TIFF is multipage", "t");
  Write("Raster parameters", "Jpeg grayscale", "F");
  COptionsStore store(path_);
  const CPrinterSettings& s = store.Printer();
  EXPECT_EQ(s.ShowErrorMessages, 0);
  EXPECT_EQ(s.SilentMode, 1);
  EXPECT_EQ(s.CreateDirectoryIfNotExist, 1);  // "maybe": the default
  EXPECT_EQ(s.OverwriteFileIfExist, 1);
  EXPECT_EQ(s.UsingTargetFile, 1);  // empty: the default
  EXPECT_EQ(s.TIFF_MULTIPAGE, 1);
  EXPECT_EQ(s.JPEG_GRAYSCALE, 0);
}

TEST_F(Store, ValuesRoundTripInTheirFileForms) {
  {
    COptionsStore store(path_);
    store.Working().UserPassword = "user \xE9 pass";
    store.Working().OwnerPassword = std::string(511, 'o');
    store.Working().EnablePrinting = -7;  // any non-zero value is on
    store.Printer().JPEG_COMPRESSION = -3;
    store.Printer().TargetFile = "C:\\out\\file.pdf";
    ASSERT_TRUE(store.UpdateProfile());
  }
  const auto file = ReadIniText(path_);
  EXPECT_EQ(Value(file, "Profile0", "User password"), ScramblePassword("user \xE9 pass"));
  EXPECT_EQ(Value(file, "Profile0", "User password").size(), 2 * 11u);
  EXPECT_EQ(Value(file, "Profile0", "Owner password").size(), 1022u);
  EXPECT_EQ(Value(file, "Profile0", "Enable printing"), "Y");
  EXPECT_EQ(Value(file, "Raster parameters", "Jpeg compression"), "-3");

  COptionsStore again(path_);
  EXPECT_EQ(again.Working().UserPassword, "user \xE9 pass");
  EXPECT_EQ(again.Working().OwnerPassword, std::string(511, 'o'));
  EXPECT_EQ(again.Working().EnablePrinting, 1);
  EXPECT_EQ(again.Printer().JPEG_COMPRESSION, -3);
  EXPECT_EQ(again.Printer().TargetFile, "C:\\out\\file.pdf");
}

TEST_F(Store, LongTextsComeBackCutTo1023Characters) {
  {
    COptionsStore store(path_);
    store.Working().Title = std::string(1500, 't');
    store.UpdateProfile();
  }
  COptionsStore again(path_);
  EXPECT_EQ(again.Working().Title, std::string(1023, 't'));
}

TEST_F(Store, MissingProfileKeysReadAsZeroOffOrEmpty) {
  Write("Header", "ProfilesCount", "2");
  Write("Profile0", "Name", "<default>");
  Write("Profile1", "Name", "bare");
  Write("Header", "Last used", "1");
  COptionsStore store(path_);
  ASSERT_EQ(store.Count(), 2);
  EXPECT_EQ(store.Actual(), 1);
  const CPdfOptions& o = store.Working();
  EXPECT_EQ(o.BWImageCompression, 0);  // not a member of BWCompression, taken as it is
  EXPECT_EQ(o.URL_Autodetection, 0);
  EXPECT_EQ(o.Compression, 0);
  EXPECT_EQ(o.Title, "");
}

TEST_F(Store, DamagedDefaultProfileResetsTheList) {
  MakeFourProfiles();
  Write("Profile0", "Name", "renamed");
  Write("Header", "Last used", "3");
  COptionsStore store(path_);
  ASSERT_EQ(store.Count(), 1);
  EXPECT_EQ(store.Profiles()[0].Name, "<default>");
  EXPECT_EQ(store.Actual(), 0);  // the stored index is past the end
  // The other sections stay in the file, unread.
  EXPECT_EQ(Value(ReadIniText(path_), "Profile3", "Name"), "three");

  Write("Header", "ProfilesCount", "0");
  COptionsStore reset(path_);
  EXPECT_EQ(reset.Count(), 1);
}

TEST_F(Store, ConstructionMakesTheLastUsedProfileActual) {
  MakeFourProfiles();
  Write("Header", "Last used", "2");
  COptionsStore store(path_);
  EXPECT_EQ(store.Actual(), 2);
  EXPECT_EQ(store.Working().Title, "title of two");
  EXPECT_TRUE(store.IsOptionsExist());

  Write("Header", "Last used", "-1");
  COptionsStore negative(path_);
  EXPECT_EQ(negative.Actual(), 0);
}

TEST_F(Store, SetActualWritesOnlyLastUsedAndReloadsTheWorkingOptions) {
  MakeFourProfiles();
  COptionsStore store(path_);
  ASSERT_EQ(store.Actual(), 3);
  store.Working().Title = "unsaved";
  store.Printer().TargetDir = "C:\\unsaved";
  const auto before = ReadIniText(path_);

  ASSERT_TRUE(store.SetActual(3));  // same index: nothing written, options reloaded
  EXPECT_EQ(store.Working().Title, "title of three");
  EXPECT_EQ(ReadIniText(path_), before);

  ASSERT_TRUE(store.SetActual(1));
  auto expected = before;
  for (auto& key : expected[0].second) {
    if (key.first == "Last used") key.second = "1";
  }
  EXPECT_EQ(ReadIniText(path_), expected);
  EXPECT_EQ(store.Working().Title, "title of one");

  EXPECT_FALSE(store.SetActual(4));
  EXPECT_FALSE(store.SetActual(-1));
  EXPECT_EQ(store.Actual(), 1);
}

TEST_F(Store, ProfilesAreAddedOnceAndTheDefaultCannotBeRemoved) {
  COptionsStore store(path_);
  EXPECT_FALSE(store.AddProfile("<default>"));
  store.Working().Author = "me";
  ASSERT_TRUE(store.AddProfile(""));  // an empty name is a name
  EXPECT_FALSE(store.AddProfile(""));
  EXPECT_EQ(store.Actual(), 1);
  EXPECT_EQ(Value(ReadIniText(path_), "Header", "Last used"), "1");
  EXPECT_EQ(Value(ReadIniText(path_), "Profile1", "Author"), "me");
  EXPECT_FALSE(store.RemoveProfile(0));
  EXPECT_FALSE(store.RemoveProfileWithName("<default>"));
  EXPECT_FALSE(store.RemoveProfileWithName("nobody"));
  EXPECT_FALSE(store.RemoveProfile(2));
  EXPECT_TRUE(store.IsProfileNameExist(""));
  EXPECT_FALSE(store.IsProfileNameExist("ME"));
}

TEST_F(Store, RemovingProfileTwoOfFourRenumbersTheRest) {
  MakeFourProfiles();
  {
    COptionsStore store(path_);
    store.Working().Keywords = "working";
    ASSERT_TRUE(store.RemoveProfile(2));
    EXPECT_EQ(store.Count(), 3);
    // The actual index stays, and is now past the end: the rewrite made it 0.
    EXPECT_EQ(store.Actual(), 0);
    EXPECT_EQ(store.Working().Keywords, "working");
  }
  const auto file = ReadIniText(path_);
  EXPECT_EQ(Value(file, "Header", "ProfilesCount"), "3");
  EXPECT_EQ(Value(file, "Profile0", "Name"), "<default>");
  EXPECT_EQ(Value(file, "Profile1", "Name"), "one");
  EXPECT_EQ(Value(file, "Profile2", "Name"), "three");
  EXPECT_EQ(Value(file, "Profile2", "Title"), "title of three");
  EXPECT_EQ(tessera_test::FindSection(file, "Profile3"), nullptr);
}

TEST_F(Store, RemovingBeforeTheActualProfileKeepsTheIndex) {
  MakeFourProfiles();
  Write("Header", "Last used", "2");
  COptionsStore store(path_);
  ASSERT_TRUE(store.RemoveProfileWithName("one"));
  EXPECT_EQ(store.Actual(), 2);
  EXPECT_EQ(store.Profiles()[2].Name, "three");
}

TEST_F(Store, TheStoreSavedLastWins) {
  COptionsStore first(path_);
  COptionsStore second(path_);
  first.Working().Title = "first";
  second.Working().Title = "second";
  first.Printer().TargetFile = "first.pdf";
  second.UpdateProfile();
  first.UpdateProfile();
  COptionsStore after(path_);
  EXPECT_EQ(after.Working().Title, "first");
  EXPECT_EQ(after.Printer().TargetFile, "first.pdf");
}

TEST_F(Store, PathTooLongForTheFileFunctionsIsNeverTouched) {
  const std::string longPath = "C:\\" + std::string(250, 'd') + "\\RurAdazavu.ini";
  ASSERT_GT(longPath.size(), CIniFile::kMaxPath);
  COptionsStore store(longPath);
  EXPECT_FALSE(store.File().Usable());
  EXPECT_EQ(store.Count(), 0);  // as for a file that cannot be written
  EXPECT_EQ(store.Working(), CPdfOptions());
  EXPECT_FALSE(store.SetActual(0));
  EXPECT_FALSE(store.UpdateProfile());
  store.Printer().SilentMode = 5;  // the values still live in memory
  store.SaveAll();
  EXPECT_EQ(store.Printer().SilentMode, 5);
  const std::string fitting(CIniFile::kMaxPath, 'x');
  EXPECT_TRUE(CIniFile(fitting).Usable());
  EXPECT_FALSE(CIniFile(fitting + "x").Usable());
  EXPECT_FALSE(CIniFile("").Usable());
}

TEST_F(Store, DefaultFileIsInTheLocalApplicationDataFolder) {
  const std::string path = COptionsStore::DefaultFilePath();
  const std::string tail = "\\RurAdazavu.ini";
  ASSERT_GT(path.size(), tail.size());
  EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
  EXPECT_NE(path[0], '\\') << "the local application-data folder was not found";
}

}  // namespace
