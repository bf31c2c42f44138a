#include <gtest/gtest.h>

#include <string>

#include "header_filter.h"
#include "line_marker.h"

namespace {

using vex::EndOfJobDetector;
using vex::HeaderFilter;
using vex::LineMarker;

const std::uint8_t* u8(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

TEST(LineMarker, ShiftTableAndSearch) {
  const LineMarker m("abcab");
  EXPECT_EQ(m.shift('a'), 1u);  // last 'a' before the end, position 3
  EXPECT_EQ(m.shift('b'), 3u);  // position 1 (the final byte does not count)
  EXPECT_EQ(m.shift('c'), 2u);
  EXPECT_EQ(m.shift('z'), 5u);
  const struct {
    const char* pattern;
    std::string text;
    std::ptrdiff_t expected;
  } cases[] = {
      {"abcab", "xxabcabyy", 2}, {"abcab", "abcaabcab", 4},
      {"abcab", "abca", -1},     {"abcab", "", -1},
      {"", "anything", -1},      {"x", "abcx", 3},
      {"x", "abc", -1},          {"@PJL EOJ", std::string("\0\0@PJL EOJ", 10), 2},
      {"%%%%EOF", "%%EOF", -1},  {"%%%%EOF", "x%%%%EOF", 1},
      {"aaa", "aaaa", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LineMarker(c.pattern).find(c.text), c.expected) << c.pattern << " in " << c.text;
  }
}

// Every offset and every overlapping candidate: the Horspool search agrees with a plain search.
TEST(LineMarker, AgreesWithPlainSearch) {
  const std::string alphabet = "ab@PJ";
  std::uint32_t seed = 7;
  for (int round = 0; round < 2000; ++round) {
    std::string text, pattern;
    const int n = round % 40, m = 1 + round % 5;
    for (int i = 0; i < n; ++i) text += alphabet[(seed = seed * 1103515245 + 12345) >> 16 & 3];
    for (int i = 0; i < m; ++i) pattern += alphabet[(seed = seed * 1103515245 + 12345) >> 16 & 3];
    const auto expected = text.find(pattern);
    EXPECT_EQ(LineMarker(pattern).find(text),
              expected == std::string::npos ? -1 : static_cast<std::ptrdiff_t>(expected))
        << pattern << " in " << text;
  }
}

const std::string kExit = "\x1b%-12345X";
const std::string kJob = "@PJL JOB NAME=\"Budget\"\r\n";
const std::string kComputer = "@PJL VEXAUXJOBINFO DATA=\"ComputerName=HOST1\"\r\n";
const std::string kUser = "@PJL VEXAUXJOBINFO DATA=\"UserName=alice\"\r\n";
const std::string kReception = "@PJL VEXAUXJOBINFO DATA=\"ReceptionTime=2026/12/09 00:10:00\"\r\n";
const std::string kEnter = "@PJL ENTER LANGUAGE=POSTSCRIPT\n";
const std::string kKeep = "@PJL VEXAUXJOBINFO DATA=\"KeepingTime=02:00\"\r\n";

TEST(HeaderFilter, StatesAndComposedHeader) {
  const std::string info = kComputer + kUser + kReception;
  const std::string device = "@PJL COMMENT Device Name :VEX Card PS\r\n";
  const std::string version = "@PJL COMMENT Version     :1.00\r\n";
  const struct {
    const char* name;
    std::vector<std::string> chunks;
    bool card;
    int state;
    std::string header;  // composed in state 4
  } cases[] = {
      {"three lines in the first chunk",
       {kExit + kJob + info + kEnter},
       false,
       4,
       kExit + kJob + info + kKeep},
      {"complete before the language switch",
       {kExit + kJob + info},
       false,
       4,
       kExit + kJob + info + kKeep},
      {"no job-information lines", {kExit + kJob + kEnter + "%!PS-Adobe-3.0\n"}, false, 8, ""},
      {"PostScript start", {kExit + "%%!PS-Adobe-3.0\n"}, false, 8, ""},
      {"lines spread over chunks",
       {kExit + kJob, kComputer, kUser, kReception},
       false,
       4,
       kExit + kJob + info + kKeep},
      {"no job-name line", {kExit + info}, false, 4, kExit + "@PJL JOB\r\n" + info + kKeep},
      {"card printer without device lines",
       {kExit + kJob + info},
       true,
       4,
       kExit + kJob + "\r\n\r\n" + info + kKeep},
      {"card printer with device lines",
       {kExit + kJob + device + version + info},
       true,
       4,
       kExit + kJob + device + version + info + kKeep},
      {"device lines ignored off card",
       {kExit + kJob + device + info},
       false,
       4,
       kExit + kJob + info + kKeep},
      {"40000 bytes without markers", {std::string(40000, 'x')}, false, 8, ""},
      {"32767 bytes keep collecting", {std::string(0x7FFF, 'x')}, false, 1, ""},
      {"32768 bytes give up", {std::string(0x7FFF, 'x'), "y"}, false, 8, ""},
      // The document's lines are never the header's, however they begin.
      {"job information only in the document",
       {kExit + kJob + kEnter + "%!PS-Adobe-3.0\n" + info},
       false,
       8,
       ""},
      {"user line in the document",
       {kExit + kJob + kComputer + kReception + kEnter, kUser + "%!PS-Adobe-3.0\n"},
       false,
       8,
       ""},
      {"card lines in the document",
       {kExit + kJob + info + kEnter + device + version},
       true,
       4,
       kExit + kJob + "\r\n\r\n" + info + kKeep},
      {"job name in the document",
       {kExit + info + kEnter + kJob},
       false,
       4,
       kExit + "@PJL JOB\r\n" + info + kKeep},
      {"unterminated line captured empty",
       {kExit + kJob + kComputer + kUser + "@PJL VEXAUXJOBINFO DATA=\"ReceptionTime=12"},
       false,
       4,
       kExit + kJob + kComputer + kUser + "\r\n" + kKeep},
  };
  for (const auto& c : cases) {
    HeaderFilter filter(0x00020000, c.card);
    int state = 0;
    std::string all;
    for (const auto& chunk : c.chunks) {
      state = filter.feed(u8(chunk), chunk.size());
      all += chunk;
    }
    EXPECT_EQ(state, c.state) << c.name;
    EXPECT_EQ(std::string(filter.data().begin(), filter.data().end()), all) << c.name;
    const auto header = filter.compose();
    if (c.state == 4) {
      ASSERT_TRUE(header.has_value()) << c.name;
      EXPECT_EQ(*header, c.header) << c.name;
    } else {
      EXPECT_FALSE(header.has_value()) << c.name;
    }
  }
}

TEST(HeaderFilter, KeepingTimeAndLongLines) {
  HeaderFilter filter((23u << 16) | 5u, false);
  const std::string longName = "@PJL VEXAUXJOBINFO DATA=\"ComputerName=" + std::string(300, 'h');
  const std::string job = longName + "\r\n" + kUser + kReception;
  EXPECT_EQ(filter.feed(u8(job), job.size()), 4);
  const std::string header = *filter.compose();
  // A line that does not end within 255 bytes is left empty rather than cut.
  EXPECT_EQ(header, kExit + "@PJL JOB\r\n\r\n" + kUser + kReception +
                        "@PJL VEXAUXJOBINFO DATA=\"KeepingTime=23:05\"\r\n");
}

TEST(EndOfJobDetector, FindsTheTrailerAcrossChunks) {
  const std::string trailer = "\x1b%-12345X@PJL EOJ\r\n";
  const struct {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<bool> expected;
  } cases[] = {
      {"trailer in one chunk", {"%!PS\nshowpage\n", trailer}, {false, true}},
      {"trailer split across chunks", {"data\x1b%-12345X@PJL E", "OJ\r\n"}, {false, true}},
      {"trailer split after a long chunk",
       {std::string(1000, 'p') + "\x1b%-12345X@PJL", " EOJ\r\n"},
       {false, true}},
      // Only the plug-in's own trailer ends a job, never text that merely resembles it.
      {"EOJ without the exit sequence", {"(Minutes @PJL EOJ draft)\r\n"}, {false}},
      {"four percent signs", {"x%%%%EOF\n"}, {false}},
      {"EOJ with a name", {"\x1b%-12345X@PJL EOJ NAME=\"x\"\r\n"}, {false}},
      {"short chunks",
       {"\x1b", "%-12345X", "@", "P", "J", "L", " ", "E", "O", "J", "\r", "\n"},
       {false, false, false, false, false, false, false, false, false, false, false, true}},
      {"empty chunk", {"", "abc"}, {false, false}},
      {"trailer deep in a long chunk",
       {std::string(5000, 'q') + trailer + std::string(900, 'q')},
       {true}},
      // The window's unused start is not part of the stream.
      {"zero bytes are not taken for stream bytes", {std::string("\0", 1)}, {false}},
  };
  for (const auto& c : cases) {
    EndOfJobDetector detector;
    for (std::size_t i = 0; i < c.chunks.size(); ++i) {
      // Each chunk in its own allocation of its exact size, so the sanitizers see any overread.
      std::vector<std::uint8_t> chunk(c.chunks[i].begin(), c.chunks[i].end());
      EXPECT_EQ(detector.check(chunk.data(), chunk.size()), c.expected[i]) << c.name << " " << i;
    }
  }
}

}  // namespace
