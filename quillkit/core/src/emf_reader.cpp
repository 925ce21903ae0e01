#include "emf_reader.h"

#include <cstring>

namespace quillkit {

uint32_t RecordData::u32(std::size_t off) const {
    if (!has(off, 4)) { ok_ = false; return 0; }
    const uint8_t* q = p_ + off;
    return uint32_t(q[0]) | uint32_t(q[1]) << 8 | uint32_t(q[2]) << 16 | uint32_t(q[3]) << 24;
}

uint16_t RecordData::u16(std::size_t off) const {
    if (!has(off, 2)) { ok_ = false; return 0; }
    return static_cast<uint16_t>(p_[off] | p_[off + 1] << 8);
}

uint8_t RecordData::u8(std::size_t off) const {
    if (!has(off, 1)) { ok_ = false; return 0; }
    return p_[off];
}

float RecordData::f32(std::size_t off) const {
    uint32_t v = u32(off);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

namespace {
RectL rectAt(const RecordData& r, std::size_t off) {
    return {r.i32(off), r.i32(off + 4), r.i32(off + 8), r.i32(off + 12)};
}
Xform xformAt(const RecordData& r, std::size_t off) {
    return {r.f32(off), r.f32(off + 4), r.f32(off + 8), r.f32(off + 12), r.f32(off + 16), r.f32(off + 20)};
}
}  // namespace

bool EmfReader::readHeader(EmfHeader& h, std::string& error) {
    if (n_ < 88) { error = "data too short for an EMF header"; return false; }
    RecordData probe(0, p_, n_);
    uint32_t type = probe.u32(0), size = probe.u32(4);
    if (type != emr::HEADER) { error = "not an enhanced metafile (first record is not a header)"; return false; }
    if (size < 88 || size > n_ || size % 4 != 0) { error = "EMF header record has a bad size"; return false; }
    RecordData r(type, p_, size);
    if (r.u32(40) != 0x464D4520) { error = "EMF header signature is wrong"; return false; }
    h.bounds = rectAt(r, 8);
    h.frame = rectAt(r, 24);
    h.version = r.u32(44);
    h.bytes = r.u32(48);
    h.records = r.u32(52);
    h.handles = r.u16(56);
    uint32_t offDescription = r.u32(64);
    h.device = {r.i32(72), r.i32(76)};
    h.millimeters = {r.i32(80), r.i32(84)};
    if (h.device.cx <= 0 || h.device.cy <= 0 || h.millimeters.cx <= 0 || h.millimeters.cy <= 0 ||
        h.millimeters.cx > 1000000 || h.millimeters.cy > 1000000) {
        error = "EMF header gives no usable reference device size";
        return false;
    }
    h.micrometers = {h.millimeters.cx * 1000, h.millimeters.cy * 1000};
    bool descriptionAfter = offDescription == 0 || offDescription >= 108;
    if (size >= 108 && descriptionAfter) {
        SizeL um{r.i32(100), r.i32(104)};
        if (um.cx > 0 && um.cy > 0) h.micrometers = um;
    }
    pos_ = size;
    return true;
}

bool EmfReader::next(RecordData& rec) {
    if (eof_ || pos_ >= n_) return false;
    if (n_ - pos_ < 8) { error_ = "data ends inside a record"; return false; }
    RecordData probe(0, p_ + pos_, n_ - pos_);
    uint32_t type = probe.u32(0), size = probe.u32(4);
    if (size < 8 || size % 4 != 0) {
        error_ = "record of type " + std::to_string(type) + " has a bad size " + std::to_string(size);
        return false;
    }
    if (size > n_ - pos_) {
        error_ = "record of type " + std::to_string(type) + " runs past the end of the data";
        return false;
    }
    rec = RecordData(type, p_ + pos_, size);
    pos_ += size;
    if (type == emr::EOF_) eof_ = true;
    return true;
}

bool readPoints(const RecordData& r, bool small, std::vector<PointL>& pts) {
    // bounds (16) then count, then the points
    uint32_t count = r.u32(24);
    std::size_t each = small ? 4 : 8;
    if (!r.ok() || count > (r.size() - 28) / each) return false;
    pts.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        std::size_t off = 28 + i * each;
        if (small) pts[i] = {r.i16(off), r.i16(off + 2)};
        else pts[i] = {r.i32(off), r.i32(off + 4)};
    }
    return r.ok();
}

bool readPolyPoints(const RecordData& r, bool small, std::vector<uint32_t>& counts, std::vector<PointL>& pts) {
    // bounds (16), nPolys, total points, counts[nPolys], points
    uint32_t polys = r.u32(24), total = r.u32(28);
    if (!r.ok()) return false;
    std::size_t each = small ? 4 : 8;
    if (polys > (r.size() - 32) / 4) return false;
    std::size_t pointsAt = 32 + std::size_t(polys) * 4;
    if (total > (r.size() - pointsAt) / each) return false;
    counts.resize(polys);
    uint64_t sum = 0;
    for (uint32_t i = 0; i < polys; ++i) {
        counts[i] = r.u32(32 + i * 4);
        sum += counts[i];
    }
    if (sum != total) return false;   // counts contradict the total
    pts.resize(total);
    for (uint32_t i = 0; i < total; ++i) {
        std::size_t off = pointsAt + i * each;
        if (small) pts[i] = {r.i16(off), r.i16(off + 2)};
        else pts[i] = {r.i32(off), r.i32(off + 4)};
    }
    return r.ok();
}

bool dibAt(const RecordData& r, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits, DibRef& dib) {
    dib = DibRef();
    if (cbBmi == 0) return true;   // no bitmap
    if (!r.has(offBmi, cbBmi) || !r.has(offBits, cbBits) || cbBmi < 12) return false;
    dib.bmi = r.bytes() + offBmi;
    dib.bmiSize = cbBmi;
    dib.bits = r.bytes() + offBits;
    dib.bitsSize = cbBits;
    return true;
}

bool readBlt(const RecordData& r, BltRecord& b, std::string& error) {
    b = BltRecord();
    b.bounds = rectAt(r, 8);
    auto fail = [&](const char* why) {
        error = why;
        return false;
    };
    switch (r.type()) {
        case emr::BITBLT:
        case emr::STRETCHBLT:
        case emr::ALPHABLEND:
        case emr::TRANSPARENTBLT:
        case emr::MASKBLT: {
            std::size_t minSize = r.type() == emr::BITBLT ? 100 : r.type() == emr::MASKBLT ? 128 : 108;
            if (r.size() < minSize) return fail("bitmap record too short");
            b.xDest = r.i32(24); b.yDest = r.i32(28); b.cxDest = r.i32(32); b.cyDest = r.i32(36);
            b.rop = r.u32(40);
            b.xSrc = r.i32(44); b.ySrc = r.i32(48);
            b.xformSrc = xformAt(r, 52);
            b.bkColorSrc = r.u32(76);
            b.usageSrc = r.u32(80);
            if (!dibAt(r, r.u32(84), r.u32(88), r.u32(92), r.u32(96), b.src))
                return fail("bitmap lies outside its record");
            if (r.type() == emr::BITBLT || r.type() == emr::MASKBLT) {
                b.cxSrc = b.cxDest;
                b.cySrc = b.cyDest;
            } else {
                b.cxSrc = r.i32(100);
                b.cySrc = r.i32(104);
            }
            if (r.type() == emr::MASKBLT) {
                b.xMask = r.i32(100); b.yMask = r.i32(104);
                b.usageMask = r.u32(108);
                if (!dibAt(r, r.u32(112), r.u32(116), r.u32(120), r.u32(124), b.mask))
                    return fail("mask bitmap lies outside its record");
            }
            break;
        }
        case emr::STRETCHDIBITS: {
            if (r.size() < 80) return fail("bitmap record too short");
            b.xDest = r.i32(24); b.yDest = r.i32(28);
            b.xSrc = r.i32(32); b.ySrc = r.i32(36); b.cxSrc = r.i32(40); b.cySrc = r.i32(44);
            if (!dibAt(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60), b.src))
                return fail("bitmap lies outside its record");
            b.usageSrc = r.u32(64);
            b.rop = r.u32(68);
            b.cxDest = r.i32(72); b.cyDest = r.i32(76);
            break;
        }
        case emr::SETDIBITSTODEVICE: {
            if (r.size() < 76) return fail("bitmap record too short");
            b.xDest = r.i32(24); b.yDest = r.i32(28);
            b.xSrc = r.i32(32); b.ySrc = r.i32(36); b.cxSrc = r.i32(40); b.cySrc = r.i32(44);
            if (!dibAt(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60), b.src))
                return fail("bitmap lies outside its record");
            b.usageSrc = r.u32(64);
            // iStartScan / cScans: the bits hold cScans lines starting at iStartScan
            b.xMask = r.i32(68);            // start scan, carried in the mask fields
            b.yMask = r.i32(72);            // number of scans
            b.cxDest = b.cxSrc; b.cyDest = b.cySrc;
            b.rop = 0x00CC0020;
            break;
        }
        default:
            return fail("not a bitmap record");
    }
    if (!r.ok()) return fail("bitmap record too short");
    return true;
}

}  // namespace quillkit
