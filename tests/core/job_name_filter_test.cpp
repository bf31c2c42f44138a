#include "job_name_filter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(JobNameFilter, KeepsPrintableAsciiAndPutsTheCaretBackWhereItWas) {
  const struct {
    const char* what;
    std::u16string text;
    std::size_t selectionEnd;
    std::u16string kept;
    std::size_t removed;
    std::size_t caret;
  } cases[] = {
      {"plain name", u"Report 7", 8, u"Report 7", 0, 8},
      {"empty field", u"", 0, u"", 0, 0},
      {"caret inside a clean name", u"abcdef", 2, u"abcdef", 0, 2},
      {"quote typed at the end", u"ab\"", 3, u"ab", 1, 2},
      {"quote typed in the middle", u"a\"bc", 2, u"abc", 1, 1},
      {"Chinese character typed at the end", u"ab\u4e2d", 3, u"ab", 1, 2},
      {"Chinese character pasted at the start", u"\u4e2dabc", 1, u"abc", 1, 0},
      {"two characters pasted at once", u"a\u4e2d\"b", 3, u"ab", 2, 1},
      {"caret not below the start", u"\"x", 0, u"x", 1, 0},
      {"only a quote", u"\"", 1, u"", 1, 0},
      {"surrogate pair counts two", u"a\U00020000b", 3, u"ab", 2, 1},
      {"Latin-1 letter", u"caf\u00e9", 4, u"caf", 1, 3},
      {"tab, CR, LF would break the PJL line", u"a\tb\r\nc", 6, u"abc", 3, 3},
      {"DEL and NUL", u"a\u007fb" + std::u16string(1, u'\0'), 4, u"ab", 2, 2},
      {"full width quote is not ASCII", u"a\uff02", 2, u"a", 1, 1},
      {"sixteen allowed characters", u"!#$%&'()*+,-./09", 16, u"!#$%&'()*+,-./09", 0, 16},
      {"boundaries of the range", u" ~\u001f\u0080", 4, u" ~", 2, 2},
  };
  for (const auto& c : cases) {
    const vex::JobNameEdit edit = vex::filterJobName(c.text, c.selectionEnd);
    EXPECT_EQ(edit.text, c.kept) << c.what;
    EXPECT_EQ(edit.removed, c.removed) << c.what;
    EXPECT_EQ(edit.caret, c.caret) << c.what;
  }
}

TEST(JobNameFilter, CharacterClassAtItsEdges) {
  const struct {
    char16_t c;
    bool allowed;
  } cases[] = {
      {u'\0', false},   {u'\x1f', false},   {u' ', true},       {u'!', true},
      {u'"', false},    {u'#', true},       {u'~', true},       {u'\x7f', false},
      {u'\x80', false}, {u'\u4e2d', false}, {u'\xd840', false}, {u'\xffff', false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::isJobNameCharacter(c.c), c.allowed) << static_cast<unsigned>(c.c);
  }
}

}  // namespace
