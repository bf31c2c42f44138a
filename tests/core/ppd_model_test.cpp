#include "ppd_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using vex::ppd::Feature;
using vex::ppd::Limits;
using vex::ppd::Model;
using vex::ppd::UiType;

std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// "keyword=default option:option,option|..." of every feature, in file order.
std::string summary(const Model& model) {
  std::string out;
  for (const Feature& f : model.features) {
    if (!out.empty()) out += '|';
    out += f.keyword + (f.installable ? "(i)" : "") + "=" + f.options[f.defaultIndex].keyword + ":";
    for (std::size_t i = 0; i < f.options.size(); ++i) {
      out += (i ? "," : "") + f.options[i].keyword;
    }
  }
  return out;
}

const std::string kStaple = crlf({
    "*OpenUI *VXStaple/Staple: PickOne",
    "*DefaultVXStaple: Off",
    "*VXStaple Off/Off: \"\"",
    "*VXStaple Left/Top Left: \"\"",
    "*CloseUI: *VXStaple",
});

TEST(PpdModel, StructureOfFeaturesGroupsAndDefaults) {
  const struct {
    const char* name;
    std::string text;
    std::string expected;
  } cases[] = {
      {"plain feature", kStaple, "VXStaple=Off:Off,Left"},
      {"default after the options",
       crlf({"*OpenUI *A/A: PickOne", "*A x/X: \"\"", "*A y/Y: \"\"", "*CloseUI: *A",
             "*DefaultA: y"}),
       "A=y:x,y"},
      {"default naming no option takes the first",
       crlf({"*OpenUI *A: PickOne", "*DefaultA: z", "*A x: \"\"", "*A y: \"\"", "*CloseUI: *A"}),
       "A=x:x,y"},
      {"installable group",
       crlf({"*OpenGroup: InstallableOptions/Options Installed", "*OpenUI *M/Memory: PickOne",
             "*DefaultM: 256", "*M 128/128 MB: \"\"", "*M 256/256 MB: \"\"", "*CloseUI: *M",
             "*CloseGroup: InstallableOptions", "*OpenUI *J/Job: Boolean", "*J True: \"\"",
             "*CloseUI: *J"}),
       "M(i)=256:128,256|J=True:True"},
      {"other groups are not installable",
       crlf({"*OpenGroup: Finishing/Finish", "*OpenUI *F: PickOne", "*F a: \"\"", "*CloseUI: *F",
             "*CloseGroup: Finishing"}),
       "F=a:a"},
      {"missing close: the next *OpenUI closes it",
       crlf({"*OpenUI *A: PickOne", "*A x: \"\"", "*OpenUI *B: PickOne", "*B y: \"\"",
             "*CloseUI: *B"}),
       "A=x:x|B=y:y"},
      {"missing close at the end of the file", crlf({"*OpenUI *A: PickOne", "*A x: \"\""}),
       "A=x:x"},
      {"duplicate feature keeps the first",
       crlf({"*OpenUI *A: PickOne", "*A x: \"\"", "*CloseUI: *A", "*OpenUI *A: PickOne",
             "*A y: \"\"", "*CloseUI: *A"}),
       "A=x:x"},
      {"duplicate option keeps the first",
       crlf({"*OpenUI *A: PickOne", "*A x/One: \"\"", "*A x/Two: \"\"", "*CloseUI: *A"}), "A=x:x"},
      {"options outside their block do not count",
       crlf({"*OpenUI *A: PickOne", "*A x: \"\"", "*CloseUI: *A", "*A y: \"\""}), "A=x:x"},
      {"feature without options is dropped", crlf({"*OpenUI *A: PickOne", "*CloseUI: *A"}), ""},
      {"multi-line value hides what looks like statements",
       crlf({"*OpenUI *A: PickOne", "*A x/X: \"", "*A fake: none", "*CloseUI: *A", "\"", "*End",
             "*A y/Y: \"one line\"", "*CloseUI: *A"}),
       "A=x:x,y"},
      {"bare CR and LF line ends",
       "*OpenUI *A: PickOne\r*A x: \"\"\n*A y: \"\"\r\n*DefaultA: y\r*CloseUI: *A", "A=y:x,y"},
      {"comments and unknown statements are ignored",
       "*% *OpenUI *Z: PickOne\n*Foo: bar\n" + kStaple, "VXStaple=Off:Off,Left"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(summary(vex::ppd::parse(c.text)), c.expected) << c.name;
  }
}

TEST(PpdModel, TextsTypesAndPapers) {
  const Model model = vex::ppd::parse(
      kStaple +
      crlf({"*OpenUI *PageSize/Paper Size: PickOne", "*DefaultPageSize: A4",
            "*PageSize A4/A4: \"<< /PageSize [595 842] >> setpagedevice\"",
            "*PageSize B5/JIS B5: \"\"", "*CloseUI: *PageSize", "*OpenUI *Hole: Boolean",
            "*Hole True: \"\"", "*CloseUI: *Hole", "*OpenUI *Many/Many: PickMany", "*Many a: \"\"",
            "*CloseUI: *Many", "*OpenUI *Odd/Odd: Whatever", "*Odd a: \"\"", "*CloseUI: *Odd"}));
  const Feature* staple = model.find("VXStaple");
  ASSERT_NE(staple, nullptr);
  EXPECT_EQ(staple->text, "Staple");
  EXPECT_EQ(staple->options[1].text, "Top Left");
  EXPECT_TRUE(staple->closed);
  EXPECT_EQ(model.find("vxstaple"), nullptr);  // keywords are case-sensitive
  const struct {
    const char* keyword;
    UiType type;
    const char* text;
  } types[] = {{"Hole", UiType::Boolean, "Hole"},
               {"Many", UiType::PickMany, "Many"},
               {"Odd", UiType::PickOne, "Odd"}};
  for (const auto& t : types) {
    const Feature* f = model.find(t.keyword);
    ASSERT_NE(f, nullptr) << t.keyword;
    EXPECT_EQ(f->type, t.type) << t.keyword;
    EXPECT_EQ(f->text, t.text) << t.keyword;
    EXPECT_EQ(f->options[0].text, f->options[0].keyword) << "no translation: the keyword shows";
  }
  const std::vector<vex::ppd::Option> papers = model.papers();
  ASSERT_EQ(papers.size(), 2u);
  EXPECT_EQ(papers[0].keyword, "A4");
  EXPECT_EQ(papers[1].text, "JIS B5");
  EXPECT_TRUE(vex::ppd::parse(kStaple).papers().empty());
}

TEST(PpdModel, HostileTextIsBoundedAndReported) {
  Limits limits;
  limits.maxKeywordBytes = 8;
  limits.maxTextBytes = 6;
  limits.maxLineBytes = 64;
  limits.maxFeatures = 2;
  limits.maxOptions = 2;
  limits.maxFileBytes = 400;
  const std::string nul = "*OpenUI *N: PickOne\r\n*N a\0b: \"\"\r\n*N c: \"\"\r\n*CloseUI: *N\r\n"s;
  const struct {
    const char* name;
    std::string text;
    std::string expected;
    bool warned;
  } cases[] = {
      {"over-long feature keyword refused",
       crlf({"*OpenUI *ABCDEFGHI: PickOne", "*ABCDEFGHI x: \"\"", "*CloseUI: *ABCDEFGHI"}), "",
       true},
      {"keyword at the limit kept",
       crlf({"*OpenUI *ABCDEFGH/Eight: PickOne", "*ABCDEFGH x: \"\"", "*CloseUI: *ABCDEFGH"}),
       "ABCDEFGH=x:x", false},
      {"keyword as the text is cut to the text limit",
       crlf({"*OpenUI *ABCDEFGH: PickOne", "*ABCDEFGH x: \"\"", "*CloseUI: *ABCDEFGH"}),
       "ABCDEFGH=x:x", true},
      {"over-long option keyword refused",
       crlf({"*OpenUI *A: PickOne", "*A 123456789: \"\"", "*A y: \"\"", "*CloseUI: *A"}), "A=y:y",
       true},
      {"too many options",
       crlf({"*OpenUI *A: PickOne", "*A x: \"\"", "*A y: \"\"", "*A z: \"\"", "*CloseUI: *A"}),
       "A=x:x,y", true},
      {"too many features",
       crlf({"*OpenUI *A: PickOne", "*A x: \"\"", "*CloseUI: *A", "*OpenUI *B: PickOne",
             "*B x: \"\"", "*CloseUI: *B", "*OpenUI *C: PickOne", "*C x: \"\"", "*CloseUI: *C"}),
       "A=x:x|B=x:x", true},
      {"over-long line skipped",
       crlf({"*OpenUI *A: PickOne", "*A x: \"" + std::string(80, 'v') + "\"", "*A y: \"\"",
             "*CloseUI: *A"}),
       "A=y:y", true},
      {"over-long line that opens a quote still hides its continuation",
       crlf({"*OpenUI *A: PickOne", "*A x: \"" + std::string(80, 'v'), "*A fake: none", "\"",
             "*A y: \"\"", "*CloseUI: *A"}),
       "A=y:y", true},
      {"line with a NUL skipped", nul, "N=c:c", true},
      {"file beyond the limit is cut",
       crlf({"*OpenUI *A: PickOne", "*A x: \"\"", "*CloseUI: *A"}) + std::string(400, '\n') +
           crlf({"*OpenUI *B: PickOne", "*B x: \"\"", "*CloseUI: *B"}),
       "A=x:x", true},
      {"keyword with a blank or control character refused",
       crlf({"*OpenUI *A\x01: PickOne", "*A\x01 x: \"\"", "*CloseUI: *A\x01"}), "", true},
      {"OpenUI without a star refused", crlf({"*OpenUI A: PickOne", "*A x: \"\"", "*CloseUI: *A"}),
       "", true},
      {"unterminated quote swallows the rest",
       crlf({"*OpenUI *A: PickOne", "*A x: \"", "*A y: none", "*CloseUI: *A"}), "A=x:x", true},
      {"default with an over-long value ignored",
       crlf({"*OpenUI *A: PickOne", "*DefaultA: 123456789", "*A x: \"\"", "*A y: \"\"",
             "*CloseUI: *A"}),
       "A=x:x,y", true},
  };
  for (const auto& c : cases) {
    const Model model = vex::ppd::parse(c.text, limits);
    EXPECT_EQ(summary(model), c.expected) << c.name;
    EXPECT_EQ(!model.warnings.empty(), c.warned) << c.name;
    EXPECT_LE(model.features.size(), limits.maxFeatures) << c.name;
    for (const Feature& f : model.features) {
      EXPECT_LE(f.keyword.size(), limits.maxKeywordBytes) << c.name;
      EXPECT_LE(f.text.size(), limits.maxTextBytes) << c.name;
      EXPECT_LT(f.defaultIndex, f.options.size()) << c.name;
    }
  }
}

TEST(PpdModel, LongTranslationsAreCutAndWarningsBounded) {
  Limits limits;
  limits.maxTextBytes = 5;
  limits.maxWarnings = 3;
  std::string text = crlf({"*OpenUI *A/" + std::string(50, 'T') + ": PickOne",
                           "*A x/" + std::string(50, 'x') + ": \"\"", "*CloseUI: *A"});
  for (int i = 0; i < 20; ++i) text += "*CloseUI: *Nothing\r\n";
  const Model model = vex::ppd::parse(text, limits);
  ASSERT_EQ(model.features.size(), 1u);
  EXPECT_EQ(model.features[0].text, "TTTTT");
  EXPECT_EQ(model.features[0].options[0].text, "xxxxx");
  EXPECT_EQ(model.warnings.size(), 3u);
}

}  // namespace
