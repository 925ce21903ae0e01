// The writer as the conversion job sees it: created by ProgID, called by
// place in its function table. The PDFs written here are checked afterwards
// with qpdf, pdfinfo and mutool by check_outputs.sh (expectation files).
#include <windows.h>

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>
#include <vector>

#include "conversion_job.h"
#include "w32/module_path.h"
#include "w32/registry.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"
#include "writer_test_support.h"

namespace qktest {
namespace {

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(com_.Result())); }
  std::wstring Target(const std::wstring& name) { return w32::JoinPath(OutputFolder(), name); }
  ComApartment com_;
};

std::string Points(long dots, long resolution) {
  return w32::Format("%.2f", dots * 72.0 / resolution);
}

TEST_F(WriterTest, RegisteredUnderProgIdWithInprocServer) {
  const auto clsidText = w32::RegKey::Open(HKEY_CLASSES_ROOT, L"Quillkit3.PDFDocument3\\CLSID").ReadString(L"");
  ASSERT_TRUE(clsidText.has_value());
  const std::wstring classKey = L"CLSID\\" + *clsidText;
  EXPECT_EQ(w32::RegKey::Open(HKEY_CLASSES_ROOT, classKey + L"\\ProgID").ReadString(L"").value_or(L""),
            L"Quillkit3.PDFDocument3");
  const w32::RegKey server = w32::RegKey::Open(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32");
  const std::wstring path = server.ReadString(L"").value_or(L"");
  EXPECT_TRUE(w32::FileExists(path)) << w32::Narrow(path);
  EXPECT_EQ(_wcsicmp(w32::JoinPath(w32::ModuleFolder(), L"quillkit.dll").c_str(), path.c_str()), 0)
      << w32::Narrow(path);
  EXPECT_EQ(server.ReadString(L"ThreadingModel").value_or(L""), L"Both");

  Writer writer;
  EXPECT_EQ(writer.CreateResult(), S_OK);
}

TEST_F(WriterTest, UnregisterRemovesTheClassAndRegisterRestoresIt) {
  w32::ModuleHandle dll(LoadLibraryW(w32::JoinPath(w32::ModuleFolder(), L"quillkit.dll").c_str()));
  ASSERT_TRUE(dll);
  using Entry = HRESULT(STDAPICALLTYPE*)();
  auto unregister = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll.Get(), "DllUnregisterServer")));
  auto doRegister = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll.Get(), "DllRegisterServer")));
  ASSERT_TRUE(unregister && doRegister);
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
  wchar_t clsidText[64] = {};
  StringFromGUID2(clsid, clsidText, 64);

  ASSERT_EQ(unregister(), S_OK);
  EXPECT_FALSE(w32::RegKey::Open(HKEY_CLASSES_ROOT, L"Quillkit3.PDFDocument3").Valid());
  EXPECT_FALSE(w32::RegKey::Open(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + clsidText).Valid());
  EXPECT_TRUE(w32::RegKey::Open(HKEY_CLASSES_ROOT, L"CLSID").Valid());
  EXPECT_EQ(unregister(), S_OK);  // nothing left to remove is no failure

  ASSERT_EQ(doRegister(), S_OK);
  ASSERT_EQ(doRegister(), S_OK);  // registering twice leaves one clean entry
  Writer writer;
  EXPECT_EQ(writer.CreateResult(), S_OK);
}

TEST_F(WriterTest, ThreePageJobOfDifferentSizes) {
  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  JobOptions o;
  o.mode = 1;    // outlines
  o.layout = 2;  // two columns, odd pages left
  o.title = L"Quarterly report";
  o.author = L"J\u00F6rg M\u00FCller";
  o.subject = L"Three pages";
  o.keywords = L"alpha beta";
  const std::vector<JobPage> pages = {{CorpusFile(L"apps\\test-068.emf")},
                                      {CorpusFile(L"apps\\test-138.emf")},
                                      {CorpusFile(L"apps\\test-160.emf")}};
  std::vector<PageSize> sizes;
  ASSERT_EQ(RunConversionJob(writer.Client(), Target(L"three-pages.pdf"), o, pages, &sizes), S_OK);
  ASSERT_EQ(sizes.size(), 3u);
  // A 600 dpi page keeps its device size; the 299 dpi page (a landscape
  // screen picture) is scaled to 600 dpi.
  EXPECT_EQ(sizes[0].width, 4750);
  EXPECT_EQ(sizes[0].height, 6814);
  EXPECT_EQ(sizes[1].width, static_cast<long>(3765 * (600.0 / 299)));
  EXPECT_EQ(sizes[1].height, static_cast<long>(2824 * (600.0 / 299)));
  EXPECT_GT(sizes[1].width, sizes[1].height);
  EXPECT_EQ(sizes[2].width, static_cast<long>(4896 * (600.0 / 601)));

  std::vector<std::string> expect = {"file three-pages.pdf", "pages 3"};
  for (size_t i = 0; i < sizes.size(); ++i)
    expect.push_back(w32::Format("page %u %s %s", static_cast<unsigned>(i + 1),
                                 Points(sizes[i].width, 600).c_str(), Points(sizes[i].height, 600).c_str()));
  expect.push_back("info Title Quarterly report");
  expect.push_back("info Author J\xC3\xB6rg M\xC3\xBCller");
  expect.push_back("info Subject Three pages");
  expect.push_back("info Keywords alpha beta");
  expect.push_back("root PageMode /UseOutlines");
  expect.push_back("root PageLayout /TwoColumnLeft");
  expect.push_back("encrypt none");
  WriteExpectations(L"three-pages", expect);
}

TEST_F(WriterTest, EncryptedJobs) {
  struct Case {
    const wchar_t* name;
    long keyLength, copy, print, annotations, structure;
    const wchar_t* user;
    const wchar_t* owner;
    const char* expect;
  };
  const Case cases[] = {
      {L"enc-40-print", 0, 0, 1, 0, 0, L"user1", L"owner1", "encrypt 40 print=yes copy=no annotate=no modify=no"},
      {L"enc-128-copy-annot", 1, 1, 0, 1, 0, L"user1", L"", "encrypt 128 print=no copy=yes annotate=yes modify=no"},
      {L"enc-128-owner-only", 1, 0, 0, 0, 1, L"", L"owner1", "encrypt 128 print=no copy=no annotate=no modify=yes"},
      // No password at all: the job sets no key length, the writer's default holds.
      {L"enc-nopw", -1, 1, 1, 0, 0, L"", L"", "encrypt any print=yes copy=yes annotate=no modify=no"},
  };
  for (const Case& c : cases) {
    Writer writer;
    ASSERT_EQ(writer.CreateResult(), S_OK);
    JobOptions o;
    o.protect = true;
    o.keyLength = c.keyLength < 0 ? 0 : c.keyLength;
    o.copy = c.copy, o.print = c.print, o.annotations = c.annotations, o.structure = c.structure;
    o.userPassword = c.user;
    o.ownerPassword = c.owner;
    const std::wstring file = std::wstring(c.name) + L".pdf";
    ASSERT_EQ(RunConversionJob(writer.Client(), Target(file), o, {{CorpusFile(L"apps\\test-068.emf")}}, nullptr),
              S_OK)
        << w32::Narrow(c.name);
    WriteExpectations(c.name, {"file " + w32::Narrow(file), "password " + w32::Narrow(c.user), "pages 1",
                               c.expect, *c.owner ? "owner " + w32::Narrow(c.owner) : "owner-unknown"});
  }
}

TEST_F(WriterTest, CancelledJobEndsWithoutAStrayBlankPage) {
  // The job draws two of three pages, opens the third with "new page" and
  // stops: the file holds the two pages drawn.
  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  const std::vector<JobPage> pages(3, JobPage{CorpusFile(L"apps\\test-068.emf")});
  ASSERT_EQ(RunConversionJob(writer.Client(), Target(L"cancelled.pdf"), JobOptions{}, pages, nullptr, 2), S_OK);
  WriteExpectations(L"cancelled", {"file cancelled.pdf", "pages 2"});
}

TEST_F(WriterTest, BlankPageOfTheJobIsKept) {
  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  const std::wstring blank = RecordBlankEmf(L"blank.emf", 21000, 29700);
  const std::vector<JobPage> pages = {{CorpusFile(L"apps\\test-068.emf")}, {blank}, {blank}};
  ASSERT_EQ(RunConversionJob(writer.Client(), Target(L"blank-pages.pdf"), JobOptions{}, pages, nullptr), S_OK);
  WriteExpectations(L"blank-pages", {"file blank-pages.pdf", "pages 3"});
}

TEST_F(WriterTest, LaterDrawingsAndPositionsOnOnePage) {
  // Two pictures on one page, the second offset and halved, at 300 dpi.
  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  const VtableClient& w = writer.Client();
  w32::EnhMetaFile emf(GetEnhMetaFileW(CorpusFile(L"apps\\test-109.emf").c_str()));
  ASSERT_TRUE(emf);
  ASSERT_EQ(w.Text(kOutputFileName, Target(L"overlay.pdf")), S_OK);
  ASSERT_EQ(w.Call(kSetResolution, 300L), S_OK);
  ASSERT_EQ(w.Call(kBeginDocument), S_OK);
  ASSERT_EQ(w.Call(kSetPageWidth, 2480L), S_OK);
  ASSERT_EQ(w.Call(kSetPageHeight, 3508L), S_OK);
  EXPECT_EQ(w.Get(kGetPageWidth), 2480);
  EXPECT_EQ(w.Get(kGetPageHeight), 3508);
  EXPECT_EQ(w.Get(kGetResolution), 300);
  EXPECT_EQ(w.Play(emf.Get(), 0, 0, 0.5, 0.5), S_OK);
  EXPECT_EQ(w.Play(emf.Get(), 600, 900, 0.25, 0.25), S_OK);
  // A new resolution for the next page keeps this page's physical size.
  ASSERT_EQ(w.Call(kSetResolution, 600L), S_OK);
  EXPECT_EQ(w.Get(kGetPageWidth), 4960);
  ASSERT_EQ(w.Call(kNewPage), S_OK);
  EXPECT_EQ(w.Get(kGetPageWidth), 4960);  // the new page starts with the last size
  ASSERT_EQ(w.Call(kSetPageWidth, 6000L), S_OK);
  EXPECT_EQ(w.Play(emf.Get(), 0, 0, 1, 1), S_OK);
  ASSERT_EQ(w.Call(kEndDocument), S_OK);
  WriteExpectations(L"overlay", {"file overlay.pdf", "pages 2", "page 1 595.20 841.92", "page 2 720.00 841.92"});
}

TEST_F(WriterTest, OtherPlacesReturnNotImplemented) {
  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  const std::set<int> used = {7,   8,   10,  11,  12,  17,  18,  19,  20,  59,  137, 139, 141, 143, 152,
                              154, 156, 158, 203, 205, 207, 209, 211, 213, 215, 225, 227, 336, 345, 400};
  int reserved = 0;
  for (int slot = 7; slot <= 400; ++slot) {
    if (used.count(slot)) continue;
    ++reserved;
    EXPECT_EQ(writer.Client().Call(slot), E_NOTIMPL) << "place " << slot;
  }
  EXPECT_EQ(reserved, 364);
  // The fixed settings take any value and leave the document alone.
  for (int slot : {336, 137, 139, 400})
    for (long value : {0L, 1L, 100L, -7L}) EXPECT_EQ(writer.Client().Call(slot, value), S_OK);
}

TEST_F(WriterTest, AnswersForItsInterfacesOnly) {
  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  IUnknown* other = nullptr;
  EXPECT_EQ(writer.Get()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&other)), S_OK);
  if (other) other->Release();
  ISupportErrorInfo* support = nullptr;
  ASSERT_EQ(writer.Get()->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(kIidPdfDocument2), S_OK);
  support->Release();
  EXPECT_EQ(writer.Get()->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
}

TEST_F(WriterTest, CallsOutOfOrderFail) {
  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  const VtableClient& w = writer.Client();
  w32::EnhMetaFile emf(GetEnhMetaFileW(CorpusFile(L"apps\\test-068.emf").c_str()));
  ASSERT_TRUE(emf);
  EXPECT_TRUE(FAILED(w.Play(emf.Get(), 0, 0, 1, 1)));
  EXPECT_TRUE(FAILED(w.Call(kNewPage)));
  EXPECT_TRUE(FAILED(w.Call(kEndDocument)));
  EXPECT_TRUE(FAILED(w.Call(kSetPageWidth, 100L)));
  EXPECT_TRUE(FAILED(w.Call(kBeginDocument)));  // no file name yet

  ASSERT_EQ(w.Text(kOutputFileName, Target(L"order.pdf")), S_OK);
  ASSERT_EQ(w.Call(kBeginDocument), S_OK);
  EXPECT_TRUE(FAILED(w.Call(kBeginDocument)));
  // Settings and the file name hold for the whole document once it began.
  EXPECT_TRUE(FAILED(w.Text(kTitle, L"late")));
  EXPECT_TRUE(FAILED(w.Text(kOutputFileName, Target(L"other.pdf"))));
  EXPECT_TRUE(FAILED(w.Call(kPageMode, 1L)));
  EXPECT_TRUE(FAILED(w.Call(kEncryption, 1L)));
  ASSERT_EQ(w.Call(kSetPageWidth, 612L), S_OK);
  ASSERT_EQ(w.Call(kSetPageHeight, 792L), S_OK);
  EXPECT_EQ(w.Play(emf.Get(), 0, 0, 0.1, 0.1), S_OK);
  EXPECT_EQ(w.Call(kEndDocument), S_OK);
  EXPECT_TRUE(FAILED(w.Call(kEndDocument)));
  EXPECT_TRUE(FAILED(w.Play(emf.Get(), 0, 0, 1, 1)));
  WriteExpectations(L"order", {"file order.pdf", "pages 1", "page 1 612.00 792.00", "info Title -"});
  EXPECT_FALSE(w32::FileExists(Target(L"other.pdf")));
}

TEST_F(WriterTest, BadValuesFailAndChangeNothing) {
  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  const VtableClient& w = writer.Client();
  EXPECT_EQ(w.Call(kSetResolution, 0L), E_INVALIDARG);
  EXPECT_EQ(w.Call(kSetResolution, -300L), E_INVALIDARG);
  EXPECT_EQ(w.Call(kPageMode, 4L), E_INVALIDARG);
  EXPECT_EQ(w.Call(kPageMode, -1L), E_INVALIDARG);
  EXPECT_EQ(w.Call(kPageLayout, 4L), E_INVALIDARG);
  EXPECT_EQ(w.Call(kCompression, 2L), E_INVALIDARG);
  EXPECT_EQ(w.Call(kKeyLength, 2L), E_INVALIDARG);
  EXPECT_EQ(w.Call(kGetResolution, static_cast<long*>(nullptr)), E_POINTER);
  EXPECT_EQ(w.Call(kGetPageWidth, static_cast<long*>(nullptr)), E_POINTER);
  EXPECT_TRUE(FAILED(w.Call(kOutputFileName, static_cast<BSTR>(nullptr))));
  ASSERT_EQ(w.Call(kSetResolution, 300L), S_OK);
  EXPECT_EQ(w.Get(kGetResolution), 300);

  ASSERT_EQ(w.Text(kOutputFileName, Target(L"bad-values.pdf")), S_OK);
  ASSERT_EQ(w.Call(kBeginDocument), S_OK);
  EXPECT_EQ(w.Call(kSetPageWidth, 0L), E_INVALIDARG);
  EXPECT_EQ(w.Call(kSetPageHeight, -5L), E_INVALIDARG);
  EXPECT_EQ(w.Call(kSetPageWidth, 300L * 201), E_INVALIDARG);  // beyond 200 inches
  ASSERT_EQ(w.Call(kSetPageWidth, 900L), S_OK);
  ASSERT_EQ(w.Call(kSetPageHeight, 600L), S_OK);

  // A handle to no metafile: a brush, a stale handle, none at all.
  w32::GdiObject brush(CreateSolidBrush(RGB(1, 2, 3)));
  EXPECT_TRUE(FAILED(w.Play(reinterpret_cast<HENHMETAFILE>(brush.Get()), 0, 0, 1, 1)));
  EXPECT_TRUE(FAILED(w.Play(reinterpret_cast<HENHMETAFILE>(static_cast<INT_PTR>(0x4321)), 0, 0, 1, 1)));
  EXPECT_TRUE(FAILED(w.Play(nullptr, 0, 0, 1, 1)));
  w32::EnhMetaFile emf(GetEnhMetaFileW(CorpusFile(L"apps\\test-068.emf").c_str()));
  ASSERT_TRUE(emf);
  EXPECT_EQ(w.Play(emf.Get(), 0, 0, std::numeric_limits<double>::quiet_NaN(), 1), E_INVALIDARG);
  EXPECT_EQ(w.Play(emf.Get(), 0, 0, 0.1, 0.1), S_OK);

  // The failures left the document intact.
  EXPECT_EQ(w.Get(kGetPageWidth), 900);
  EXPECT_EQ(w.Call(kEndDocument), S_OK);
  WriteExpectations(L"bad-values", {"file bad-values.pdf", "pages 1", "page 1 216.00 144.00"});
}

TEST_F(WriterTest, DamagedMetafileIsDrawnAsFarAsValid) {
  // A metafile whose records run past its end still passes GDI's header
  // check; the page is kept and the document completes.
  w32::EnhMetaFile good(GetEnhMetaFileW(CorpusFile(L"apps\\test-068.emf").c_str()));
  ASSERT_TRUE(good);
  std::vector<BYTE> bits(GetEnhMetaFileBits(good.Get(), 0, nullptr));
  ASSERT_GT(bits.size(), 2000u);
  GetEnhMetaFileBits(good.Get(), static_cast<UINT>(bits.size()), bits.data());
  ENHMETAHEADER* header = reinterpret_cast<ENHMETAHEADER*>(bits.data());
  const DWORD at = header->nSize;           // the first record after the header
  reinterpret_cast<DWORD*>(bits.data() + at)[1] = 0x7FFFFFF0;  // its size runs far past the end
  w32::EnhMetaFile damaged(SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data()));
  if (!damaged) GTEST_SKIP() << "GDI refuses the damaged metafile";

  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  const VtableClient& w = writer.Client();
  ASSERT_EQ(w.Text(kOutputFileName, Target(L"damaged.pdf")), S_OK);
  ASSERT_EQ(w.Call(kBeginDocument), S_OK);
  ASSERT_EQ(w.Call(kSetPageWidth, 612L), S_OK);
  ASSERT_EQ(w.Call(kSetPageHeight, 792L), S_OK);
  EXPECT_TRUE(SUCCEEDED(w.Play(damaged.Get(), 0, 0, 0.1, 0.1)));
  EXPECT_EQ(w.Call(kEndDocument), S_OK);
  WriteExpectations(L"damaged", {"file damaged.pdf", "pages 1"});
}

TEST_F(WriterTest, UnwritableTargetFailsWithAReason) {
  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  const VtableClient& w = writer.Client();
  ASSERT_EQ(w.Text(kOutputFileName, Target(L"no-such-folder\\x.pdf")), S_OK);
  EXPECT_TRUE(FAILED(w.Call(kBeginDocument)));
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR description = nullptr;
  info->GetDescription(&description);
  EXPECT_GT(SysStringLen(description), 0u);
  SysFreeString(description);
  info->Release();

  Writer second;  // a folder where the file should be
  ASSERT_EQ(second.Client().Text(kOutputFileName, OutputFolder()), S_OK);
  EXPECT_TRUE(FAILED(second.Client().Call(kBeginDocument)));
  const DWORD attributes = GetFileAttributesW(OutputFolder().c_str());  // the folder is untouched
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(WriterTest, WriterReleasedBeforeTheEndLeavesNoFile) {
  const std::wstring target = Target(L"abandoned.pdf");
  DeleteFileW(target.c_str());
  {
    Writer writer;
    ASSERT_EQ(writer.CreateResult(), S_OK);
    const VtableClient& w = writer.Client();
    ASSERT_EQ(w.Text(kOutputFileName, target), S_OK);
    ASSERT_EQ(w.Call(kBeginDocument), S_OK);
    ASSERT_EQ(w.Call(kSetPageWidth, 612L), S_OK);
    ASSERT_EQ(w.Call(kNewPage), S_OK);
  }
  EXPECT_FALSE(w32::FileExists(target));
}

TEST_F(WriterTest, ModuleCountsItsObjects) {
  w32::ModuleHandle dll(LoadLibraryW(w32::JoinPath(w32::ModuleFolder(), L"quillkit.dll").c_str()));
  ASSERT_TRUE(dll);
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  auto getClassObject = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll.Get(), "DllGetClassObject")));
  auto canUnload = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll.Get(), "DllCanUnloadNow")));
  ASSERT_TRUE(getClassObject && canUnload);
  ASSERT_TRUE(GetProcAddress(dll.Get(), "DllRegisterServer") && GetProcAddress(dll.Get(), "DllUnregisterServer"));

  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
  IClassFactory* factory = nullptr;
  EXPECT_EQ(getClassObject(IID_IUnknown, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_EQ(getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  IUnknown* object = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, kIidPdfDocument2, reinterpret_cast<void**>(&object)), S_OK);
  factory->Release();
  EXPECT_EQ(canUnload(), S_FALSE);
  object->Release();
  EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
}  // namespace qktest
