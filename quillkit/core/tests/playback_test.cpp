// Playback of small synthetic metafiles: the content it writes shows how
// the DC state mapped and clipped the drawing. The reference device has
// 1000 pixels on 250 mm and the page is 96 units to the inch, so device
// pixels and grid pixels are the same here.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include "emf_builder.h"
#include "page_writer.h"
#include "pdf_file.h"
#include "playback.h"

using namespace quillkit;
using qktest::EmfBuilder;

namespace {

const int32_t kStock = static_cast<int32_t>(0x80000000u);
enum { BLACK_BRUSH = 4, NULL_BRUSH = 5, NULL_PEN = 8 };

struct Played {
    std::string content;
    PlayResult result;
};

Played play(const std::vector<uint8_t>& emf, Placement placement = Placement()) {
    PdfFile file;
    std::string err;
    Encryption none;
    EXPECT_TRUE(file.open(qktest::tempPath("playback.pdf"), false, none, err)) << err;
    ImageCache images;
    PageWriter page(file, images, 1000, 1000, 96);
    Played out;
    Player player(page, placement, 96, out.result, nullptr);
    EXPECT_TRUE(player.play(emf.data(), emf.size(), err)) << err;
    out.content = page.content();
    file.abandon();
    return out;
}

bool has(const Played& p, const std::string& s) { return p.content.find(s) != std::string::npos; }

std::vector<uint8_t> xformRecord(float m11, float m12, float m21, float m22, float dx, float dy, int mode = -1) {
    std::vector<uint8_t> p;
    for (float f : {m11, m12, m21, m22, dx, dy}) EmfBuilder::putFloat(p, f);
    if (mode >= 0) EmfBuilder::put32(p, static_cast<uint32_t>(mode));
    return p;
}

}  // namespace

TEST(Playback, RectangleEdgesFollowGdiPixelRules) {
    // With a pen: the box covers 10..109 x 20..219 and the outline runs
    // through the centres of its outermost pixels.
    auto withPen = play(EmfBuilder().rec(emr::SELECTOBJECT, {kStock | BLACK_BRUSH})
                            .rec(emr::RECTANGLE, {10, 20, 110, 220}).bytes());
    EXPECT_TRUE(has(withPen, "10 20 100 200 re\nf*\n")) << withPen.content;
    EXPECT_TRUE(has(withPen, "10.5 20.5 m\n109.5 20.5 l\n109.5 219.5 l\n")) << withPen.content;
    // Without a pen the filled box is one pixel smaller each way.
    auto noPen = play(EmfBuilder().rec(emr::SELECTOBJECT, {kStock | BLACK_BRUSH})
                          .rec(emr::SELECTOBJECT, {kStock | NULL_PEN})
                          .rec(emr::RECTANGLE, {10, 20, 110, 220}).bytes());
    EXPECT_TRUE(has(noPen, "10 20 99 199 re\nf*\n")) << noPen.content;
    EXPECT_FALSE(has(noPen, " S\n"));
    // Null brush and null pen: nothing drawn.
    auto nothing = play(EmfBuilder().rec(emr::SELECTOBJECT, {kStock | NULL_BRUSH})
                            .rec(emr::SELECTOBJECT, {kStock | NULL_PEN})
                            .rec(emr::RECTANGLE, {10, 20, 110, 220}).bytes());
    EXPECT_FALSE(has(nothing, " re\n"));
}

TEST(Playback, AnisotropicMappingWithFlippedViewport) {
    auto p = play(EmfBuilder().rec(emr::SETMAPMODE, {8})
                      .rec(emr::SETWINDOWEXTEX, {100, 100})
                      .rec(emr::SETVIEWPORTEXTEX, {200, -200})
                      .rec(emr::SETVIEWPORTORGEX, {0, 500})
                      .rec(emr::MOVETOEX, {10, 10})
                      .rec(emr::LINETO, {20, 10}).bytes());
    EXPECT_TRUE(has(p, "20.5 480.5 m\n40.5 480.5 l\n")) << p.content;
}

TEST(Playback, WindowExtentsAreIgnoredOutsideTheScalableModes) {
    auto p = play(EmfBuilder().rec(emr::SETWINDOWEXTEX, {10, 10})
                      .rec(emr::SETVIEWPORTEXTEX, {1000, 1000})
                      .rec(emr::MOVETOEX, {1, 1})
                      .rec(emr::LINETO, {5, 1}).bytes());
    EXPECT_TRUE(has(p, "1.5 1.5 m\n5.5 1.5 l\n")) << p.content;
}

TEST(Playback, IsotropicModeKeepsUnitsSquare) {
    // Window 100 x 100 into a 400 x 200 viewport: both axes scale by 2.
    auto p = play(EmfBuilder().rec(emr::SETMAPMODE, {7})
                      .rec(emr::SETWINDOWEXTEX, {100, 100})
                      .rec(emr::SETVIEWPORTEXTEX, {400, 200})
                      .rec(emr::MOVETOEX, {10, 10})
                      .rec(emr::LINETO, {20, 10}).bytes());
    EXPECT_TRUE(has(p, "20.5 20.5 m\n40.5 20.5 l\n")) << p.content;
}

TEST(Playback, FixedMetricModesUseTheReferenceDevice) {
    // MM_LOMETRIC: 0.1 mm a unit, y upwards; 4 pixels per mm here.
    auto p = play(EmfBuilder().rec(emr::SETMAPMODE, {2})
                      .rec(emr::MOVETOEX, {100, -100})
                      .rec(emr::LINETO, {200, -100}).bytes());
    EXPECT_TRUE(has(p, "40.5 40.5 m\n80.5 40.5 l\n")) << p.content;
}

TEST(Playback, WorldTransformCompositionOrder) {
    // Set a translation by 100, then scale by 2: left-multiplying scales
    // first, right-multiplying translates first.
    auto left = play(EmfBuilder().raw(emr::SETWORLDTRANSFORM, xformRecord(1, 0, 0, 1, 100, 0))
                         .raw(emr::MODIFYWORLDTRANSFORM, xformRecord(2, 0, 0, 2, 0, 0, 2))
                         .rec(emr::MOVETOEX, {10, 0})
                         .rec(emr::LINETO, {20, 0}).bytes());
    EXPECT_TRUE(has(left, "120.5 0.5 m\n140.5 0.5 l\n")) << left.content;
    auto right = play(EmfBuilder().raw(emr::SETWORLDTRANSFORM, xformRecord(1, 0, 0, 1, 100, 0))
                          .raw(emr::MODIFYWORLDTRANSFORM, xformRecord(2, 0, 0, 2, 0, 0, 3))
                          .rec(emr::MOVETOEX, {10, 0})
                          .rec(emr::LINETO, {20, 0}).bytes());
    EXPECT_TRUE(has(right, "220.5 0.5 m\n240.5 0.5 l\n")) << right.content;
    auto reset = play(EmfBuilder().raw(emr::SETWORLDTRANSFORM, xformRecord(1, 0, 0, 1, 100, 0))
                          .raw(emr::MODIFYWORLDTRANSFORM, xformRecord(0, 0, 0, 0, 0, 0, 1))
                          .rec(emr::MOVETOEX, {10, 0})
                          .rec(emr::LINETO, {20, 0}).bytes());
    EXPECT_TRUE(has(reset, "10.5 0.5 m\n20.5 0.5 l\n")) << reset.content;
}

TEST(Playback, SaveAndRestoreDcBringBackMappingAndClip) {
    auto p = play(EmfBuilder().rec(emr::SAVEDC, {})
                      .rec(emr::SETVIEWPORTORGEX, {300, 300})
                      .rec(emr::INTERSECTCLIPRECT, {0, 0, 50, 50})
                      .rec(emr::MOVETOEX, {0, 0})
                      .rec(emr::LINETO, {10, 0})
                      .rec(emr::RESTOREDC, {-1})
                      .rec(emr::MOVETOEX, {0, 0})
                      .rec(emr::LINETO, {10, 0}).bytes());
    EXPECT_TRUE(has(p, "300 300 50 50 re\nW n\n")) << p.content;   // clip in device space
    EXPECT_TRUE(has(p, "300.5 300.5 m\n310.5 300.5 l\n"));
    // after the restore: origin back at 0 and the clip gone again
    std::size_t after = p.content.rfind("Q q\n");
    ASSERT_NE(after, std::string::npos);
    std::string tail = p.content.substr(after);
    EXPECT_EQ(tail.find(" re\nW n"), std::string::npos) << tail;
    EXPECT_NE(tail.find("0.5 0.5 m\n10.5 0.5 l\n"), std::string::npos) << tail;
}

TEST(Playback, RestoreDcOutOfRangeIsIgnored) {
    auto p = play(EmfBuilder().rec(emr::SETVIEWPORTORGEX, {5, 5})
                      .rec(emr::RESTOREDC, {-3})
                      .rec(emr::RESTOREDC, {7})
                      .rec(emr::MOVETOEX, {0, 0})
                      .rec(emr::LINETO, {10, 0}).bytes());
    EXPECT_TRUE(has(p, "5.5 5.5 m\n15.5 5.5 l\n")) << p.content;
}

TEST(Playback, ExcludeClipAndRegionModes) {
    // Exclude a hole: the clip becomes rectangles around it.
    auto p = play(EmfBuilder().rec(emr::EXCLUDECLIPRECT, {10, 10, 20, 20})
                      .rec(emr::SELECTOBJECT, {kStock | BLACK_BRUSH})
                      .rec(emr::RECTANGLE, {0, 0, 30, 30}).bytes());
    EXPECT_TRUE(has(p, "W n\n"));
    EXPECT_FALSE(has(p, "10 10 10 10 re\nW")) << p.content;
    // RGN_COPY without data removes the clip.
    auto q = play(EmfBuilder().rec(emr::INTERSECTCLIPRECT, {0, 0, 5, 5})
                      .rec(emr::EXTSELECTCLIPRGN, {0, 5})
                      .rec(emr::SELECTOBJECT, {kStock | BLACK_BRUSH})
                      .rec(emr::RECTANGLE, {0, 0, 30, 30}).bytes());
    EXPECT_FALSE(has(q, "W n")) << q.content;
}

TEST(Playback, ObjectsAndBadIndices) {
    // A red pen 3 units wide is geometric with round ends.
    auto p = play(EmfBuilder().rec(emr::CREATEPEN, {1, 0, 3, 0, 0x0000FF})
                      .rec(emr::SELECTOBJECT, {1})
                      .rec(emr::MOVETOEX, {0, 0})
                      .rec(emr::LINETO, {10, 0}).bytes());
    EXPECT_TRUE(has(p, "1 0 0 RG\n3 w\n1 J\n1 j\n")) << p.content;
    EXPECT_TRUE(p.result.errors.empty());
    // Indices outside the table and missing objects are reported, not drawn.
    auto bad = play(EmfBuilder().rec(emr::CREATEPEN, {0x7FFFFFFF, 0, 3, 0, 0})
                        .rec(emr::SELECTOBJECT, {5})
                        .rec(emr::DELETEOBJECT, {-5})
                        .rec(emr::SELECTOBJECT, {kStock | 99}).bytes());
    EXPECT_EQ(bad.result.errors.size(), 4u);
}

TEST(Playback, HatchBrushUsesAPatternOverTheBackground) {
    auto p = play(EmfBuilder().rec(emr::CREATEBRUSHINDIRECT, {1, 2, 0x00FF00, 4})
                      .rec(emr::SELECTOBJECT, {1})
                      .rec(emr::SETBKCOLOR, {0x0000FF})
                      .rec(emr::RECTANGLE, {0, 0, 40, 40}).bytes());
    EXPECT_TRUE(has(p, "1 0 0 rg\n")) << p.content;   // opaque background first
    EXPECT_TRUE(has(p, "/CsP cs 0 1 0 /P1 scn\n")) << p.content;
    auto t = play(EmfBuilder().rec(emr::CREATEBRUSHINDIRECT, {1, 2, 0x00FF00, 4})
                      .rec(emr::SELECTOBJECT, {1})
                      .rec(emr::SETBKMODE, {1})
                      .rec(emr::SETBKCOLOR, {0x0000FF})
                      .rec(emr::RECTANGLE, {0, 0, 40, 40}).bytes());
    EXPECT_FALSE(has(t, "1 0 0 rg\n")) << t.content;
}

TEST(Playback, OpaqueRectangleOfAnEmptyTextRecord) {
    std::vector<uint8_t> r;
    for (int32_t v : {0, 0, 0, 0, 1, 0, 0, /*ref*/ 0, 0, /*n*/ 0, /*off*/ 0, /*opts*/ 2, 5, 6, 25, 36, 0})
        EmfBuilder::put32(r, static_cast<uint32_t>(v));
    r[20] = 0; r[24] = 0;   // exScale, eyScale as 0.0
    auto p = play(EmfBuilder().rec(emr::SETBKCOLOR, {0x00FF0000}).raw(emr::EXTTEXTOUTW, r).bytes());
    EXPECT_TRUE(has(p, "0 0 1 rg\n5 6 20 30 re\nf\n")) << p.content;
    EXPECT_EQ(p.result.unsupportedTotal(), 0u);
}

TEST(Playback, StretchDibitsDrawsAnImage) {
    // A 2 x 2 24-bit bottom-up DIB stretched to 20 x 20.
    std::vector<uint8_t> r;
    auto put = [&](uint32_t v) { EmfBuilder::put32(r, v); };
    for (int i = 0; i < 4; ++i) put(0);              // bounds
    put(10); put(10);                                 // dest x, y
    put(0); put(0); put(2); put(2);                   // src x, y, cx, cy
    put(80); put(40); put(120); put(16);              // offBmi, cbBmi, offBits, cbBits
    put(0); put(0x00CC0020);                          // usage, rop
    put(20); put(20);                                 // dest cx, cy
    // BITMAPINFOHEADER
    put(40); put(2); put(2); put(1 | (24 << 16)); put(0); put(16); put(0); put(0); put(0); put(0);
    for (int i = 0; i < 16; ++i) r.push_back(static_cast<uint8_t>(i * 10));
    auto p = play(EmfBuilder().raw(emr::STRETCHDIBITS, r).bytes());
    EXPECT_TRUE(has(p, "q 20 0 0 -20 10 30 cm /Im1 Do Q")) << p.content;
    EXPECT_TRUE(p.result.errors.empty());
}

TEST(Playback, HugeBitmapClaimsAreRefused) {
    std::vector<uint8_t> r;
    auto put = [&](uint32_t v) { EmfBuilder::put32(r, v); };
    for (int i = 0; i < 4; ++i) put(0);
    put(0); put(0); put(0); put(0); put(65535); put(65535);
    put(80); put(40); put(120); put(4);
    put(0); put(0x00CC0020); put(20); put(20);
    put(40); put(65535); put(65535); put(1 | (32 << 16)); put(0); put(0); put(0); put(0); put(0); put(0);
    put(0);
    auto p = play(EmfBuilder().raw(emr::STRETCHDIBITS, r).bytes());
    EXPECT_FALSE(p.result.errors.empty());
    EXPECT_FALSE(has(p, " Do "));
}

TEST(Playback, PathBracketFillsWithTheFillMode) {
    auto p = play(EmfBuilder().rec(emr::SELECTOBJECT, {kStock | BLACK_BRUSH})
                      .rec(emr::SETPOLYFILLMODE, {2})
                      .rec(emr::BEGINPATH, {})
                      .rec(emr::MOVETOEX, {0, 0})
                      .rec(emr::LINETO, {100, 0})
                      .rec(emr::LINETO, {100, 100})
                      .rec(emr::CLOSEFIGURE, {})
                      .rec(emr::ENDPATH, {})
                      .rec(emr::FILLPATH, {0, 0, 0, 0}).bytes());
    EXPECT_TRUE(has(p, "h\nf\n")) << p.content;   // winding: f, not f*
    EXPECT_FALSE(has(p, " S\n"));
}

namespace {

// The whole page file (content and resources) of a played metafile.
std::string playToFile(const std::vector<uint8_t>& emf) {
    std::string path = qktest::tempPath("playback_page.pdf");
    PdfFile file;
    std::string err;
    Encryption none;
    EXPECT_TRUE(file.open(path, false, none, err)) << err;
    ImageCache images;
    PageWriter page(file, images, 1000, 1000, 96);
    PlayResult result;
    Player player(page, Placement(), 96, result, nullptr);
    EXPECT_TRUE(player.play(emf.data(), emf.size(), err)) << err;
    EXPECT_NE(page.finish(file.reserve()), 0u);
    file.abandon();
    return qktest::readFile(path);
}

// The colour one pixel covered by every fill of the page ends with: the
// fills of the content stream composited in order with their blend modes
// (Normal, Multiply, Screen, Difference) over white paper.
uint32_t compositeFills(const std::string& pdf) {
    std::map<std::string, std::string> blendOf;
    const std::string entry = " << /Type /ExtGState";
    for (std::size_t at = pdf.find(entry); at != std::string::npos; at = pdf.find(entry, at + 1)) {
        std::size_t name = pdf.rfind('/', at), end = pdf.find(">>", at), bm = pdf.find("/BM /", at);
        if (bm != std::string::npos && bm < end)
            blendOf[pdf.substr(name + 1, at - name - 1)] = pdf.substr(bm + 5, pdf.find(' ', bm + 5) - bm - 5);
    }
    std::size_t begin = pdf.find("stream\n"), stop = pdf.find("endstream");
    std::istringstream in(pdf.substr(begin + 7, stop - begin - 7));
    struct State { std::string blend = "Normal"; double c[3] = {0, 0, 0}; };
    std::vector<State> stack(1);
    double d[3] = {1, 1, 1};
    std::vector<std::string> args;
    std::string tok;
    while (in >> tok) {
        State& st = stack.back();
        if (tok == "q") stack.push_back(st);
        else if (tok == "Q") { if (stack.size() > 1) stack.pop_back(); }
        else if (tok == "g" && args.size() >= 1) st.c[0] = st.c[1] = st.c[2] = std::stod(args.back());
        else if (tok == "rg" && args.size() >= 3)
            for (int i = 0; i < 3; ++i) st.c[i] = std::stod(args[args.size() - 3 + i]);
        else if (tok == "gs" && !args.empty()) st.blend = blendOf.count(args.back().substr(1)) ? blendOf[args.back().substr(1)] : "?";
        else if (tok == "f" || tok == "f*") {
            for (int i = 0; i < 3; ++i) {
                double s = st.c[i];
                if (st.blend == "Multiply") d[i] = d[i] * s;
                else if (st.blend == "Screen") d[i] = d[i] + s - d[i] * s;
                else if (st.blend == "Difference") d[i] = std::fabs(d[i] - s);
                else if (st.blend == "Normal") d[i] = s;
                else d[i] = -1;   // an unknown mode fails the comparison
            }
        }
        if (!tok.empty() && (std::isdigit(static_cast<unsigned char>(tok[0])) || tok[0] == '-' || tok[0] == '.' || tok[0] == '/'))
            args.push_back(tok);
        else
            args.clear();
    }
    auto byte = [](double v) { return v < 0 ? 0x100u : static_cast<uint32_t>(std::lround(v * 255)); };
    return byte(d[0]) | byte(d[1]) << 8 | byte(d[2]) << 16;
}

uint32_t gdiRop2(int rop, uint32_t dst, uint32_t pen) {
    uint32_t d = dst, p = pen, r = 0;
    switch (rop) {
        case 1: r = 0; break;
        case 2: r = ~(d | p); break;
        case 3: r = d & ~p; break;
        case 4: r = ~p; break;
        case 5: r = p & ~d; break;
        case 6: r = ~d; break;
        case 7: r = d ^ p; break;
        case 8: r = ~(d & p); break;
        case 9: r = d & p; break;
        case 10: r = ~(d ^ p); break;
        case 11: r = d; break;
        case 12: r = d | ~p; break;
        case 13: r = p; break;
        case 14: r = p | ~d; break;
        case 15: r = d | p; break;
        case 16: r = ~0u; break;
    }
    return r & 0xFFFFFF;
}

}  // namespace

TEST(Playback, BinaryRasterOperationsCombineWithThePage) {
    // Every binary raster operation, brush over a painted backdrop, for
    // channels of 0 and 255 in all four combinations (red and green of the
    // backdrop and the brush differ, blue is shared).
    const uint32_t backdrops[] = {0x0000FF, 0xFF00FF, 0x000000, 0xFFFFFF};
    const uint32_t brushes[] = {0x00FF00, 0xFFFF00, 0x000000};
    for (int rop = 1; rop <= 16; ++rop)
        for (uint32_t dst : backdrops)
            for (uint32_t pen : brushes) {
                auto pdf = playToFile(EmfBuilder()
                                          .rec(emr::SELECTOBJECT, {kStock | NULL_PEN})
                                          .rec(emr::CREATEBRUSHINDIRECT, {1, 0, static_cast<int32_t>(dst), 0})
                                          .rec(emr::SELECTOBJECT, {1})
                                          .rec(emr::RECTANGLE, {0, 0, 100, 100})
                                          .rec(emr::SETROP2, {rop})
                                          .rec(emr::CREATEBRUSHINDIRECT, {2, 0, static_cast<int32_t>(pen), 0})
                                          .rec(emr::SELECTOBJECT, {2})
                                          .rec(emr::RECTANGLE, {10, 10, 90, 90})
                                          .bytes());
                EXPECT_EQ(compositeFills(pdf), gdiRop2(rop, dst, pen))
                    << "rop " << rop << " backdrop " << std::hex << dst << " brush " << pen;
            }
}

TEST(Playback, PagesWithoutBlendingStayPlain) {
    // Copying paints need no blend mode and no paper underlay; an XOR pen
    // line is not merged into the plain lines before it.
    auto plain = playToFile(EmfBuilder().rec(emr::SELECTOBJECT, {kStock | BLACK_BRUSH})
                                .rec(emr::RECTANGLE, {10, 10, 90, 90}).bytes());
    EXPECT_EQ(plain.find("/BM"), std::string::npos);
    EXPECT_EQ(plain.find("1 g 0 0 1000 1000 re f"), std::string::npos);
    auto xorLine = play(EmfBuilder().rec(emr::MOVETOEX, {10, 10})
                            .rec(emr::LINETO, {50, 10})
                            .rec(emr::SETROP2, {7})
                            .rec(emr::LINETO, {50, 50}).bytes());
    EXPECT_TRUE(has(xorLine, "10.5 10.5 m\n50.5 10.5 l\nS\n")) << xorLine.content;
    EXPECT_TRUE(has(xorLine, " gs\n")) << xorLine.content;
}

namespace {

// STRETCHDIBITS of a 2 x 2 24-bit DIB (pixels given top row first as
// 0xRRGGBB) to 20 x 20 at (10, 10) with the raster operation.
std::vector<uint8_t> stretchDib(const uint32_t (&px)[4], uint32_t rop) {
    std::vector<uint8_t> r;
    auto put = [&](uint32_t v) { EmfBuilder::put32(r, v); };
    for (int i = 0; i < 4; ++i) put(0);
    put(10); put(10); put(0); put(0); put(2); put(2);
    put(80); put(40); put(120); put(16);
    put(0); put(rop); put(20); put(20);
    put(40); put(2); put(2); put(1 | (24 << 16)); put(0); put(16); put(0); put(0); put(0); put(0);
    for (int row : {1, 0}) {   // bottom-up, BGR, rows of 8 bytes
        for (int col = 0; col < 2; ++col) {
            uint32_t c = px[row * 2 + col];
            r.push_back(c & 0xFF); r.push_back((c >> 8) & 0xFF); r.push_back((c >> 16) & 0xFF);
        }
        r.push_back(0); r.push_back(0);
    }
    return EmfBuilder().raw(emr::STRETCHDIBITS, r).bytes();
}

}  // namespace

TEST(Playback, TwoColourBlitsOverWhiteOrBlackBecomeStencilMasks) {
    const uint32_t srcAnd = 0x008800C6, srcPaint = 0x00EE0086, srcCopy = 0x00CC0020;
    // SRCAND of white and red: white leaves the page, red paints.
    const uint32_t redOnWhite[4] = {0xFFFFFF, 0xFF0000, 0xFF0000, 0xFFFFFF};
    auto p = play(stretchDib(redOnWhite, srcAnd));
    EXPECT_TRUE(has(p, "q 1 0 0 rg 20 0 0 -20 10 30 cm /Im1 Do Q")) << p.content;
    std::string pdf = playToFile(stretchDib(redOnWhite, srcAnd));
    EXPECT_NE(pdf.find("/ImageMask true /BitsPerComponent 1"), std::string::npos);
    EXPECT_EQ(pdf.find("/Mask ["), std::string::npos);
    // SRCPAINT of black and blue: the same with black as the clear colour.
    const uint32_t blueOnBlack[4] = {0x000000, 0x0000FF, 0x000000, 0x000000};
    EXPECT_TRUE(has(play(stretchDib(blueOnBlack, srcPaint)), "q 0 0 1 rg 20 0 0 -20"));
    // A third colour, or a copy (nothing clear), keeps a colour image.
    const uint32_t three[4] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0xFFFFFF};
    EXPECT_NE(playToFile(stretchDib(three, srcAnd)).find("/Mask [255 255 255 255 255 255]"), std::string::npos);
    EXPECT_TRUE(has(play(stretchDib(three, srcAnd)), "q 20 0 0 -20 10 30 cm /Im1 Do Q"));
    EXPECT_TRUE(has(play(stretchDib(redOnWhite, srcCopy)), "q 20 0 0 -20 10 30 cm /Im1 Do Q"));
}
