// Reads a job description file into a CDriverInfo.
#pragma once
#include <memory>
#include <string>

#include "jobfile/driver_info.h"
#include "jobfile/ini.h"

class CDriverInfoParser {
 public:
  // Every integer key is read with this default, which stands for "missing".
  static constexpr int kMissing = 123456;

  // Which family of systems "PaperLength"/"PaperWidth" are required on (NT).
  enum class Family { Detect, NtFamily, Windows9x };

  // Nothing is read yet.
  explicit CDriverInfoParser(std::string jobPath, Family family = Family::Detect);
  virtual ~CDriverInfoParser();
  CDriverInfoParser(const CDriverInfoParser&) = delete;
  CDriverInfoParser& operator=(const CDriverInfoParser&) = delete;

  // True: Info() holds the job until Reset or destruction. False: nothing of
  // a partial read remains. A missing page key, a page file that does not
  // exist or a long path of 260 characters or more fails the whole parse,
  // at the first such page, whatever "Count" says.
  bool Parse();
  // Frees the CIni and the record; returns false.
  bool Reset();

  const CDriverInfo* Info() const { return info_.get(); }
  const std::string& JobPath() const { return jobPath_; }

 private:
  bool IsNtFamily() const;

  std::string jobPath_;
  Family family_;
  std::unique_ptr<CIni> ini_;
  std::unique_ptr<CDriverInfo> info_;
};
