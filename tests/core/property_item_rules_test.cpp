#include "property_item_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace vex {
namespace {

struct RoleCase {
  const char* label;
  DocumentItemFacts item;
  bool hidePapers;
  std::vector<SlotBinding> bindings;
};

DocumentItemFacts standard(std::uint32_t id) { return {id, std::nullopt, 0, std::nullopt}; }
DocumentItemFacts feature(std::string_view keyword) {
  return {dmpub::kNone, 7, 0, keyword};
}

class DocumentItemRoles : public testing::TestWithParam<RoleCase> {};

TEST_P(DocumentItemRoles, BindSlotsHelpAndHiding) {
  const RoleCase& c = GetParam();
  const DocumentItemRole role = documentItemRole(c.item);
  EXPECT_EQ(role.hidePapers, c.hidePapers) << c.label;
  EXPECT_EQ(role.bindings, c.bindings) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DocumentItemRoles,
    testing::Values(
        RoleCase{"orientation: index only", standard(dmpub::kOrientation), false, {{26, 0, false, false}}},
        RoleCase{"colour", standard(dmpub::kColor), false, {{10, 0, false, false}}},
        RoleCase{"duplex", standard(dmpub::kDuplex), false, {{43, 0, false, false}}},
        RoleCase{"n-up", standard(dmpub::kNup), false, {{40, 0, false, false}}},
        RoleCase{"scale hidden with value", standard(dmpub::kScale), false, {{33, 0, true, true}}},
        RoleCase{"copies", standard(dmpub::kCopiesCollate), false, {{29, 0, true, true}}},
        RoleCase{"print quality", standard(dmpub::kPrintQuality), false, {{67, 0, true, true}}},
        RoleCase{"form name hides papers", standard(dmpub::kFormName), true, {}},
        RoleCase{"default source ignored even with a keyword",
                 {dmpub::kDefaultSource, 25, 423, "VXStaple"}, false, {}},
        RoleCase{"page order ignored", standard(dmpub::kPageOrder), false, {}},
        RoleCase{"output bin by keyword", {dmpub::kOutputBin, 1, 0, "OutputBin"}, false,
                 {{31, 808, true, true}}},
        RoleCase{"staple", feature("VXStaple"), false, {{32, 822, true, true}}},
        RoleCase{"staple, other case", feature("VXstaple"), false, {}},
        RoleCase{"staple with a trailing blank", feature("VXStaple "), false, {}},
        RoleCase{"prefix of a keyword", feature("VXStap"), false, {}},
        RoleCase{"punch", feature("VXPunch"), false, {{41, 823, true, true}}},
        RoleCase{"bind position", feature("VXBindPosition"), false, {{42, 824, true, true}}},
        RoleCase{"job type", feature("VXJob_Type"), false, {{28, 0, true, true}}},
        RoleCase{"tone: help only", feature("VXTone"), false, {{-1, 1302, false, false}}},
        RoleCase{"media type: help only", feature("VXMediaType"), false, {{-1, 423, false, false}}},
        RoleCase{"hair line", feature("VXHairLine"), false, {{73, 0, true, true}}},
        RoleCase{"trapping", feature("VXTrapping"), false, {{76, 0, true, true}}},
        RoleCase{"unknown feature", feature("VXSomething"), false, {}},
        RoleCase{"item 25 follows the overlay", {dmpub::kNone, 25, 0, std::nullopt}, false,
                 {{45, 0, false, false}}},
        RoleCase{"item 25 with a keyword binds both", {dmpub::kNone, 25, 0, "VXOverlay"}, false,
                 {{45, 0, false, false}, {38, 0, true, true}}},
        RoleCase{"mirror image by name", {dmpub::kNone, std::nullopt, 423, std::nullopt}, false,
                 {{36, 0, true, true}}},
        RoleCase{"negative image by name", {18, std::nullopt, 424, std::nullopt}, false,
                 {{37, 0, true, true}}},
        RoleCase{"quality is matched by keyword", {dmpub::kQuality, 3, 0, "VXResolution"}, false,
                 {{67, 0, true, true}}}));

struct PaperCase {
  std::u16string value;
  std::vector<std::u16string> names;
};

class HiddenPapers : public testing::TestWithParam<PaperCase> {};

TEST_P(HiddenPapers, SplitAtCommas) {
  EXPECT_EQ(hiddenPaperNames(GetParam().value), GetParam().names);
}

const std::u16string k63(63, u'x');
const std::u16string k64(64, u'y');

INSTANTIATE_TEST_SUITE_P(
    Table, HiddenPapers,
    testing::Values(PaperCase{u"", {}}, PaperCase{u"A5,B5", {u"A5", u"B5"}},
                    PaperCase{u",A5,,B5,", {u"A5", u"B5"}},
                    PaperCase{u"A5, B5", {u"A5", u" B5"}},
                    PaperCase{u"1,2,3,4,5,6,7,8,9,10,11,12,13",
                              {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10", u"11",
                               u"12"}},
                    PaperCase{k63 + u"," + k64 + u",A4", {k63, u"A4"}},
                    // Empty and over-long pieces are among the twelve as well.
                    PaperCase{u",,1,2,3,4,5,6,7,8,9,10,11",
                              {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10"}},
                    PaperCase{k64 + u",1,2,3,4,5,6,7,8,9,10,11,12",
                              {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10",
                               u"11"}}));

TEST(WriteBackOrder, OutputBinGoesFirstWhenTheFinisherWorks) {
  struct Case {
    std::uint32_t staple, punch;
    std::vector<int> finisher;
  };
  for (const Case& c : {Case{0, 0, {32, 41, 31}}, Case{2, 0, {31, 32, 41}},
                        Case{0, 1, {31, 32, 41}}, Case{5, 3, {31, 32, 41}}}) {
    const std::vector<int> order = writeBackOrder(c.staple, c.punch);
    ASSERT_EQ(order.size(), 42u);
    EXPECT_EQ(std::vector<int>(order.begin() + 22, order.begin() + 25), c.finisher)
        << c.staple << "/" << c.punch;
    EXPECT_EQ(order.front(), 11);
    EXPECT_EQ(order.back(), kOverlaySlot);
  }
}

TEST(InstallableOptions, KeywordsAndUserItemsLeadToTheSameRow) {
  for (const InstallableOption& option : installableOptions()) {
    EXPECT_EQ(installableOptionFor(option.keyword), &option);
    EXPECT_EQ(installableOptionForUserItem(option.userItemId), &option);
  }
  EXPECT_EQ(installableOptionFor("InstalledMemory")->valueIndex, 3);
  EXPECT_EQ(installableOptionFor("installedmemory"), nullptr);
  for (std::uint32_t id : {0u, 1u, 2u, 4u, 12u, 255u}) {
    EXPECT_EQ(installableOptionForUserItem(id), nullptr) << id;
  }
}

}  // namespace
}  // namespace vex
