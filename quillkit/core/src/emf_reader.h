// Bounds-checked reading of EMF records. The reader walks the records of a
// metafile and rejects any record that is too short, misaligned or runs past
// the data; RecordData reads fields of one record and reports (instead of
// reading) anything outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "emf_types.h"
#include "geometry.h"

namespace quillkit {

// The fields of one record; every read is checked against the record size.
class RecordData {
public:
    RecordData() = default;
    RecordData(uint32_t type, const uint8_t* data, std::size_t size) : type_(type), p_(data), n_(size) {}

    uint32_t type() const { return type_; }
    std::size_t size() const { return n_; }
    const uint8_t* bytes() const { return p_; }

    bool has(std::size_t offset, std::size_t length) const {
        return offset <= n_ && length <= n_ - offset;
    }
    // Reads at a byte offset from the start of the record (type field = 0).
    // On a read outside the record the value is 0 and ok() turns false.
    uint32_t u32(std::size_t off) const;
    int32_t i32(std::size_t off) const { return static_cast<int32_t>(u32(off)); }
    uint16_t u16(std::size_t off) const;
    int16_t i16(std::size_t off) const { return static_cast<int16_t>(u16(off)); }
    uint8_t u8(std::size_t off) const;
    float f32(std::size_t off) const;
    bool ok() const { return ok_; }

private:
    uint32_t type_ = 0;
    const uint8_t* p_ = nullptr;
    std::size_t n_ = 0;
    mutable bool ok_ = true;
};

struct EmfHeader {
    RectL bounds;
    RectL frame;             // 0.01 mm
    uint32_t version = 0;
    uint32_t bytes = 0;
    uint32_t records = 0;
    uint16_t handles = 0;
    SizeL device;            // reference device, pixels
    SizeL millimeters;       // reference device, millimetres
    SizeL micrometers;       // when present (else derived from millimetres)
};

class EmfReader {
public:
    EmfReader(const uint8_t* data, std::size_t size) : p_(data), n_(size) {}

    // Checks and reads the header record. Must succeed before next().
    bool readHeader(EmfHeader& header, std::string& error);
    // The next record; false at the end of the data, at EOF or on a damaged
    // record (then error() says why).
    bool next(RecordData& rec);
    const std::string& error() const { return error_; }
    bool sawEof() const { return eof_; }

private:
    const uint8_t* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    std::string error_;
};

// ---- typed records -------------------------------------------------------

// Point lists of the poly records (32-bit or 16-bit points). Checks the count
// against the record.
bool readPoints(const RecordData& r, bool small, std::vector<PointL>& pts);
// POLYPOLYLINE/POLYPOLYGON (and their 16-bit forms): counts and all points.
bool readPolyPoints(const RecordData& r, bool small, std::vector<uint32_t>& counts,
                    std::vector<PointL>& pts);

// A DIB inside a record: header bytes and bits, both checked against it.
struct DibRef {
    const uint8_t* bmi = nullptr;
    std::size_t bmiSize = 0;
    const uint8_t* bits = nullptr;
    std::size_t bitsSize = 0;
    bool present() const { return bmi != nullptr; }
};
bool dibAt(const RecordData& r, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits,
           DibRef& dib);

// The bitmap transfer records, normalised to one shape.
struct BltRecord {
    RectL bounds;
    int32_t xDest = 0, yDest = 0, cxDest = 0, cyDest = 0;
    uint32_t rop = 0;                 // raster operation (BLENDFUNCTION for ALPHABLEND,
                                      // the transparent colour for TRANSPARENTBLT)
    int32_t xSrc = 0, ySrc = 0, cxSrc = 0, cySrc = 0;
    Xform xformSrc;
    uint32_t bkColorSrc = 0;
    uint32_t usageSrc = 0;
    DibRef src;
    // MASKBLT only
    int32_t xMask = 0, yMask = 0;
    uint32_t usageMask = 0;
    DibRef mask;
};
// BITBLT, STRETCHBLT, MASKBLT, ALPHABLEND, TRANSPARENTBLT, STRETCHDIBITS,
// SETDIBITSTODEVICE. Returns false (with a reason) on a damaged record.
bool readBlt(const RecordData& r, BltRecord& b, std::string& error);

}  // namespace quillkit
