#include "app_channel.h"

#include <gtest/gtest.h>

namespace {

TEST(AppChannel, ObjectNamesReplaceReservedCharacters) {
  const std::u16string base = vex::channelBaseName(u"Office/3F:Laser", u"", false);
  EXPECT_EQ(base, u"Office03F0Laser");
  EXPECT_EQ(vex::sectionName(base, 26), u"Local\\Office03F0Laser0000001aA");
  EXPECT_EQ(vex::mutexName(base, 26), u"Local\\Office03F0Laser0000001aB");
  EXPECT_EQ(vex::sessionSectionName(base, 0xABCDEF01, 3), u"Session\\3\\Office03F0Laserabcdef01A");
  EXPECT_EQ(vex::sessionMutexName(base, 7, 12), u"Session\\12\\Office03F0Laser00000007B");
  EXPECT_EQ(vex::channelBaseName(u"a\\b/c:d*e?f\"g<h>i|j", u"", false), u"a0b0c0d0e0f0g0h0i0j");
  EXPECT_EQ(vex::channelBaseName(u"Printer", u"Shared:Name", true), u"Shared0Name");
  EXPECT_EQ(vex::channelBaseName(u"Printer", u"Shared:Name", false), u"Printer");
  // Only the first 1024 characters are examined.
  const std::u16string longName = std::u16string(1024, u'x') + u":";
  EXPECT_EQ(vex::channelBaseName(longName, u"", false), longName);
}

TEST(AppChannel, PipeNames) {
  EXPECT_EQ(vex::consumerPipeName(u"Office/3F", u"", u"VEX PS", false, 26),
            u"\\\\.\\pipe\\Office/3F\\0000001a\\AppInfo");
  EXPECT_EQ(vex::consumerPipeName(u"\\\\server\\queue", u"queue", u"VEX PS", true, 26),
            u"\\\\.\\pipe\\queue\\0000001a\\AppInfo");
  EXPECT_EQ(vex::consumerPipeName(u"\\\\csr|server\\queue", u"queue", u"VEX PS", true, 26),
            u"\\\\.\\pipe\\VEX PS\\AppInfo");
  EXPECT_TRUE(vex::isClientSideRenderingName(u"\\\\CSR|x"));
  EXPECT_TRUE(vex::isClientSideRenderingName(u"\\\\cSr|"));
  EXPECT_FALSE(vex::isClientSideRenderingName(u"\\\\CSR"));
  EXPECT_FALSE(vex::isClientSideRenderingName(u"\\CSR|x"));
}

TEST(AppChannel, PagesPerSheet) {
  const std::uint32_t expected[] = {1, 2, 4, 6, 9, 16, 2, 1, 1};
  for (std::uint8_t n = 0; n < 9; ++n) EXPECT_EQ(vex::pagesPerSheet(n), expected[n]) << int(n);
  EXPECT_EQ(vex::pagesPerSheet(255), 1u);
}

}  // namespace
