#include <gtest/gtest.h>

#include <string>

#include "job_file.h"
#include "secure_stream.h"

namespace {

using jobinspect::JobFile;

const std::string kExit = "\x1b%-12345X";
const std::string kHeader =
    kExit + "@PJL JOB NAME=\"J\"\r\n@PJL VEXAUXJOBINFO DATA=\"KeepingTime=02:00\"\r\n";

std::string frame(const std::string& where, const std::string& payload) {
  return "@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:" + where +
         "\" SIZE=" + std::to_string(payload.size()) + "\n" + payload + kExit;
}

std::string secureFile(const jobinspect::EncryptedJob& e, const std::string& prefix = kHeader) {
  std::string s = prefix + frame("write_start", e.start);
  for (const auto& d : e.data) s += frame("write", d);
  return s + frame("write_end", e.end) + "@PJL EOJ NAME = \"END\"\n" + kExit;
}

struct Decrypted {
  bool parsed = false, ok = false;
  std::string plain, error;
};

Decrypted decrypt(const std::string& file, const std::string& secret) {
  Decrypted d;
  JobFile job;
  d.parsed = jobinspect::parseJobFile(file, job, d.error);
  if (d.parsed) d.ok = jobinspect::decryptStream(job, secret, d.plain, d.error);
  return d;
}

TEST(JobInspect, DecryptsWhatTheFormatDescribes) {
  const std::string big(200000, 'B');  // several records in one frame
  const auto e = jobinspect::encryptForTest("4321", 1, {"%!PS\n", "", big, "@PJL EOJ"}, 1000);
  const Decrypted d = decrypt(secureFile(e), "4321");
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(d.plain, "%!PS\n" + big + "@PJL EOJ");
  JobFile job;
  std::string error;
  ASSERT_TRUE(jobinspect::parseJobFile(secureFile(e), job, error));
  EXPECT_EQ(job.pjlLines,
            (std::vector<std::string>{"@PJL JOB NAME=\"J\"",
                                      "@PJL VEXAUXJOBINFO DATA=\"KeepingTime=02:00\""}));
  EXPECT_EQ(job.frames.size(), 5u);
}

TEST(JobInspect, RejectsAlteredStreams) {
  const auto e = jobinspect::encryptForTest("4321", 1, {"one", "two", "three"}, 1000);
  const std::string good = secureFile(e);
  auto swapped = e;
  std::swap(swapped.data[0], swapped.data[1]);
  auto dropped = e;
  dropped.data.pop_back();
  auto flipped = e;
  flipped.data[1][5] ^= 1;
  auto otherEnd = e;
  otherEnd.end = jobinspect::encryptForTest("4321", 1, {"x"}, 1000).end;
  const struct {
    const char* name;
    std::string file;
    std::string secret;
    const char* message;
  } cases[] = {
      {"wrong password", good, "4322", "bad tag"},
      {"reordered frames", secureFile(swapped), "4321", "bad tag"},
      {"dropped frame", secureFile(dropped), "4321", "bad tag"},
      {"changed byte", secureFile(flipped), "4321", "bad tag"},
      {"end record of another stream", secureFile(otherEnd), "4321", "bad tag"},
      {"cut in a payload", good.substr(0, good.size() - 60), "4321", "truncated stream"},
      {"end frame missing",
       good.substr(0, good.find("@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:write_end")),
       "4321", "truncated stream"},
      {"no closing line", good.substr(0, good.size() - 31), "4321", "end frame not followed"},
      {"bytes after the end", good + "x", "4321", "after the end"},
  };
  for (const auto& c : cases) {
    const Decrypted d = decrypt(c.file, c.secret);
    EXPECT_FALSE(d.ok) << c.name;
    EXPECT_NE(d.error.find(c.message), std::string::npos) << c.name << ": " << d.error;
  }
}

TEST(JobInspect, FrameSyntax) {
  const std::string head = "@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:";
  const struct {
    const char* name;
    std::string file;
    const char* message;
  } cases[] = {
      {"size beyond the file", head + "write_start\" SIZE=99\nabc", "truncated stream"},
      {"negative size", head + "write_start\" SIZE=-1\n", "bad SIZE"},
      {"plus sign", head + "write_start\" SIZE=+1\nx" + kExit, "bad SIZE"},
      {"huge size", head + "write_start\" SIZE=99999999999\n", "bad SIZE"},
      {"no size", head + "write_start\"\n", "without a SIZE"},
      {"unknown location", head + "read\" SIZE=0\n" + kExit, "unknown frame location"},
      {"no exit sequence", head + "write_start\" SIZE=1\nxy", "not closed"},
      {"data before start", frame("write", "x"), "out of order"},
      {"two starts", frame("write_start", "x") + frame("write_start", "x"), "out of order"},
      {"no line end", head + "write_start\" SIZE=1", "without its line end"},
      {"text between frames", frame("write_start", "x") + "junk", "unexpected bytes"},
  };
  for (const auto& c : cases) {
    JobFile job;
    std::string error;
    EXPECT_FALSE(jobinspect::parseJobFile(c.file, job, error)) << c.name;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
  }
}

TEST(JobInspect, PlainJobPayload) {
  const std::string ps = "%!PS-Adobe-3.0\n/x 1 def\nshowpage\n";
  const std::string file = kExit + "@PJL JOB NAME=\"d\"\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\n" + ps +
                           kExit + "@PJL EOJ\r\n";
  JobFile job;
  std::string error;
  ASSERT_TRUE(jobinspect::parseJobFile(file, job, error)) << error;
  EXPECT_FALSE(job.secure);
  EXPECT_EQ(job.payload, ps);
  EXPECT_EQ(job.pjlLines.back(), "@PJL EOJ");
}

TEST(JobInspect, StreamHeaderChecks) {
  std::string error;
  jobinspect::StreamHeader h;
  auto e = jobinspect::encryptForTest("k", 2, {}, 1000);
  EXPECT_TRUE(jobinspect::parseStreamHeader(e.start, h, error)) << error;
  EXPECT_EQ(h.keySource, 2);
  std::string bad = e.start;
  bad[4] = 2;
  EXPECT_FALSE(jobinspect::parseStreamHeader(bad, h, error));
  bad = e.start;
  bad[8] = 0x7F;  // two billion iterations: refused rather than run
  EXPECT_FALSE(jobinspect::parseStreamHeader(bad, h, error));
  EXPECT_FALSE(jobinspect::parseStreamHeader(e.start.substr(1), h, error));
}

// Random bytes and random cuts of a valid job: never a crash, never a false success.
TEST(JobInspect, HostileFiles) {
  const auto e = jobinspect::encryptForTest("pw", 1, {"abc", "defgh"}, 10);
  const std::string good = secureFile(e);
  std::uint32_t seed = 1;
  for (int i = 0; i < 1500; ++i) {
    std::string f = good;
    const int edits = 1 + i % 3;
    for (int k = 0; k < edits; ++k) {
      seed = seed * 1103515245 + 12345;
      f[(seed >> 8) % f.size()] = static_cast<char>(seed >> 24);
    }
    if (i % 5 == 0) f.resize((seed >> 4) % f.size());
    const Decrypted d = decrypt(f, "pw");
    if (d.ok) {
      EXPECT_EQ(d.plain, "abcdefgh");
    }
  }
}

}  // namespace
