// Built while the job file reader is not part of the tree: no job parses.
#include "conversion/emf_to_pdf_converter.h"

bool CEmfToPdfConverter::ParseJob(const std::string&, ParsedJob&) { return false; }
