// Built while the options component's and the PDF writer's interface
// declarations or the job file reader are not part of the tree: every
// connection fails, so the job reports it and ends.
#include "conversion/emf_to_pdf_converter.h"

std::unique_ptr<IJobOptions> CEmfToPdfConverter::ConnectOptions() { return nullptr; }
std::unique_ptr<IPdfWriter> CEmfToPdfConverter::ConnectPdfWriter() { return nullptr; }
bool CEmfToPdfConverter::ParseJob(const std::string&, ParsedJob&) { return false; }
