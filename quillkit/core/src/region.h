// A GDI-style region: a set of non-overlapping rectangles in device space,
// combined by the five region operations (and, or, xor, diff, copy).
#pragma once

#include <vector>

namespace quillkit {

struct RectD {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;   // x0 < x1, y0 < y1 for a non-empty rect
    bool empty() const { return !(x0 < x1 && y0 < y1); }
};

class Region {
public:
    enum class Op { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

    Region() = default;
    explicit Region(const RectD& r) { if (!r.empty()) rects_.push_back(r); }
    static Region fromRects(const std::vector<RectD>& rects);   // union of any rects

    bool empty() const { return rects_.empty(); }
    const std::vector<RectD>& rects() const { return rects_; }
    void offset(double dx, double dy);

    // this = this op other (Copy: this = other).
    void combine(const Region& other, Op op);
    static Region combined(const Region& a, const Region& b, Op op);

private:
    std::vector<RectD> rects_;
};

}  // namespace quillkit
