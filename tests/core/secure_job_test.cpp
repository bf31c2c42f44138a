#include "secure_job.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using vex::SecureOutputPath;

// A library that "encrypts" by flipping a bit of every byte: enough to see what reached it and
// in which order, while the plaintext itself never shows in the output.
std::string seal(const std::string& plain) {
  std::string out = "<" + plain + ">";
  for (std::size_t i = 1; i + 1 < out.size(); ++i) out[i] = static_cast<char>(out[i] ^ 0x20);
  return out;
}

struct FakeLibrary {
  bool loads = true;
  bool context = true;
  bool hasEx2 = true;
  int initResult = 0, updateResult = 0, endResult = 0;
  std::string startOut = "S", endOut = "E";
  bool emptyUpdateOutput = false;
  bool nullWithLength = false;
  bool hugeOutput = false;
  int decryptResult = 1;
  std::string decrypted = "4321";
  std::string typed = "9999";
  // What happened, in order.
  std::vector<std::string> calls;
  std::string plaintext;
  std::string secretSeen;
  std::uint32_t settingA = 0, settingB = 0, secretLength = 0, variant = 0;
  int opened = 0;
  int deleted = 0;
};

class FakeEncryptor : public vex::JobEncryptor {
 public:
  explicit FakeEncryptor(FakeLibrary& lib) : lib_(lib) { ++lib_.opened; }
  ~FakeEncryptor() override { ++lib_.deleted; }
  bool hasContext() const override { return lib_.context; }
  bool hasInitEx2() const override { return lib_.hasEx2; }
  int init(const std::uint8_t* p, const std::uint8_t** out, std::uint32_t* len) override {
    lib_.calls.push_back("init");
    see(p, std::strlen(reinterpret_cast<const char*>(p + 8)));
    return give(lib_.startOut, out, len, lib_.initResult);
  }
  int initEx(const std::uint8_t* p, std::uint32_t n, const std::uint8_t** out,
             std::uint32_t* len) override {
    lib_.calls.push_back("initEx");
    see(p, n);
    return give(lib_.startOut, out, len, lib_.initResult);
  }
  int initEx2(std::uint32_t v, const std::uint8_t* p, std::uint32_t n, const std::uint8_t** out,
              std::uint32_t* len) override {
    lib_.calls.push_back("initEx2");
    lib_.variant = v;
    see(p, n);
    return give(lib_.startOut, out, len, lib_.initResult);
  }
  int update(const std::uint8_t* d, std::uint32_t n, const std::uint8_t** out,
             std::uint32_t* len) override {
    lib_.calls.push_back("update");
    lib_.plaintext.append(reinterpret_cast<const char*>(d), n);
    buffer_ = lib_.emptyUpdateOutput ? "" : seal(std::string(reinterpret_cast<const char*>(d), n));
    return give(buffer_, out, len, lib_.updateResult);
  }
  int end(const std::uint8_t** out, std::uint32_t* len) override {
    lib_.calls.push_back("end");
    return give(lib_.endOut, out, len, lib_.endResult);
  }
  int decryptPassword(const std::uint8_t*, std::uint32_t, char* out, std::uint32_t* cap) override {
    lib_.calls.push_back("decrypt");
    EXPECT_EQ(*cap, 33u);
    if (lib_.decryptResult == 0) return 0;
    std::strcpy(out, lib_.decrypted.c_str());
    *cap = static_cast<std::uint32_t>(lib_.decrypted.size());
    return 1;
  }
  void askPassword(char* secret) override {
    lib_.calls.push_back("ask");
    std::strcpy(secret, lib_.typed.c_str());
  }

 private:
  void see(const std::uint8_t* p, std::size_t n) {
    std::memcpy(&lib_.settingA, p, 4);
    std::memcpy(&lib_.settingB, p + 4, 4);
    lib_.secretSeen.assign(reinterpret_cast<const char*>(p + 8), n);
    lib_.secretLength = static_cast<std::uint32_t>(n);
  }
  int give(const std::string& s, const std::uint8_t** out, std::uint32_t* len, int result) {
    *out = lib_.nullWithLength ? nullptr : reinterpret_cast<const std::uint8_t*>(s.data());
    *len = lib_.hugeOutput ? 0x7FFFFFF0u : static_cast<std::uint32_t>(s.size());
    return result;
  }
  FakeLibrary& lib_;
  std::string buffer_;
};

struct FakeHost : vex::SecureJobHost {
  FakeLibrary lib;
  bool card = false;
  bool cardOk = true;
  std::string cardData = "CARD-0001";
  std::uint32_t cardSizeOverride = 0;
  vex::SecureJobSettings record;
  bool cryptoFlagSet = false;
  int failWriteNumber = -1;  // the n-th write fails
  int writes = 0;
  std::string spooled;

  bool write(const std::uint8_t* b, std::size_t n) override {
    if (writes++ == failWriteNumber) return false;
    spooled.append(reinterpret_cast<const char*>(b), n);
    return true;
  }
  bool isIcCardPrinter() override { return card; }
  bool readCard(std::uint8_t* buffer, std::uint32_t* size) override {
    EXPECT_EQ(*size, 33u);
    if (!cardOk) return false;
    std::memcpy(buffer, cardData.data(), std::min<std::size_t>(cardData.size(), 33));
    *size = cardSizeOverride ? cardSizeOverride : static_cast<std::uint32_t>(cardData.size());
    return true;
  }
  std::unique_ptr<vex::JobEncryptor> openEncryptor() override {
    if (!lib.loads) return nullptr;
    return std::make_unique<FakeEncryptor>(lib);
  }
  vex::SecureJobSettings settings() override { return record; }
  void setCryptoFlag() override { cryptoFlagSet = true; }
  bool userCanAnswer() override { return answerable; }
  bool answerable = true;  // a user can answer the password window
};

const std::string kExit = "\x1b%-12345X";
const std::string kInfo =
    "@PJL VEXAUXJOBINFO DATA=\"ComputerName=PC\"\r\n@PJL VEXAUXJOBINFO DATA=\"UserName=u\"\r\n"
    "@PJL VEXAUXJOBINFO DATA=\"ReceptionTime=t\"\r\n";
const std::string kHeader = kExit + "@PJL JOB NAME=\"J\"\r\n" + kInfo;
const std::string kBody = "@PJL ENTER LANGUAGE=POSTSCRIPT\n%!PS-Adobe-3.0\nshowpage\n";
const std::string kTrailer = "\x1b%-12345X@PJL EOJ\r\n";
const std::string kCleartext =
    kExit + "@PJL JOB NAME=\"J\"\r\n" + kInfo + "@PJL VEXAUXJOBINFO DATA=\"KeepingTime=02:00\"\r\n";

std::string frame(const char* where, const std::string& payload) {
  return "@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:" + std::string(where) +
         "\" SIZE=" + std::to_string(payload.size()) + "\n" + payload + kExit;
}
const std::string kEnd = frame("write_end", "E") + "@PJL EOJ NAME = \"END\"\n" + kExit;

bool send(SecureOutputPath& path, FakeHost& host, const std::string& chunk,
          std::size_t* reported = nullptr) {
  return path.write(host, reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size(),
                    reported);
}

FakeHost passwordHost() {
  FakeHost host;
  host.record.settingA = 2;
  host.record.settingB = 3;
  host.record.keepingTime = 0x00020000;
  host.record.encryptedPassword = {1, 2, 3};
  return host;
}

TEST(SecureOutput, PasswordJobWithStoredPassword) {
  FakeHost host = passwordHost();
  SecureOutputPath path;
  std::size_t reported = 99;
  ASSERT_TRUE(send(path, host, kHeader, &reported));
  EXPECT_EQ(reported, kCleartext.size());
  ASSERT_TRUE(send(path, host, kBody, &reported));
  EXPECT_EQ(reported, 0u);
  path.expectTrailer();
  ASSERT_TRUE(send(path, host, kTrailer));
  EXPECT_EQ(host.spooled, kCleartext + frame("write_start", "S") + frame("write", seal(kHeader)) +
                              frame("write", seal(kBody)) + frame("write", seal(kTrailer)) + kEnd);
  EXPECT_EQ(host.lib.plaintext, kHeader + kBody + kTrailer);
  EXPECT_EQ((std::vector<std::string>{"decrypt", "init", "update", "update", "update", "end"}),
            host.lib.calls);
  EXPECT_EQ(host.lib.secretSeen, "4321");
  EXPECT_EQ(host.lib.settingA, 2u);
  EXPECT_EQ(host.lib.settingB, 3u);
  EXPECT_FALSE(host.cryptoFlagSet);
  EXPECT_EQ(host.lib.deleted, 1);
  EXPECT_FALSE(path.encrypting());
}

TEST(SecureOutput, HeaderWithoutJobInformationIsCollectedThenEncrypted) {
  FakeHost host = passwordHost();
  SecureOutputPath path;
  std::size_t reported = 99;
  const std::string start = kExit + "@PJL JOB NAME=\"J\"\r\n";
  ASSERT_TRUE(send(path, host, start, &reported));
  EXPECT_TRUE(path.collecting());
  EXPECT_EQ(host.spooled, "");  // nothing leaves while collecting
  path.expectTrailer();
  ASSERT_TRUE(send(path, host, kBody + kTrailer, &reported));
  EXPECT_EQ(reported, 0u);
  EXPECT_EQ(host.spooled,
            frame("write_start", "S") + frame("write", seal(start + kBody + kTrailer)) + kEnd);
}

TEST(SecureOutput, PasswordSources) {
  const struct {
    const char* name;
    std::vector<std::uint8_t> stored;
    int decryptResult;
    std::uint32_t cryptoFlag;
    std::vector<std::string> calls;
    const char* secret;
    bool flagSet;
  } cases[] = {
      {"stored", {1}, 1, 0, {"decrypt", "init"}, "4321", false},
      {"none stored: asked first", {}, 1, 0, {"ask", "init"}, "9999", true},
      {"undecryptable: asked", {1}, 0, 0, {"decrypt", "ask", "init"}, "9999", true},
      {"ask-at-print flag", {1}, 1, 1, {"decrypt", "ask", "init"}, "9999", false},
  };
  for (const auto& c : cases) {
    FakeHost host = passwordHost();
    host.record.encryptedPassword = c.stored;
    host.record.cryptoFlag = c.cryptoFlag;
    host.lib.decryptResult = c.decryptResult;
    SecureOutputPath path;
    ASSERT_TRUE(send(path, host, kHeader)) << c.name;
    host.lib.calls.resize(c.calls.size());
    EXPECT_EQ(host.lib.calls, c.calls) << c.name;
    EXPECT_EQ(host.lib.secretSeen, c.secret) << c.name;
    EXPECT_EQ(host.cryptoFlagSet, c.flagSet) << c.name;
  }
}

// Where no user can answer a window of the process, the password is never asked for: the job
// fails (the plug-in cancels it) instead of waiting for a window nobody sees. A stored password
// needs nobody.
TEST(SecureOutput, NobodyToAskForThePassword) {
  const struct {
    const char* name;
    std::vector<std::uint8_t> stored;
    int decryptResult;
    std::uint32_t cryptoFlag;
    bool sent;
    std::vector<std::string> calls;
  } cases[] = {
      {"stored", {1}, 1, 0, true, {"decrypt", "init"}},
      {"none stored", {}, 1, 0, false, {}},
      {"undecryptable", {1}, 0, 0, false, {"decrypt"}},
      {"ask-at-print flag", {1}, 1, 1, false, {"decrypt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost host = passwordHost();
    host.answerable = false;
    host.record.encryptedPassword = c.stored;
    host.record.cryptoFlag = c.cryptoFlag;
    host.lib.decryptResult = c.decryptResult;
    SecureOutputPath path;
    EXPECT_EQ(send(path, host, kHeader), c.sent);
    if (c.sent) host.lib.calls.resize(c.calls.size());  // the session goes on after init
    EXPECT_EQ(host.lib.calls, c.calls);
    EXPECT_EQ(host.spooled.find("write_start") != std::string::npos, c.sent);
    EXPECT_EQ(path.encrypting(), c.sent);
  }
}

TEST(SecureOutput, IcCardJob) {
  for (bool ex2 : {true, false}) {
    FakeHost host = passwordHost();
    host.card = true;
    host.lib.hasEx2 = ex2;
    SecureOutputPath path;
    path.expectTrailer();
    std::size_t reported = 0;
    ASSERT_TRUE(send(path, host, kHeader + kBody + kTrailer, &reported));
    const std::string cleartext = kExit + "@PJL JOB NAME=\"J\"\r\n\r\n\r\n" + kInfo +
                                  "@PJL VEXAUXJOBINFO DATA=\"KeepingTime=02:00\"\r\n";
    EXPECT_EQ(reported, cleartext.size() + 24);
    EXPECT_EQ(host.spooled, cleartext + "@PJL COMMENT ICCARDJOB\r\n" + frame("write_start", "S") +
                                frame("write", seal(kHeader + kBody + kTrailer)) + kEnd);
    EXPECT_EQ(host.lib.calls.front(), ex2 ? "initEx2" : "initEx");
    if (ex2) {
      EXPECT_EQ(host.lib.variant, 2u);
    }
    EXPECT_EQ(host.lib.secretSeen, "CARD-0001");
    EXPECT_EQ(host.lib.secretLength, 9u);
  }
}

TEST(SecureOutput, CardFailuresCloseThePrintersJob) {
  const struct {
    const char* name;
    bool ok;
    std::uint32_t size;
  } cases[] = {{"no card", false, 0}, {"longer than the buffer", true, 34}, {"empty", true, 0}};
  for (const auto& c : cases) {
    FakeHost host = passwordHost();
    host.card = true;
    host.cardOk = c.ok;
    host.cardData = c.size == 0 && c.ok ? "" : "CARD";
    host.cardSizeOverride = c.size;
    SecureOutputPath path;
    EXPECT_FALSE(send(path, host, kHeader + kBody)) << c.name;
    const std::string closing = kExit + "@PJL EOJ NAME = \"END\"\n" + kExit;
    ASSERT_GE(host.spooled.size(), closing.size()) << c.name;
    EXPECT_EQ(host.spooled.substr(host.spooled.size() - closing.size()), closing) << c.name;
    EXPECT_EQ(host.spooled.find("showpage"), std::string::npos) << c.name;
    EXPECT_EQ(host.lib.deleted, 1) << c.name;
    EXPECT_FALSE(path.encrypting() || path.collecting()) << c.name;
  }
}

TEST(SecureOutput, LibraryFailuresNeverLeakPlaintext) {
  const struct {
    const char* name;
    void (*setup)(FakeHost&);
  } cases[] = {
      {"library missing", [](FakeHost& h) { h.lib.loads = false; }},
      {"zero context", [](FakeHost& h) { h.lib.context = false; }},
      {"init fails", [](FakeHost& h) { h.lib.initResult = 1; }},
      {"update fails", [](FakeHost& h) { h.lib.updateResult = 5; }},
      {"end fails", [](FakeHost& h) { h.lib.endResult = -1; }},
      {"null output with a length", [](FakeHost& h) { h.lib.nullWithLength = true; }},
      {"huge output", [](FakeHost& h) { h.lib.hugeOutput = true; }},
      {"start frame write fails", [](FakeHost& h) { h.failWriteNumber = 1; }},
      {"cleartext header write fails", [](FakeHost& h) { h.failWriteNumber = 0; }},
  };
  for (const auto& c : cases) {
    FakeHost host = passwordHost();
    c.setup(host);
    SecureOutputPath path;
    path.expectTrailer();
    const std::string job = kHeader + kBody + "%%MARKER-TEXT%%" + kTrailer;
    EXPECT_FALSE(send(path, host, job)) << c.name;
    EXPECT_EQ(host.spooled.find("MARKER-TEXT"), std::string::npos) << c.name;
    EXPECT_FALSE(path.encrypting() || path.collecting()) << c.name;
    EXPECT_EQ(host.lib.deleted, host.lib.opened) << c.name;
  }
}

TEST(SecureOutput, EmptyChunksAndEmptyOutputs) {
  FakeHost host = passwordHost();
  host.lib.endOut = "";
  SecureOutputPath path;
  ASSERT_TRUE(send(path, host, kHeader));
  host.lib.emptyUpdateOutput = true;
  const std::size_t before = host.spooled.size();
  ASSERT_TRUE(send(path, host, ""));
  EXPECT_EQ(host.spooled.size(), before);  // no data frame for no output
  path.expectTrailer();
  ASSERT_TRUE(send(path, host, kTrailer));
  const std::string end =
      "@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:write_end\" SIZE=0\n" + kExit +
      "@PJL EOJ NAME = \"END\"\n" + kExit;
  EXPECT_EQ(host.spooled.substr(before), end);
}

TEST(SecureOutput, FailedJobThenFreshJob) {
  FakeHost host = passwordHost();
  SecureOutputPath path;
  ASSERT_TRUE(send(path, host, kHeader));
  host.lib.updateResult = 1;
  EXPECT_FALSE(send(path, host, kBody));
  host.lib.updateResult = 0;
  host.spooled.clear();
  host.lib.calls.clear();
  path.expectTrailer();
  ASSERT_TRUE(send(path, host, kHeader + kBody + kTrailer));
  EXPECT_EQ(host.spooled, kCleartext + frame("write_start", "S") +
                              frame("write", seal(kHeader + kBody + kTrailer)) + kEnd);
  EXPECT_EQ(host.lib.calls.front(), "decrypt");
  EXPECT_EQ(host.lib.deleted, 2);
}

TEST(SecureOutput, ResetStartsOver) {
  FakeHost host = passwordHost();
  SecureOutputPath path;
  ASSERT_TRUE(send(path, host, kHeader + kBody));  // job never ends
  EXPECT_TRUE(path.encrypting());
  path.reset();
  EXPECT_FALSE(path.encrypting());
  EXPECT_EQ(host.lib.deleted, 1);
  host.spooled.clear();
  ASSERT_TRUE(send(path, host, kHeader));
  EXPECT_EQ(host.spooled.substr(0, kCleartext.size()), kCleartext);
}

// The document's own text never ends the session: only the plug-in's trailer, once it is being
// written, or the end of the document.
TEST(SecureOutput, TextInTheDocumentDoesNotEndTheSession) {
  FakeHost host = passwordHost();
  SecureOutputPath path;
  const std::string body =
      kBody + "(Minutes @PJL EOJ draft) show\n%%%%EOF\n" + kTrailer + "%%MARKER-TEXT%% showpage\n";
  ASSERT_TRUE(send(path, host, kHeader));
  ASSERT_TRUE(send(path, host, body));
  EXPECT_TRUE(path.encrypting());
  path.expectTrailer();
  ASSERT_TRUE(send(path, host, kTrailer.substr(0, 7)));  // the trailer split across chunks
  EXPECT_TRUE(path.encrypting());
  ASSERT_TRUE(send(path, host, kTrailer.substr(7)));
  EXPECT_FALSE(path.encrypting() || path.collecting());
  EXPECT_EQ(host.spooled, kCleartext + frame("write_start", "S") + frame("write", seal(kHeader)) +
                              frame("write", seal(body)) +
                              frame("write", seal(kTrailer.substr(0, 7))) +
                              frame("write", seal(kTrailer.substr(7))) + kEnd);
  EXPECT_EQ(host.spooled.find("MARKER-TEXT"), std::string::npos);
}

TEST(SecureOutput, TheEndOfTheDocumentFinishesWhatIsOpen) {
  const std::string eps = "%!PS-Adobe-3.0 EPSF-3.0\n%%MARKER-TEXT%% showpage\n";
  const std::string big = kHeader + kBody + std::string(0x8000, 'b');
  const struct {
    const char* name;
    std::vector<std::string> chunks;
    std::string spooled;
  } cases[] = {
      {"idle: nothing to finish", {}, ""},
      // An EPS job has neither header nor trailer: its bytes still reach the encryptor.
      {"still collecting",
       {"%%MARKER-TEXT%%", eps},
       frame("write_start", "S") + frame("write", seal("%%MARKER-TEXT%%" + eps)) + kEnd},
      {"header without its end",
       {kHeader, kBody},
       kCleartext + frame("write_start", "S") + frame("write", seal(kHeader)) +
           frame("write", seal(kBody)) + kEnd},
      {"beyond the filter's bound",
       {std::string(0x8000, 'x')},
       frame("write_start", "S") + frame("write", seal(std::string(0x8000, 'x'))) + kEnd},
      {"job information and more",
       {big},
       kCleartext + frame("write_start", "S") + frame("write", seal(big)) + kEnd},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost host = passwordHost();
    SecureOutputPath path;
    for (const std::string& chunk : c.chunks) ASSERT_TRUE(send(path, host, chunk));
    std::size_t reported = 99;
    EXPECT_TRUE(path.finish(host, &reported));
    EXPECT_EQ(host.spooled, c.spooled);
    EXPECT_FALSE(path.encrypting() || path.collecting());
    EXPECT_EQ(host.lib.deleted, host.lib.opened);
    // A second end of the same document finds nothing open.
    const std::size_t before = host.spooled.size();
    EXPECT_TRUE(path.finish(host, &reported));
    EXPECT_EQ(host.spooled.size(), before);
  }
}

TEST(SecureOutput, FinishingFailuresNeverLeakPlaintext) {
  const struct {
    const char* name;
    void (*setup)(FakeHost&);
  } cases[] = {
      {"library missing", [](FakeHost& h) { h.lib.loads = false; }},
      {"update fails", [](FakeHost& h) { h.lib.updateResult = 5; }},
      {"end fails", [](FakeHost& h) { h.lib.endResult = -1; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost host = passwordHost();
    c.setup(host);
    SecureOutputPath path;
    ASSERT_TRUE(send(path, host, "%%MARKER-TEXT%% EPS body"));
    EXPECT_FALSE(path.finish(host, nullptr));
    EXPECT_EQ(host.spooled.find("MARKER-TEXT"), std::string::npos);
    EXPECT_FALSE(path.encrypting() || path.collecting());
    EXPECT_EQ(host.lib.deleted, host.lib.opened);
  }
}

TEST(SecureFrames, Heads) {
  EXPECT_EQ(vex::frameHead(vex::FrameKind::kStart, 0),
            "@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:write_start\" SIZE=0\n");
  EXPECT_EQ(vex::frameHead(vex::FrameKind::kData, 4096),
            "@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:write\" SIZE=4096\n");
  EXPECT_EQ(vex::kSecureEndOfJob.size(), 31u);
  EXPECT_EQ(vex::kIcCardJobComment.size(), 24u);
}

}  // namespace
