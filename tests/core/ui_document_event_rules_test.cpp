// The document event's choices over plain values: the half that names the application, the
// relay path, the pipe the relay program addresses and its command line.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app_channel.h"
#include "document_event_rules.h"

namespace {

using vex::HandOffPrinter;
using Buffer = std::array<std::uint8_t, vex::kApplicationBufferSize>;

Buffer halves(const std::string& first, const std::string& second) {
  Buffer buffer{};
  for (std::size_t i = 0; i < first.size() && i < 60; ++i) buffer[i] = std::uint8_t(first[i]);
  for (std::size_t i = 0; i < second.size() && i < 60; ++i)
    buffer[60 + i] = std::uint8_t(second[i]);
  return buffer;
}

TEST(ApplicationHalf, FirstHalfWithTextElseSecond) {
  struct Case {
    const char* what;
    std::string first;
    std::string second;
    std::string expected;
  } cases[] = {
      {"both halves", "Spreadsheet Suite", "sheets", "Spreadsheet Suite"},
      {"first half empty", "", "sheets", "sheets"},
      {"both empty", "", "", ""},
      {"first only", "Writer", "", "Writer"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vex::applicationHalf(halves(c.first, c.second)), c.expected) << c.what;
  }
}

TEST(ApplicationHalf, NoTerminatorStaysInsideItsHalf) {
  Buffer full{};
  full.fill('A');
  for (std::size_t i = 60; i < 120; ++i) full[i] = 'B';
  EXPECT_EQ(vex::applicationHalf(full), std::string(60, 'A'));
  Buffer second{};
  for (std::size_t i = 60; i < 120; ++i) second[i] = 'B';
  EXPECT_EQ(vex::applicationHalf(second), std::string(60, 'B'));
}

HandOffPrinter printer(std::u16string name, std::u16string share, std::u16string server,
                       bool shared, bool raw) {
  HandOffPrinter p;
  p.printerName = std::move(name);
  p.shareName = std::move(share);
  p.serverName = std::move(server);
  p.driverName = u"VEX Demo Color PS";
  p.shared = shared;
  p.rawJob = raw;
  return p;
}

TEST(HandOffPath, OnlyRemoteSharedNonRawJobsGoStraightToTheRelay) {
  struct Case {
    const char* what;
    HandOffPrinter p;
    bool remoteNonRaw;
  } cases[] = {
      {"local queue", printer(u"Office", u"", u"", false, false), false},
      {"local shared queue", printer(u"Office", u"OFF", u"", true, false), false},
      {"server, shared, EMF", printer(u"\\\\PS1\\Office", u"OFF", u"\\\\PS1", true, false), true},
      {"server, shared, RAW", printer(u"\\\\PS1\\Office", u"OFF", u"\\\\PS1", true, true), false},
      {"server, unshared", printer(u"\\\\PS1\\Office", u"", u"\\\\PS1", false, false), false},
  };
  for (const Case& c : cases) EXPECT_EQ(vex::isRemoteNonRawJob(c.p), c.remoteNonRaw) << c.what;
}

TEST(HandOffPath, ClientSideRenderingNeedsVersion6AndNoEmfDespooling) {
  EXPECT_TRUE(vex::isClientSideRendering(true, std::nullopt));
  EXPECT_TRUE(vex::isClientSideRendering(true, 0u));
  EXPECT_FALSE(vex::isClientSideRendering(true, 1u));
  EXPECT_FALSE(vex::isClientSideRendering(false, std::nullopt));
  EXPECT_FALSE(vex::isClientSideRendering(false, 0u));
}

TEST(ProducerPipeName, FourForms) {
  struct Case {
    const char* what;
    HandOffPrinter p;
    bool clientSide;
    std::u16string expected;
  } cases[] = {
      {"local unshared: printer name", printer(u"Office", u"OFF", u"", false, false), false,
       u"\\\\.\\pipe\\Office\\0000001a\\AppInfo"},
      {"local shared: share name", printer(u"Office", u"OFF", u"", true, false), true,
       u"\\\\.\\pipe\\OFF\\0000001a\\AppInfo"},
      {"server and RAW: local form with the share name",
       printer(u"\\\\PS1\\Office", u"OFF", u"\\\\PS1", true, true), true,
       u"\\\\.\\pipe\\OFF\\0000001a\\AppInfo"},
      {"server, not RAW, client-side rendering: driver name",
       printer(u"\\\\PS1\\Office", u"OFF", u"\\\\PS1", true, false), true,
       u"\\\\.\\pipe\\VEX Demo Color PS\\AppInfo"},
      {"server, not RAW, rendered on the server: server form",
       printer(u"\\\\PS1\\Office", u"OFF", u"\\\\PS1", true, false), false,
       u"\\\\PS1\\pipe\\OFF\\0000001a\\AppInfo"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vex::producerPipeName(c.p, c.clientSide, 26), c.expected) << c.what;
  }
}

TEST(ProducerPipeName, ReservedCharactersStayInThePipeButNotInTheObjectNames) {
  const HandOffPrinter p = printer(u"Office/3F:Laser", u"", u"", false, false);
  EXPECT_EQ(vex::producerPipeName(p, false, 26),
            u"\\\\.\\pipe\\Office/3F:Laser\\0000001a\\AppInfo");
  const std::u16string base = vex::channelBaseName(p.printerName, p.shareName, p.shared);
  EXPECT_EQ(vex::sectionName(base, 26), u"Local\\Office03F0Laser0000001aA");
  EXPECT_EQ(vex::mutexName(base, 26), u"Local\\Office03F0Laser0000001aB");
  // What the consumer serves for the same queue is what the relay program is sent to.
  EXPECT_EQ(vex::consumerPipeName(p.printerName, p.shareName, p.driverName, false, 26),
            vex::producerPipeName(p, false, 26));
}

TEST(RelayCommandLine, ThreeArgumentsWhateverTheName) {
  struct Case {
    const char* what;
    std::u16string name;
    std::u16string expected;
  } cases[] = {
      {"plain", u"Report Writer", u"0 \"Report Writer\" \"\\\\.\\pipe\\Q\\00000001\\AppInfo\""},
      {"empty name", u"", u"0 \"\" \"\\\\.\\pipe\\Q\\00000001\\AppInfo\""},
      {"quotes are left out", u"Say \"hi\"", u"0 \"Say hi\" \"\\\\.\\pipe\\Q\\00000001\\AppInfo\""},
      {"a trailing backslash is doubled", u"tools\\",
       u"0 \"tools\\\\\" \"\\\\.\\pipe\\Q\\00000001\\AppInfo\""},
      {"inner backslashes stay", u"a\\b", u"0 \"a\\b\" \"\\\\.\\pipe\\Q\\00000001\\AppInfo\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vex::relayCommandLine(c.name, u"\\\\.\\pipe\\Q\\00000001\\AppInfo"), c.expected)
        << c.what;
  }
}

}  // namespace
