// Rules of the job-information library and the relay program over strings: line composition,
// value sanitising, the test switches, the call answers, the application halves, and the relay's
// command line and message.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "job_info_lines.h"

namespace {

using vex::JobInfoSwitches;

TEST(JobInfoLines, ValuesKeepOnlyPrintableAsciiWithoutQuotes) {
  const struct {
    std::string value;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"PC-01", "PC-01"},
      {" ~", " ~"},  // both ends of the printable range
      {"say \"hi\"", "say hi"},
      {"a\r\nb\tc", "abc"},
      {std::string("x\0y", 3), "xy"},
      {"\x7F\x80\xFF\xE4\xB8\xAD", ""},
      {"Word\xE5\xAD\x97.exe", "Word.exe"},
      {"\"\r\n@PJL ENTER LANGUAGE=PCL\r\n", "@PJL ENTER LANGUAGE=PCL"},
      {std::string(100, 'a'), std::string(64, 'a')},
      {std::string(64, 'b'), std::string(64, 'b')},
      {std::string(200, '\n') + std::string(70, 'c'), std::string(64, 'c')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(vex::sanitiseJobInfoValue(c.value), c.expected);
  }
}

TEST(JobInfoLines, ReceptionTimeHasAFixedWidth) {
  const struct {
    int y, mo, d, h, mi, s;
    const char* expected;
  } cases[] = {
      {2024, 3, 7, 9, 5, 1, "2024/03/07 09:05:01"},
      {1999, 12, 31, 23, 59, 59, "1999/12/31 23:59:59"},
      {12345, 100, -1, 0, 0, 0, "9999/99/00 00:00:00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::formatReceptionTime(c.y, c.mo, c.d, c.h, c.mi, c.s), c.expected);
  }
}

TEST(JobInfoLines, TextIsFourLinesWithCrLf) {
  vex::JobInfoValues values{"PC-01", "alice", "2024/03/07 09:05:01", "Writer"};
  EXPECT_EQ(vex::composeJobInfoText(values),
            "@PJL VEXAUXJOBINFO DATA=\"ComputerName=PC-01\"\r\n"
            "@PJL VEXAUXJOBINFO DATA=\"UserName=alice\"\r\n"
            "@PJL VEXAUXJOBINFO DATA=\"ReceptionTime=2024/03/07 09:05:01\"\r\n"
            "@PJL VEXAUXJOBINFO DATA=\"ApplicationName=Writer\"\r\n");

  // Hostile values cannot add a line or end a quoted string early.
  values = {"A\"B", "x\r\n@PJL RDYMSG", "\n", "\"\r\n@PJL ENTER LANGUAGE=PCL\r\n\xE4"};
  EXPECT_EQ(vex::composeJobInfoText(values),
            "@PJL VEXAUXJOBINFO DATA=\"ComputerName=AB\"\r\n"
            "@PJL VEXAUXJOBINFO DATA=\"UserName=x@PJL RDYMSG\"\r\n"
            "@PJL VEXAUXJOBINFO DATA=\"ReceptionTime=\"\r\n"
            "@PJL VEXAUXJOBINFO DATA=\"ApplicationName=@PJL ENTER LANGUAGE=PCL\"\r\n");

  values = {std::string(90, 'c'), std::string(90, 'u'), std::string(90, 't'), std::string(90, 'a')};
  EXPECT_EQ(vex::composeJobInfoText(values),
            "@PJL VEXAUXJOBINFO DATA=\"ComputerName=" + std::string(64, 'c') + "\"\r\n" +
                "@PJL VEXAUXJOBINFO DATA=\"UserName=" + std::string(64, 'u') + "\"\r\n" +
                "@PJL VEXAUXJOBINFO DATA=\"ReceptionTime=" + std::string(64, 't') + "\"\r\n" +
                "@PJL VEXAUXJOBINFO DATA=\"ApplicationName=" + std::string(64, 'a') + "\"\r\n");
}

vex::ProfileReader readerOf(std::map<std::string, std::string> entries) {
  return [entries](std::string_view section, std::string_view key) -> std::optional<std::string> {
    const auto it = entries.find(std::string(section) + "/" + std::string(key));
    if (it == entries.end()) return std::nullopt;
    return it->second;
  };
}

TEST(JobInfoLines, SwitchesAreReadStrictly) {
  const struct {
    std::map<std::string, std::string> entries;
    bool refuse, failSize;
    std::uint32_t extra;
    bool noTerminator;
  } cases[] = {
      {{}, false, false, 0, false},
      {{{"Behaviour/Version2", "refuse"}}, true, false, 0, false},
      {{{"Behaviour/Version2", "REFUSE"}}, true, false, 0, false},
      {{{"Behaviour/Version2", "refused"}}, false, false, 0, false},
      {{{"Behaviour/Version2", ""}}, false, false, 0, false},
      {{{"Values/Version2", "refuse"}}, false, false, 0, false},
      {{{"Behaviour/SizeQuery", "fail"}}, false, true, 0, false},
      {{{"Behaviour/SizeQuery", "Fail"}}, false, true, 0, false},
      {{{"Behaviour/SizeQuery", "no"}}, false, false, 0, false},
      {{{"Behaviour/ExtraSize", "16"}}, false, false, 16, false},
      {{{"Behaviour/ExtraSize", "0"}}, false, false, 0, false},
      {{{"Behaviour/ExtraSize", "65536"}}, false, false, 65536, false},
      {{{"Behaviour/ExtraSize", "65537"}}, false, false, 0, false},
      {{{"Behaviour/ExtraSize", "4294967297"}}, false, false, 0, false},
      {{{"Behaviour/ExtraSize", "99999999999999999999"}}, false, false, 0, false},
      {{{"Behaviour/ExtraSize", "-1"}}, false, false, 0, false},
      {{{"Behaviour/ExtraSize", "12a"}}, false, false, 0, false},
      {{{"Behaviour/ExtraSize", ""}}, false, false, 0, false},
      {{{"Behaviour/NoTerminator", "1"}}, false, false, 0, true},
      {{{"Behaviour/NoTerminator", "yes"}}, false, false, 0, false},
      {{{"Behaviour/Version2", "refuse"},
        {"Behaviour/SizeQuery", "fail"},
        {"Behaviour/ExtraSize", "7"},
        {"Behaviour/NoTerminator", "1"}},
       true,
       true,
       7,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entries.empty() ? std::string("(none)")
                                   : c.entries.begin()->first + "=" + c.entries.begin()->second);
    const JobInfoSwitches s = vex::readJobInfoSwitches(readerOf(c.entries));
    EXPECT_EQ(s.refuseVersion2, c.refuse);
    EXPECT_EQ(s.failSizeQuery, c.failSize);
    EXPECT_EQ(s.extraSize, c.extra);
    EXPECT_EQ(s.noTerminator, c.noTerminator);
  }
  EXPECT_FALSE(vex::readJobInfoSwitches(nullptr).refuseVersion2);
}

TEST(JobInfoLines, FixedValuesAreKeptEvenWhenEmpty) {
  const JobInfoSwitches s = vex::readJobInfoSwitches(readerOf({{"Values/ComputerName", "PC-01"},
                                                               {"Values/UserName", ""},
                                                               {"Values/Application", "Writer"}}));
  ASSERT_TRUE(s.computerName.has_value());
  EXPECT_EQ(*s.computerName, "PC-01");
  ASSERT_TRUE(s.userName.has_value());
  EXPECT_EQ(*s.userName, "");
  EXPECT_FALSE(s.receptionTime.has_value());
  ASSERT_TRUE(s.application.has_value());
  EXPECT_EQ(*s.application, "Writer");
  EXPECT_FALSE(s.applicationSecondHalfOnly.has_value());
}

struct CallCase {
  const char* name;
  JobInfoSwitches switches;
  std::uint32_t version;
  bool haveRequest;
  bool haveBuffer;
  std::uint32_t sizeIn;
  int answer;
  std::uint32_t sizeOut;
  std::string bufferOut;  // the first sizeIn bytes after the call (0xCC untouched)
};

TEST(JobInfoLines, CallsAnswerAsTheirVersionAndSwitchesSay) {
  const std::string text = "@PJL X\r\n";  // 8 bytes
  const std::string untouched(16, '\xCC');
  JobInfoSwitches refuse;
  refuse.refuseVersion2 = true;
  JobInfoSwitches failSize;
  failSize.failSizeQuery = true;
  JobInfoSwitches extra;
  extra.extraSize = 5;
  JobInfoSwitches noZero;
  noZero.noTerminator = true;
  JobInfoSwitches noZeroExtra = noZero;
  noZeroExtra.extraSize = 3;

  const std::string padded = text + std::string(6, '\0') + std::string(2, '\xCC');
  const CallCase cases[] = {
      {"size query v2", {}, 2, true, false, 0, 1, 9, untouched},
      {"size query v0", {}, 0, true, false, 0, 1, 9, untouched},
      {"fill v2", {}, 2, true, true, 9, 0, 9, text + '\0' + std::string(7, '\xCC')},
      {"fill larger buffer", {}, 2, true, true, 16, 0, 9, text + '\0' + std::string(7, '\xCC')},
      {"fill one short", {}, 2, true, true, 8, 2, 9, untouched},
      {"version 1", {}, 1, true, true, 16, 2, 16, untouched},
      {"version 3", {}, 3, true, false, 77, 2, 77, untouched},
      {"no request", {}, 2, false, false, 0, 2, 0, untouched},
      {"refuse v2 query", refuse, 2, true, false, 0, 3, 0, untouched},
      {"refuse v2 fill", refuse, 2, true, true, 16, 3, 16, untouched},
      {"refuse leaves v0", refuse, 0, true, false, 0, 1, 9, untouched},
      {"failed size query", failSize, 2, true, false, 0, 2, 0, untouched},
      {"fill after failed size query", failSize, 0, true, true, 9, 0, 9,
       text + '\0' + std::string(7, '\xCC')},
      {"extra size query", extra, 2, true, false, 0, 1, 14, untouched},
      {"extra size fill", extra, 2, true, true, 16, 0, 14, padded},
      {"extra size, text-sized buffer", extra, 2, true, true, 9, 2, 14, untouched},
      {"no terminator", noZero, 2, true, true, 16, 0, 9, text + "@" + std::string(7, '\xCC')},
      {"no terminator, extra", noZeroExtra, 2, true, true, 16, 0, 12,
       text + "@PJL" + std::string(4, '\xCC')},
  };
  for (const CallCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string buffer = untouched;
    std::uint32_t size = c.sizeIn;
    EXPECT_EQ(vex::answerJobInfoCall(c.switches, c.version, c.haveRequest, text,
                                     c.haveBuffer ? buffer.data() : nullptr, &size),
              c.answer);
    EXPECT_EQ(size, c.sizeOut);
    EXPECT_EQ(buffer, c.bufferOut);
  }
  char buffer[16];
  EXPECT_EQ(vex::answerJobInfoCall({}, 2, true, text, buffer, nullptr), vex::kJobInfoFailed);
  EXPECT_EQ(vex::answerJobInfoCall({}, 2, true, text, nullptr, nullptr), vex::kJobInfoFailed);
}

TEST(JobInfoLines, ExtraSizeIsBoundedEvenWhenSetDirectly) {
  JobInfoSwitches s;
  s.extraSize = 0xFFFFFFFF;
  EXPECT_EQ(vex::jobInfoReportedSize("abc", s), 4u + vex::kMaxExtraSize);
}

TEST(JobInfoLines, MultibyteTextIsNeverCutInsideACharacter) {
  const auto lead = [](unsigned char b) { return b >= 0x81 && b <= 0xFE; };
  const struct {
    std::string text;
    std::size_t max;
    std::size_t expected;
  } cases[] = {
      {"abcdef", 4, 4},
      {"abc", 59, 3},
      {"ab\xD6\xD0", 4, 4},   // two-byte character fits exactly
      {"abc\xD6\xD0", 4, 3},  // would be cut inside it
      {"\xD6\xD0\xD6\xD0", 3, 2},
      {"ab\xD6", 59, 2},  // lead byte without trail byte at the end
      {"\xD6"
       "a",
       1, 0},
      {"", 10, 0},
      {"abc", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(vex::multibytePrefixLength(c.text, c.max, lead), c.expected);
  }
  EXPECT_EQ(vex::multibytePrefixLength("ab\xD6\xD0", 3, nullptr), 3u);
}

TEST(JobInfoLines, ApplicationHalvesHoldZeroTerminatedText) {
  const struct {
    std::string first, second;
  } cases[] = {
      {"Writer", "writer"},
      {"", "notepad"},
      {"", ""},
      {std::string(80, 'p'), std::string(80, 'e')},
      {std::string(59, 'p'), std::string(59, 'e')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first + "|" + c.second);
    const auto buffer = vex::composeApplicationHalves(c.first, c.second);
    std::string expected(120, '\0');
    expected.replace(0, std::min<std::size_t>(59, c.first.size()), c.first.substr(0, 59));
    expected.replace(60, std::min<std::size_t>(59, c.second.size()), c.second.substr(0, 59));
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), expected);
    EXPECT_EQ(buffer[59], '\0');
    EXPECT_EQ(buffer[119], '\0');
  }
}

TEST(JobInfoLines, ExecutableBaseNameDropsFoldersAndExtension) {
  const struct {
    std::u16string path, expected;
  } cases[] = {
      {u"C:\\Program Files\\Writer\\WRITER.EXE", u"WRITER"},
      {u"C:\\tools.d\\report", u"report"},
      {u"C:\\a\\archive.tar.gz", u"archive.tar"},
      {u"Z:/build/bin/dll_tests.exe", u"dll_tests"},
      {u"C:app.exe", u"app"},
      {u"app", u"app"},
      {u"C:\\x\\.hidden", u".hidden"},
      {u"C:\\x\\", u""},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::executableBaseName(c.path), c.expected);
  }
}

TEST(RelayLines, OnlyPipeNamesAreAccepted) {
  const struct {
    std::u16string name;
    bool ok;
  } cases[] = {
      {u"\\\\.\\pipe\\Office03F\\0000001a\\AppInfo", true},
      {u"\\\\.\\PIPE\\VEX Demo PS\\AppInfo", true},
      {u"\\\\server\\pipe\\share\\0000001a\\AppInfo", true},
      {u"\\\\.\\pipe\\Office/3F:Laser\\0000001a\\AppInfo", true},  // printer name kept as is
      {u"\\\\.\\pipe\\x", true},
      {u"\\\\.\\pipe\\", false},
      {u"\\\\.\\pipe", false},
      {u"\\\\.\\pipes\\x", false},
      {u"\\\\.\\mailslot\\x", false},
      {u"\\\\\\pipe\\x", false},
      {u"\\\\.\\pipe\\..\\C:\\x", false},
      {u"\\\\.\\pipe\\x\\..\\..\\y", false},
      {u"\\\\.\\pipe\\x/../y", false},
      {u"\\\\.\\pipe\\x\\\\y", false},
      {u"\\\\..\\pipe\\x", false},
      {u"\\\\?\\pipe\\x", false},
      {u"\\\\a:b\\pipe\\x", false},
      {u"\\\\.\\C:\\pipe\\x", false},
      {u"C:\\temp\\out.bin", false},
      {u"out.bin", false},
      {u"", false},
      {std::u16string(u"\\\\.\\pipe\\x\0y", 12), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
    EXPECT_EQ(vex::isPipeName(c.name), c.ok);
  }
}

TEST(RelayLines, CommandLinesAreCheckedWhole) {
  const std::u16string pipe = u"\\\\.\\pipe\\P\\0000001a\\AppInfo";
  const struct {
    std::vector<std::u16string> argv;
    bool ok;
    std::u16string name;
    std::uint32_t waitMs;
  } cases[] = {
      {{u"0", u"Writer", pipe}, true, u"Writer", 10000},
      {{u"vexrelay.exe", u"0", u"Writer", pipe}, true, u"Writer", 10000},
      {{u"vexrelay.exe", u"0", u"", pipe}, true, u"", 10000},
      {{u"0", u"0", pipe}, true, u"0", 10000},
      {{u"vexrelay.exe", u"0", u"Writer", pipe, u"--wait-ms", u"500"}, true, u"Writer", 500},
      {{u"0", u"Writer", pipe, u"--wait-ms", u"0"}, true, u"Writer", 0},
      {{u"0", u"Writer", pipe, u"--wait-ms", u"600000"}, true, u"Writer", 600000},
      {{}, false, u"", 0},
      {{u"vexrelay.exe"}, false, u"", 0},
      {{u"vexrelay.exe", u"0", u"Writer"}, false, u"", 0},
      {{u"vexrelay.exe", u"1", u"Writer", pipe}, false, u"", 0},
      {{u"vexrelay.exe", u"0", u"Writer", u"C:\\out.bin"}, false, u"", 0},
      {{u"vexrelay.exe", u"0", u"Writer", pipe, u"--wait", u"5"}, false, u"", 0},
      {{u"vexrelay.exe", u"0", u"Writer", pipe, u"--wait-ms", u"600001"}, false, u"", 0},
      {{u"vexrelay.exe", u"0", u"Writer", pipe, u"--wait-ms", u"-5"}, false, u"", 0},
      {{u"vexrelay.exe", u"0", u"Writer", pipe, u"--wait-ms", u""}, false, u"", 0},
      {{u"vexrelay.exe", u"0", u"Writer", pipe, u"--wait-ms"}, false, u"", 0},
      {{u"vexrelay.exe", u"0", u"Writer", pipe, u"extra", u"a", u"b"}, false, u"", 0},
      {{u"0", u"Writer", u"\\\\.\\pipe\\" + std::u16string(1100, u'p')}, false, u"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.argv.size() << " arguments");
    const vex::RelayArguments parsed = vex::parseRelayArguments(c.argv);
    EXPECT_EQ(parsed.ok, c.ok);
    if (c.ok) {
      EXPECT_EQ(parsed.applicationName, c.name);
      EXPECT_EQ(parsed.pipeName, pipe);
      EXPECT_EQ(parsed.waitMs, c.waitMs);
    } else {
      EXPECT_FALSE(parsed.error.empty());
    }
  }
}

TEST(RelayLines, MessageIsAtMostSixtyUnitsAndTheZero) {
  const std::u16string sixty(60, u'n');
  const struct {
    std::u16string name, expected;
  } cases[] = {
      {u"", u""},
      {u"Writer", u"Writer"},
      {sixty, sixty},
      {sixty + u"X", sixty},
      {std::u16string(59, u'n') + u"\U0001F5A8tail", std::u16string(59, u'n')},
      {std::u16string(58, u'n') + u"\U0001F5A8tail", std::u16string(58, u'n') + u"\U0001F5A8"},
      {std::u16string(u"ab\0cd", 5), u"ab"},
      {u"\u6587\u5B57", u"\u6587\u5B57"},
  };
  for (const auto& c : cases) {
    const std::u16string message = vex::relayMessage(c.name);
    EXPECT_EQ(message, c.expected + u'\0');
    EXPECT_LE(message.size() * 2, 122u);
  }
}

}  // namespace
