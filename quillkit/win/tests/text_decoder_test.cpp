// The Windows decoder of double-byte text: the characters of each East
// Asian code page with the byte count of each, and broken pairs that cost
// their lead byte only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quillkit_win/text_decoder.h"

namespace {

struct Result {
  std::u32string text;
  std::vector<int> bytes;
};

Result Decode(int codePage, const std::string& s) {
  std::vector<quillkit::DecodedChar> chars;
  Result r;
  if (!quillkit::win::windowsTextDecoder()->decode(codePage, reinterpret_cast<const uint8_t*>(s.data()), s.size(),
                                                   chars))
    return r;
  for (const auto& c : chars) {
    r.text += c.codePoint;
    r.bytes.push_back(c.bytes);
  }
  return r;
}

TEST(WindowsTextDecoder, EachCodePageDecodesPairsAndSingleBytes) {
  Result sj = Decode(932, "\x93\xfa\x96\x7b" "A\xb1");
  EXPECT_EQ(sj.text, U"\u65e5\u672cA\uff71");
  EXPECT_EQ(sj.bytes, (std::vector<int>{2, 2, 1, 1}));
  EXPECT_EQ(Decode(949, "\xb0\xa1").text, U"\uac00");
  EXPECT_EQ(Decode(1361, "\x88\x61").text, U"\uac00");
  EXPECT_EQ(Decode(936, "\xc4\xe3").text, U"\u4f60");
  EXPECT_EQ(Decode(950, "\xa4\x40").text, U"\u4e00");
}

TEST(WindowsTextDecoder, BrokenPairsCostTheirLeadByteOnly) {
  Result r = Decode(932, "\x81\x20x\x82");
  EXPECT_EQ(r.text, U"\ufffd x\ufffd");
  EXPECT_EQ(r.bytes, (std::vector<int>{1, 1, 1, 1}));
  Result empty = Decode(936, "");
  EXPECT_TRUE(empty.text.empty());
  std::vector<quillkit::DecodedChar> out;
  EXPECT_FALSE(quillkit::win::windowsTextDecoder()->decode(-5, nullptr, 0, out));
}

}  // namespace
