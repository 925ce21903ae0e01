#include "conversion/emf_to_pdf_converter.h"

#include <objbase.h>
#include <shellapi.h>

#include "conversion/com_error.h"
#include "conversion/target_path.h"
#include "log/trace.h"
#include "w32/strings.h"

UINT ConversionFinishedMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"21DA3095-5863-46ad-834A-EB14B8960172");
  return message;
}

namespace {

// COM for the job's thread: a single-threaded apartment, left when Run ends
// by any road.
class ComApartment {
 public:
  ComApartment() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT hr_;
};

// True when another program holds the file open so that it cannot be read
// exclusively.
bool HeldOpenByAnother(const std::string& path) {
  w32::KernelHandle f(::CreateFileW(w32::Widen(path).c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !f && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

CEmfToPdfConverter::CEmfToPdfConverter(const std::string& jobPath, HWND owner) : owner_(owner) {
  LogInfo("-=ETPC=- ()");
  if (!jobPath.empty() && PathExists(jobPath) && !FolderExists(jobPath)) jobPath_ = jobPath;
}

CEmfToPdfConverter::~CEmfToPdfConverter() {
  LogInfo("-=ETPC=- ~");
  // The thread is stopped before the job data it may still be using goes.
  Stop();
  job_.reset();
}

void CEmfToPdfConverter::CancelWork() {
  LogInfo("-=ETPC=- CancelWork()");
  cancelled_ = 1;
  if (ThreadExists()) RequestStop();
}

int CEmfToPdfConverter::ShowMessage(HWND owner, const std::string& text,
                                    const std::string& caption, UINT flags) {
  return ::MessageBoxW(owner, w32::Widen(text).c_str(), w32::Widen(caption).c_str(), flags);
}

void CEmfToPdfConverter::OpenTarget(const std::string& path) {
  ::ShellExecuteW(nullptr, L"open", w32::Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CEmfToPdfConverter::PostCompletion() {
  // Retried until the window takes it; a window that is gone cannot.
  while (owner_ && ::IsWindow(owner_) &&
         !::PostMessageW(owner_, ConversionFinishedMessage(), 0, 0))
    ::Sleep(50);
}

bool CEmfToPdfConverter::StartProgressDialog() { return progress.StartProgress(owner_, this); }
void CEmfToPdfConverter::ReportProgress(unsigned position) { progress.SetProgressPos(position); }
void CEmfToPdfConverter::StopProgressDialog() { progress.StopProgress(); }

void CEmfToPdfConverter::ShowError(const std::string& text, bool owned) {
  ShowMessage(owned ? owner_ : nullptr, text, "Error", MB_OK | MB_ICONINFORMATION);
}

void CEmfToPdfConverter::ShowErrorIfAllowed(IJobOptions& options, const std::string& text,
                                            bool owned) {
  if (options.Number(JobOption::ShowErrorMessages)) ShowError(text, owned);
}

void CEmfToPdfConverter::DeletePageFiles() {
  // Every file the job lists, including pages skipped because they could
  // not be read; results are ignored.
  if (!job_) return;
  for (const std::string& file : job_->pageFiles) ::DeleteFileW(w32::Widen(file).c_str());
}

DWORD CEmfToPdfConverter::Run() {
  ComApartment com;
  if (!workingFolder.empty()) ::SetCurrentDirectoryW(w32::Widen(workingFolder).c_str());

  std::unique_ptr<IJobOptions> options = ConnectOptions();
  if (!options) {
    ShowError("PDF converter - connection to ITessera failed !");
    LogError("-=ETPC=- PDF converter - connection to ITessera failed !");
    return 0;
  }
  std::unique_ptr<IPdfWriter> writer = ConnectPdfWriter();
  if (!writer) {
    options.reset();
    ShowError("PDF converter - connection to IqkPDFDocument2 failed !");
    LogError("-=ETPC=- PDF converter - connection to IqkPDFDocument2 failed !");
    return 0;
  }
  if (RunSteps(*options, writer)) Finish(*options);
  writer.reset();
  options.reset();
  return 0;
}

// Steps from reading the first options to writing the document. False when
// the job ended on one of its error paths.
bool CEmfToPdfConverter::RunSteps(IJobOptions& options, std::unique_ptr<IPdfWriter>& writer) {
  showErrorMessages_ = options.Number(JobOption::ShowErrorMessages);
  overwriteFileIfExist_ = options.Number(JobOption::OverwriteFileIfExist);
  createDirectoryIfNotExist_ = options.Number(JobOption::CreateDirectoryIfNotExist);

  if (jobPath_.empty()) {
    if (showErrorMessages_) ShowError("PDF converter job is not specified !");
    LogError("-=ETPC=- PDF converter job is not specified !");
    return false;
  }
  job_ = std::make_unique<ParsedJob>();
  // A job without a usable resolution could not be given to the writer: it
  // is refused here with a message instead of failing silently later.
  if (!ParseJob(jobPath_, *job_) || job_->resolution < 1) {
    job_.reset();
    if (showErrorMessages_) ShowError("Cannot parse input file !");
    LogError("-=ETPC=- Cannot parse input file !");
    return false;
  }

  if (owner_) StartProgressDialog();

  totalWeight_ = 0;
  PreparePages();
  if (Cancelled()) {
    // Cancelled while the pages were prepared: nothing to report but the
    // cancel itself; the dialog is already gone and its manager is stopped.
    writer.reset();
    if (owner_) StopProgressDialog();
    LogInfo("-=ETPC=- PDF converter job is cancelled.");
    return false;
  }
  if (pages_.empty()) {
    if (showErrorMessages_) ShowError("No files in PDF converter job !");
    writer.reset();
    CancelWork();
    return false;
  }

  ApplyOptions(options, *writer);

  if (options.Number(JobOption::UsingTargetFile)) {
    targetPath_ = options.Text(JobOption::TargetFile);
    LogInfoF("%s %s", "-=ETPC=- Target file is", targetPath_.c_str());
    if (targetPath_.empty()) {
      writer.reset();
      DeletePageFiles();
      ShowErrorIfAllowed(options, "PDF converter target file is not specified !");
      CancelWork();
      return false;
    }
    if (PathExists(targetPath_) && overwriteFileIfExist_ == 0) {
      ShowErrorIfAllowed(options, "PDF converter target file is exist, cannot overwrite !", false);
      LogInfo("-=ETPC=- PDF converter target file is exist, cannot overwrite !");
      writer.reset();
      DeletePageFiles();
      CancelWork();
      return false;
    }
    if (options.Number(JobOption::ShowErrorMessages) && HeldOpenByAnother(targetPath_)) {
      ShowError("PDF converter target file is opened by other application, cannot overwrite !",
                false);
      LogInfo("-=ETPC=- PDF converter target file is opened by other application, cannot overwrite !");
      writer.reset();
      DeletePageFiles();
      CancelWork();
      return false;
    }
    LogInfo("-=ETPC=- Starting PDF generation.");
    CreatePDF(*writer);
    return true;
  }

  const std::string folder = WithTrailingBackslash(options.Text(JobOption::TargetDir));
  createDirectoryIfNotExist_ = options.Number(JobOption::CreateDirectoryIfNotExist);
  if (folder.empty()) {
    writer.reset();
    DeletePageFiles();
    ShowErrorIfAllowed(options, "PDF converter target folder is not specified !");
    CancelWork();
    return false;
  }
  const bool folderExists = FolderExists(folder);
  if (!folderExists && createDirectoryIfNotExist_ == 0) {
    ShowErrorIfAllowed(options, "PDF converter target directory is not exist !");
    writer.reset();
    DeletePageFiles();
    CancelWork();
    return false;
  }
  targetPath_ = folder + TargetFileName(job_->documentName) + ".pdf";
  if (PathExists(targetPath_)) targetPath_ = MakeUniqueFileName(targetPath_);
  if (!folderExists) CreateDirectoryPath(folder);
  CreatePDF(*writer);
  return true;
}

bool CEmfToPdfConverter::PreparePages() {
  pages_.clear();
  for (const std::string& file : job_->pageFiles) {
    if (StopRequested()) break;
    w32::EnhMetaFile emf;
    EmfSize size;
    if (!OpenEmf(file, emf, size)) {
      // Gone or unreadable since the job was parsed: without its sizes the
      // page cannot be placed, so it is left out.
      LogErrorF("%s %s", "-=ETPC=- Page file cannot be read, page skipped:", file.c_str());
      continue;
    }
    PageInfo page;
    page.file = file;
    page.deviceWidth = size.deviceWidth;
    page.deviceHeight = size.deviceHeight;
    page.resolution = job_->resolution;
    page.weight = static_cast<double>(size.deviceWidth) * size.deviceHeight;
    pages_.push_back(page);
    totalWeight_ += page.weight;
  }
  return !pages_.empty();
}

void CEmfToPdfConverter::ApplyOptions(IJobOptions& options, IPdfWriter& writer) {
  writer.SetFixedSetting1(1);
  writer.SetFixedSetting2(0);
  writer.SetFixedSetting3(0);
  writer.SetPageMode(options.Number(JobOption::Mode));
  writer.SetPageLayout(options.Number(JobOption::Layout));
  writer.SetCompression(options.Number(JobOption::Compression));
  writer.SetTitle(options.Text(JobOption::Title));
  writer.SetAuthor(options.Text(JobOption::Author));
  writer.SetSubject(options.Text(JobOption::Subject));
  writer.SetKeywords(options.Text(JobOption::Keywords));
  if (!options.Number(JobOption::PdfProtectionEnabled)) return;
  writer.SetEncryption(1);
  writer.SetCopyPermission(options.Number(JobOption::EnableCopyInformation));
  writer.SetPrintPermission(options.Number(JobOption::EnablePrinting));
  writer.SetModifyAnnotationsPermission(options.Number(JobOption::EnableModifyAnnotation));
  writer.SetModifyStructurePermission(options.Number(JobOption::EnableModifyStructure));
  const std::string user = options.Text(JobOption::UserPassword);
  const std::string owner = options.Text(JobOption::OwnerPassword);
  if (user.empty() && owner.empty()) return;
  writer.SetKeyLength(options.Number(JobOption::KeyLength));
  if (!user.empty()) writer.SetUserPassword(user);
  if (!owner.empty()) writer.SetOwnerPassword(owner);
}

void CEmfToPdfConverter::CreatePDF(IPdfWriter& writer) {
  LogInfo("-=ETPC=- CreatePDF");
  writer.SetOutputFileName(targetPath_);
  writer.SetResolution(pages_.front().resolution);
  writer.BeginDocument();
  writer.SetFixedSetting4(100);
  LogInfo("-=ETPC=- Doc started");

  // The writer's current page is used by the next page drawn; a new page is
  // started only when there is another page to draw, so a cancel or a page
  // that cannot be read leaves no empty page behind.
  bool currentPageUsed = false;
  long usedPageResolution = pages_.front().resolution;
  for (size_t i = 0; i < pages_.size() && !StopRequested(); ++i) {
    LogInfo("-=ETPC=- Job");
    currentPage_ = pages_[i];
    w32::EnhMetaFile emf;
    EmfSize size;
    if (!OpenEmf(currentPage_.file, emf, size) ||
        RoundDpi(RawDpi(size.deviceWidth, size.micrometresWidth)) < 1 ||
        RoundDpi(RawDpi(size.deviceHeight, size.micrometresHeight)) < 1) {
      LogErrorF("%s %s", "-=ETPC=- Page file cannot be read, page skipped:",
                currentPage_.file.c_str());
      // The page counts as done, so that the bar still ends at 100.
      AdvanceProgress();
      continue;
    }
    if (currentPageUsed) {
      writer.SetResolution(usedPageResolution);
      try {
        writer.NewPage();
      } catch (const ComError&) {
        // A failure to start a page is not fatal; the drawing goes on.
      }
    }
    DrawPage(writer, i, emf, size);
    currentPageUsed = true;
    usedPageResolution = currentPage_.resolution;
    AdvanceProgress();
  }
  if (!currentPageUsed) {
    // Nothing was drawn: every page file went missing after the pages were
    // prepared, or the user cancelled before the first page. An empty
    // document is not written (it could replace an existing file); without a
    // cancel the user is told, as for a job without pages.
    LogError("-=ETPC=- No page was drawn, no PDF document written.");
    if (!Cancelled()) {
      if (showErrorMessages_) ShowError("No files in PDF converter job !");
      CancelWork();
    }
    return;
  }
  LogInfo("-=ETPC=- Ending PDF document.");
  writer.EndDocument();
  LogInfo("-=ETPC=- PDF document is complete.");
}

void CEmfToPdfConverter::AdvanceProgress() {
  if (!owner_ || totalWeight_ <= 0) return;
  doneWeight_ += currentPage_.weight;
  const unsigned position = static_cast<unsigned>(doneWeight_ * 100 / totalWeight_);
  if (position > lastPosition_) {
    lastPosition_ = position;
    LogInfo("-=ETPC=- SetProgressPos");
    ReportProgress(position);
  }
}

void CEmfToPdfConverter::DrawPage(IPdfWriter& writer, size_t index, const w32::EnhMetaFile& emf,
                                  const EmfSize& size) {
  const long dpiX = RoundDpi(RawDpi(size.deviceWidth, size.micrometresWidth));
  const long dpiY = RoundDpi(RawDpi(size.deviceHeight, size.micrometresHeight));
  long resolution = writer.GetResolution();
  const double sx = static_cast<double>(resolution) / dpiX;
  resolution = writer.GetResolution();
  const double sy = static_cast<double>(resolution) / dpiY;
  writer.SetPageWidth(static_cast<long>(size.deviceWidth * sx));
  writer.SetPageHeight(static_cast<long>(size.deviceHeight * sy));
  const long height = writer.GetPageHeight();
  const long width = writer.GetPageWidth();
  const bool portrait = height >= width;

  w32::EnhMetaFile watermark;
  double wsx = 0, wsy = 0;
  if (putWatermarks) {
    const std::string& file =
        (index == 0 && firstPageSeparate)
            ? (portrait ? watermarkFirstPortrait : watermarkFirstLandscape)
            : (portrait ? watermarkPortrait : watermarkLandscape);
    EmfSize ws;
    if (!OpenEmf(file, watermark, ws)) {
      putWatermarks = 0;  // for the rest of the job
    } else {
      wsx = resolution / RawDpi(ws.deviceWidth, ws.micrometresWidth);
      wsy = resolution / RawDpi(ws.deviceHeight, ws.micrometresHeight);
    }
  }
  if (watermark && !watermarkOnTop) writer.PlayMetafile(watermark.Get(), 0, 0, wsx, wsy);
  writer.PlayMetafile(emf.Get(), 0, 0, sx, sy);
  if (watermark && watermarkOnTop) writer.PlayMetafile(watermark.Get(), 0, 0, wsx, wsy);
}

void CEmfToPdfConverter::Finish(IJobOptions&) {
  if (owner_) StopProgressDialog();
  LogInfo(Cancelled() ? "-=ETPC=- PDF converter job is cancelled."
                      : "-=ETPC=- PDF converter job is complete.");
  if (Cancelled()) return;
  DeletePageFiles();
  if (askToOpen &&
      ShowMessage(owner_, questionText, questionCaption, MB_YESNO | MB_ICONQUESTION) == IDYES)
    OpenTarget(targetPath_);
  PostCompletion();
}
