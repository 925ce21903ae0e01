// The job reads its options from a Tessera object of its own; what another
// instance stored before reaches it through the options file.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <fstream>

#include "Tessera_h.h"
#include "testkit/components.h"
#include "fakes.h"
#include "test_emf.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"

namespace {

class ComThread : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_EQ(testkit::RegisterServerBeside(L"Tessera.dll"), S_OK);
  }
  void TearDown() override { ::CoUninitialize(); }
  testkit::OptionsFileAside optionsFile_;
};

void Put(ITessera* t, HRESULT (STDMETHODCALLTYPE ITessera::*put)(BSTR), const char* text) {
  w32::Bstr b;
  ASSERT_EQ(w32::BstrFromNarrow(text, b.Put()), S_OK);
  ASSERT_EQ((t->*put)(b.Get()), S_OK);
}

TEST_F(ComThread, OptionsStoredByAnotherInstanceReachTheWriter) {
  {
    w32::ComPtr<ITessera> main;
    CLSID clsid;
    ASSERT_EQ(::CLSIDFromProgID(L"Tessera", &clsid), S_OK);
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITessera,
                                 main.PutVoid()), S_OK);
    ASSERT_EQ(main->put_Mode(static_cast<PageMode>(2)), S_OK);
    ASSERT_EQ(main->put_Layout(static_cast<PageLayout>(3)), S_OK);
    Put(main.Get(), &ITessera::put_Title, "Quarterly");
    Put(main.Get(), &ITessera::put_Author, "Ann Author");
    ASSERT_EQ(main->put_PdfProtectionEnabled(1), S_OK);
    ASSERT_EQ(main->put_EnablePrinting(1), S_OK);
    Put(main.Get(), &ITessera::put_UserPassword, "user1");
    ASSERT_EQ(main->put_UsingTargetFile(1), S_OK);
    Put(main.Get(), &ITessera::put_TargetFile, "C:\\nowhere\\out.pdf");
    ASSERT_EQ(main->put_OverwriteFileIfExist(1), S_OK);
    // PDF options live in profiles: store them as a profile and make it the
    // actual one, as the settings manager does.
    w32::Bstr name;
    ASSERT_EQ(w32::BstrFromNarrow("Job test", name.Put()), S_OK);
    BSTR raw = name.Get();
    ASSERT_EQ(main->AddProfile(&raw), S_OK);
    short count = 0;
    ASSERT_EQ(main->GetProfilesCount(&count), S_OK);
    ASSERT_EQ(main->SetActual(static_cast<short>(count - 1)), S_OK);
  }  // the release stores everything

  const std::string folder = MakeScratchFolder("options");
  std::ofstream(folder + "job.ini") << "[Document]\n";
  TestConverter c(folder + "job.ini", nullptr);
  c.realOptions = true;
  c.askToOpen = 0;
  c.job.documentName = "doc";
  c.job.resolution = 600;
  c.job.pageFiles.push_back(folder + "p0.emf");
  WriteTestEmf(c.job.pageFiles[0], 4961, 7016, 210000, 297000);
  ASSERT_TRUE(c.Start());
  ASSERT_EQ(::WaitForSingleObject(c.ThreadHandle(), 120000), WAIT_OBJECT_0);
  EXPECT_TRUE(c.shown.empty()) << c.shown[0].text;
  const auto& calls = c.seen.calls;
  for (const char* expected : {"PageMode(2)", "PageLayout(3)", "Title(Quarterly)",
                               "Author(Ann Author)", "Encryption(1)", "Print(1)", "Copy(0)",
                               "UserPw(user1)", "End"})
    EXPECT_NE(std::find(calls.begin(), calls.end(), expected), calls.end()) << expected;
  EXPECT_EQ(c.seen.outputFile, "C:\\nowhere\\out.pdf");
  RemoveTree(folder);
}

}  // namespace
