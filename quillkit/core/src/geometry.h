// Points, affine transforms and device-space paths of the playback engine.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace quillkit {

struct PointD {
    double x = 0, y = 0;
};

// GDI's XFORM layout: x' = x*m11 + y*m21 + dx, y' = x*m12 + y*m22 + dy.
struct Matrix {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    PointD apply(PointD p) const { return {p.x * m11 + p.y * m21 + dx, p.x * m12 + p.y * m22 + dy}; }
    PointD applyVector(PointD p) const { return {p.x * m11 + p.y * m21, p.x * m12 + p.y * m22}; }
    double determinant() const { return m11 * m22 - m12 * m21; }
    // Mean scale of lengths (square root of the area factor).
    double scale() const { return std::sqrt(std::fabs(determinant())); }
    bool axisAligned() const { return m12 == 0 && m21 == 0; }
    bool isFinite() const {
        return std::isfinite(m11) && std::isfinite(m12) && std::isfinite(m21) && std::isfinite(m22) &&
               std::isfinite(dx) && std::isfinite(dy);
    }
};

// a then b: (a*b).apply(p) == b.apply(a.apply(p)).
inline Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    r.m11 = a.m11 * b.m11 + a.m12 * b.m21;
    r.m12 = a.m11 * b.m12 + a.m12 * b.m22;
    r.m21 = a.m21 * b.m11 + a.m22 * b.m21;
    r.m22 = a.m21 * b.m12 + a.m22 * b.m22;
    r.dx = a.dx * b.m11 + a.dy * b.m21 + b.dx;
    r.dy = a.dx * b.m12 + a.dy * b.m22 + b.dy;
    return r;
}

// A path in device space: move/line/curve/close operations.
class Path {
public:
    enum Op : uint8_t { Move, Line, Curve, Close };

    void moveTo(PointD p) { ops_.push_back(Move); pts_.push_back(p); }
    void lineTo(PointD p) { ops_.push_back(Line); pts_.push_back(p); }
    void curveTo(PointD a, PointD b, PointD c) {
        ops_.push_back(Curve);
        pts_.push_back(a);
        pts_.push_back(b);
        pts_.push_back(c);
    }
    void close() {
        if (!ops_.empty() && ops_.back() != Close) ops_.push_back(Close);
    }
    void append(const Path& other) {
        ops_.insert(ops_.end(), other.ops_.begin(), other.ops_.end());
        pts_.insert(pts_.end(), other.pts_.begin(), other.pts_.end());
    }
    void clear() { ops_.clear(); pts_.clear(); }
    bool empty() const { return ops_.empty(); }
    bool hasFigure() const {
        for (auto op : ops_) if (op != Move && op != Close) return true;
        return false;
    }
    const std::vector<uint8_t>& ops() const { return ops_; }
    const std::vector<PointD>& points() const { return pts_; }
    std::vector<PointD>& points() { return pts_; }
    void offset(double dx, double dy) { for (auto& p : pts_) { p.x += dx; p.y += dy; } }

private:
    std::vector<uint8_t> ops_;
    std::vector<PointD> pts_;
};

}  // namespace quillkit
