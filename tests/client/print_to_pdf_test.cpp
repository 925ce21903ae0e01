// The whole print path under Wine, through the real client: the spool
// stand-in prints a sample job, inkagent hands it to inkclient.exe, the
// client shows it, Save is driven through the save dialog, and the PDF is
// written by the registered PDF writer with the registered options
// component. check_pdf.sh then checks it with qpdf and pdftotext.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../agent/print_path.h"
#include "Tessera_h.h"
#include "client_drive.h"
#include "test_job.h"
#include "testkit/components.h"
#include "testkit/process.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"
#include "w32/strings.h"

namespace {

constexpr DWORD kFirstWindow = 120000;  // agent, converter and a first client start
constexpr DWORD kSave = 180000;         // save dialog, conversion, the question

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ClientPrintPath : public printpath::PrintPathTest {
 protected:
  void TearDown() override {
    if (client_) {
      // A failed step leaves the client open: it ends with the test.
      DWORD pid = 0;
      ::GetWindowThreadProcessId(client_, &pid);
      w32::KernelHandle p(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
      if (p && ::WaitForSingleObject(p.Get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(p.Get(), 1);
        ::WaitForSingleObject(p.Get(), 10000);
      }
    }
    printpath::PrintPathTest::TearDown();
  }
  HWND client_ = nullptr;
};

TEST_F(ClientPrintPath, SpooledJobBecomesACheckedPdfThroughTheClient) {
  testkit::OptionsFileAside options;
  ASSERT_EQ(testkit::RegisterServerBeside(L"Tessera.dll"), S_OK);
  ASSERT_EQ(testkit::RegisterServerBeside(L"quillkit.dll"), S_OK);
  // Document information in a profile of its own: it reaches the PDF
  // through the job's own options object.
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    CLSID clsid{};
    ASSERT_EQ(::CLSIDFromProgID(L"Tessera", &clsid), S_OK);
    w32::ComPtr<ITessera> tessera;
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_ITessera, tessera.PutVoid()), S_OK);
    w32::Bstr title, author, profile;
    ASSERT_EQ(w32::BstrFromWide(L"Quarterly report, printed through Scrivo", title.Put()), S_OK);
    ASSERT_EQ(w32::BstrFromWide(L"Scrivo print path test", author.Put()), S_OK);
    ASSERT_EQ(w32::BstrFromWide(L"Print path", profile.Put()), S_OK);
    ASSERT_EQ(tessera->put_Title(title.Get()), S_OK);
    ASSERT_EQ(tessera->put_Author(author.Get()), S_OK);
    BSTR name = profile.Get();
    ASSERT_EQ(tessera->AddProfile(&name), S_OK);
  }
  ::CoUninitialize();
  printpath::SetString(L"Client Application", testkit::BinFolder() + L"\\inkclient.exe");
  // The pages stay for the client (the converter would delete them otherwise).
  printpath::SetDword(L"EMF: Enabled", 1, printpath::kProductKey, HKEY_CURRENT_USER);

  agent_ = StartAgent();
  ASSERT_TRUE(agent_.Running());
  const std::wstring spool = printpath::ScratchFolder(L"scrivo client spool");
  // Where the checks that follow this test look for the PDF.
  const std::wstring out = testkit::BinFolder() + L"\\print-path";
  ::CreateDirectoryW(out.c_str(), nullptr);
  const std::wstring target = out + L"\\Quarterly report.pdf";
  ::DeleteFileW(target.c_str());

  std::wstring printed;
  ASSERT_EQ(printpath::RunSpoolSide(L"--pages 2 --document \"Quarterly report\" --folder \"" +
                                        spool + L"\" --wait 60000 --quiet",
                                    kFirstWindow, &printed),
            0u)
      << w32::Narrow(printed);
  const std::wstring jobPath = printed.substr(0, printed.find_first_of(L"\r\n"));
  ASSERT_TRUE(Exists(jobPath)) << w32::Narrow(jobPath);

  client_ = clientdrive::WaitForClientWindow(0, kFirstWindow);
  ASSERT_NE(client_, nullptr) << "the client's window did not come up";
  EXPECT_EQ(clientdrive::PageIndicator(client_), L"Page 1 of 2");
  ::Sleep(500);  // let the page paint
  const std::wstring shots = testkit::BinFolder() + L"\\screenshots";
  ::CreateDirectoryW(shots.c_str(), nullptr);
  SaveScreenshot(nullptr, w32::Narrow(shots) + "\\print_path_preview.bmp");

  const clientdrive::SaveResult saved = clientdrive::SaveAs(client_, target, kSave);
  ASSERT_TRUE(saved.ok) << w32::Narrow(saved.error);
  EXPECT_EQ(saved.openQuestion, L"Would you like to open PDF file ?");
  client_ = nullptr;

  // Exit code 1: the job file is gone; the pages went with the conversion.
  EXPECT_FALSE(Exists(jobPath));
  {
    WIN32_FIND_DATAW data;
    w32::FindHandle pages(::FindFirstFileW((spool + L"\\*.emf").c_str(), &data));
    EXPECT_FALSE(pages.Valid()) << "a page file is left: " << w32::Narrow(data.cFileName);
  }
  ASSERT_TRUE(Exists(target));

  // qpdf and pdftotext check the PDF next (ClientPrintPath.CheckPdf), natively.
  FILE* f = _wfopen(target.c_str(), L"rb");
  ASSERT_NE(f, nullptr);
  char head[5]{};
  std::fread(head, 1, 4, f);
  std::fclose(f);
  EXPECT_STREQ(head, "%PDF");
}

}  // namespace
