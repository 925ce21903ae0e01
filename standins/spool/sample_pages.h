// Sample A4 pages drawn with GDI, as a printer driver at 600 dpi records them.
#pragma once
#include <string>

namespace spool {

// Writes page `page` (1-based) of `pages` to the EMF file `path`.
bool DrawSamplePage(const std::wstring& path, int page, int pages, std::wstring* error);

}  // namespace spool
