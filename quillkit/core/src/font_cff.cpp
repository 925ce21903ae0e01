#include "font_cff.h"

#include <algorithm>

namespace quillkit {
namespace {

// An INDEX: `count` items, item i at [base + off(i), base + off(i + 1)).
struct Index {
    std::size_t start = 0, end = 0;   // the whole INDEX
    uint32_t count = 0;
    uint8_t offSize = 0;
    std::size_t base = 0;             // the byte before the first item
};

// Operators with two bytes (12 x) are numbered 1200 + x.
enum : int {
    opCharset = 15, opEncoding = 16, opCharStrings = 17, opPrivate = 18, opSubrs = 19,
    opCharstringType = 1206, opRos = 1230, opCidCount = 1234, opFdArray = 1236, opFdSelect = 1237,
};

struct DictEntry {
    int op = 0;
    std::vector<uint8_t> raw;     // operands and operator as stored
    std::vector<long> ints;       // integer operands (reals count as 0)
};
using Dict = std::vector<DictEntry>;

struct Private {
    std::size_t offset = 0, size = 0;
    Dict dict;
    bool hasSubrs = false;
    Index subrs;
};

struct Font {
    Index name, top, strings, gsubrs, charStrings, fdArray;
    Dict topDict;
    bool cid = false;
    long charsetOffset = 0;           // 0-2: a predefined charset
    std::size_t charsetLength = 0;
    std::size_t fdSelectOffset = 0, fdSelectLength = 0;
    Private priv;                     // name-keyed fonts
    std::vector<Dict> fds;            // CID-keyed fonts: font DICTs and their Private DICTs
    std::vector<Private> fdPrivs;
    std::vector<uint8_t> fdOfGlyph;   // CID-keyed fonts
};

class Parser {
public:
    Parser(const uint8_t* d, std::size_t n) : d_(d), n_(n) {}

    bool font(Font& f, std::string& error) {
        auto fail = [&](const char* why) { error = why; return false; };
        if (n_ < 4 || d_[0] != 1) return fail("not a CFF version 1 font");
        std::size_t hdr = d_[2];
        if (hdr < 4 || hdr > n_) return fail("CFF header size out of range");
        if (!index(hdr, f.name) || f.name.count != 1) return fail("CFF name index damaged or not one font");
        if (!index(f.name.end, f.top) || f.top.count != 1) return fail("CFF top dictionary index damaged");
        if (!index(f.top.end, f.strings) || !index(f.strings.end, f.gsubrs)) return fail("CFF string or subroutine index damaged");
        std::size_t b, e;
        item(f.top, 0, b, e);
        if (!dict(b, e, f.topDict)) return fail("CFF top dictionary damaged");
        const DictEntry* cs = find(f.topDict, opCharStrings);
        if (!cs || cs->ints.size() != 1 || !index(std::size_t(std::max(0L, cs->ints[0])), f.charStrings) ||
            cs->ints[0] <= 0 || f.charStrings.count == 0)
            return fail("CFF charstrings missing or damaged");
        if (const DictEntry* t = find(f.topDict, opCharstringType); t && (t->ints.size() != 1 || t->ints[0] != 2))
            return fail("CFF charstrings are not Type 2");
        uint32_t glyphs = f.charStrings.count;
        f.cid = !f.topDict.empty() && f.topDict.front().op == opRos;
        if (const DictEntry* c = find(f.topDict, opCharset)) {
            if (c->ints.size() != 1 || c->ints[0] < 0) return fail("CFF charset offset damaged");
            f.charsetOffset = c->ints[0];
        }
        if (f.charsetOffset > 2 && !charsetLength(std::size_t(f.charsetOffset), glyphs, f.charsetLength))
            return fail("CFF charset damaged");
        if (!f.cid) {
            const DictEntry* p = find(f.topDict, opPrivate);
            if (!p || !privateDict(*p, f.priv)) return fail("CFF private dictionary missing or damaged");
            return true;
        }
        const DictEntry* fa = find(f.topDict, opFdArray);
        const DictEntry* fs = find(f.topDict, opFdSelect);
        if (!fa || !fs || fa->ints.size() != 1 || fs->ints.size() != 1 || fa->ints[0] <= 0 || fs->ints[0] <= 0 ||
            !index(std::size_t(fa->ints[0]), f.fdArray) || f.fdArray.count == 0 || f.fdArray.count > 256)
            return fail("CFF font dictionaries missing or damaged");
        for (uint32_t i = 0; i < f.fdArray.count; ++i) {
            item(f.fdArray, i, b, e);
            Dict fd;
            Private pr;
            const DictEntry* p;
            if (!dict(b, e, fd) || !(p = find(fd, opPrivate)) || !privateDict(*p, pr))
                return fail("CFF font dictionary damaged");
            f.fds.push_back(std::move(fd));
            f.fdPrivs.push_back(std::move(pr));
        }
        f.fdSelectOffset = std::size_t(fs->ints[0]);
        if (!fdSelect(f.fdSelectOffset, glyphs, f.fdArray.count, f.fdOfGlyph, f.fdSelectLength))
            return fail("CFF font dictionary selector damaged");
        return true;
    }

    void item(const Index& ix, uint32_t i, std::size_t& b, std::size_t& e) const {
        b = ix.base + off(ix, i);
        e = ix.base + off(ix, i + 1);
    }

    static const DictEntry* find(const Dict& d, int op) {
        for (const auto& e : d)
            if (e.op == op) return &e;
        return nullptr;
    }

private:
    uint32_t off(const Index& ix, uint32_t i) const {
        std::size_t at = ix.start + 3 + std::size_t(i) * ix.offSize;
        uint32_t v = 0;
        for (uint8_t k = 0; k < ix.offSize; ++k) v = v << 8 | d_[at + k];
        return v;
    }

    bool index(std::size_t at, Index& ix) const {
        if (at > n_ || n_ - at < 2) return false;
        ix = Index();
        ix.start = at;
        ix.count = uint32_t(d_[at] << 8 | d_[at + 1]);
        if (ix.count == 0) { ix.end = at + 2; return true; }
        if (n_ - at < 3) return false;
        ix.offSize = d_[at + 2];
        if (ix.offSize < 1 || ix.offSize > 4) return false;
        std::size_t need = (std::size_t(ix.count) + 1) * ix.offSize;
        if (n_ - at - 3 < need) return false;
        ix.base = at + 3 + need - 1;
        uint32_t prev = 0;
        for (uint32_t i = 0; i <= ix.count; ++i) {
            uint32_t o = off(ix, i);
            if ((i == 0 && o != 1) || o < prev) return false;
            prev = o;
        }
        if (prev - 1 > n_ - ix.base - 1) return false;
        ix.end = ix.base + prev;
        return true;
    }

    bool dict(std::size_t p, std::size_t end, Dict& out) const {
        DictEntry cur;
        while (p < end) {
            uint8_t b = d_[p];
            std::size_t len = 1;
            long v = 0;
            if (b <= 21) {
                cur.op = b;
                if (b == 12) {
                    if (end - p < 2) return false;
                    cur.op = 1200 + d_[p + 1];
                    len = 2;
                }
                cur.raw.insert(cur.raw.end(), d_ + p, d_ + p + len);
                out.push_back(std::move(cur));
                cur = DictEntry();
                p += len;
                continue;
            }
            if (b == 28) {
                len = 3;
                if (end - p >= len) v = int16_t(d_[p + 1] << 8 | d_[p + 2]);
            } else if (b == 29) {
                len = 5;
                if (end - p >= len)
                    v = int32_t(uint32_t(d_[p + 1]) << 24 | uint32_t(d_[p + 2]) << 16 | uint32_t(d_[p + 3]) << 8 | d_[p + 4]);
            } else if (b == 30) {   // a real: nibbles up to the end nibble 0xF
                len = 1;
                for (;;) {
                    if (p + len >= end) return false;
                    uint8_t x = d_[p + len++];
                    if ((x & 0xF) == 0xF || (x >> 4) == 0xF) break;
                }
            } else if (b >= 32 && b <= 246) {
                v = long(b) - 139;
            } else if (b >= 247 && b <= 250) {
                len = 2;
                if (end - p >= len) v = (long(b) - 247) * 256 + d_[p + 1] + 108;
            } else if (b >= 251 && b <= 254) {
                len = 2;
                if (end - p >= len) v = -(long(b) - 251) * 256 - d_[p + 1] - 108;
            } else {
                return false;
            }
            if (end - p < len || cur.ints.size() >= 48) return false;
            cur.raw.insert(cur.raw.end(), d_ + p, d_ + p + len);
            cur.ints.push_back(v);
            p += len;
        }
        return cur.ints.empty();
    }

    bool privateDict(const DictEntry& e, Private& pr) const {
        if (e.ints.size() != 2 || e.ints[0] < 0 || e.ints[1] < 0) return false;
        pr.size = std::size_t(e.ints[0]);
        pr.offset = std::size_t(e.ints[1]);
        if (pr.offset > n_ || pr.size > n_ - pr.offset || !dict(pr.offset, pr.offset + pr.size, pr.dict)) return false;
        if (const DictEntry* s = find(pr.dict, opSubrs)) {
            if (s->ints.size() != 1 || s->ints[0] <= 0 || !index(pr.offset + std::size_t(s->ints[0]), pr.subrs)) return false;
            pr.hasSubrs = true;
        }
        return true;
    }

    bool charsetLength(std::size_t at, uint32_t glyphs, std::size_t& length) const {
        if (at >= n_) return false;
        uint8_t format = d_[at];
        if (format == 0) {
            length = 1 + (std::size_t(glyphs) - 1) * 2;
            return length <= n_ - at;
        }
        if (format != 1 && format != 2) return false;
        std::size_t range = format == 1 ? 3 : 4, p = at + 1;
        uint32_t covered = 1;
        while (covered < glyphs) {
            if (n_ - p < range) return false;
            uint32_t left = format == 1 ? d_[p + 2] : uint32_t(d_[p + 2] << 8 | d_[p + 3]);
            covered += left + 1;
            p += range;
        }
        length = p - at;
        return true;
    }

    bool fdSelect(std::size_t at, uint32_t glyphs, uint32_t fdCount, std::vector<uint8_t>& fdOf, std::size_t& length) const {
        if (at >= n_) return false;
        fdOf.assign(glyphs, 0);
        if (d_[at] == 0) {
            if (n_ - at - 1 < glyphs) return false;
            for (uint32_t g = 0; g < glyphs; ++g) {
                if (d_[at + 1 + g] >= fdCount) return false;
                fdOf[g] = d_[at + 1 + g];
            }
            length = 1 + glyphs;
            return true;
        }
        if (d_[at] != 3 || n_ - at < 5) return false;
        uint32_t ranges = uint32_t(d_[at + 1] << 8 | d_[at + 2]);
        length = 3 + std::size_t(ranges) * 3 + 2;
        if (ranges == 0 || n_ - at < length) return false;
        auto first = [&](uint32_t r) { std::size_t p = at + 3 + std::size_t(r) * 3; return uint32_t(d_[p] << 8 | d_[p + 1]); };
        if (first(0) != 0) return false;
        for (uint32_t r = 0; r < ranges; ++r) {
            uint32_t a = first(r), b = first(r + 1);   // the last range ends at the sentinel
            uint8_t fd = d_[at + 3 + std::size_t(r) * 3 + 2];
            if (b < a || fd >= fdCount) return false;
            for (uint32_t g = a; g < b && g < glyphs; ++g) fdOf[g] = fd;
        }
        return true;
    }

    const uint8_t* d_;
    std::size_t n_;
};

// Follows a Type 2 charstring (and the subroutines it calls) far enough to
// see how its endchar is used: with four operands more than the width, it
// builds an accented letter from two other glyphs.
class CharstringScan {
public:
    CharstringScan(const uint8_t* d, const Parser& parser, const Index& gsubrs, const Index* lsubrs)
        : d_(d), parser_(parser), gsubrs_(gsubrs), lsubrs_(lsubrs) {}

    // False when the charstring cannot be followed.
    bool run(std::size_t p, std::size_t end, int depth = 0) {
        if (depth > 10) return false;
        while (p < end) {
            uint8_t v = d_[p];
            if (v == 28) {
                if (end - p < 3) return false;
                stack_.push_back(int16_t(d_[p + 1] << 8 | d_[p + 2]));
                p += 3;
            } else if (v == 255) {
                if (end - p < 5) return false;
                stack_.push_back(int32_t(uint32_t(d_[p + 1]) << 24 | uint32_t(d_[p + 2]) << 16) >> 16);
                p += 5;
            } else if (v >= 32 && v <= 246) {
                stack_.push_back(long(v) - 139);
                ++p;
            } else if (v >= 247 && v <= 254) {
                if (end - p < 2) return false;
                stack_.push_back(v <= 250 ? (long(v) - 247) * 256 + d_[p + 1] + 108 : -(long(v) - 251) * 256 - d_[p + 1] - 108);
                p += 2;
            } else {
                ++p;
                switch (v) {
                    case 1: case 3: case 18: case 23:   // stem hints
                        stems_ += stack_.size() / 2;
                        stack_.clear();
                        break;
                    case 19: case 20:                   // hintmask, cntrmask: a mask byte per 8 stems
                        stems_ += stack_.size() / 2;
                        stack_.clear();
                        p += (stems_ + 7) / 8;
                        break;
                    case 10: case 29: {                 // callsubr, callgsubr
                        const Index* subrs = v == 10 ? lsubrs_ : &gsubrs_;
                        if (!subrs || stack_.empty()) return false;
                        long bias = subrs->count < 1240 ? 107 : subrs->count < 33900 ? 1131 : 32768;
                        long i = stack_.back() + bias;
                        stack_.pop_back();
                        if (i < 0 || i >= long(subrs->count)) return false;
                        std::size_t b, e;
                        parser_.item(*subrs, uint32_t(i), b, e);
                        if (!run(b, e, depth + 1)) return false;
                        if (ended_) return true;
                        break;
                    }
                    case 11: return true;               // return
                    case 14:                            // endchar
                        seac_ = stack_.size() >= 4;
                        ended_ = true;
                        return true;
                    case 12:
                        ++p;
                        stack_.clear();
                        break;
                    default:
                        stack_.clear();
                }
                if (stack_.size() > 48) return false;
            }
        }
        return true;
    }
    bool seac() const { return seac_; }

private:
    const uint8_t* d_;
    const Parser& parser_;
    const Index& gsubrs_;
    const Index* lsubrs_;
    std::vector<long> stack_;
    std::size_t stems_ = 0;
    bool ended_ = false, seac_ = false;
};

void putInt5(std::vector<uint8_t>& v, long x) {
    uint32_t u = uint32_t(int32_t(x));
    v.push_back(29);
    for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(u >> s));
}

void putOp(std::vector<uint8_t>& v, int op) {
    if (op >= 1200) { v.push_back(12); v.push_back(uint8_t(op - 1200)); }
    else v.push_back(uint8_t(op));
}

// A DICT with the entries `skip` names left out and `extra` written after.
std::vector<uint8_t> writeDict(const Dict& d, const std::vector<int>& skip,
                               const std::vector<std::pair<int, std::vector<long>>>& extra) {
    std::vector<uint8_t> out;
    for (const auto& e : d)
        if (std::find(skip.begin(), skip.end(), e.op) == skip.end()) out.insert(out.end(), e.raw.begin(), e.raw.end());
    for (const auto& x : extra) {
        for (long n : x.second) putInt5(out, n);
        putOp(out, x.first);
    }
    return out;
}

std::vector<uint8_t> writeIndex(const std::vector<std::vector<uint8_t>>& items) {
    std::vector<uint8_t> out;
    out.push_back(uint8_t(items.size() >> 8));
    out.push_back(uint8_t(items.size()));
    if (items.empty()) return out;
    std::size_t total = 1;
    for (const auto& i : items) total += i.size();
    uint8_t offSize = total <= 0xFF ? 1 : total <= 0xFFFF ? 2 : total <= 0xFFFFFF ? 3 : 4;
    out.push_back(offSize);
    std::size_t o = 1;
    auto put = [&](std::size_t x) {
        for (int k = offSize - 1; k >= 0; --k) out.push_back(uint8_t(x >> (8 * k)));
    };
    put(o);
    for (const auto& i : items) put(o += i.size());
    for (const auto& i : items) out.insert(out.end(), i.begin(), i.end());
    return out;
}

// A Private DICT and its local subroutines, the subroutines right after it.
std::vector<uint8_t> writePrivate(const uint8_t* d, const Private& pr, std::size_t& dictSize) {
    std::vector<uint8_t> out = writeDict(pr.dict, {opSubrs}, {});
    if (!pr.hasSubrs) { dictSize = out.size(); return out; }
    dictSize = out.size() + 6;
    out = writeDict(pr.dict, {opSubrs}, {{opSubrs, {long(dictSize)}}});
    out.insert(out.end(), d + pr.subrs.start, d + pr.subrs.end);
    return out;
}

}  // namespace

bool checkCff(const uint8_t* data, std::size_t size, std::string& error) {
    Font f;
    return Parser(data, size).font(f, error);
}

std::vector<uint8_t> subsetCff(const uint8_t* d, std::size_t size, const std::set<uint16_t>& used) {
    Font f;
    std::string error;
    Parser parser(d, size);
    if (!parser.font(f, error)) return {};
    uint32_t glyphs = f.charStrings.count;
    std::set<uint16_t> keep;
    keep.insert(0);
    for (uint16_t g : used)
        if (g < glyphs) keep.insert(g);
    bool all = false;
    if (!f.cid) {
        for (uint16_t g : keep) {
            std::size_t b, e;
            parser.item(f.charStrings, g, b, e);
            CharstringScan scan(d, parser, f.gsubrs, f.priv.hasSubrs ? &f.priv.subrs : nullptr);
            if (!scan.run(b, e) || scan.seac()) { all = true; break; }
        }
    }
    std::vector<std::vector<uint8_t>> charStrings(glyphs);
    for (uint32_t g = 0; g < glyphs; ++g) {
        if (all || keep.count(uint16_t(g))) {
            std::size_t b, e;
            parser.item(f.charStrings, g, b, e);
            charStrings[g].assign(d + b, d + e);
        } else {
            charStrings[g] = {14};   // endchar: an empty glyph
        }
    }
    std::vector<uint8_t> charStringIndex = writeIndex(charStrings);

    // The charset: the font's own for a name-keyed font (glyph names), an
    // identity one for a CID-keyed font (CID = glyph number).
    std::vector<uint8_t> charset;
    if (f.cid) {
        if (glyphs >= 2) charset = {2, 0, 1, uint8_t((glyphs - 2) >> 8), uint8_t(glyphs - 2)};
        else charset = {0};
    } else if (f.charsetOffset > 2) {
        charset.assign(d + f.charsetOffset, d + f.charsetOffset + f.charsetLength);
    }

    // Private DICTs, written after everything else.
    std::vector<std::vector<uint8_t>> privs;
    std::vector<std::size_t> privSizes;
    for (const Private* pr : f.cid ? std::vector<const Private*>() : std::vector<const Private*>{&f.priv}) {
        std::size_t n;
        privs.push_back(writePrivate(d, *pr, n));
        privSizes.push_back(n);
    }
    for (const Private& pr : f.fdPrivs) {
        std::size_t n;
        privs.push_back(writePrivate(d, pr, n));
        privSizes.push_back(n);
    }

    // The top DICT's offsets are written as five-byte numbers, so its size
    // does not depend on them: sized with zeros first, then written.
    const std::vector<int> topSkip{opCharset, opEncoding, opCharStrings, opPrivate, opFdArray, opFdSelect, opCidCount};
    auto topDict = [&](long charsetAt, long charStringsAt, long privAt, long fdArrayAt, long fdSelectAt) {
        std::vector<std::pair<int, std::vector<long>>> extra;
        if (!charset.empty()) extra.push_back({opCharset, {charsetAt}});
        else if (f.charsetOffset == 1 || f.charsetOffset == 2) extra.push_back({opCharset, {f.charsetOffset}});
        extra.push_back({opCharStrings, {charStringsAt}});
        if (f.cid) {
            long cidCount = 8720;
            if (const DictEntry* c = Parser::find(f.topDict, opCidCount); c && c->ints.size() == 1) cidCount = c->ints[0];
            extra.push_back({opCidCount, {std::max<long>(cidCount, long(glyphs))}});
            extra.push_back({opFdArray, {fdArrayAt}});
            extra.push_back({opFdSelect, {fdSelectAt}});
        } else {
            extra.push_back({opPrivate, {long(privSizes[0]), privAt}});
        }
        return writeIndex({writeDict(f.topDict, topSkip, extra)});
    };
    auto fdArray = [&](std::size_t privAt) {
        std::vector<std::vector<uint8_t>> fds;
        for (std::size_t i = 0; i < f.fds.size(); ++i) {
            fds.push_back(writeDict(f.fds[i], {opPrivate}, {{opPrivate, {long(privSizes[i]), long(privAt)}}}));
            privAt += privs[i].size();
        }
        return writeIndex(fds);
    };

    std::vector<uint8_t> out{1, 0, 4, 4};
    std::size_t topAt = out.size() + (f.name.end - f.name.start);
    std::size_t topSize = topDict(0, 0, 0, 0, 0).size();
    std::size_t charsetAt = topAt + topSize + (f.strings.end - f.strings.start) + (f.gsubrs.end - f.gsubrs.start);
    std::size_t fdSelectAt = charsetAt + charset.size();
    std::size_t charStringsAt = fdSelectAt + (f.cid ? f.fdSelectLength : 0);
    std::size_t fdArrayAt = charStringsAt + charStringIndex.size();
    std::size_t privAt = fdArrayAt + (f.cid ? fdArray(0).size() : 0);

    out.insert(out.end(), d + f.name.start, d + f.name.end);
    std::vector<uint8_t> top = topDict(long(charsetAt), long(charStringsAt), long(privAt), long(fdArrayAt), long(fdSelectAt));
    out.insert(out.end(), top.begin(), top.end());
    out.insert(out.end(), d + f.strings.start, d + f.strings.end);
    out.insert(out.end(), d + f.gsubrs.start, d + f.gsubrs.end);
    out.insert(out.end(), charset.begin(), charset.end());
    if (f.cid) out.insert(out.end(), d + f.fdSelectOffset, d + f.fdSelectOffset + f.fdSelectLength);
    out.insert(out.end(), charStringIndex.begin(), charStringIndex.end());
    if (f.cid) {
        std::vector<uint8_t> fa = fdArray(privAt);
        out.insert(out.end(), fa.begin(), fa.end());
    }
    for (const auto& p : privs) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace quillkit
