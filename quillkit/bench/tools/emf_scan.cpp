#include "emf_scan.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace qkbench {
namespace {

constexpr uint32_t kHeader = 1, kEof = 14;
constexpr uint32_t kExtTextOutA = 83, kExtTextOutW = 84;
constexpr uint32_t kPolyTextOutA = 96, kPolyTextOutW = 97, kSmallTextOut = 108;
constexpr uint32_t kGlyphIndex = 0x10, kNoRect = 0x100, kSmallChars = 0x200;

uint32_t U32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf16ToUtf8(const uint8_t* p, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    uint32_t c = static_cast<uint32_t>(p[2 * i] | (p[2 * i + 1] << 8));
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < count) {
      const uint32_t d = static_cast<uint32_t>(p[2 * i + 2] | (p[2 * i + 3] << 8));
      if (d >= 0xDC00 && d < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(out, c);
  }
  return out;
}

// 8-bit text as Latin-1: the corpus's ANSI text is Western.
std::string Latin1ToUtf8(const uint8_t* p, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) AppendUtf8(out, p[i]);
  return out;
}

// One EMRTEXT at `text` (inside a record of `size` bytes at `rec`).
void ScanEmrText(const uint8_t* rec, uint32_t size, size_t text, bool wide, EmfScan& scan) {
  if (text + 40 > size) return;
  const uint32_t chars = U32(rec + text + 8);
  const uint32_t offString = U32(rec + text + 12);
  const uint32_t options = U32(rec + text + 16);
  if (chars == 0) return;
  ++scan.textRecords;
  if (options & kGlyphIndex) {
    ++scan.glyphIndexRecords;
    return;
  }
  const uint64_t bytes = static_cast<uint64_t>(chars) * (wide ? 2 : 1);
  if (offString > size || bytes > size - offString) return;
  scan.texts.push_back(wide ? Utf16ToUtf8(rec + offString, chars) : Latin1ToUtf8(rec + offString, chars));
}

void ScanSmallText(const uint8_t* rec, uint32_t size, EmfScan& scan) {
  if (size < 36) return;
  const uint32_t chars = U32(rec + 16);
  const uint32_t options = U32(rec + 20);
  if (chars == 0) return;
  ++scan.textRecords;
  if (options & kGlyphIndex) {
    ++scan.glyphIndexRecords;
    return;
  }
  const size_t start = 36 + ((options & kNoRect) ? 0 : 16);
  const bool small = (options & kSmallChars) != 0;
  const uint64_t bytes = static_cast<uint64_t>(chars) * (small ? 1 : 2);
  if (start > size || bytes > size - start) return;
  scan.texts.push_back(small ? Latin1ToUtf8(rec + start, chars) : Utf16ToUtf8(rec + start, chars));
}

void ScanRecord(uint32_t type, const uint8_t* rec, uint32_t size, EmfScan& scan) {
  switch (type) {
    case kExtTextOutA:
    case kExtTextOutW:
      ScanEmrText(rec, size, 36, type == kExtTextOutW, scan);
      break;
    case kPolyTextOutA:
    case kPolyTextOutW: {
      if (size < 40) return;
      const uint32_t strings = U32(rec + 36);
      for (uint64_t i = 0; i < strings && 40 + (i + 1) * 40 <= size; ++i)
        ScanEmrText(rec, size, static_cast<size_t>(40 + i * 40), type == kPolyTextOutW, scan);
      break;
    }
    case kSmallTextOut:
      ScanSmallText(rec, size, scan);
      break;
    default:
      break;
  }
}

}  // namespace

EmfScan ScanEmf(const uint8_t* data, size_t size) {
  EmfScan scan;
  if (size < 88 || U32(data) != kHeader || U32(data + 40) != 0x464D4520) {
    scan.error = "not an EMF file";
    return scan;
  }
  for (int i = 0; i < 4; ++i) std::memcpy(&scan.frame[i], data + 24 + 4 * i, 4);
  scan.valid = true;
  size_t pos = 0;
  while (pos < size) {
    if (size - pos < 8) {
      scan.error = "truncated record";
      break;
    }
    const uint32_t type = U32(data + pos);
    const uint32_t recSize = U32(data + pos + 4);
    if (recSize < 8 || recSize % 4 != 0 || recSize > size - pos) {
      scan.error = "record size out of bounds";
      break;
    }
    ++scan.records;
    ++scan.countByType[type];
    ScanRecord(type, data + pos, recSize, scan);
    pos += recSize;
    if (type == kEof) break;
  }
  return scan;
}

EmfScan ScanEmfFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    EmfScan scan;
    scan.error = "cannot open " + path;
    return scan;
  }
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ScanEmf(reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

std::vector<std::string> SplitWords(const std::string& utf8) {
  // Letters and digits are everything that is not ASCII punctuation, space
  // or a control character; non-ASCII characters count as letters except the
  // common typographic punctuation of U+2000..U+206F and the no-break space.
  std::vector<std::string> words;
  std::string current;
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (i + len > utf8.size()) len = utf8.size() - i;
    bool letter;
    if (len == 1) {
      letter = (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    } else {
      const std::string ch = utf8.substr(i, len);
      letter = ch != "\xC2\xA0" && !(len == 3 && ch[0] == '\xE2' && (ch[1] == '\x80' || ch[1] == '\x81'));
    }
    if (letter) {
      current.append(utf8, i, len);
    } else if (!current.empty()) {
      words.push_back(current);
      current.clear();
    }
    i += len;
  }
  if (!current.empty()) words.push_back(current);
  return words;
}

}  // namespace qkbench
