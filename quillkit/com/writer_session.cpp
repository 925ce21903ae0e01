#include "writer_session.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillkit::com {
namespace {

// Removes a file named in UTF-8; failures are ignored (nothing to remove).
void RemoveFile(const std::string& utf8Path) {
#ifdef _WIN32
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8Path.c_str(), -1, nullptr, 0);
  if (n <= 0) return;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8Path.c_str(), -1, &wide[0], n);
  DeleteFileW(wide.c_str());
#else
  std::remove(utf8Path.c_str());
#endif
}

int32_t ToDots(double points, int32_t resolution) {
  return static_cast<int32_t>(std::lround(points * resolution / 72.0));
}

}  // namespace

WriterSession::WriterSession() {
  // US Letter until the caller sizes the first page.
  page_ = Page{612, 792, 612, 792, 72, 72};
}

WriterSession::~WriterSession() {
  if (state_ == State::Writing) Abandon();
}

SessionError WriterSession::Fail(SessionError error, const std::string& message) {
  error_ = message;
  return error;
}

SessionError WriterSession::InSetup(const char* what) {
  if (state_ == State::Setup) return SessionError::None;
  return Fail(SessionError::WrongState,
              std::string(what) + " must be set before the document begins");
}

SessionError WriterSession::FromStatus(Status status) {
  const std::string message = document_ ? document_->lastError() : std::string(statusName(status));
  switch (status) {
    case Status::Ok: return SessionError::None;
    case Status::InvalidArgument: return Fail(SessionError::InvalidArgument, message);
    case Status::WrongState: return Fail(SessionError::WrongState, message);
    case Status::IoError: return Fail(SessionError::WriteFailed, message);
    case Status::BadMetafile: return Fail(SessionError::BadHandle, message);
    case Status::OutOfMemory: return Fail(SessionError::OutOfMemory, message);
    default: return Fail(SessionError::Internal, message);
  }
}

SessionError WriterSession::SetOutputPath(const std::string& utf8Path) {
  if (auto e = InSetup("the output file name"); e != SessionError::None) return e;
  if (utf8Path.empty()) return Fail(SessionError::InvalidArgument, "the output file name is empty");
  path_ = utf8Path;
  return SessionError::None;
}

SessionError WriterSession::SetPageMode(int32_t mode) {
  if (auto e = InSetup("the page mode"); e != SessionError::None) return e;
  static const PageMode kModes[] = {PageMode::UseNone, PageMode::UseOutlines, PageMode::UseThumbs,
                                    PageMode::FullScreen};
  if (mode < 0 || mode > 3) return Fail(SessionError::InvalidArgument, "page mode out of range");
  settings_.pageMode = kModes[mode];
  return SessionError::None;
}

SessionError WriterSession::SetPageLayout(int32_t layout) {
  if (auto e = InSetup("the page layout"); e != SessionError::None) return e;
  static const PageLayout kLayouts[] = {PageLayout::SinglePage, PageLayout::OneColumn,
                                        PageLayout::TwoColumnLeft, PageLayout::TwoColumnRight};
  if (layout < 0 || layout > 3) return Fail(SessionError::InvalidArgument, "page layout out of range");
  settings_.pageLayout = kLayouts[layout];
  return SessionError::None;
}

SessionError WriterSession::SetCompression(int32_t compression) {
  if (auto e = InSetup("the compression"); e != SessionError::None) return e;
  if (compression < 0 || compression > 1) return Fail(SessionError::InvalidArgument, "compression out of range");
  settings_.compress = compression == 1;
  return SessionError::None;
}

SessionError WriterSession::SetInfo(InfoField field, const std::string& utf8) {
  if (auto e = InSetup("the document information"); e != SessionError::None) return e;
  DocumentInfo& info = settings_.info;
  switch (field) {
    case InfoField::Title: info.title = utf8; break;
    case InfoField::Author: info.author = utf8; break;
    case InfoField::Subject: info.subject = utf8; break;
    case InfoField::Keywords: info.keywords = utf8; break;
  }
  return SessionError::None;
}

SessionError WriterSession::SetEncryption(bool on) {
  if (auto e = InSetup("encryption"); e != SessionError::None) return e;
  settings_.encryption.enabled = on;
  return SessionError::None;
}

SessionError WriterSession::SetPermission(Permission which, bool allowed) {
  if (auto e = InSetup("a permission"); e != SessionError::None) return e;
  Permissions& p = settings_.encryption.permissions;
  switch (which) {
    case Permission::Copy: p.copy = allowed; break;
    case Permission::Print: p.print = allowed; break;
    case Permission::ModifyAnnotations: p.annotations = allowed; break;
    case Permission::ModifyStructure: p.modify = allowed; break;
  }
  return SessionError::None;
}

SessionError WriterSession::SetKeyLength(int32_t keyLength) {
  if (auto e = InSetup("the key length"); e != SessionError::None) return e;
  if (keyLength < 0 || keyLength > 1) return Fail(SessionError::InvalidArgument, "key length out of range");
  settings_.encryption.keyLength = keyLength == 0 ? KeyLength::Rc4_40 : KeyLength::Rc4_128;
  return SessionError::None;
}

SessionError WriterSession::SetUserPassword(const std::string& utf8) {
  if (auto e = InSetup("the user password"); e != SessionError::None) return e;
  settings_.encryption.userPassword = utf8;
  return SessionError::None;
}

SessionError WriterSession::SetOwnerPassword(const std::string& utf8) {
  if (auto e = InSetup("the owner password"); e != SessionError::None) return e;
  settings_.encryption.ownerPassword = utf8;
  return SessionError::None;
}

SessionError WriterSession::SetFontProvider(std::shared_ptr<FontProvider> fonts) {
  if (auto e = InSetup("the font provider"); e != SessionError::None) return e;
  settings_.fonts = std::move(fonts);
  return SessionError::None;
}

SessionError WriterSession::SetTextDecoder(std::shared_ptr<TextDecoder> decoder) {
  if (auto e = InSetup("the text decoder"); e != SessionError::None) return e;
  settings_.textDecoder = std::move(decoder);
  return SessionError::None;
}

bool WriterSession::EncryptionOn() const { return settings_.encryption.enabled; }
bool WriterSession::OwnerPasswordEmpty() const { return settings_.encryption.ownerPassword.empty(); }

SessionError WriterSession::SetResolution(int32_t dotsPerInch) {
  if (dotsPerInch < 1 || dotsPerInch > kMaxResolution)
    return Fail(SessionError::InvalidArgument, "resolution out of range");
  resolution_ = dotsPerInch;
  return SessionError::None;
}

SessionError WriterSession::Begin() {
  if (state_ == State::Writing) return Fail(SessionError::WrongState, "the document has already begun");
  if (path_.empty()) return Fail(SessionError::WrongState, "no output file name was given");
  try {
    document_ = std::make_unique<Document>();
  } catch (const std::bad_alloc&) {
    return Fail(SessionError::OutOfMemory, "out of memory");
  }
  lastPageCount_ = 0;
  settings_.gridPerInch = resolution_;
  if (auto e = FromStatus(document_->open(path_, settings_)); e != SessionError::None) {
    document_.reset();  // nothing of ours to remove: the file was not created
    return e;
  }
  state_ = State::Writing;  // from here on an unfinished file is removed
  page_.begun = false;
  page_.used = false;
  return SessionError::None;
}

int WriterSession::PagesWritten() const { return document_ ? document_->pageCount() : lastPageCount_; }

SessionError WriterSession::SetPageWidth(int32_t dots) {
  if (state_ != State::Writing) return Fail(SessionError::WrongState, "no document has begun");
  const double points = ToPoints(dots);
  if (dots < 1 || points > kMaxPageInches * 72) return Fail(SessionError::InvalidArgument, "page width out of range");
  if (page_.begun) {
    if (auto e = FromStatus(document_->setPageSize(points, page_.heightPoints)); e != SessionError::None) return e;
  }
  page_.widthPoints = points;
  page_.widthDots = dots;
  page_.widthResolution = resolution_;
  page_.used = true;
  return SessionError::None;
}

SessionError WriterSession::SetPageHeight(int32_t dots) {
  if (state_ != State::Writing) return Fail(SessionError::WrongState, "no document has begun");
  const double points = ToPoints(dots);
  if (dots < 1 || points > kMaxPageInches * 72) return Fail(SessionError::InvalidArgument, "page height out of range");
  if (page_.begun) {
    if (auto e = FromStatus(document_->setPageSize(page_.widthPoints, points)); e != SessionError::None) return e;
  }
  page_.heightPoints = points;
  page_.heightDots = dots;
  page_.heightResolution = resolution_;
  page_.used = true;
  return SessionError::None;
}

int32_t WriterSession::PageWidth() const {
  return page_.widthResolution == resolution_ ? page_.widthDots : ToDots(page_.widthPoints, resolution_);
}

int32_t WriterSession::PageHeight() const {
  return page_.heightResolution == resolution_ ? page_.heightDots : ToDots(page_.heightPoints, resolution_);
}

SessionError WriterSession::StartPage() {
  if (page_.begun) return SessionError::None;
  if (auto e = FromStatus(document_->beginPage(page_.widthPoints, page_.heightPoints)); e != SessionError::None)
    return e;
  page_.begun = true;
  return SessionError::None;
}

SessionError WriterSession::FinishPage() {
  if (auto e = StartPage(); e != SessionError::None) return e;
  page_.begun = false;
  page_.used = false;
  return FromStatus(document_->endPage());
}

SessionError WriterSession::Play(const void* emf, std::size_t size, double x, double y, double scaleX,
                                 double scaleY, bool* partial) {
  if (partial) *partial = false;
  if (state_ != State::Writing) return Fail(SessionError::WrongState, "no document has begun");
  if (!emf || size == 0) return Fail(SessionError::BadHandle, "the handle is not an enhanced metafile");
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(scaleX) || !std::isfinite(scaleY))
    return Fail(SessionError::InvalidArgument, "position or scale is not a finite number");
  // The header decides whether this is a metafile at all; a damaged body is
  // drawn as far as it is valid.
  EmfHeaderInfo header;
  std::string headerError;
  if (readEmfHeader(emf, size, header, &headerError) != Status::Ok)
    return Fail(SessionError::BadHandle, "not an enhanced metafile: " + headerError);
  if (auto e = StartPage(); e != SessionError::None) return e;
  page_.used = true;
  Placement placement;
  placement.x = ToPoints(x);
  placement.y = ToPoints(y);
  placement.scaleX = ToPoints(scaleX);
  placement.scaleY = ToPoints(scaleY);
  const Status status = document_->playEmf(emf, size, placement, nullptr);
  if (status == Status::BadMetafile) {
    if (partial) *partial = true;
    error_ = document_->lastError();
    return SessionError::None;
  }
  return FromStatus(status);
}

SessionError WriterSession::NewPage() {
  if (state_ != State::Writing) return Fail(SessionError::WrongState, "no document has begun");
  // The page being closed is kept even when nothing was drawn on it: it was
  // opened and closed on purpose. The next page keeps its size until set.
  return FinishPage();
}

SessionError WriterSession::End() {
  if (state_ != State::Writing) return Fail(SessionError::WrongState, "no document has begun");
  // The last page counts only when it was sized or drawn on, so that a page
  // opened just before the caller stopped adds no blank page; a document
  // always has at least one page.
  SessionError e = SessionError::None;
  if (page_.begun || page_.used || document_->pageCount() == 0) e = FinishPage();
  if (e == SessionError::None) e = FromStatus(document_->finish());
  if (e != SessionError::None) {
    const std::string message = error_;
    Abandon();
    error_ = message;
    return e;
  }
  lastPageCount_ = document_->pageCount();
  document_.reset();
  state_ = State::Setup;
  return SessionError::None;
}

void WriterSession::Abandon() {
  document_.reset();  // closes the file
  if (!path_.empty()) RemoveFile(path_);
  state_ = State::Setup;
  page_.begun = false;
  page_.used = false;
}

}  // namespace quillkit::com
