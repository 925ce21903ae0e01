// Quillkit: the portable PDF writer. A Document writes one PDF file, page by
// page; each page is drawn by playing EMF bytes onto it. Nothing here throws:
// every call returns a Status and keeps a readable message in lastError().
//
// Units: a page is measured in "page units", settings.unitsPerInch of them to
// the inch (72 by default, i.e. PDF points). x grows to the right and y grows
// downwards from the page's top-left corner, as on a printed page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "quillkit/fonts.h"
#include "quillkit/play_result.h"
#include "quillkit/settings.h"
#include "quillkit/status.h"

namespace quillkit {

// Where an EMF is drawn on the page: a point (dx, dy) in the EMF's device
// space lands at (x + dx * scaleX, y + dy * scaleY) page units.
struct Placement {
    double x = 0;
    double y = 0;
    double scaleX = 1;
    double scaleY = 1;
};

class Document {
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Creates (truncates) the file at pathUtf8 and starts the document with
    // these settings, which hold for the whole document. No page is open yet.
    Status open(const std::string& pathUtf8, const DocumentSettings& settings);

    // Starts a new page of the given size in page units (both > 0 and at most
    // 200 inches). Fails when a page is already open.
    Status beginPage(double width, double height);

    // Changes the size of the open page; allowed until endPage.
    Status setPageSize(double width, double height);
    double pageWidth() const;
    double pageHeight() const;

    // Draws EMF bytes (a whole enhanced metafile, header first) onto the open
    // page. Later drawings lie over earlier ones. A damaged metafile is drawn
    // as far as its data is valid; the result then carries errors and the
    // call returns Status::BadMetafile (the page stays usable). `result` may
    // be null.
    Status playEmf(const void* data, std::size_t size, const Placement& placement,
                   PlayResult* result = nullptr);

    // Finishes the open page and writes it to the file.
    Status endPage();

    // Ends the open page (if any) and completes the file: when this returns
    // Ok the file is a complete PDF. A document with no page gets one empty
    // page of the last size used (US Letter when none was given).
    Status finish();

    bool isOpen() const;
    bool pageOpen() const;
    int pageCount() const;              // pages finished so far
    const std::string& lastError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Sizes from an EMF header, for callers that size pages from the metafile.
struct EmfHeaderInfo {
    // rclFrame in 0.01 mm (inclusive-inclusive, as stored).
    int32_t frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
    // rclBounds in device units.
    int32_t boundsLeft = 0, boundsTop = 0, boundsRight = 0, boundsBottom = 0;
    // Reference device: size in pixels and in millimetres.
    int32_t devicePixelsX = 0, devicePixelsY = 0;
    int32_t deviceMillimetersX = 0, deviceMillimetersY = 0;
    uint32_t recordCount = 0;
    uint32_t byteSize = 0;
    bool hasEmfPlus = false;    // an EMF+ header comment follows the header
};

// Reads the header of an EMF. Fails (BadMetafile) when it is not one.
Status readEmfHeader(const void* data, std::size_t size, EmfHeaderInfo& info,
                     std::string* error = nullptr);

// The placement that maps an EMF's frame rectangle onto a page whose top-left
// corner is at (0, 0) and which has `unitsPerInch` page units to the inch:
// the picture keeps its physical size. Used by emf2pdf; the page size that
// goes with it is frameWidthUnits x frameHeightUnits.
struct FramePlacement {
    Placement placement;
    double pageWidth = 0;
    double pageHeight = 0;
};
bool placementForFrame(const EmfHeaderInfo& info, double unitsPerInch, FramePlacement& out);

}  // namespace quillkit
