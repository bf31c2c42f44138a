#include "feature_keyword.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;
using vex::FeatureKeywordBlock;
using vex::KeywordEdit;

FeatureKeywordBlock blockOf(const std::string& bytes) {
  FeatureKeywordBlock block{};
  for (std::size_t i = 0; i < bytes.size() && i < block.size(); ++i) {
    block[i] = static_cast<std::uint8_t>(bytes[i]);
  }
  return block;
}

std::string textOf(const FeatureKeywordBlock& block, std::size_t length) {
  return std::string(reinterpret_cast<const char*>(block.data()), length);
}

const std::string kThree =
    "VXHDD\0False\0\n"s
    "VXOptionTray\0"
    "1\0\n"s
    "VXFinisher\0False\0\n\0\0"s;

struct Case {
  const char* name;
  std::string block;
  std::size_t length;  // stated length
  const char* keyword;
  std::string text;
  KeywordEdit outcome;
  std::string result;  // the first `length` bytes after the call
};

TEST(FeatureKeyword, EditsTable) {
  const std::string big(200, 'x');
  const Case cases[] = {
      {"first entry", kThree, kThree.size(), "VXHDD", "True", KeywordEdit::Replaced,
       "VXHDD\0True\0\nVXOptionTray\0"
       "1\0\nVXFinisher\0False\0\n\0\0"s},
      {"middle entry grows", kThree, kThree.size(), "VXOptionTray", "4 Trays",
       KeywordEdit::Replaced,
       "VXHDD\0False\0\nVXOptionTray\0"
       "4 Trays\0\nVXFinisher\0False\0\n\0\0"s},
      {"last entry shrinks", kThree, kThree.size(), "VXFinisher", "On", KeywordEdit::Replaced,
       "VXHDD\0False\0\nVXOptionTray\0"
       "1\0\nVXFinisher\0On\0\n\0\0"s},
      {"absent keyword keeps the length", kThree, kThree.size(), "VXPunchUnit", "None",
       KeywordEdit::NotFound, kThree},
      {"keyword is a prefix of another keyword", "VXOptionMPF\0True\0\nVXOption\0A\0\n\0\0"s, 34,
       "VXOption", "B", KeywordEdit::Replaced, "VXOptionMPF\0True\0\nVXOption\0B\0\n\0\0"s},
      {"prefix only: not found", "VXOptionMPF\0True\0\n\0\0"s, 20, "VXOption", "B",
       KeywordEdit::NotFound, "VXOptionMPF\0True\0\n\0\0"s},
      {"copying ends at the first NUL pair", "A\0x\0\n\0\0B\0y\0\n"s, 14, "A", "z",
       KeywordEdit::Replaced, "A\0z\0\n\0\0"s},
      {"keyword after the end mark is not looked at", "A\0x\0\n\0\0B\0y\0\n"s, 12, "B", "z",
       KeywordEdit::NotFound, "A\0x\0\n\0\0B\0y\0\n"s},
      {"block without end mark gets one", "A\0x\0\nB\0y\0\n"s, 10, "B", "zz", KeywordEdit::Replaced,
       "A\0x\0\nB\0zz\0\n\0\0"s},
      {"last entry without line feed", "A\0x\0\nB\0yyy"s, 10, "B", "z", KeywordEdit::Replaced,
       "A\0x\0\nB\0z\0\n\0\0"s},
      {"every occurrence is replaced", "A\0x\0\nA\0y\0\n\0\0"s, 12, "A", "zz",
       KeywordEdit::Replaced, "A\0zz\0\nA\0zz\0\n\0\0"s},
      {"match restarts at the first character after a mismatch", "AAB\0x\0\n\0\0"s, 9, "AB", "z",
       KeywordEdit::NotFound, "AAB\0x\0\n\0\0"s},
      {"stated size smaller than the data", kThree, 13, "VXOptionTray", "4", KeywordEdit::NotFound,
       kThree.substr(0, 13)},
      {"stated size cuts inside the matched entry", kThree, 20, "VXHDD", "True",
       KeywordEdit::Replaced, "VXHDD\0True\0\nVXOptio\0\0"s},
      {"stated size larger than the data", kThree, 1000, "VXFinisher", "On", KeywordEdit::Replaced,
       "VXHDD\0False\0\nVXOptionTray\0"
       "1\0\nVXFinisher\0On\0\n\0\0"s},
      {"growth beyond 256 refused", "K\0v\0\n"s + big + "\0\0"s, 207, "K", std::string(60, 'y'),
       KeywordEdit::Refused, "K\0v\0\n"s + big + "\0\0"s},
      {"growth to exactly 256 accepted", "K\0v\0\n"s + big + "\0\0"s, 207, "K",
       std::string(50, 'y'), KeywordEdit::Replaced,
       "K\0"s + std::string(50, 'y') + "\0\n"s + big + "\0\0"s},
      {"growth to 257 refused", "K\0v\0\n"s + big + "\0\0"s, 207, "K", std::string(51, 'y'),
       KeywordEdit::Refused, "K\0v\0\n"s + big + "\0\0"s},
      {"added end mark that does not fit is refused", "K\0v\0\n"s + std::string(251, 'x'), 256, "K",
       "v", KeywordEdit::Refused, "K\0v\0\n"s + std::string(251, 'x')},
      {"empty keyword refused", kThree, kThree.size(), "", "x", KeywordEdit::Refused, kThree},
      {"zero length", kThree, 0, "VXHDD", "True", KeywordEdit::NotFound, ""},
  };
  for (const Case& c : cases) {
    FeatureKeywordBlock block = blockOf(c.block);
    const FeatureKeywordBlock before = block;
    const vex::KeywordEditResult result =
        vex::setFeatureKeyword(block, c.length, c.keyword, c.text);
    EXPECT_EQ(result.outcome, c.outcome) << c.name;
    EXPECT_EQ(result.length, c.result.size()) << c.name;
    EXPECT_LE(result.length, vex::kFeatureKeywordBytes) << c.name;
    EXPECT_EQ(textOf(block, c.result.size()), c.result) << c.name;
    if (c.outcome != KeywordEdit::Replaced) {
      EXPECT_EQ(block, before) << c.name << ": an unchanged block is not touched at all";
    } else {
      for (std::size_t i = result.length; i < block.size(); ++i) {
        ASSERT_EQ(block[i], 0) << c.name << ": stale byte at " << i;
      }
    }
  }
}

TEST(FeatureKeyword, TextOrKeywordWithNulIsRefused) {
  const struct {
    std::string keyword;
    std::string text;
  } cases[] = {{"VXHDD\0X"s, "True"}, {"VXHDD", "Tr\0ue"s}};
  for (const auto& c : cases) {
    FeatureKeywordBlock block = blockOf(kThree);
    const auto result = vex::setFeatureKeyword(block, kThree.size(), c.keyword, c.text);
    EXPECT_EQ(result.outcome, KeywordEdit::Refused);
    EXPECT_EQ(block, blockOf(kThree));
  }
}

TEST(FeatureKeyword, RecordSequenceOnAFullBlock) {
  // The keywords the option file sets, in their order, over a block of the sample PPD's features.
  const std::string start =
      "VXOptionMPF\0False\0\nVXOptionDuplex\0False\0\nVXFinisher\0False\0\n"s
      "VXPunchUnit\0None\0\nVXJobLimit\0False\0\nVXOptionTray\0"
      "1\0\n"s
      "VXHDD\0False\0\nInstalledMemory\0"
      "128MB\0\n\0\0"s;
  FeatureKeywordBlock block = blockOf(start);
  std::size_t length = start.size();
  const std::pair<const char*, const char*> edits[] = {
      {"VXOptionMPF", "True"},  {"VXOptionDuplex", "True"},   {"VXFinisher", "True"},
      {"VXPunchUnit", "Type3"}, {"VXJobLimit", "False"},      {"VXOptionTray", "4"},
      {"VXHDD", "True"},        {"InstalledMemory", "1024MB"}};
  for (const auto& [keyword, text] : edits) {
    const auto result = vex::setFeatureKeyword(block, length, keyword, text);
    ASSERT_EQ(result.outcome, KeywordEdit::Replaced) << keyword;
    length = result.length;
  }
  const std::string expected =
      "VXOptionMPF\0True\0\nVXOptionDuplex\0True\0\nVXFinisher\0True\0\n"s
      "VXPunchUnit\0Type3\0\nVXJobLimit\0False\0\nVXOptionTray\0"
      "4\0\n"s
      "VXHDD\0True\0\nInstalledMemory\0"
      "1024MB\0\n\0\0"s;
  EXPECT_EQ(textOf(block, length), expected);
}

}  // namespace
