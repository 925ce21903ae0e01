// One document of the COM writer, free of COM: the settings given before the
// document begins, the resolution that sizes and positions are given in, and
// the pages. Pages start lazily, so that the page a caller opens with "new
// page" and never uses (a job cancelled between pages) does not reach the
// file, while a page that was sized or drawn on, even with nothing visible,
// is always kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "quillkit/document.h"
#include "quillkit/fonts.h"
#include "quillkit/text_decoder.h"

namespace quillkit::com {

enum class InfoField { Title, Author, Subject, Keywords };
enum class Permission { Copy, Print, ModifyAnnotations, ModifyStructure };

// What a failed call means, for the COM layer's HRESULTs.
enum class SessionError {
  None,
  InvalidArgument,  // a value out of range
  WrongState,       // a call out of order (no document, document already begun, ...)
  BadHandle,        // a metafile that cannot be read
  WriteFailed,      // the file cannot be created or written
  OutOfMemory,
  Internal
};

class WriterSession {
 public:
  // The largest resolution accepted, and the largest page side in inches
  // (the writer's own limit).
  static constexpr int32_t kMaxResolution = 100000;
  static constexpr double kMaxPageInches = 200;

  WriterSession();
  ~WriterSession();  // an unfinished document's file is removed
  WriterSession(const WriterSession&) = delete;
  WriterSession& operator=(const WriterSession&) = delete;

  // Settings: only before Begin (WrongState after), for the whole document.
  SessionError SetOutputPath(const std::string& utf8Path);
  SessionError SetPageMode(int32_t mode);      // 0 none, 1 outlines, 2 thumbnails, 3 full screen
  SessionError SetPageLayout(int32_t layout);  // 0 single page, 1 one column, 2/3 two columns left/right
  SessionError SetCompression(int32_t compression);  // 0 none, 1 Flate
  SessionError SetInfo(InfoField field, const std::string& utf8);
  SessionError SetEncryption(bool on);
  SessionError SetPermission(Permission which, bool allowed);
  SessionError SetKeyLength(int32_t keyLength);  // 0 40-bit, 1 128-bit
  SessionError SetUserPassword(const std::string& utf8);
  SessionError SetOwnerPassword(const std::string& utf8);
  // Where text finds its fonts (null: the core's default provider).
  SessionError SetFontProvider(std::shared_ptr<FontProvider> fonts);
  // Decodes double-byte 8-bit text (null: the core's default).
  SessionError SetTextDecoder(std::shared_ptr<TextDecoder> decoder);
  bool EncryptionOn() const;
  bool OwnerPasswordEmpty() const;

  // Sizes and positions are in dots of this resolution; it may change
  // between pages (a page keeps its physical size). The resolution in force
  // when the document begins is also the device grid that drawings are
  // aligned to, as GDI aligns them to the pixels of the caller's device.
  SessionError SetResolution(int32_t dotsPerInch);
  int32_t Resolution() const { return resolution_; }

  SessionError Begin();
  SessionError SetPageWidth(int32_t dots);
  SessionError SetPageHeight(int32_t dots);
  int32_t PageWidth() const;
  int32_t PageHeight() const;
  // Draws a whole EMF (header first) on the current page with its device
  // units multiplied by the scale factors, its origin at (x, y). `partial`
  // is set when the metafile was damaged and drawn only as far as it is valid.
  SessionError Play(const void* emf, std::size_t size, double x, double y, double scaleX,
                    double scaleY, bool* partial);
  SessionError NewPage();
  // Writes the complete file; afterwards a new document may begin.
  SessionError End();

  bool Begun() const { return state_ == State::Writing; }
  // Pages in the file so far (of the last document once it has ended).
  int PagesWritten() const;
  const std::string& LastError() const { return error_; }

 private:
  enum class State { Setup, Writing };
  struct Page {
    double widthPoints;
    double heightPoints;
    int32_t widthDots;   // as last set, with the resolution they were set in
    int32_t heightDots;
    int32_t widthResolution;
    int32_t heightResolution;
    bool begun = false;  // started in the writer
    bool used = false;   // sized or drawn on since it was opened
  };

  SessionError Fail(SessionError error, const std::string& message);
  SessionError FromStatus(Status status);
  SessionError InSetup(const char* what);
  SessionError StartPage();
  SessionError FinishPage();
  void Abandon();
  double ToPoints(double dots) const { return dots * 72.0 / resolution_; }

  DocumentSettings settings_;
  std::string path_;
  int32_t resolution_ = 72;
  State state_ = State::Setup;
  Page page_;
  std::unique_ptr<Document> document_;
  int lastPageCount_ = 0;
  std::string error_;
};

}  // namespace quillkit::com
