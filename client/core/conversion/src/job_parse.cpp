// The job description file read with the client's job file reader.
#include "conversion/emf_to_pdf_converter.h"
#include "jobfile/driver_info_parser.h"

bool CEmfToPdfConverter::ParseJob(const std::string& jobPath, ParsedJob& job) {
  CDriverInfoParser parser(jobPath);
  if (!parser.Parse() || !parser.Info()) return false;
  const CDriverInfo& info = *parser.Info();
  job.documentName = info.documentName;
  job.resolution = info.horizontalResolution;
  job.pageFiles = info.pageFiles;
  return true;
}
