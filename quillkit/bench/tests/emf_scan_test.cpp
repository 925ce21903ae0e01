#include "emf_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace qkbench {
namespace {

// Builds EMF files record by record.
class EmfBuilder {
 public:
  EmfBuilder() {
    std::vector<uint32_t> header(27, 0);  // 108 bytes
    header[0] = 1;
    header[1] = 108;
    header[6] = 0, header[7] = 0, header[8] = 2100, header[9] = 2970;  // frame
    header[10] = 0x464D4520;
    Add(header);
  }
  void Add(std::vector<uint32_t> words) {
    for (uint32_t w : words) Put(w);
  }
  void Put(uint32_t w) {
    uint8_t b[4];
    std::memcpy(b, &w, 4);
    bytes_.insert(bytes_.end(), b, b + 4);
  }
  // An EXTTEXTOUTW (or A) record with `text` and `options`.
  void TextOut(const std::u16string& text, uint32_t options = 0, bool wide = true) {
    const uint32_t textBytes = static_cast<uint32_t>(text.size() * (wide ? 2 : 1));
    const uint32_t padded = (textBytes + 3) & ~3u;
    const uint32_t size = 76 + padded;
    std::vector<uint32_t> rec = {wide ? 84u : 83u, size, 0, 0, 0, 0, 1, 0, 0,
                                 10, 20, static_cast<uint32_t>(text.size()), 76, options, 0, 0, 0, 0, 0};
    Add(rec);
    std::vector<uint8_t> chars(padded, 0);
    for (size_t i = 0; i < text.size(); ++i) {
      if (wide) {
        chars[2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
        chars[2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
      } else {
        chars[i] = static_cast<uint8_t>(text[i]);
      }
    }
    bytes_.insert(bytes_.end(), chars.begin(), chars.end());
  }
  void Eof() { Add({14, 20, 0, 16, 20}); }
  std::vector<uint8_t>& Bytes() { return bytes_; }
  EmfScan Scan() { return ScanEmf(bytes_.data(), bytes_.size()); }

 private:
  std::vector<uint8_t> bytes_;
};

TEST(EmfScan, CountsCharacterRecordsAndKeepsTheirText) {
  EmfBuilder emf;
  emf.TextOut(u"Hello, world");
  emf.TextOut(u"", 0x2);                  // an opaque fill without characters
  emf.TextOut(u"\x05D0\x05D1", 0x10);     // glyph numbers, not characters
  emf.TextOut(u"caf\xE9", 0, false);      // ANSI text
  emf.Eof();
  const EmfScan scan = emf.Scan();
  ASSERT_TRUE(scan.valid);
  EXPECT_TRUE(scan.error.empty());
  EXPECT_EQ(scan.records, 6u);
  EXPECT_EQ(scan.textRecords, 3u);
  EXPECT_EQ(scan.glyphIndexRecords, 1u);
  ASSERT_EQ(scan.texts.size(), 2u);
  EXPECT_EQ(scan.texts[0], "Hello, world");
  EXPECT_EQ(scan.texts[1], "caf\xC3\xA9");
  EXPECT_EQ(scan.frame[2], 2100);
}

TEST(EmfScan, StopsAtImpossibleRecordSizes) {
  EmfBuilder emf;
  emf.Add({84, 0x7FFFFFF0, 0, 0});  // runs far past the end
  EmfScan scan = emf.Scan();
  EXPECT_TRUE(scan.valid);
  EXPECT_EQ(scan.records, 1u);
  EXPECT_FALSE(scan.error.empty());

  EmfBuilder zero;
  zero.Add({84, 0});  // would never advance
  EXPECT_FALSE(zero.Scan().error.empty());

  // A text record whose string lies outside the record is counted but not read.
  EmfBuilder outside;
  outside.Add({84, 76, 0, 0, 0, 0, 1, 0, 0, 10, 20, 1000, 70000, 0, 0, 0, 0, 0, 0});
  outside.Eof();
  scan = outside.Scan();
  EXPECT_EQ(scan.textRecords, 1u);
  EXPECT_TRUE(scan.texts.empty());

  std::vector<uint8_t> junk(200, 0x41);
  EXPECT_FALSE(ScanEmf(junk.data(), junk.size()).valid);
  EXPECT_FALSE(ScanEmf(junk.data(), 10).valid);
}

TEST(EmfScan, SplitsWordsInAnyScript) {
  const std::vector<std::string> words = SplitWords("Total: 42 items\xE2\x80\x94\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D!");
  ASSERT_EQ(words.size(), 4u);
  EXPECT_EQ(words[0], "Total");
  EXPECT_EQ(words[1], "42");
  EXPECT_EQ(words[2], "items");
  EXPECT_EQ(words[3], "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D");
}

}  // namespace
}  // namespace qkbench
