// One print job turned into one PDF file, on a worker thread of its own.
//
// The main window constructs it with the job description file and its own
// window, fills in the public settings and calls Start(). The thread reads
// the options, works out the target, plays every page into the PDF writer at
// the page's own size (with watermarks when set), drives the progress dialog,
// deletes the page files, offers to open the PDF and posts the completion
// message "21DA3095-5863-46ad-834A-EB14B8960172" to the window.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "conversion/job_options.h"
#include "conversion/page_info.h"
#include "conversion/pdf_writer.h"
#include "progress/cancel_work.h"
#include "progress/progress_link.h"
#include "progress/thread_impl.h"

// What the job takes from a parsed job description file.
struct ParsedJob {
  std::string documentName;
  long resolution = 0;
  std::vector<std::string> pageFiles;
};

UINT ConversionFinishedMessage();

class CEmfToPdfConverter : public CThreadImpl, public CCancelWork {
 public:
  CEmfToPdfConverter(const std::string& jobPath, HWND owner);
  ~CEmfToPdfConverter() override;

  // Settings the main window writes before Start().
  ProgressLink progress;
  std::string questionText = "Would you like to open PDF file ?";
  std::string questionCaption = "Question";
  long askToOpen = 1;
  std::string workingFolder;
  long putWatermarks = 0;
  long firstPageSeparate = 0;
  long watermarkOnTop = 0;
  std::string watermarkPortrait;
  std::string watermarkFirstPortrait;
  std::string watermarkLandscape;
  std::string watermarkFirstLandscape;

  // From the progress dialog's Cancel (its thread) and the job's error paths.
  void CancelWork() override;
  bool Cancelled() const { return cancelled_ != 0; }

  const std::string& JobPath() const { return jobPath_; }
  const std::string& TargetPath() const { return targetPath_; }
  const std::vector<PageInfo>& Pages() const { return pages_; }

  DWORD Run() override;

 protected:
  // The connections and the user's side of the job. The defaults create the
  // COM objects by ProgID, parse with the job file reader and use message
  // boxes, the shell and the owner window; tests replace them.
  virtual std::unique_ptr<IJobOptions> ConnectOptions();
  virtual std::unique_ptr<IPdfWriter> ConnectPdfWriter();
  virtual bool ParseJob(const std::string& jobPath, ParsedJob& job);
  virtual int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                          UINT flags);
  virtual void OpenTarget(const std::string& path);
  virtual void PostCompletion();
  virtual bool StartProgressDialog();
  virtual void ReportProgress(unsigned position);
  virtual void StopProgressDialog();

 private:
  bool RunSteps(IJobOptions& options, std::unique_ptr<IPdfWriter>& writer);
  bool PreparePages();
  void ApplyOptions(IJobOptions& options, IPdfWriter& writer);
  void CreatePDF(IPdfWriter& writer);
  void DrawPage(IPdfWriter& writer, size_t index, const w32::EnhMetaFile& emf,
                const EmfSize& size);
  // Adds the current page's weight and reports the position when it grew.
  void AdvanceProgress();
  void DeletePageFiles();
  void ShowError(const std::string& text, bool owned = true);
  void ShowErrorIfAllowed(IJobOptions& options, const std::string& text, bool owned = true);
  void Finish(IJobOptions& options);

  HWND owner_;
  std::atomic<long> cancelled_{0};
  std::string jobPath_;
  double totalWeight_ = 0;
  double doneWeight_ = 0;
  unsigned lastPosition_ = 0;
  PageInfo currentPage_;
  std::vector<PageInfo> pages_;
  std::unique_ptr<ParsedJob> job_;
  std::string targetPath_;
  long showErrorMessages_ = 1;
  long overwriteFileIfExist_ = 0;
  long createDirectoryIfNotExist_ = 1;
};
