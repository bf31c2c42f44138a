#include "driver_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(DriverPaths, PathIsBuiltWithinTheCallersCapacity) {
  const std::u16string dir = u"C:\\windows\\system32\\spool\\drivers\\w32x86";
  const std::size_t n = dir.size();
  const struct {
    std::size_t capacityBytes;
    const char16_t* name;
    bool ok;
    std::u16string path;
  } cases[] = {
      {522, u"crypto.dll", true, dir + u"\\3\\crypto.dll"},
      {2 * (n + 2 + 1 + 10 + 1), u"crypto.dll", true, dir + u"\\3\\crypto.dll"},  // exact fit
      {2 * (n + 2 + 1 + 10), u"crypto.dll", false, dir + u"\\3"},                 // one short
      {2 * (n + 2 + 1), u"crypto.dll", false, dir + u"\\3"},
      {2 * (n + 2), u"crypto.dll", false, dir},  // "\3" does not fit either
      {2 * n, u"crypto.dll", false, u""},        // nor the directory
      {0, u"crypto.dll", false, u""},
      {522, u"..\\crypto.dll", false, dir + u"\\3"},
      {522, u"C:crypto.dll", false, dir + u"\\3"},
      {522, u"/crypto.dll", false, dir + u"\\3"},
      {522, u"..", false, dir + u"\\3"},
      {522, u"", false, dir + u"\\3"},
  };
  for (const auto& c : cases) {
    const vex::DriverFilePath result = vex::composeDriverFilePath(dir, c.name, c.capacityBytes);
    EXPECT_EQ(result.ok, c.ok) << c.capacityBytes;
    EXPECT_EQ(result.path, c.path) << c.capacityBytes;
    EXPECT_LE((result.path.size() + 1) * 2, std::max<std::size_t>(c.capacityBytes, 2));
  }
}

}  // namespace
