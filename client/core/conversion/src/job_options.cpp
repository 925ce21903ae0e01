#include "conversion/job_options.h"

const char* JobOptionName(JobOption option) {
  switch (option) {
    case JobOption::ShowErrorMessages: return "ShowErrorMessages";
    case JobOption::OverwriteFileIfExist: return "OverwriteFileIfExist";
    case JobOption::CreateDirectoryIfNotExist: return "CreateDirectoryIfNotExist";
    case JobOption::Mode: return "Mode";
    case JobOption::Layout: return "Layout";
    case JobOption::Compression: return "Compression";
    case JobOption::Title: return "Title";
    case JobOption::Author: return "Author";
    case JobOption::Subject: return "Subject";
    case JobOption::Keywords: return "Keywords";
    case JobOption::PdfProtectionEnabled: return "PdfProtectionEnabled";
    case JobOption::EnableCopyInformation: return "EnableCopyInformation";
    case JobOption::EnablePrinting: return "EnablePrinting";
    case JobOption::EnableModifyAnnotation: return "EnableModifyAnnotation";
    case JobOption::EnableModifyStructure: return "EnableModifyStructure";
    case JobOption::UserPassword: return "UserPassword";
    case JobOption::OwnerPassword: return "OwnerPassword";
    case JobOption::KeyLength: return "KeyLength";
    case JobOption::UsingTargetFile: return "UsingTargetFile";
    case JobOption::TargetFile: return "TargetFile";
    case JobOption::TargetDir: return "TargetDir";
  }
  return "?";
}
