#include "overlay_ps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vex::OverlayEntry;

const std::string kOpen =
    "%%BeginNonPPDFeature: Form \r\n{ \r\nuserdict /@VXFormDict 2 copy known{\r\n\tget "
    "begin\r\n\t/OVList [\r\n";
const std::string kClose =
    "\t]def end\r\n}{pop pop}ifelse\r\n}stopped pop\r\n%%EndNonPPDFeature\r\n\r\n";

std::string block(const std::vector<OverlayEntry>& overlays) {
  std::string all;
  for (const std::string& piece : vex::overlayBlockWrites(overlays)) all += piece;
  return all;
}

TEST(OverlayBlock, NoOverlaysGivesOpeningAndClosingOnly) {
  EXPECT_EQ(block({}), kOpen + kClose);
  const auto writes = vex::overlayBlockWrites({});
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes.back(), kClose);
}

TEST(OverlayBlock, OneOverlayPerPageMode) {
  const struct {
    OverlayEntry entry;
    std::string lines;
  } cases[] = {
      {{{u"FORM1", u"FORM2"}, 4, u"1,3-4,7-"},
       "\t\t\t/FormList [ /FORM1 /FORM2]\r\n\t\t\t/PageFlag 4\r\n"
       "\t\t\t/PageArray [ [1 1] [3 4] [7 9999]]\r\n"},
      {{{u"A"}, 1, u"1,2"}, "\t\t\t/FormList [ /A]\r\n\t\t\t/PageFlag 1\r\n"},
      {{{u"A"}, 0, u""}, "\t\t\t/FormList [ /A]\r\n\t\t\t/PageFlag 0\r\n"},
      {{{u"A"}, 2, u""}, "\t\t\t/FormList [ /A]\r\n\t\t\t/PageFlag 2\r\n"},
      {{{u"A"}, 3, u""}, "\t\t\t/FormList [ /A]\r\n\t\t\t/PageFlag 3\r\n"},
      {{{u"A"}, 4, u"10-3"},
       "\t\t\t/FormList [ /A]\r\n\t\t\t/PageFlag 4\r\n\t\t\t/PageArray [ [10 3]]\r\n"},
      {{{u"A"}, 4, u""}, "\t\t\t/FormList [ /A]\r\n\t\t\t/PageFlag 4\r\n\t\t\t/PageArray []\r\n"},
      {{{}, 0, u""}, "\t\t\t/FormList []\r\n\t\t\t/PageFlag 0\r\n"},  // missing section
      // Form_Num counts a key that is missing or empty: the empty name keeps its place.
      {{{u"", u"B"}, 0, u""}, "\t\t\t/FormList [ / /B]\r\n\t\t\t/PageFlag 0\r\n"},
      {{{u"A", u"", u""}, 0, u""}, "\t\t\t/FormList [ /A / /]\r\n\t\t\t/PageFlag 0\r\n"},
      {{{u"A"}, 65535, u""}, "\t\t\t/FormList [ /A]\r\n\t\t\t/PageFlag 65535\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(block({c.entry}),
              kOpen + "\t\t(<<) cvx exec\r\n" + c.lines + "\t\t(>>) cvx exec\r\n" + kClose);
  }
}

TEST(OverlayBlock, GroupsInSlotOrder) {
  const std::string group1 =
      "\t\t(<<) cvx exec\r\n\t\t\t/FormList [ /X]\r\n\t\t\t/PageFlag 0\r\n\t\t(>>) cvx exec\r\n";
  const std::string group2 =
      "\t\t(<<) cvx exec\r\n\t\t\t/FormList [ /Y /Z]\r\n\t\t\t/PageFlag 1\r\n\t\t(>>) cvx exec\r\n";
  EXPECT_EQ(block({{{u"X"}, 0, u""}, {{u"Y", u"Z"}, 1, u""}}), kOpen + group1 + group2 + kClose);
}

TEST(OverlayBlock, AtMostThreeForms) {
  EXPECT_EQ(block({{{u"A", u"B", u"C", u"D"}, 0, u""}}).find("/D"), std::string::npos);
  EXPECT_NE(block({{{u"A", u"B", u"C", u"D"}, 0, u""}}).find("[ /A /B /C]"), std::string::npos);
}

TEST(CustomPages, Items) {
  const struct {
    std::u16string pages;
    std::string items;
  } cases[] = {
      {u"1,3-4,7-", " [1 1] [3 4] [7 9999]"},
      {u"10-3", " [10 3]"},
      {u"5-5", " [5 9999]"},
      {u"1,,3", " [1 1] [3 3]"},
      {u",2,", " [2 2]"},
      {u"", ""},
      // Hostile store values: what is not a page number is left out.
      {u"1) exec (", ""},
      {u"1,2]} quit {[,3", " [1 1] [3 3]"},
      {u"-5", ""},
      {u"1-2-3", ""},
      {u"4-x", ""},
      {u"1 ,2", " [2 2]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::customPageItems(c.pages), c.items);
  }
}

TEST(FormNames, WhatTheDialogAccepts) {
  for (const char16_t* good : {u"FORM1", u"a", u"Form-2_x.y", u"!#$&'+,;=@^`~"}) {
    EXPECT_TRUE(vex::isFormName(good));
  }
  const std::u16string longest(63, u'F');
  EXPECT_TRUE(vex::isFormName(longest));
  EXPECT_FALSE(vex::isFormName(longest + u"F"));
  for (const char16_t* bad :
       {u"", u"A B", u"A/B", u"x]def", u"(x)", u"a%b", u"a{b}", u"a<b", u"end.", u"\u65e5\u672c",
        u"tab\t", u"a\"b", u"a:b", u"a*b", u"a?b", u"a\\b", u"a|b"}) {
    EXPECT_FALSE(vex::isFormName(bad))
        << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
  }
  // A bad name is left out of the list; the others stay.
  EXPECT_NE(block({{{u"GOOD", u"BAD] {quit} [", u"OK2"}, 0, u""}}).find("[ /GOOD /OK2]\r\n"),
            std::string::npos);
}

}  // namespace
