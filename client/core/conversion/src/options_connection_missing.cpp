// Built while the options component's interface is not part of the tree:
// the connection fails, so the job reports it and ends.
#include "conversion/emf_to_pdf_converter.h"

std::unique_ptr<IJobOptions> CEmfToPdfConverter::ConnectOptions() { return nullptr; }
