#include <gtest/gtest.h>

#include "region.h"

using quillkit::RectD;
using quillkit::Region;

namespace {
double area(const Region& r) {
    double a = 0;
    for (const auto& rc : r.rects()) a += (rc.x1 - rc.x0) * (rc.y1 - rc.y0);
    return a;
}
}  // namespace

TEST(Region, CombinesLikeGdi) {
    Region a(RectD{0, 0, 10, 10}), b(RectD{5, 5, 15, 15});
    EXPECT_EQ(area(Region::combined(a, b, Region::Op::And)), 25);
    EXPECT_EQ(area(Region::combined(a, b, Region::Op::Or)), 175);
    EXPECT_EQ(area(Region::combined(a, b, Region::Op::Xor)), 150);
    EXPECT_EQ(area(Region::combined(a, b, Region::Op::Diff)), 75);
    EXPECT_EQ(area(Region::combined(a, b, Region::Op::Copy)), 100);
    EXPECT_TRUE(Region::combined(a, Region(RectD{20, 20, 30, 30}), Region::Op::And).empty());
}

TEST(Region, UnionRemovesOverlapsAndMergesBands) {
    Region r = Region::fromRects({{0, 0, 10, 10}, {0, 0, 10, 10}, {0, 10, 10, 20}, {5, 5, 8, 8}});
    EXPECT_EQ(area(r), 200);
    EXPECT_EQ(r.rects().size(), 1u);   // one 10x20 rectangle
    r.offset(5, -5);
    EXPECT_EQ(r.rects()[0].x0, 5);
    EXPECT_EQ(r.rects()[0].y1, 15);
}

TEST(Region, ExcludeMakesAHole) {
    Region r(RectD{0, 0, 30, 30});
    r.combine(Region(RectD{10, 10, 20, 20}), Region::Op::Diff);
    EXPECT_EQ(area(r), 800);
    for (const auto& rc : r.rects())   // nothing left inside the hole
        EXPECT_FALSE(rc.x0 < 20 && rc.x1 > 10 && rc.y0 < 20 && rc.y1 > 10);
}
