// The options the conversion job reads, one call per read, so that the job
// reads them in its own order and each read may fail like a COM call.
#pragma once
#include <string>

enum class JobOption {
  ShowErrorMessages,
  OverwriteFileIfExist,
  CreateDirectoryIfNotExist,
  Mode,
  Layout,
  Compression,
  Title,
  Author,
  Subject,
  Keywords,
  PdfProtectionEnabled,
  EnableCopyInformation,
  EnablePrinting,
  EnableModifyAnnotation,
  EnableModifyStructure,
  UserPassword,
  OwnerPassword,
  KeyLength,
  UsingTargetFile,
  TargetFile,
  TargetDir,
};

const char* JobOptionName(JobOption option);

class IJobOptions {
 public:
  virtual ~IJobOptions() = default;
  // Numeric options; throws ComError when the options object fails.
  virtual long Number(JobOption option) = 0;
  // Text options in the system code page; throws ComError on failure.
  virtual std::string Text(JobOption option) = 0;
};
