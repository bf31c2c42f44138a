#include "dependent_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vex::DependentFileKind;

// Builds a raw list: entries joined by NUL, ended by an empty entry unless `terminated` is false.
std::u16string rawList(const std::vector<std::u16string>& entries, bool terminated = true) {
  std::u16string list;
  for (const auto& e : entries) {
    list += e;
    list += u'\0';
  }
  if (terminated) list += u'\0';
  return list;
}

TEST(DependentFiles, SuffixesAreComparedWithoutCase) {
  const struct {
    const char16_t* name;
    DependentFileKind kind;
  } cases[] = {
      {u"C:\\drv\\3\\A.INI", DependentFileKind::PluginIni},
      {u"C:\\drv\\3\\b.Cap", DependentFileKind::Capability},
      {u"C:\\drv\\3\\v.vEr", DependentFileKind::Version},
      {u".ini", DependentFileKind::PluginIni},
      {u"a.ini.bak", DependentFileKind::Other},
      {u"x.cp", DependentFileKind::Other},
      {u"ini", DependentFileKind::Other},
      {u"", DependentFileKind::Other},
      {u"x.\u0130NI", DependentFileKind::Other},  // no folding beyond ASCII
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::classifyDependentFile(c.name), c.kind)
        << std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name));
  }
}

TEST(DependentFiles, ListIsSplitAtNulsUpToTheEmptyEntry) {
  const std::u16string list = rawList({u"a.ini", u"b.cap", u"c.dll"}) + u"ignored.cap";
  const auto entries = vex::splitDependentFiles(list.data(), list.size());
  EXPECT_EQ(entries, (std::vector<std::u16string>{u"a.ini", u"b.cap", u"c.dll"}));
}

TEST(DependentFiles, BoundsAreRespected) {
  const std::u16string longest(vex::kDependentEntryMaxChars - 1, u'x');
  const std::u16string tooLong(vex::kDependentEntryMaxChars, u'y');
  const std::u16string list = rawList({u"a.ini", tooLong + u".cap", longest, u"b.cap"});
  const auto entries = vex::splitDependentFiles(list.data(), list.size());
  EXPECT_EQ(entries, (std::vector<std::u16string>{u"a.ini", longest, u"b.cap"}));

  // Unterminated list: the cut-off last entry is not taken.
  const std::u16string open = rawList({u"a.ini", u"b.cap"}, false) + u"c.in";
  EXPECT_EQ(vex::splitDependentFiles(open.data(), open.size()),
            (std::vector<std::u16string>{u"a.ini", u"b.cap"}));
  // The given length ends the walk even when the characters go on.
  EXPECT_EQ(vex::splitDependentFiles(list.data(), 4).size(), 0u);
  EXPECT_TRUE(vex::splitDependentFiles(nullptr, 100).empty());
}

TEST(DependentFiles, ListLongerThanItsBufferIsCutAtAnEntry) {
  std::vector<std::u16string> many;
  for (int i = 0; i < 400; ++i) many.push_back(u"file" + std::u16string(1, u'a' + i % 26) + u".dll");
  const std::u16string list = rawList(many);
  ASSERT_GT(list.size(), vex::kDependentListMaxChars);
  const auto entries = vex::splitDependentFiles(list.data(), list.size());
  std::size_t used = 0;
  for (const auto& e : entries) used += e.size() + 1;
  EXPECT_LE(used, vex::kDependentListMaxChars);
  EXPECT_EQ(entries.size(), vex::kDependentListMaxChars / 10);
  for (const auto& e : entries) EXPECT_EQ(e.size(), 9u);
}

}  // namespace
