#include "ppd_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using vex::ppd::Feature;
using vex::ppd::Limits;
using vex::ppd::Model;
using vex::ppd::Section;
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

// The code of option `option` of feature `feature`, or "(none)" when there is no such option.
std::string codeOf(const Model& model, const std::string& feature, const std::string& option) {
  const Feature* f = model.find(feature);
  const vex::ppd::Option* o = f != nullptr ? f->findOption(option) : nullptr;
  return o != nullptr ? o->code : "(none)";
}

std::string withFeature(const std::vector<std::string>& body) {
  std::vector<std::string> lines{"*OpenUI *A/A: PickOne"};
  lines.insert(lines.end(), body.begin(), body.end());
  lines.push_back("*CloseUI: *A");
  return crlf(lines);
}

TEST(PpdModel, InvocationCodeOfOptions) {
  const struct {
    const char* name;
    std::string text;
    const char* option;
    std::string code;
  } cases[] = {
      {"one line", withFeature({"*A x: \"<< /Duplex true >> setpagedevice\""}), "x",
       "<< /Duplex true >> setpagedevice"},
      {"quoted over several lines up to *End",
       withFeature({"*A x/X: \"", "  << /ProcessColorModel /DeviceGray >>", "  setpagedevice\"",
                    "*End", "*A y: \"\""}),
       "x", "\n  << /ProcessColorModel /DeviceGray >>\n  setpagedevice"},
      {"the next option after *End is read",
       withFeature({"*A x/X: \"", "one\"", "*End", "*A y/Y: \"two\""}), "y", "two"},
      {"code begun on the statement line", withFeature({"*A x: \"first", "second\"", "*End"}), "x",
       "first\nsecond"},
      {"hex substrings stay text", withFeature({"*A x: \"<1B>%-12345X@PJL<0A>\""}), "x",
       "<1B>%-12345X@PJL<0A>"},
      {"lines that look like statements are code",
       withFeature({"*A x: \"", "*CloseUI: *A", "*A fake: none", "\"", "*End"}), "x",
       "\n*CloseUI: *A\n*A fake: none\n"},
      {"empty code", withFeature({"*A x: \"\""}), "x", ""},
      {"a value that is not quoted has no code", withFeature({"*A x: ^Symbol"}), "x", ""},
      {"bare CR line ends", "*OpenUI *A: PickOne\r*A x: \"a\rb\"\r*CloseUI: *A\r", "x", "a\nb"},
  };
  for (const auto& c : cases) {
    const Model model = vex::ppd::parse(c.text);
    EXPECT_EQ(codeOf(model, "A", c.option), c.code) << c.name;
    EXPECT_TRUE(model.warnings.empty()) << c.name << ": " << model.warnings.front();
  }
}

TEST(PpdModel, HostileInvocationCodeIsBoundedAndDropped) {
  Limits limits;
  limits.maxCodeBytes = 32;
  limits.maxLineBytes = 64;
  std::vector<std::string> tenThousand{"*A x: \""};
  for (int i = 0; i < 10000; ++i) tenThousand.push_back("1 pop");
  tenThousand.push_back("\"");
  tenThousand.push_back("*A y: \"ok\"");
  std::vector<std::string> unterminated{"*OpenUI *A: PickOne", "*A y: \"ok\"", "*A x: \""};
  for (int i = 0; i < 10000; ++i) unterminated.push_back("*CloseUI: *A");
  const struct {
    const char* name;
    std::string text;
    const char* option;
    std::string code;
    const char* afterwards;  // an option read after the hostile one, with code "ok"
  } cases[] = {
      {"code at the limit kept", withFeature({"*A x: \"" + std::string(32, 'c') + "\""}), "x",
       std::string(32, 'c'), nullptr},
      {"over-long code on one line dropped, the option kept",
       withFeature({"*A x: \"" + std::string(33, 'c') + "\"", "*A y: \"ok\""}), "x", "", "y"},
      {"over-long code over several lines dropped",
       withFeature(
           {"*A x: \"", std::string(20, 'c'), std::string(20, 'c') + "\"", "*End", "*A y: \"ok\""}),
       "x", "", "y"},
      {"10000 lines of code dropped, what follows read", withFeature(tenThousand), "x", "", "y"},
      {"unterminated quote over 10000 lines: no code", crlf(unterminated), "x", "", "y"},
      {"NUL byte inside code dropped", withFeature({"*A x: \"", "a\0b"s, "\"", "*A y: \"ok\""}),
       "x", "", "y"},
      {"stray quotes give no code", withFeature({"*A x: \"a\"b\"", "c\"", "*A y: \"ok\""}), "x", "",
       "y"},
  };
  for (const auto& c : cases) {
    const Model model = vex::ppd::parse(c.text, limits);
    EXPECT_EQ(codeOf(model, "A", c.option), c.code) << c.name;
    if (c.afterwards != nullptr) {
      EXPECT_EQ(codeOf(model, "A", c.afterwards), "ok") << c.name;
      EXPECT_FALSE(model.warnings.empty()) << c.name;
    }
    for (const Feature& f : model.features) {
      for (const vex::ppd::Option& o : f.options) EXPECT_LE(o.code.size(), limits.maxCodeBytes);
    }
  }
}

TEST(PpdModel, OrderDependencies) {
  const struct {
    const char* name;
    std::string text;
    Section section;
    double order;
    bool warned;
  } cases[] = {
      {"any setup", withFeature({"*OrderDependency: 22 AnySetup *A", "*A x: \"\""}),
       Section::AnySetup, 22, false},
      {"page setup with a fraction",
       withFeature({"*OrderDependency: 10.5 PageSetup *A", "*A x: \"\""}), Section::PageSetup, 10.5,
       false},
      {"negative order, before the feature's block",
       "*OrderDependency: -3 Prolog *A\r\n" + withFeature({"*A x: \"\""}), Section::Prolog, -3,
       false},
      {"none", withFeature({"*A x: \"\""}), Section::Unordered, 0, false},
      {"an option keyword after the feature",
       withFeature({"*OrderDependency: 5 DocumentSetup *A x", "*A x: \"\""}),
       Section::DocumentSetup, 5, false},
      {"number that is no number", withFeature({"*OrderDependency: 1e9 AnySetup *A", "*A x: \"\""}),
       Section::Unordered, 0, true},
      {"unknown section", withFeature({"*OrderDependency: 10 Somewhere *A", "*A x: \"\""}),
       Section::Unordered, 0, true},
      {"feature without its star", withFeature({"*OrderDependency: 10 AnySetup A", "*A x: \"\""}),
       Section::Unordered, 0, true},
      {"missing feature", withFeature({"*OrderDependency: 10 AnySetup", "*A x: \"\""}),
       Section::Unordered, 0, true},
      {"second one ignored",
       withFeature(
           {"*OrderDependency: 1 JCLSetup *A", "*OrderDependency: 2 AnySetup *A", "*A x: \"\""}),
       Section::JCLSetup, 1, true},
  };
  for (const auto& c : cases) {
    const Model model = vex::ppd::parse(c.text);
    const Feature* a = model.find("A");
    ASSERT_NE(a, nullptr) << c.name;
    EXPECT_EQ(a->section, c.section) << c.name;
    EXPECT_EQ(a->order, c.order) << c.name;
    EXPECT_EQ(!model.warnings.empty(), c.warned) << c.name;
  }
}

// "feature option" of each entry, joined with '|'.
std::string chosen(const std::vector<vex::ppd::FeatureCode>& code) {
  std::string out;
  for (const auto& c : code) out += (out.empty() ? "" : "|") + c.feature + " " + c.option;
  return out;
}

TEST(PpdModel, SetupCodeOfTheChoices) {
  const Model model = vex::ppd::parse(crlf({
      "*JCLOpenUI *Jcl: PickOne",
      "*OrderDependency: 1 JCLSetup *Jcl",
      "*Jcl x: \"@PJL x<0A>\"",
      "*JCLCloseUI: *Jcl",
      "*OpenUI *Late: PickOne",
      "*OrderDependency: 40 AnySetup *Late",
      "*Late x: \"late\"",
      "*Late off: \"\"",
      "*Late blank: \"",
      "  ",
      "\"",
      "*End",
      "*CloseUI: *Late",
      "*OpenUI *Early: PickOne",
      "*OrderDependency: 10 DocumentSetup *Early",
      "*Early x: \"early\"",
      "*CloseUI: *Early",
      "*OpenUI *Pro: PickOne",
      "*OrderDependency: 20 Prolog *Pro",
      "*Pro x: \"pro\"",
      "*CloseUI: *Pro",
      "*OpenUI *Tie: PickOne",
      "*OrderDependency: 20 AnySetup *Tie",
      "*Tie x: \"tie\"",
      "*CloseUI: *Tie",
      "*OpenUI *Free: PickOne",
      "*Free x: \"free\"",
      "*CloseUI: *Free",
      "*OpenUI *Exit: PickOne",
      "*OrderDependency: 5 ExitServer *Exit",
      "*Exit x: \"exit\"",
      "*CloseUI: *Exit",
      "*OpenUI *Page: PickOne",
      "*OrderDependency: 50 PageSetup *Page",
      "*Page x: \"p50\"",
      "*CloseUI: *Page",
      "*OpenUI *Page2: PickOne",
      "*OrderDependency: 3 PageSetup *Page2",
      "*Page2 x: \"p3\"",
      "*CloseUI: *Page2",
  }));
  ASSERT_TRUE(model.warnings.empty()) << model.warnings.front();
  using Choices = std::vector<std::pair<std::string, std::string>>;
  const struct {
    const char* name;
    Choices choices;
    const char* document;
    const char* page;
  } cases[] = {
      {"order dependency, not the order of the choices",
       {{"Free", "x"},
        {"Late", "x"},
        {"Page", "x"},
        {"Tie", "x"},
        {"Pro", "x"},
        {"Early", "x"},
        {"Page2", "x"}},
       "Early x|Tie x|Pro x|Late x|Free x",
       "Page2 x|Page x"},
      {"equal orders keep the order of the choices",
       {{"Pro", "x"}, {"Tie", "x"}},
       "Pro x|Tie x",
       ""},
      {"JCL features and the exit server write nothing",
       {{"Jcl", "x"}, {"Exit", "x"}, {"Early", "x"}},
       "Early x",
       ""},
      {"empty and blank code write nothing",
       {{"Late", "off"}, {"Pro", "x"}, {"Late", "blank"}},
       "Pro x",
       ""},
      {"unknown features and options write nothing",
       {{"Nothing", "x"}, {"Early", "y"}, {"early", "x"}, {"Pro", "X"}},
       "",
       ""},
      {"a feature chosen twice writes its first choice once",
       {{"Late", "x"}, {"Late", "x"}, {"Late", "off"}},
       "Late x",
       ""},
  };
  for (const auto& c : cases) {
    const vex::ppd::SetupCode code = vex::ppd::setupCode(model, c.choices);
    EXPECT_EQ(chosen(code.document), c.document) << c.name;
    EXPECT_EQ(chosen(code.page), c.page) << c.name;
  }
}

TEST(PpdModel, FeatureTextCarriesTheDscComments) {
  const Model model = vex::ppd::parse(
      withFeature({"*A Gray/Greyscale: \"", "  << /ProcessColorModel /DeviceGray >> setpagedevice",
                   "\"", "*End", "*A Two: \"a\"", "*OrderDependency: 1 AnySetup *A"}) +
      crlf({"*OpenUI *B: PickOne", "*OrderDependency: 2 AnySetup *B", "*B c: \"b  \"",
            "*CloseUI: *B"}));
  const vex::ppd::SetupCode code = vex::ppd::setupCode(model, {{"B", "c"}, {"A", "Gray"}});
  EXPECT_EQ(vex::ppd::featureText(code.document),
            "%%BeginFeature: *A Gray\n"
            "  << /ProcessColorModel /DeviceGray >> setpagedevice\n"
            "%%EndFeature\n"
            "%%BeginFeature: *B c\n"
            "b\n"
            "%%EndFeature\n");
  EXPECT_EQ(vex::ppd::featureText({}), "");
}

}  // namespace
