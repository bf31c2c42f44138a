#include "job_info_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(JobInfoText, ApplicationNameKeepsPrintableText) {
  const struct {
    std::u16string name;
    std::u16string kept;
  } cases[] = {
      {u"Report Writer", u"Report Writer"},
      {u"Writer\r\n@PJL SET X=1", u"Writer@PJL SET X=1"},
      {u"\x1b%-12345X\tapp\x7f\x85\x9f", u"%-12345Xapp"},
      {u"\u62a5\u8868 \u00e9", u"\u62a5\u8868 \u00e9"},  // printable beyond ASCII stays
      {std::u16string(u"ab\0cd", 5), u"ab"},             // the name ends at its zero
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::printableApplicationName(c.name), c.kept)
        << std::string(c.name.begin(), c.name.end());
  }
}

TEST(JobInfoText, OnlyCleanPjlLinesEnterTheHeader) {
  const std::string good = "@PJL VEXAUXJOBINFO DATA=\"UserName=amy\"\r\n";
  const struct {
    const char* name;
    std::string text;
    std::string accepted;
  } cases[] = {
      {"the companion's four lines", good + good + good + good, good + good + good + good},
      {"empty", "", ""},
      {"not PJL", "%!PS\r\n" + good + "showpage\r\n", good},
      {"prefix without its blank", "@PJLX\r\n@PJL\r\n" + good, good},
      {"exit sequence", "\x1b%-12345X@PJL SET A=1\r\n" + good, good},
      {"control byte inside", "@PJL SET A=\x01\r\n@PJL SET\tB=2\r\n" + good, good},
      {"bare CR inside", "@PJL SET A=1\r@PJL EOJ\r\n" + good, good},
      {"LF only", "@PJL SET A=1\n" + good, good},
      {"last line without CR LF", good + "@PJL SET A=1", good},
      {"last line with CR only", good + "@PJL SET A=1\r", good},
      {"DEL", "@PJL SET A=\x7f\r\n" + good, good},
      {"enters a language", "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n" + good, good},
      {"ends the job", good + "@PJL EOJ\r\n" + "@PJL EOJ NAME=\"x\"\r\n", good},
      {"the same in other spellings",
       "@PJL enter language=PCL\r\n@PJL  EOJ\r\n@PJL Eoj NAME=\"x\"\r\n" + good, good},
      {"a word that only begins like one", "@PJL EOJECT\r\n@PJL ENTERED\r\n",
       "@PJL EOJECT\r\n@PJL ENTERED\r\n"},
      {"lower case", "@pjl set a=1\r\n" + good, good},
      {"double-byte text", "@PJL COMMENT \xb1\xa8\xb1\xed\r\n",
       "@PJL COMMENT \xb1\xa8\xb1\xed\r\n"},
      {"zero byte inside", std::string("@PJL SET A=\0\r\n", 14) + good, good},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::acceptedJobInfoLines(c.text), c.accepted) << c.name;
  }
}

}  // namespace
