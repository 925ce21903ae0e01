#include "region.h"

#include <algorithm>

namespace quillkit {
namespace {

using Intervals = std::vector<std::pair<double, double>>;

// The x-intervals of the rects that span the band [y0, y1), merged.
Intervals bandIntervals(const std::vector<RectD>& rects, double y0, double y1) {
    Intervals iv;
    for (const auto& r : rects)
        if (r.y0 <= y0 && r.y1 >= y1) iv.push_back({r.x0, r.x1});
    std::sort(iv.begin(), iv.end());
    Intervals merged;
    for (const auto& i : iv) {
        if (!merged.empty() && i.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, i.second);
        else
            merged.push_back(i);
    }
    return merged;
}

bool inside(Region::Op op, bool a, bool b) {
    switch (op) {
        case Region::Op::And: return a && b;
        case Region::Op::Or: return a || b;
        case Region::Op::Xor: return a != b;
        case Region::Op::Diff: return a && !b;
        case Region::Op::Copy: return b;
    }
    return false;
}

Intervals combineIntervals(const Intervals& a, const Intervals& b, Region::Op op) {
    std::vector<double> xs;
    for (const auto& i : a) { xs.push_back(i.first); xs.push_back(i.second); }
    for (const auto& i : b) { xs.push_back(i.first); xs.push_back(i.second); }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    Intervals out;
    std::size_t ia = 0, ib = 0;
    for (std::size_t k = 0; k + 1 < xs.size(); ++k) {
        double mid0 = xs[k], mid1 = xs[k + 1];
        while (ia < a.size() && a[ia].second <= mid0) ++ia;
        while (ib < b.size() && b[ib].second <= mid0) ++ib;
        bool inA = ia < a.size() && a[ia].first <= mid0 && a[ia].second >= mid1;
        bool inB = ib < b.size() && b[ib].first <= mid0 && b[ib].second >= mid1;
        if (inside(op, inA, inB)) {
            if (!out.empty() && out.back().second == mid0) out.back().second = mid1;
            else out.push_back({mid0, mid1});
        }
    }
    return out;
}

}  // namespace

Region Region::fromRects(const std::vector<RectD>& rects) {
    Region r;
    for (const auto& rc : rects)
        if (!rc.empty()) r.rects_.push_back(rc);
    // Normalise through a union with nothing, which removes overlaps.
    return combined(r, Region(), Op::Or);
}

void Region::offset(double dx, double dy) {
    for (auto& r : rects_) { r.x0 += dx; r.x1 += dx; r.y0 += dy; r.y1 += dy; }
}

void Region::combine(const Region& other, Op op) { *this = combined(*this, other, op); }

Region Region::combined(const Region& a, const Region& b, Op op) {
    if (op == Op::Copy) return b;
    if (op == Op::And && (a.empty() || b.empty())) return Region();
    if (op == Op::Diff && (a.empty() || b.empty())) return a;
    std::vector<double> ys;
    for (const auto& r : a.rects_) { ys.push_back(r.y0); ys.push_back(r.y1); }
    for (const auto& r : b.rects_) { ys.push_back(r.y0); ys.push_back(r.y1); }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    Region out;
    Intervals prev;
    std::vector<std::size_t> prevIndex;   // rects of the previous band, to extend downwards
    for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
        double y0 = ys[k], y1 = ys[k + 1];
        Intervals iv = combineIntervals(bandIntervals(a.rects_, y0, y1), bandIntervals(b.rects_, y0, y1), op);
        bool touching = !prevIndex.empty() && out.rects_[prevIndex[0]].y1 == y0;
        if (touching && iv == prev) {
            for (auto idx : prevIndex) out.rects_[idx].y1 = y1;
            continue;
        }
        prevIndex.clear();
        for (const auto& i : iv) {
            prevIndex.push_back(out.rects_.size());
            out.rects_.push_back({i.first, y0, i.second, y1});
        }
        prev = iv;
    }
    return out;
}

}  // namespace quillkit
