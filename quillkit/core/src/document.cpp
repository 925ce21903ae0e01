// The public Document: settings, pages, playback and the finished file.
#include "quillkit/document.h"

#include <cmath>
#include <new>

#include "emf_reader.h"
#include "page_writer.h"
#include "pdf_file.h"
#include "pdf_number.h"
#include "playback.h"
#include "text_embedded.h"

namespace quillkit {

const char* statusName(Status s) {
    switch (s) {
        case Status::Ok: return "ok";
        case Status::InvalidArgument: return "invalid argument";
        case Status::WrongState: return "call out of order";
        case Status::IoError: return "file error";
        case Status::BadMetafile: return "bad metafile";
        case Status::OutOfMemory: return "out of memory";
        case Status::Internal: return "internal error";
    }
    return "unknown";
}

struct Document::Impl {
    DocumentSettings settings;
    PdfFile file;
    ImageCache images;
    std::unique_ptr<DocumentFonts> fonts;        // embedded fonts, written at the end
    std::unique_ptr<EmbeddedTextRenderer> text;
    std::unique_ptr<PageWriter> page;
    std::vector<uint32_t> pages;
    uint32_t catalog = 0, pagesObj = 0;
    double lastWidth = 612, lastHeight = 792;   // US Letter in points until a size is given
    bool open = false;
    std::string error;

    Status fail(Status s, const std::string& message) {
        error = message;
        return s;
    }
    bool validSize(double w, double h) const {
        double maxUnits = 200 * settings.unitsPerInch;
        return std::isfinite(w) && std::isfinite(h) && w > 0 && h > 0 && w <= maxUnits && h <= maxUnits;
    }
};

Document::Document() : impl_(new Impl) {}
Document::~Document() = default;

bool Document::isOpen() const { return impl_->open; }
bool Document::pageOpen() const { return impl_->page != nullptr; }
int Document::pageCount() const { return static_cast<int>(impl_->pages.size()); }
const std::string& Document::lastError() const { return impl_->error; }
double Document::pageWidth() const { return impl_->page ? impl_->page->width() : 0; }
double Document::pageHeight() const { return impl_->page ? impl_->page->height() : 0; }

Status Document::open(const std::string& path, const DocumentSettings& settings) {
    Impl& d = *impl_;
    try {
        if (d.open) return d.fail(Status::WrongState, "the document is already open");
        if (path.empty()) return d.fail(Status::InvalidArgument, "no output file name");
        if (!std::isfinite(settings.unitsPerInch) || settings.unitsPerInch < 1 || settings.unitsPerInch > 100000)
            return d.fail(Status::InvalidArgument, "page units per inch out of range");
        d.settings = settings;
        std::string err;
        if (!d.file.open(path, settings.compress, settings.encryption, err)) return d.fail(Status::IoError, err);
        d.catalog = d.file.reserve();
        d.pagesObj = d.file.reserve();
        d.fonts.reset(new DocumentFonts(d.file, settings.fonts));
        d.text.reset(new EmbeddedTextRenderer(*d.fonts, settings.textDecoder));
        d.lastWidth = 8.5 * settings.unitsPerInch;
        d.lastHeight = 11 * settings.unitsPerInch;
        d.open = true;
        d.error.clear();
        return Status::Ok;
    } catch (const std::bad_alloc&) {
        return d.fail(Status::OutOfMemory, "out of memory");
    } catch (const std::exception& e) {
        return d.fail(Status::Internal, e.what());
    }
}

Status Document::beginPage(double width, double height) {
    Impl& d = *impl_;
    if (!d.open) return d.fail(Status::WrongState, "no document is open");
    if (d.page) return d.fail(Status::WrongState, "a page is already open");
    if (!d.validSize(width, height)) return d.fail(Status::InvalidArgument, "page size out of range");
    try {
        d.page.reset(new PageWriter(d.file, d.images, width, height, d.settings.unitsPerInch));
    } catch (const std::bad_alloc&) {
        return d.fail(Status::OutOfMemory, "out of memory");
    }
    d.lastWidth = width;
    d.lastHeight = height;
    return Status::Ok;
}

Status Document::setPageSize(double width, double height) {
    Impl& d = *impl_;
    if (!d.page) return d.fail(Status::WrongState, "no page is open");
    if (!d.validSize(width, height)) return d.fail(Status::InvalidArgument, "page size out of range");
    d.page->setSize(width, height);
    d.lastWidth = width;
    d.lastHeight = height;
    return Status::Ok;
}

Status Document::playEmf(const void* data, std::size_t size, const Placement& placement, PlayResult* result) {
    Impl& d = *impl_;
    PlayResult local;
    PlayResult& res = result ? *result : local;
    res = PlayResult();
    if (!d.page) return d.fail(Status::WrongState, "no page is open");
    if (!data || size == 0) return d.fail(Status::InvalidArgument, "no metafile data");
    if (!std::isfinite(placement.x) || !std::isfinite(placement.y) || !std::isfinite(placement.scaleX) ||
        !std::isfinite(placement.scaleY) || placement.scaleX == 0 || placement.scaleY == 0)
        return d.fail(Status::InvalidArgument, "bad placement");
    std::string& content = d.page->content();
    std::size_t mark = content.size();
    try {
        Player player(*d.page, placement, d.settings.gridPerInch, res, d.text.get());
        std::string err;
        if (!player.play(static_cast<const uint8_t*>(data), size, err)) {
            content.resize(mark);
            return d.fail(Status::BadMetafile, err);
        }
    } catch (const std::bad_alloc&) {
        content.resize(mark);
        return d.fail(Status::OutOfMemory, "out of memory while playing the metafile");
    } catch (const std::exception& e) {
        content.resize(mark);
        return d.fail(Status::Internal, e.what());
    }
    if (!res.errors.empty()) return d.fail(Status::BadMetafile, res.errors.front());
    return Status::Ok;
}

Status Document::endPage() {
    Impl& d = *impl_;
    if (!d.page) return d.fail(Status::WrongState, "no page is open");
    try {
        uint32_t obj = d.page->finish(d.pagesObj);
        d.page.reset();
        if (!obj || !d.file.good()) return d.fail(Status::IoError, "writing the page failed (disk full?)");
        d.pages.push_back(obj);
    } catch (const std::bad_alloc&) {
        d.page.reset();
        return d.fail(Status::OutOfMemory, "out of memory");
    }
    return Status::Ok;
}

static const char* pageModeName(PageMode m) {
    switch (m) {
        case PageMode::UseNone: return "UseNone";
        case PageMode::UseOutlines: return "UseOutlines";
        case PageMode::UseThumbs: return "UseThumbs";
        case PageMode::FullScreen: return "FullScreen";
        case PageMode::UseOC: return "UseOC";
        case PageMode::UseAttachments: return "UseAttachments";
    }
    return "UseNone";
}

static const char* pageLayoutName(PageLayout l) {
    switch (l) {
        case PageLayout::SinglePage: return "SinglePage";
        case PageLayout::OneColumn: return "OneColumn";
        case PageLayout::TwoColumnLeft: return "TwoColumnLeft";
        case PageLayout::TwoColumnRight: return "TwoColumnRight";
        case PageLayout::TwoPageLeft: return "TwoPageLeft";
        case PageLayout::TwoPageRight: return "TwoPageRight";
    }
    return "SinglePage";
}

Status Document::finish() {
    Impl& d = *impl_;
    if (!d.open) return d.fail(Status::WrongState, "no document is open");
    try {
        if (d.page) {
            Status s = endPage();
            if (s != Status::Ok) return s;
        }
        if (d.pages.empty()) {
            Status s = beginPage(d.lastWidth, d.lastHeight);
            if (s == Status::Ok) s = endPage();
            if (s != Status::Ok) return s;
        }
        if (d.fonts && !d.fonts->writeAll()) return d.fail(Status::IoError, "writing the fonts failed");
        std::string kids;
        for (uint32_t p : d.pages) kids += std::to_string(p) + " 0 R ";
        d.file.writeObject(d.pagesObj, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(d.pages.size()) + " >>");
        d.file.writeObject(d.catalog, std::string("<< /Type /Catalog /Pages ") + std::to_string(d.pagesObj) +
                                          " 0 R /PageMode /" + pageModeName(d.settings.pageMode) + " /PageLayout /" +
                                          pageLayoutName(d.settings.pageLayout) + " >>");
        uint32_t info = d.file.reserve();
        const DocumentInfo& in = d.settings.info;
        std::string body = "<<";
        auto entry = [&](const char* key, const std::string& v) {
            if (!v.empty()) body += std::string(" /") + key + " " + d.file.textString(v, info);
        };
        entry("Title", in.title);
        entry("Author", in.author);
        entry("Subject", in.subject);
        entry("Keywords", in.keywords);
        entry("Creator", in.creator);
        entry("Producer", in.producer);
        body += " >>";
        d.file.writeObject(info, body);
        std::string err;
        d.open = false;
        if (!d.file.finish(d.catalog, info, err)) return d.fail(Status::IoError, err);
        return Status::Ok;
    } catch (const std::bad_alloc&) {
        d.file.abandon();
        d.open = false;
        return d.fail(Status::OutOfMemory, "out of memory");
    }
}

Status readEmfHeader(const void* data, std::size_t size, EmfHeaderInfo& info, std::string* error) {
    if (!data) {
        if (error) *error = "no data";
        return Status::InvalidArgument;
    }
    EmfReader reader(static_cast<const uint8_t*>(data), size);
    EmfHeader h;
    std::string err;
    if (!reader.readHeader(h, err)) {
        if (error) *error = err;
        return Status::BadMetafile;
    }
    info = EmfHeaderInfo();
    info.frameLeft = h.frame.left; info.frameTop = h.frame.top;
    info.frameRight = h.frame.right; info.frameBottom = h.frame.bottom;
    info.boundsLeft = h.bounds.left; info.boundsTop = h.bounds.top;
    info.boundsRight = h.bounds.right; info.boundsBottom = h.bounds.bottom;
    info.devicePixelsX = h.device.cx; info.devicePixelsY = h.device.cy;
    info.deviceMillimetersX = h.millimeters.cx; info.deviceMillimetersY = h.millimeters.cy;
    info.recordCount = h.records;
    info.byteSize = h.bytes;
    RecordData rec;
    if (reader.next(rec) && rec.type() == emr::GDICOMMENT && rec.size() >= 20 && rec.u32(12) == 0x2B464D45)
        info.hasEmfPlus = true;
    return Status::Ok;
}

bool placementForFrame(const EmfHeaderInfo& info, double unitsPerInch, FramePlacement& out) {
    // The frame is inclusive-inclusive in 0.01 mm.
    double wmm = (double(info.frameRight) - info.frameLeft) / 100.0;
    double hmm = (double(info.frameBottom) - info.frameTop) / 100.0;
    if (info.devicePixelsX <= 0 || info.deviceMillimetersX <= 0 || info.devicePixelsY <= 0 || info.deviceMillimetersY <= 0)
        return false;
    double pxPerMmX = double(info.devicePixelsX) / info.deviceMillimetersX;
    double pxPerMmY = double(info.devicePixelsY) / info.deviceMillimetersY;
    if (!(wmm > 0) || !(hmm > 0)) {
        // No usable frame: the bounds in device pixels.
        wmm = (double(info.boundsRight) - info.boundsLeft + 1) / pxPerMmX;
        hmm = (double(info.boundsBottom) - info.boundsTop + 1) / pxPerMmY;
        if (!(wmm > 0) || !(hmm > 0)) return false;
        out.placement.scaleX = unitsPerInch / 25.4 / pxPerMmX;
        out.placement.scaleY = unitsPerInch / 25.4 / pxPerMmY;
        out.placement.x = -info.boundsLeft * out.placement.scaleX;
        out.placement.y = -info.boundsTop * out.placement.scaleY;
    } else {
        out.placement.scaleX = unitsPerInch / 25.4 / pxPerMmX;
        out.placement.scaleY = unitsPerInch / 25.4 / pxPerMmY;
        out.placement.x = -(info.frameLeft / 100.0) * pxPerMmX * out.placement.scaleX;
        out.placement.y = -(info.frameTop / 100.0) * pxPerMmY * out.placement.scaleY;
    }
    out.pageWidth = wmm / 25.4 * unitsPerInch;
    out.pageHeight = hmm / 25.4 * unitsPerInch;
    return true;
}

}  // namespace quillkit
