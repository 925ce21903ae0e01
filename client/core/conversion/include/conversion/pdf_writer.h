// The calls the conversion job makes on the PDF writer component, in the
// writer's own terms. Every call throws ComError when the writer reports a
// failure.
#pragma once
#include <windows.h>
#include <string>

class IPdfWriter {
 public:
  virtual ~IPdfWriter() = default;
  virtual void SetFixedSetting1(long value) = 0;
  virtual void SetFixedSetting2(long value) = 0;
  virtual void SetFixedSetting3(long value) = 0;
  virtual void SetFixedSetting4(long value) = 0;
  virtual void SetPageMode(long mode) = 0;
  virtual void SetPageLayout(long layout) = 0;
  virtual void SetCompression(long compression) = 0;
  virtual void SetTitle(const std::string& text) = 0;
  virtual void SetAuthor(const std::string& text) = 0;
  virtual void SetSubject(const std::string& text) = 0;
  virtual void SetKeywords(const std::string& text) = 0;
  virtual void SetEncryption(long enabled) = 0;
  virtual void SetCopyPermission(long allowed) = 0;
  virtual void SetPrintPermission(long allowed) = 0;
  virtual void SetModifyAnnotationsPermission(long allowed) = 0;
  virtual void SetModifyStructurePermission(long allowed) = 0;
  virtual void SetKeyLength(long keyLength) = 0;
  virtual void SetUserPassword(const std::string& text) = 0;
  virtual void SetOwnerPassword(const std::string& text) = 0;
  virtual void SetOutputFileName(const std::string& path) = 0;
  virtual void SetResolution(long dotsPerInch) = 0;
  virtual long GetResolution() = 0;
  virtual void BeginDocument() = 0;
  virtual void SetPageWidth(long width) = 0;
  virtual void SetPageHeight(long height) = 0;
  virtual long GetPageWidth() = 0;
  virtual long GetPageHeight() = 0;
  virtual void PlayMetafile(HENHMETAFILE metafile, double x, double y, double scaleX,
                            double scaleY) = 0;
  virtual void NewPage() = 0;
  virtual void EndDocument() = 0;
};
