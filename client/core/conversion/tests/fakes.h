// Fakes of the job's connections and user side, shared by the conversion
// test programs.
#pragma once
#include <windows.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "conversion/com_error.h"
#include "conversion/emf_to_pdf_converter.h"


// What the fakes saw, shared between the test and the job's thread (which
// has ended before the test reads it).
struct Seen {
  std::vector<std::string> reads;   // option reads in order
  std::vector<std::string> calls;   // writer calls in order
  struct Page {
    long width = 0, height = 0;
    std::vector<std::string> plays;  // "WxH@sx,sy" of each metafile played
  };
  std::vector<Page> pages;
  bool ended = false;
  std::string outputFile;
  std::string failOn;  // a writer call that reports failure
  std::vector<std::string> deleteAtFirstCall;  // page files lost once the writer is used
};

class FakeOptions : public IJobOptions {
 public:
  FakeOptions(Seen* seen, std::map<JobOption, long> numbers, std::map<JobOption, std::string> texts)
      : seen_(seen), numbers_(std::move(numbers)), texts_(std::move(texts)) {}
  long Number(JobOption o) override {
    seen_->reads.push_back(JobOptionName(o));
    return numbers_.count(o) ? numbers_[o] : 0;
  }
  std::string Text(JobOption o) override {
    seen_->reads.push_back(JobOptionName(o));
    return texts_.count(o) ? texts_[o] : std::string();
  }

 private:
  Seen* seen_;
  std::map<JobOption, long> numbers_;
  std::map<JobOption, std::string> texts_;
};

class FakeWriter : public IPdfWriter {
 public:
  explicit FakeWriter(Seen* seen) : seen_(seen) {}
  void Call(const std::string& c) {
    for (const auto& file : seen_->deleteAtFirstCall) ::DeleteFileA(file.c_str());
    seen_->deleteAtFirstCall.clear();
    seen_->calls.push_back(c);
    if (!seen_->failOn.empty() && c.rfind(seen_->failOn, 0) == 0) throw ComError(E_FAIL);
  }
  void SetFixedSetting1(long v) override { Call("Fixed1(" + std::to_string(v) + ")"); }
  void SetFixedSetting2(long v) override { Call("Fixed2(" + std::to_string(v) + ")"); }
  void SetFixedSetting3(long v) override { Call("Fixed3(" + std::to_string(v) + ")"); }
  void SetFixedSetting4(long v) override { Call("Fixed4(" + std::to_string(v) + ")"); }
  void SetPageMode(long v) override { Call("PageMode(" + std::to_string(v) + ")"); }
  void SetPageLayout(long v) override { Call("PageLayout(" + std::to_string(v) + ")"); }
  void SetCompression(long v) override { Call("Compression(" + std::to_string(v) + ")"); }
  void SetTitle(const std::string& t) override { Call("Title(" + t + ")"); }
  void SetAuthor(const std::string& t) override { Call("Author(" + t + ")"); }
  void SetSubject(const std::string& t) override { Call("Subject(" + t + ")"); }
  void SetKeywords(const std::string& t) override { Call("Keywords(" + t + ")"); }
  void SetEncryption(long v) override { Call("Encryption(" + std::to_string(v) + ")"); }
  void SetCopyPermission(long v) override { Call("Copy(" + std::to_string(v) + ")"); }
  void SetPrintPermission(long v) override { Call("Print(" + std::to_string(v) + ")"); }
  void SetModifyAnnotationsPermission(long v) override { Call("Annot(" + std::to_string(v) + ")"); }
  void SetModifyStructurePermission(long v) override { Call("Struct(" + std::to_string(v) + ")"); }
  void SetKeyLength(long v) override { Call("KeyLength(" + std::to_string(v) + ")"); }
  void SetUserPassword(const std::string& t) override { Call("UserPw(" + t + ")"); }
  void SetOwnerPassword(const std::string& t) override { Call("OwnerPw(" + t + ")"); }
  void SetOutputFileName(const std::string& p) override {
    Call("Output");
    seen_->outputFile = p;
  }
  void SetResolution(long v) override {
    Call("SetRes(" + std::to_string(v) + ")");
    resolution_ = v;
  }
  long GetResolution() override { return resolution_; }
  void BeginDocument() override {
    Call("Begin");
    seen_->pages.emplace_back();
  }
  void SetPageWidth(long v) override { seen_->pages.back().width = v; }
  void SetPageHeight(long v) override { seen_->pages.back().height = v; }
  long GetPageWidth() override { return seen_->pages.back().width; }
  long GetPageHeight() override { return seen_->pages.back().height; }
  void PlayMetafile(HENHMETAFILE emf, double, double, double sx, double sy) override {
    Call("Play");
    ENHMETAHEADER h = {};
    ::GetEnhMetaFileHeader(emf, sizeof(h), &h);
    char text[96];
    std::snprintf(text, sizeof(text), "%ldx%ld@%.4f,%.4f", h.szlDevice.cx, h.szlDevice.cy, sx, sy);
    seen_->pages.back().plays.push_back(text);
  }
  void NewPage() override {
    Call("NewPage");
    seen_->pages.emplace_back();
  }
  void EndDocument() override {
    Call("End");
    seen_->ended = true;
  }

 private:
  Seen* seen_;
  long resolution_ = 0;
};

struct Shown {
  std::string text, caption;
  bool owned;
  UINT flags;
};

// The job with its connections and its user's side replaced.
class TestConverter : public CEmfToPdfConverter {
 public:
  TestConverter(const std::string& jobPath, HWND owner) : CEmfToPdfConverter(jobPath, owner) {}
  Seen seen;
  std::map<JobOption, long> numbers;
  std::map<JobOption, std::string> texts;
  ParsedJob job;
  bool parseSucceeds = true;
  bool optionsConnect = true;
  int answer = IDNO;
  std::vector<Shown> shown;
  std::vector<std::string> opened;
  int completions = 0;
  std::vector<unsigned> positions;
  int progressStarts = 0, progressStops = 0;
  unsigned cancelAtPosition = 0;
  std::vector<std::string> deleteAtFirstProgress;  // page files lost while the job draws
  bool realOptions = false, realWriter = false, realParser = false;
  bool cancelWhileParsing = false;  // the user cancels before the pages are prepared

 protected:
  std::unique_ptr<IJobOptions> ConnectOptions() override {
    if (realOptions) return CEmfToPdfConverter::ConnectOptions();
    if (!optionsConnect) return nullptr;
    return std::make_unique<FakeOptions>(&seen, numbers, texts);
  }
  std::unique_ptr<IPdfWriter> ConnectPdfWriter() override {
    if (realWriter) return CEmfToPdfConverter::ConnectPdfWriter();
    return std::make_unique<FakeWriter>(&seen);
  }
  bool ParseJob(const std::string& path, ParsedJob& out) override {
    if (cancelWhileParsing) CancelWork();
    if (realParser) return CEmfToPdfConverter::ParseJob(path, out);
    out = job;
    return parseSucceeds;
  }
  int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                  UINT flags) override {
    shown.push_back({text, caption, owner != nullptr, flags});
    return answer;
  }
  void OpenTarget(const std::string& path) override { opened.push_back(path); }
  void PostCompletion() override { ++completions; }
  bool StartProgressDialog() override {
    ++progressStarts;
    return true;
  }
  void ReportProgress(unsigned position) override {
    positions.push_back(position);
    for (const auto& file : deleteAtFirstProgress) ::DeleteFileA(file.c_str());
    deleteAtFirstProgress.clear();
    if (cancelAtPosition && position >= cancelAtPosition) CancelWork();  // as the dialog does
  }
  void StopProgressDialog() override { ++progressStops; }
};

