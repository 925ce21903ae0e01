// Plays the records of one EMF onto a PDF page: keeps the GDI device-context
// state and turns drawing records into PDF path, clip and image operations.
// Geometry is transformed into the EMF's device space here; the placement on
// the page is one matrix around the whole drawing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dc_state.h"
#include "emf_reader.h"
#include "page_writer.h"
#include "quillkit/document.h"
#include "quillkit/play_result.h"
#include "text_renderer.h"

namespace quillkit {

class Player {
public:
    // gridPerInch: the device grid that coordinates snap to (0: none).
    Player(PageWriter& page, const Placement& placement, double gridPerInch, PlayResult& result, TextRenderer* text);
    // Plays the whole metafile. False when it is not an EMF at all (nothing
    // drawn); damaged records later on end playback with an error in the result.
    bool play(const uint8_t* data, std::size_t size, std::string& error);

    // ---- used by the text renderer ----
    const DcState& state() const { return dc_; }
    // Logical -> output grid. "Device" coordinates inside the player are
    // pixels of the output grid (the EMF's device space placed on the page).
    Matrix toDevice();
    double outputPixel() const { return outPx_; }
    std::string& out();                      // content, with pending output flushed
    void ensureClip();
    void setFillColor(uint32_t colorref);
    uint32_t resolveColor(uint32_t colorref) const;
    PageWriter& page() { return page_; }
    void fillDevicePath(const Path& p, uint32_t colorref);
    void setCurrentPosition(PointD logical) { dc_.current = logical; }

private:
    // record groups
    void dispatch(const RecordData& r);
    void onState(const RecordData& r);
    void onObject(const RecordData& r);
    void onClip(const RecordData& r);
    void onShape(const RecordData& r);
    void onPoly(const RecordData& r);
    void onPath(const RecordData& r);
    void onBitmap(const RecordData& r);
    void onText(const RecordData& r);
    void onRegionPaint(const RecordData& r);
    void onGradient(const RecordData& r);
    // Text in the standard PDF fonts (Helvetica, Times, Courier, Symbol),
    // placed glyph by glyph at GDI's positions.
    bool drawStandardText(const TextRun& run);

    void unsupported(uint32_t type) { ++result_.unsupported[type]; }
    void damaged(const RecordData& r, const std::string& why);

    // mapping
    void mappingChanged() { xformValid_ = false; }
    void setMapMode(int mode);
    void fixIsotropic();
    PointD dev(double x, double y) { return rawGrid_ ? PointD{x, y} : toDevice().apply({x, y}); }
    PointD dev(PointL p) { return dev(p.x, p.y); }
    RectD deviceRect(const RectL& r);   // bounding box of a logical rect

    // geometry into device paths
    void addEllipse(Path& p, double l, double t, double r, double b);
    void addArc(Path& p, double l, double t, double r, double b, PointD start, PointD end, bool moveFirst, PointD* endPoint);
    void addRoundRect(Path& p, double l, double t, double r, double b, double w, double h);
    void addRect(Path& p, double l, double t, double r, double b);

    // drawing: in a path bracket the shape joins the path, else it is painted
    void draw(const Path& devicePath, bool fill, bool stroke);
    // A shape whose outline runs on other points than its fill (GDI's
    // boxes: the outline's right and bottom edges lie one pixel inside).
    void drawShape(const Path& fillPath, const Path& strokePath, bool fill, bool stroke);
    // Box shapes (rectangle, ellipse, round rectangle, arcs) with GDI's pixel rules.
    void boxShape(uint32_t type, double l, double t, double r, double b, PointD start, PointD end, double cw, double ch);
    void paintFill(const Path& p, bool evenOdd, const GdiObject* brush);
    void paintStroke(const Path& p);
    bool hasFill() const;
    bool hasStroke() const;
    void emitPath(const Path& p, bool stroke = false);
    void emitRectOrPath(const Path& p);
    void emitFillPath(const Path& p, bool evenOdd);
    void point(std::string& s, PointD p, bool stroke, bool onCurve = true);
    void lineTo(PointD logical);
    void flushPending();

    // pen and colours
    void setStrokeColor(uint32_t colorref);
    void applyPen(const PenObject& pen, uint32_t colorref, bool solid);
    uint32_t ropColor(uint32_t colorref) const;
    // A raster operation that reads the page, as up to two paints of the
    // shape with a blend mode; `source` is 0 for white, 1 for the pen or
    // brush colour, 2 for its inverse.
    struct RopStep {
        const char* blend;
        int source;
    };
    int ropSteps(RopStep out[2]) const;
    void resetEmittedState();

    // clipping
    void clipChanged() { ++clipVersion_; }
    void combineClipRegion(const Region& rgn, Region::Op op);
    void emitClip(const Clip& c);
    bool readRegion(const RecordData& r, std::size_t offset, std::size_t size, bool logical, Region& out);

    // bitmaps
    void drawImage(const DecodedImage& img, PointD topLeft, PointD topRight, PointD bottomLeft, ImageMask mask,
                   uint32_t key, uint8_t alpha);
    void fillParallelogram(PointD tl, PointD tr, PointD bl, uint32_t rop);

    PageWriter& page_;
    Placement placement_;
    PlayResult& result_;
    TextRenderer* text_;
    EmfHeader header_;
    DcState dc_;
    std::vector<DcState> saved_;
    std::vector<ObjectRef> objects_;
    ObjectRef stockObjects_[20];

    Matrix xform_;
    Matrix deviceToGrid_;   // EMF device units -> output grid pixels
    double gridUnit_ = 1;   // page units per grid pixel
    bool snap_ = true;
    bool rawGrid_ = false;
    bool fillExact_ = false;   // the next fill's points are already on the grid  // geometry helpers take grid coordinates as they are
    bool xformValid_ = false;
    double outPx_ = 1;   // device units per output pixel (1/96 inch)

    // path bracket
    bool inPath_ = false;
    Path path_;
    bool pathFigureOpen_ = false;
    bool pathWidened_ = false;

    // emitted PDF state
    uint64_t clipVersion_ = 1, clipEmitted_ = 0;
    int emFill_ = -1, emStroke_ = -1, emCap_ = -1, emJoin_ = -1;
    double emWidth_ = -1, emMiter_ = -1;
    std::string emDash_;
    const RopStep* ropStep_ = nullptr;   // the blended paint under way

    // consecutive LINETOs merged into one stroked path
    std::string pending_;
    PointD pendingEnd_;
    const GdiObject* pendingPen_ = nullptr;
    uint64_t pendingClip_ = 0;
    bool pendingActive_ = false;
};

}  // namespace quillkit
