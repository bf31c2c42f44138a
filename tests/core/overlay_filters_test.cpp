// The define-overlay dialog's field filters and OK checks.
#include "overlay_filters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

TEST(OverlayFilters, CustomPages) {
  const struct {
    std::u16string_view typed;
    std::u16string_view kept;
    std::size_t removed;
  } cases[] = {
      {u"1,,3--5", u"1,3-5", 2},
      {u"0", u"", 1},
      {u"12345", u"1234", 1},
      {u"1-2-3", u"1-23", 1},
      {u"10,20", u"10,20", 0},
      {u",-1", u"1", 2},
      {u"01", u"1", 1},
      {u"1-0", u"1-", 1},
      {u"1 2\u4e00x", u"12", 3},
      {u"5-,7", u"5-7", 1},
      {u"1-2,3-4", u"1-2,3-4", 0},
  };
  for (const auto& c : cases) {
    const vex::FilteredText filtered = vex::filterCustomPages(c.typed);
    EXPECT_EQ(filtered.text, c.kept) << narrow(c.typed);
    EXPECT_EQ(filtered.removed, c.removed) << narrow(c.typed);
  }
}

TEST(OverlayFilters, PageModeFollowsTheCustomList) {
  EXPECT_EQ(vex::pageModeForCustomPages(0, u"1"), 4) << "typing into an empty list";
  EXPECT_EQ(vex::pageModeForCustomPages(4, u""), 0) << "deleting everything";
  EXPECT_EQ(vex::pageModeForCustomPages(2, u""), 2);
  EXPECT_EQ(vex::pageModeForCustomPages(3, u"7"), 4);
}

TEST(OverlayFilters, FormNames) {
  const struct {
    std::u16string_view typed;
    std::u16string_view kept;
  } cases[] = {
      {u"FORM 1", u"FORM1"},    {u"50%", u"50"},          {u"a/b:c", u"abc"},
      {u"x\"y", u"xy"},         {u"\u8868\u683cA", u"A"}, {u"(){}[]<>?*|\\", u""},
      {u"Form.1.", u"Form.1."}, {u"\tTab\r\n", u"Tab"},   {u"~!@#$&+=", u"~!@#$&+="},
  };
  for (const auto& c : cases) {
    const vex::FilteredText filtered = vex::filterFormName(c.typed);
    EXPECT_EQ(filtered.text, c.kept) << narrow(c.typed);
    EXPECT_EQ(filtered.removed, c.typed.size() - c.kept.size()) << narrow(c.typed);
  }
  EXPECT_TRUE(vex::formNameEndsWithStop(u"FORM."));
  EXPECT_FALSE(vex::formNameEndsWithStop(u"FO.RM"));
  EXPECT_FALSE(vex::formNameEndsWithStop(u""));
}

TEST(OverlayFilters, DefineOverlayOkChecksInOrder) {
  const std::vector<std::u16string_view> others = {u"Letter", u"Invoice", u"Letter"};
  const struct {
    std::u16string_view name;
    std::size_t forms;
    vex::DefineOverlayVerdict verdict;
    std::size_t duplicates;
  } cases[] = {
      {u"", 0, vex::DefineOverlayVerdict::noName, 0},
      {u"", 2, vex::DefineOverlayVerdict::noName, 0},
      {u"Letter", 0, vex::DefineOverlayVerdict::duplicateName, 2},  // stays on the name
      {u"Invoice", 1, vex::DefineOverlayVerdict::duplicateName, 1},
      {u"invoice", 0, vex::DefineOverlayVerdict::noForm, 0},  // names compare exactly
      {u"Memo", 3, vex::DefineOverlayVerdict::accept, 0},
  };
  for (const auto& c : cases) {
    const vex::DefineOverlayCheck check = vex::checkDefinedOverlay(c.name, others, c.forms);
    EXPECT_EQ(check.verdict, c.verdict) << narrow(c.name) << "/" << c.forms;
    EXPECT_EQ(check.duplicates, c.duplicates) << narrow(c.name);
  }
}

}  // namespace
