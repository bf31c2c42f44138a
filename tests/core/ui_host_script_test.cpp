// The UI stand-in's pure parts: the dialog script grammar, the screenshot encoder and the
// installable-option settings a document sheet answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_script.h"
#include "installable_settings.h"
#include "png_encoder.h"
#include "ppd_model.h"

namespace {

using namespace std::string_literals;
using vex::uihost::Check;
using vex::uihost::Step;
using vex::uihost::Verb;

struct Parsed {
  bool ok;
  std::vector<Step> steps;
  vex::uihost::ScriptError error;
};

Parsed parse(const std::string& text) {
  Parsed p;
  p.ok = vex::uihost::parseScript(text, &p.steps, &p.error);
  return p;
}

TEST(DialogScript, StepsTable) {
  const struct {
    const char* line;
    Verb verb;
    Check check;
    int id;
    long number;
    std::string text;
  } cases[] = {
      {"page 2", Verb::Page, Check::Text, 0, 2, ""},
      {"click 0x3021", Verb::Click, Check::Text, 0x3021, 0, ""},
      {"type 2001 \"a\\\"b\\\\c\\nd\"", Verb::Type, Check::Text, 2001, 0, "a\"b\\c\nd"},
      {"settext 7 \"\"", Verb::SetText, Check::Text, 7, 0, ""},
      {"select 1001 3", Verb::Select, Check::Text, 1001, 3, ""},
      {"key 1001 PageDown", Verb::Key, Check::Text, 1001, 0x22, "PageDown"},
      {"drag 1414 -180", Verb::Drag, Check::Text, 1414, -180, ""},
      {"drop 1414 32767", Verb::Drop, Check::Text, 1414, 32767, ""},
      {"expect 5 text \"# not a comment\"", Verb::Expect, Check::Text, 5, 0, "# not a comment"},
      {"expect 5 enabled 0", Verb::Expect, Check::Enabled, 5, 0, ""},
      {"expect 5 visible 1", Verb::Expect, Check::Visible, 5, 1, ""},
      {"expect 65535 exists 1", Verb::Expect, Check::Exists, 65535, 1, ""},
      {"expect 5 checked 1", Verb::Expect, Check::Checked, 5, 1, ""},
      {"expect 5 selected -1", Verb::Expect, Check::Selected, 5, -1, ""},
      {"expect 5 rows 0", Verb::Expect, Check::Rows, 5, 0, ""},
      {"expect 5 row 2 \"Gamma\"", Verb::Expect, Check::Row, 5, 2, "Gamma"},
      {"expect window \"作业选项\"", Verb::Expect, Check::Window, 0, 0, "作业选项"},
      {"expect message \"a\\nb\"", Verb::Expect, Check::Message, 0, 0, "a\nb"},
      {"answer no", Verb::Answer, Check::Text, 0, 0, "no"},
      {"ok", Verb::Ok, Check::Text, 0, 0, ""},
      {"cancel  # closes it", Verb::Cancel, Check::Text, 0, 0, ""},
      {"apply", Verb::Apply, Check::Text, 0, 0, ""},
      {"shot job-options_1.a", Verb::Shot, Check::Text, 0, 0, "job-options_1.a"},
      {"\twait 60000", Verb::Wait, Check::Text, 0, 60000, ""},
      {"controls", Verb::Controls, Check::Text, 0, 0, ""},
  };
  for (const auto& c : cases) {
    const Parsed p = parse(c.line);
    ASSERT_TRUE(p.ok) << c.line << ": " << p.error.message;
    ASSERT_EQ(p.steps.size(), 1u) << c.line;
    const Step& s = p.steps[0];
    EXPECT_EQ(s.verb, c.verb) << c.line;
    if (c.verb == Verb::Expect) {
      EXPECT_EQ(s.check, c.check) << c.line;
    }
    EXPECT_EQ(s.id, c.id) << c.line;
    EXPECT_EQ(s.number, c.number) << c.line;
    EXPECT_EQ(s.text, c.text) << c.line;
    EXPECT_EQ(s.line, 1) << c.line;
  }
}

TEST(DialogScript, LinesCommentsAndEncodings) {
  const Parsed p = parse("\xEF\xBB\xBF# heading\r\n\r\n  page 1\r\nok # done\n\nwait 5");
  ASSERT_TRUE(p.ok) << p.error.message;
  ASSERT_EQ(p.steps.size(), 3u);
  EXPECT_EQ(p.steps[0].line, 3);
  EXPECT_EQ(p.steps[1].line, 4);
  EXPECT_EQ(p.steps[2].line, 6);
  EXPECT_EQ(p.steps[1].source, "ok # done");
  EXPECT_TRUE(parse("").ok);
  EXPECT_EQ(vex::uihost::normaliseLineBreaks("a\r\nb\rc\n"), "a\nb\rc\n");
}

TEST(DialogScript, ErrorsTable) {
  const struct {
    std::string script;
    int line;
    const char* message;
  } cases[] = {
      {"page 0\njump 5", 2, "unknown verb \"jump\""},
      {"expect 1 text \"open", 1, "unclosed quote"},
      {"expect 1 text \"a\\tb\"", 1, "unknown escape \\t"},
      {"expect 1 text \"a\"b", 1, "a blank must follow a closing quote"},
      {"click a\"b\"", 1, "a quote inside a word"},
      {"click", 1, "click takes 1 argument(s)"},
      {"click 1 2", 1, "click takes 1 argument(s)"},
      {"click 65536", 1, "is not a control id"},
      {"click -1", 1, "is not a control id"},
      {"click 12x", 1, "is not a control id"},
      {"click \"1\"", 1, "is not a control id"},
      {"page 65", 1, "is not a number from 0 to 64"},
      {"select 1 -1", 1, "is not a number from 0"},
      {"wait 60001", 1, "is not a number from 0 to 60000"},
      {"type 1 text", 1, "the text must be in double quotes"},
      {"key 1 Space", 1, "unknown key \"Space\""},
      {"key 1 \"Up\"", 1, "unknown key"},
      {"expect 1 shown 1", 1, "unknown check \"shown\""},
      {"expect 1 enabled 2", 1, "is not a number from 0 to 1"},
      {"expect 1", 1, "expect needs a control id and what to check"},
      {"expect window caption", 1, "the text must be in double quotes"},
      {"answer maybe", 1, "answer takes ok, cancel, yes or no"},
      {"shot ../up", 1, "shot: the name is"},
      {"shot " + std::string(65, 'a'), 1, "shot: the name is"},
      {"\"page\" 1", 1, "a step begins with a verb"},
      {"ok\npage 0\0x"s, 2, "a NUL byte"},
  };
  for (const auto& c : cases) {
    const Parsed p = parse(c.script);
    EXPECT_FALSE(p.ok) << c.script;
    EXPECT_EQ(p.error.line, c.line) << c.script;
    EXPECT_NE(p.error.message.find(c.message), std::string::npos)
        << c.script << ": " << p.error.message;
  }
}

TEST(DialogScript, BoundsOfTheWhole) {
  std::string many;
  for (std::size_t i = 0; i <= vex::uihost::kMaxScriptSteps; ++i) many += "ok\n";
  const Parsed tooMany = parse(many);
  EXPECT_FALSE(tooMany.ok);
  EXPECT_EQ(tooMany.error.line, static_cast<int>(vex::uihost::kMaxScriptSteps) + 1);
  EXPECT_FALSE(parse(std::string(vex::uihost::kMaxScriptBytes + 1, '#')).ok);
}

TEST(PngEncoder, TwoPixelsAsZlibStoresThem) {
  // Written independently with a reference zlib at level 0 (stored blocks).
  const std::string expected =
      "\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR\x00\x00\x00\x02\x00\x00\x00\x01\x08\x02\x00\x00\x00"
      "\x7b\x40\xe8\xdd\x00\x00\x00\x12IDAT\x78\x01\x01\x07\x00\xf8\xff\x00\xff\x00\x00\x00\x00"
      "\xff\x07\x00\x01\xff\x55\x36\xba\xc7\x00\x00\x00\x00IEND\xae\x42\x60\x82"s;
  EXPECT_EQ(vex::uihost::encodePng(2, 1, {255, 0, 0, 0, 0, 255}), expected);
}

TEST(PngEncoder, BigImagesTakeSeveralBlocksAndBadSizesNone) {
  const std::uint32_t width = 200, height = 120;  // 72120 bytes of rows: two stored blocks
  const std::string png =
      vex::uihost::encodePng(width, height, std::vector<std::uint8_t>(width * height * 3, 7));
  ASSERT_GT(png.size(), 41u);
  const std::size_t idat = 33;  // signature and IHDR chunk
  EXPECT_EQ(png.substr(idat + 4, 4), "IDAT");
  const std::size_t raw = (width * 3 + 1) * height;
  EXPECT_EQ(static_cast<unsigned char>(png[idat + 10]), 0);  // first block: not the last
  EXPECT_EQ(png.substr(idat + 11, 2), "\xff\xff");
  EXPECT_EQ(static_cast<unsigned char>(png[idat + 10 + 5 + 65535]), 1);  // the last block
  EXPECT_EQ(png.size(), 8 + 25 + (12 + 2 + 2 * 5 + raw + 4) + 12);
  EXPECT_TRUE(vex::uihost::encodePng(2, 2, {1, 2, 3}).empty());
  EXPECT_TRUE(vex::uihost::encodePng(0, 1, {}).empty());
  EXPECT_TRUE(vex::uihost::encodePng(9000, 1, std::vector<std::uint8_t>(27000)).empty());
}

TEST(FeatureKeywordEntries, Table) {
  const struct {
    std::string block;
    std::string entries;  // "k=v;" each
    bool malformed;
  } cases[] = {
      {"VXHDD\0True\0\nVXFinisher\0False\0\n\0\0"s, "VXHDD=True;VXFinisher=False;", false},
      {"VXHDD\0True\0VXPunchUnit\0Type1\0\0"s, "VXHDD=True;VXPunchUnit=Type1;", false},
      {""s, "", false},
      {"\0\0VXHDD\0True\0\n"s, "", false},
      {"VXHDD\0True\0\nVXFin"s, "VXHDD=True;", true},
      {"VXHDD\0Tr"s, "", true},
      {"VXHDD"s, "", true},
  };
  for (const auto& c : cases) {
    bool malformed = false;
    std::string entries;
    for (const auto& [keyword, text] : vex::uihost::featureKeywordEntries(c.block, &malformed)) {
      entries += keyword + "=" + text + ";";
    }
    EXPECT_EQ(entries, c.entries) << c.block.size();
    EXPECT_EQ(malformed, c.malformed) << c.entries;
  }
}

TEST(InstallableSettings, PpdThenBlockThenCommandLine) {
  const vex::ppd::Model model = vex::ppd::parse(
      "*PPD-Adobe: \"4.3\"\r\n*OpenGroup: InstallableOptions/Options Installed\r\n"
      "*OpenUI *VXHDD/Storage: Boolean\r\n*DefaultVXHDD: False\r\n*VXHDD True/Yes: \"\"\r\n"
      "*VXHDD False/No: \"\"\r\n*CloseUI: *VXHDD\r\n"
      "*OpenUI *VXPunchUnit/Punch: PickOne\r\n*DefaultVXPunchUnit: None\r\n"
      "*VXPunchUnit None/None: \"\"\r\n*VXPunchUnit Type1/2 Holes: \"\"\r\n*CloseUI: "
      "*VXPunchUnit\r\n"
      "*OpenUI *VXFinisher/Finisher: Boolean\r\n*DefaultVXFinisher: False\r\n"
      "*VXFinisher True/Yes: \"\"\r\n*VXFinisher False/No: \"\"\r\n*CloseUI: *VXFinisher\r\n"
      "*CloseGroup: InstallableOptions\r\n"
      "*OpenUI *VXStaple/Staple: PickOne\r\n*DefaultVXStaple: Off\r\n*VXStaple Off/Off: \"\"\r\n"
      "*CloseUI: *VXStaple\r\n");
  const std::string block =
      "VXHDD\0True\0\nVXPunchUnit\0Type7\0\nVXStaple\0Off\0\nVXFinisher\0True\0\n\0\0"s;
  const vex::uihost::InstallableSettings settings(
      model, block, {{"VXFinisher", "False"}, {"VXJobLimit", "True"}});
  const struct {
    const char* keyword;
    const char* value;  // null: not answered
  } cases[] = {
      {"VXHDD", "True"},        // the block over the PPD's default
      {"VXPunchUnit", "None"},  // the block names no option of the feature: the default stays
      {"VXFinisher", "False"},  // the command line over the block
      {"VXJobLimit", "True"},   // the command line may name what the PPD lacks
      {"VXStaple", nullptr},    // not an installable option
      {"vxhdd", nullptr},       // keywords are exact
  };
  for (const auto& c : cases) {
    const auto value = settings.find(c.keyword);
    if (c.value == nullptr) {
      EXPECT_FALSE(value) << c.keyword;
    } else {
      EXPECT_EQ(value.value_or("(none)"), c.value) << c.keyword;
    }
  }
  const std::string described = settings.describe();
  EXPECT_NE(described.find("installable VXHDD = \"True\" (FeatureKeyword)"), std::string::npos);
  EXPECT_NE(described.find("FeatureKeyword \"VXPunchUnit\" ignored: no option \"Type7\""),
            std::string::npos);
  EXPECT_NE(described.find("FeatureKeyword \"VXStaple\" ignored: not an installable option"),
            std::string::npos);
}

}  // namespace
