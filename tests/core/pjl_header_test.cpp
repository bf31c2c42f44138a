#include "pjl_header.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string joined(const vex::JobHeaderInputs& inputs) {
  std::string all;
  for (const vex::HeaderWrite& w : vex::jobHeaderWrites(inputs)) all += w.bytes;
  return all;
}

vex::JobHeaderInputs inputsFor(const char* jobType) {
  vex::JobHeaderInputs in;
  in.jobType = jobType;
  in.documentName = "Quarterly report.docx";
  in.jobName = "Budget";
  in.password = "1234";
  return in;
}

const std::string kExit = "\x1b%-12345X";
const std::string kEnter = "@PJL ENTER LANGUAGE=POSTSCRIPT\n";

TEST(PjlHeader, JobLinesByJobType) {
  const struct {
    const char* jobType;
    bool hddSpool;
    std::string lines;
  } cases[] = {
      {"Normal", false, "@PJL JOB NAME=\"Quarterly report.docx\"\r\n"},
      {"Normal", true, "@PJL VEXSPOOL MODE=ALL\r\n@PJL JOB NAME=\"Quarterly report.docx\"\r\n"},
      {"Secure", true, "@PJL VEXSECURE PASSWORD=1234\r\n@PJL JOB NAME=\"Budget\"\r\n"},
      {"Spool", false, "@PJL VEXSECURE PASSWORD=1234 PERMANENT=ON\r\n@PJL JOB NAME=\"Budget\"\r\n"},
      {"Secure_Chip", true, "@PJL JOB NAME=\"Quarterly report.docx\"\r\n"},
      {"Booklet", true, "@PJL JOB NAME=\"Quarterly report.docx\"\r\n"},
      {"", false, "@PJL JOB NAME=\"Quarterly report.docx\"\r\n"},
  };
  for (const auto& c : cases) {
    vex::JobHeaderInputs in = inputsFor(c.jobType);
    in.hddSpool = c.hddSpool;
    EXPECT_EQ(joined(in), kExit + c.lines + kEnter) << c.jobType << " spool " << c.hddSpool;
  }
}

TEST(PjlHeader, SecureJobIsExactlyFourPieces) {
  const auto writes = vex::jobHeaderWrites(inputsFor("Secure"));
  ASSERT_EQ(writes.size(), 3u);  // the password and job-name lines go out in one write
  EXPECT_EQ(writes[0].bytes, kExit);
  EXPECT_EQ(writes[1].bytes, "@PJL VEXSECURE PASSWORD=1234\r\n@PJL JOB NAME=\"Budget\"\r\n");
  EXPECT_EQ(writes[2].bytes, kEnter);
}

TEST(PjlHeader, CardCommentsBlockAndCompressionInOrder) {
  vex::JobHeaderInputs in = inputsFor("Secure_Chip");
  in.icCardComments = true;
  in.driverName = "VEX Demo Color PS";
  in.driverVersion = "1.4.7.0";
  in.jobInfoBlock = "@PJL VEXAUXJOBINFO DATA=\"UserName=amy\"\r\n";
  in.compression = 2;
  const auto writes = vex::jobHeaderWrites(in);
  std::string all;
  for (const auto& w : writes) {
    all += w.bytes;
    EXPECT_EQ(w.counts, w.bytes != in.jobInfoBlock);
  }
  EXPECT_EQ(all, kExit + "@PJL JOB NAME=\"Quarterly report.docx\"\r\n" +
                     "@PJL COMMENT Device Name :VEX Demo Color PS\r\n" +
                     "@PJL COMMENT Version     :1.4.7.0\r\n" + in.jobInfoBlock +
                     "@PJL COMMENT COMPRESSION:FLATE LEVEL:6\r\n" + kEnter);
}

TEST(PjlHeader, CompressionLevels) {
  const int expected[] = {0, 1, 6, 9, 0, 0};
  for (std::uint16_t c = 0; c < 6; ++c) {
    vex::JobHeaderInputs in = inputsFor("Normal");
    in.compression = c;
    const std::string header = joined(in);
    EXPECT_EQ(vex::compressionLevel(c), expected[c]);
    const bool announced = header.find("COMPRESSION:FLATE LEVEL:") != std::string::npos;
    EXPECT_EQ(announced, expected[c] != 0) << c;
    if (announced) {
      EXPECT_NE(header.find("LEVEL:" + std::to_string(expected[c]) + "\r\n" + kEnter),
                std::string::npos);
    }
  }
}

TEST(PjlHeader, EveryLineEndsInCrLfButTheLast) {
  vex::JobHeaderInputs in = inputsFor("Spool");
  in.icCardComments = true;
  in.compression = 3;
  std::string all = joined(in).substr(kExit.size());
  ASSERT_EQ(all.back(), '\n');
  ASSERT_NE(all[all.size() - 2], '\r');
  all.resize(all.size() - kEnter.size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] == '\n') {
      EXPECT_EQ(all[i - 1], '\r') << i;
    }
  }
}

TEST(PjlHeader, DriverVersionFromTheValue) {
  const struct {
    const char16_t* value;
    const char* version;
  } cases[] = {
      {u"12/08/2026,1.4.7.0", "1.4.7.0"},
      {u"1.4.7.0", ""},
      {u"", ""},
      {u"12/08/2026,", ""},
      {u"a,b,2.0", "2.0"},
      {u"12/08/2026,1.4\"tail", "1.4"},
      {u"x,\"1.0\"", "\"1.0"},  // the character after the comma is always taken
      {u"0123456789012345678901234567890123,9.9", ""},  // comma beyond the first 32 characters
      {u"0123456789012345678901234567890,123456789012345678901234567890123456789",
       "12345678901234567890123456789012"},  // at most 32 characters
      // The version file is a data file of the driver: its control bytes never reach the job.
      {u"12/08/2026,1.4\r\n@PJL EOJ\x1b\x7f", "1.4@PJL EOJ"},
      {u"12/08/2026,\t2.0\x01", "2.0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::driverVersionFromValue(c.value), c.version);
  }
}

TEST(PjlHeader, RecordTextIsKeptToWhatAUserCanType) {
  const struct {
    const char16_t* name;
    const char* headerName;
    const char16_t* password;
    const char* headerPassword;
  } cases[] = {
      {u"Budget 2026", "Budget 2026", u"1234", "1234"},
      {u"a\"\r\n@PJL EOJ", "a@PJL EOJ", u"12\r\n", "12"},
      {u"\u4f5c\u4e1aX", "X", u"12a4", "124"},
      {u"ABCDEFGHIJKLMNOPQRS", "ABCDEFGHIJKLMNOP", u"123456", "1234"},
      {u"", "", u"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::jobNameForHeader(c.name), c.headerName);
    EXPECT_EQ(vex::passwordForHeader(c.password), c.headerPassword);
  }
}

}  // namespace
