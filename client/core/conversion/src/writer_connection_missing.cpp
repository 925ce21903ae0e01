// Built while the PDF writer's interface declaration is not part of the tree:
// the connection fails, so the job reports it and ends.
#include "conversion/emf_to_pdf_converter.h"

std::unique_ptr<IPdfWriter> CEmfToPdfConverter::ConnectPdfWriter() { return nullptr; }
