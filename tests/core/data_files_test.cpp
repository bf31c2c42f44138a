#include "data_files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DataFiles, ProgramsByName) {
  for (const char16_t* program :
       {u"vexps.dll", u"VEXUI.DLL", u"relay.Exe", u"x.sys", u"x.drv", u"x.cpl", u"a.b.ocx",
        u"C:\\drivers\\3\\vexps.dll", u"vexps.dll.", u"vexps.dll . .", u"x.scr", u"x.bat", u"x.cmd",
        u"x.com", u"x.msi", u"x.mui"}) {
    EXPECT_TRUE(vex::isProgramFileName(program))
        << std::string(program, program + std::char_traits<char16_t>::length(program));
  }
  for (const char16_t* data : {u"VXCCM.DAT", u"VEXDEMO.INI", u"VEXDEMO.PPD", u"VEXPROC.PS", u"dll",
                               u"x.dllx", u"x.dl", u"C:\\a.dll\\file", u"", u".", u"noextension"}) {
    EXPECT_FALSE(vex::isProgramFileName(data))
        << std::string(data, data + std::char_traits<char16_t>::length(data));
  }
}

TEST(DataFiles, ProgramsByContent) {
  EXPECT_TRUE(vex::isProgramImage(std::string("MZ\x90\0\x03", 5)));
  EXPECT_TRUE(vex::isProgramImage("MZ"));
  EXPECT_FALSE(vex::isProgramImage("M"));
  EXPECT_FALSE(vex::isProgramImage(""));
  EXPECT_FALSE(vex::isProgramImage("mz lower case"));
  EXPECT_FALSE(vex::isProgramImage("%!PS"));
}

}  // namespace
