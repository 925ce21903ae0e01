#include <gtest/gtest.h>

#include "emf_builder.h"
#include "emf_reader.h"

using namespace quillkit;
using qktest::EmfBuilder;

namespace {
int countRecords(const std::vector<uint8_t>& d, std::string* error = nullptr) {
    EmfReader reader(d.data(), d.size());
    EmfHeader h;
    std::string e;
    if (!reader.readHeader(h, e)) {
        if (error) *error = e;
        return -1;
    }
    RecordData r;
    int n = 0;
    while (reader.next(r)) ++n;
    if (error) *error = reader.error();
    return n;
}
}  // namespace

TEST(EmfReader, ReadsHeaderAndRecords) {
    auto d = EmfBuilder(600, 200).rec(emr::SETMAPMODE, {1}).rec(emr::SAVEDC, {}).bytes();
    EmfReader reader(d.data(), d.size());
    EmfHeader h;
    std::string e;
    ASSERT_TRUE(reader.readHeader(h, e)) << e;
    EXPECT_EQ(h.device.cx, 600);
    EXPECT_EQ(h.millimeters.cy, 200);
    EXPECT_EQ(h.micrometers.cx, 200000);
    EXPECT_EQ(h.frame.right, 19999);
    EXPECT_EQ(countRecords(d), 3);   // two records and EOF
}

TEST(EmfReader, RejectsWhatIsNotAHeader) {
    std::string e;
    std::vector<uint8_t> empty;
    EXPECT_EQ(countRecords(empty, &e), -1);
    auto d = EmfBuilder().bytes();
    d[0] = 2;   // first record is no header
    EXPECT_EQ(countRecords(d, &e), -1);
    d = EmfBuilder().bytes();
    d[40] = 'X';   // signature
    EXPECT_EQ(countRecords(d, &e), -1);
    d = EmfBuilder().bytes();
    d[4] = 0xFF; d[5] = 0xFF; d[6] = 0xFF; d[7] = 0x7F;   // header size past the end
    EXPECT_EQ(countRecords(d, &e), -1);
    d = EmfBuilder().bytes();
    d.resize(60);   // cut inside the header
    EXPECT_EQ(countRecords(d, &e), -1);
}

TEST(EmfReader, StopsAtDamagedRecordsWithoutReadingPastThem) {
    std::string e;
    auto d = EmfBuilder().rec(emr::SAVEDC, {}).bytes(false);
    d.resize(d.size() - 4);   // the data ends inside the last record
    EXPECT_EQ(countRecords(d, &e), 0);
    EXPECT_NE(e.find("ends inside"), std::string::npos);

    d = EmfBuilder().rec(emr::SETMAPMODE, {1}).bytes(false);
    d[108 + 4] = 13;   // size not a multiple of 4
    EXPECT_EQ(countRecords(d, &e), 0);
    EXPECT_NE(e.find("bad size"), std::string::npos);

    d = EmfBuilder().rec(emr::SETMAPMODE, {1}).bytes(false);
    d[108 + 4] = 0; d[108 + 5] = 1;   // 256 bytes claimed, 12 present
    EXPECT_EQ(countRecords(d, &e), 0);
    EXPECT_NE(e.find("past the end"), std::string::npos);

    d = EmfBuilder().rec(emr::SETMAPMODE, {1}).bytes(false);
    d.push_back(1); d.push_back(0);   // trailing bytes shorter than a record head
    EXPECT_EQ(countRecords(d, &e), 1);
    EXPECT_NE(e.find("ends inside"), std::string::npos);
}

TEST(EmfReader, FieldReadsOutsideTheRecordFailSoftly) {
    uint8_t bytes[12] = {1, 0, 0, 0, 12, 0, 0, 0, 7, 0, 0, 0};
    RecordData r(1, bytes, sizeof bytes);
    EXPECT_EQ(r.u32(8), 7u);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.u32(10), 0u);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.u16(SIZE_MAX - 1), 0u);
}

TEST(EmfReader, PointCountsMustFitTheRecord) {
    // POLYLINE16: bounds, count, points
    std::vector<uint8_t> p;
    for (int i = 0; i < 4; ++i) EmfBuilder::put32(p, 0);
    EmfBuilder::put32(p, 3);   // three points claimed, two present
    EmfBuilder::put32(p, 0x00010001);
    EmfBuilder::put32(p, 0x00020002);
    auto d = EmfBuilder().raw(emr::POLYLINE16, p).bytes();
    EmfReader reader(d.data(), d.size());
    EmfHeader h;
    std::string e;
    ASSERT_TRUE(reader.readHeader(h, e));
    RecordData r;
    ASSERT_TRUE(reader.next(r));
    std::vector<PointL> pts;
    EXPECT_FALSE(readPoints(r, true, pts));
    // a huge count must not allocate
    std::vector<uint8_t> q(p);
    q[16] = 0xFF; q[17] = 0xFF; q[18] = 0xFF; q[19] = 0x7F;
    d = EmfBuilder().raw(emr::POLYLINE16, q).bytes();
    EmfReader reader2(d.data(), d.size());
    ASSERT_TRUE(reader2.readHeader(h, e));
    ASSERT_TRUE(reader2.next(r));
    EXPECT_FALSE(readPoints(r, true, pts));
}

TEST(EmfReader, PolyPolygonCountsMustAgreeWithTheTotal) {
    std::vector<uint8_t> p;
    for (int i = 0; i < 4; ++i) EmfBuilder::put32(p, 0);
    EmfBuilder::put32(p, 2);   // polygons
    EmfBuilder::put32(p, 4);   // total points
    EmfBuilder::put32(p, 2);
    EmfBuilder::put32(p, 3);   // 2 + 3 != 4
    for (int i = 0; i < 4; ++i) EmfBuilder::put32(p, 0);
    auto d = EmfBuilder().raw(emr::POLYPOLYGON16, p).bytes();
    EmfReader reader(d.data(), d.size());
    EmfHeader h;
    std::string e;
    ASSERT_TRUE(reader.readHeader(h, e));
    RecordData r;
    ASSERT_TRUE(reader.next(r));
    std::vector<uint32_t> counts;
    std::vector<PointL> pts;
    EXPECT_FALSE(readPolyPoints(r, true, counts, pts));
}

TEST(EmfReader, BitmapsMustLieInsideTheirRecord) {
    std::vector<uint8_t> p(100 - 8, 0);
    auto set = [&](std::size_t off, uint32_t v) { for (int i = 0; i < 4; ++i) p[off - 8 + i] = uint8_t(v >> (8 * i)); };
    set(40, 0x00CC0020);
    set(84, 100);    // offBmiSrc past the record
    set(88, 40);
    auto d = EmfBuilder().raw(emr::BITBLT, p).bytes();
    EmfReader reader(d.data(), d.size());
    EmfHeader h;
    std::string e;
    ASSERT_TRUE(reader.readHeader(h, e));
    RecordData r;
    ASSERT_TRUE(reader.next(r));
    BltRecord b;
    EXPECT_FALSE(readBlt(r, b, e));
}
