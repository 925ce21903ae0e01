// libFuzzer entry: any bytes as an EMF, read and played onto a page of a
// document that is written to nowhere.
#include <cstddef>
#include <cstdint>

#include "quillkit/document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quillkit::Document doc;
    quillkit::DocumentSettings settings;
    settings.compress = false;   // keeps the run on the reader and playback
    if (doc.open("/dev/null", settings) != quillkit::Status::Ok) return 0;
    quillkit::EmfHeaderInfo info;
    quillkit::FramePlacement fp;
    double w = 612, h = 792;
    quillkit::Placement placement;
    if (quillkit::readEmfHeader(data, size, info) == quillkit::Status::Ok &&
        quillkit::placementForFrame(info, 72, fp) && fp.pageWidth < 14400 && fp.pageHeight < 14400) {
        w = fp.pageWidth;
        h = fp.pageHeight;
        placement = fp.placement;
    }
    if (doc.beginPage(w, h) == quillkit::Status::Ok) {
        quillkit::PlayResult result;
        doc.playEmf(data, size, placement, &result);
    }
    doc.finish();
    return 0;
}
