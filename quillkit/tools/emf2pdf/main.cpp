// emf2pdf: EMF files into one PDF, one page per file at the EMF's frame size.
// Exit code 0 when every file converted cleanly, 1 when some file was
// damaged or unreadable (the PDF is still complete), 2 on a bad command line
// or when the PDF could not be written.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "options.h"
#include "quillkit/document.h"
#ifdef _WIN32
#include "quillkit_win/gdi_font_provider.h"
#include "quillkit_win/text_decoder.h"
#endif

namespace {

bool readFile(const std::string& path, std::vector<uint8_t>& data) {
#ifdef _WIN32
    std::wstring w;
    for (std::size_t i = 0; i < path.size();) {   // UTF-8 to UTF-16
        unsigned char c = static_cast<unsigned char>(path[i]);
        uint32_t cp = c;
        int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (len > 1) cp = c & (0x7F >> len);
        for (int k = 1; k < len && i + k < path.size(); ++k) cp = (cp << 6) | (path[i + k] & 0x3F);
        i += len;
        if (cp >= 0x10000) { cp -= 0x10000; w += wchar_t(0xD800 + (cp >> 10)); w += wchar_t(0xDC00 + (cp & 0x3FF)); }
        else w += wchar_t(cp);
    }
    std::FILE* f = _wfopen(w.c_str(), L"rb");
#else
    std::FILE* f = std::fopen(path.c_str(), "rb");
#endif
    if (!f) return false;
    data.clear();
    uint8_t buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

int run(const std::vector<std::string>& args) {
    Emf2PdfOptions opt;
    std::string error;
    if (!parseOptions(args, opt, error)) {
        std::fprintf(stderr, "emf2pdf: %s\n%s", error.c_str(), usageText());
        return 2;
    }
    if (opt.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
#ifdef _WIN32
    // The faces GDI selects for the pictures' fonts: the faces the
    // pictures' glyph numbers belong to when they were made on this system.
    if (opt.fontSource != Emf2PdfOptions::FontSource::Files) opt.settings.fonts = quillkit::win::gdiFontProvider();
    // Double-byte 8-bit text in the system's code pages, as GDI reads it.
    opt.settings.textDecoder = quillkit::win::windowsTextDecoder();
#endif
    quillkit::Document doc;
    if (doc.open(opt.output, opt.settings) != quillkit::Status::Ok) {
        std::fprintf(stderr, "emf2pdf: %s\n", doc.lastError().c_str());
        return 2;
    }
    int problems = 0;
    for (const auto& in : opt.inputs) {
        std::vector<uint8_t> data;
        if (!readFile(in, data)) {
            std::fprintf(stderr, "%s: cannot read the file\n", in.c_str());
            ++problems;
            continue;
        }
        quillkit::EmfHeaderInfo info;
        std::string err;
        quillkit::FramePlacement fp;
        if (quillkit::readEmfHeader(data.data(), data.size(), info, &err) != quillkit::Status::Ok ||
            !quillkit::placementForFrame(info, opt.settings.unitsPerInch, fp)) {
            std::fprintf(stderr, "%s: not a usable EMF: %s\n", in.c_str(), err.empty() ? "no page size" : err.c_str());
            ++problems;
            continue;
        }
        // A page of whole device-grid pixels, as GDI plays a picture into a
        // whole-pixel rectangle: the picture is scaled to fill it.
        double grid = opt.settings.gridPerInch;
        if (grid > 0) {
            double upi = opt.settings.unitsPerInch;
            double wpx = std::max(1.0, std::round(fp.pageWidth / upi * grid));
            double hpx = std::max(1.0, std::round(fp.pageHeight / upi * grid));
            double fx = wpx * upi / grid / fp.pageWidth, fy = hpx * upi / grid / fp.pageHeight;
            fp.pageWidth *= fx; fp.placement.x *= fx; fp.placement.scaleX *= fx;
            fp.pageHeight *= fy; fp.placement.y *= fy; fp.placement.scaleY *= fy;
        }
        // Absurd frames are drawn on the largest page the writer accepts.
        double maxUnits = 200 * opt.settings.unitsPerInch;
        double shrink = 1;
        if (fp.pageWidth > maxUnits) shrink = std::min(shrink, maxUnits / fp.pageWidth);
        if (fp.pageHeight > maxUnits) shrink = std::min(shrink, maxUnits / fp.pageHeight);
        if (shrink < 1) {
            fp.pageWidth *= shrink; fp.pageHeight *= shrink;
            fp.placement.x *= shrink; fp.placement.y *= shrink;
            fp.placement.scaleX *= shrink; fp.placement.scaleY *= shrink;
        }
        if (doc.beginPage(fp.pageWidth, fp.pageHeight) != quillkit::Status::Ok) {
            std::fprintf(stderr, "%s: %s\n", in.c_str(), doc.lastError().c_str());
            ++problems;
            continue;
        }
        quillkit::PlayResult result;
        quillkit::Status st = doc.playEmf(data.data(), data.size(), fp.placement, &result);
        if (st != quillkit::Status::Ok) ++problems;
        if (!opt.quiet) {
            std::printf("%s: %u records, %u played, %u unsupported", in.c_str(), result.recordsRead, result.recordsPlayed,
                        result.unsupportedTotal());
            for (const auto& kv : result.unsupported)
                std::printf(" %s=%u", quillkit::emfRecordName(kv.first).c_str(), kv.second);
            std::printf("\n");
            for (const auto& e : result.errors) std::printf("%s:   error: %s\n", in.c_str(), e.c_str());
        }
        if (doc.endPage() != quillkit::Status::Ok) {
            std::fprintf(stderr, "emf2pdf: %s\n", doc.lastError().c_str());
            return 2;
        }
    }
    if (doc.finish() != quillkit::Status::Ok) {
        std::fprintf(stderr, "emf2pdf: %s\n", doc.lastError().c_str());
        return 2;
    }
    return problems ? 1 : 0;
}

}  // namespace

#ifdef _WIN32
#include <cwchar>
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string s;
        for (const wchar_t* p = argv[i]; *p; ++p) {
            uint32_t cp = static_cast<uint16_t>(*p);
            if (cp >= 0xD800 && cp < 0xDC00 && p[1]) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<uint16_t>(p[1]) - 0xDC00);
                ++p;
            }
            if (cp < 0x80) s += char(cp);
            else if (cp < 0x800) { s += char(0xC0 | (cp >> 6)); s += char(0x80 | (cp & 0x3F)); }
            else if (cp < 0x10000) { s += char(0xE0 | (cp >> 12)); s += char(0x80 | ((cp >> 6) & 0x3F)); s += char(0x80 | (cp & 0x3F)); }
            else { s += char(0xF0 | (cp >> 18)); s += char(0x80 | ((cp >> 12) & 0x3F)); s += char(0x80 | ((cp >> 6) & 0x3F)); s += char(0x80 | (cp & 0x3F)); }
        }
        args.push_back(s);
    }
    return run(args);
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return run(args);
}
#endif
