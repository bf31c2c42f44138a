#include "document_name.h"

#include <gtest/gtest.h>

namespace {

// A double-byte code page in the manner of the simplified Chinese one: lead bytes 0x81..0xFE,
// trail bytes 0x40..0xFE except 0x7F.
const vex::CodePageRules kDoubleByte{
    [](std::uint8_t b) { return b >= 0x81 && b <= 0xFE; },
    [](std::uint8_t, std::uint8_t t) { return t >= 0x40 && t <= 0xFE && t != 0x7F; }};
const vex::CodePageRules kSingleByte{[](std::uint8_t) { return false; }, nullptr};

TEST(DocumentName, CleaningTable) {
  const struct {
    std::string raw;
    const vex::CodePageRules* codePage;
    std::string clean;
  } cases[] = {
      {"Quarterly report.docx", &kDoubleByte, "Quarterly report.docx"},
      {"The \"Big\" plan", &kDoubleByte, "The  Big  plan"},
      {"line one\r\nline two", &kDoubleByte, "line one"},
      {"tab\there", &kDoubleByte, "tab\there"},
      {"bell\x07x", &kDoubleByte, "bell"},
      {"del\x7Fx", &kDoubleByte, "del"},
      {"\xD7\xF7\xD2\xB5.txt", &kDoubleByte, "\xD7\xF7\xD2\xB5.txt"},
      {"ab\xD7", &kDoubleByte, "ab"},          // lead byte at the end
      {"ab\xD7\x0A" "cd", &kDoubleByte, "ab"},  // lead byte without a valid trail byte
      {"caf\xE9", &kSingleByte, "caf\xE9"},    // a letter of a single-byte code page stays
      {"", &kDoubleByte, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::cleanDocumentName(c.raw, *c.codePage), c.clean) << c.raw;
  }
}

TEST(DocumentName, CutToEightyBytesWithoutSplittingACharacter) {
  EXPECT_EQ(vex::cleanDocumentName(std::string(100, 'a'), kDoubleByte), std::string(80, 'a'));
  // 79 single bytes and a double-byte character that would end at byte 81.
  const std::string raw = std::string(79, 'b') + "\xD7\xF7";
  EXPECT_EQ(vex::cleanDocumentName(raw, kDoubleByte), std::string(79, 'b'));
}

}  // namespace
