// Locating the configuration and plug-in INI files among a real driver's dependent files, and
// reading the model section, through the spooler of the platform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config_files.h"
#include "printer_support.h"

namespace {

const std::string kPluginIni = "[OEMFiles]\r\nOEMConfigFile1=vexui.dll\r\n";
const std::string kIniWithoutPlugin = "[OEMFiles]\r\nOther=1\r\n";

std::string capabilityFile(const std::wstring& driver, const std::string& modelKeys) {
  return "[Capability]\r\n" + std::string(driver.begin(), driver.end()) + "=TESTMODEL\r\n" +
         "[TESTMODEL]\r\n" + modelKeys;
}

bool endsWith(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A printer of its own driver whose dependent files are exactly `files`.
class TestPrinter : public vex::test::TestPrinter {
 public:
  TestPrinter(const std::wstring& name, std::vector<std::wstring> files,
              std::vector<std::pair<std::wstring, std::string>> contents)
      : vex::test::TestPrinter(setupFor(name, std::move(files), std::move(contents))) {}

 private:
  static vex::PrinterSetup setupFor(const std::wstring& name, std::vector<std::wstring> files,
                                    std::vector<std::pair<std::wstring, std::string>> contents) {
    vex::PrinterSetup setup = vex::test::ownDriverSetup(name);
    setup.dependentFiles = std::move(files);
    setup.extraFiles = std::move(contents);
    return setup;
  }
};

struct FindCase {
  const wchar_t* printer;
  std::vector<std::wstring> files;
  bool seen;
  const wchar_t* iniEnds;  // expected plug-in INI path ending ("" = left empty)
  const wchar_t* capEnds;  // expected configuration path ending ("" = empty)
};

TEST(ConfigFiles, DependentFilesAreRecognisedByTheirEnding) {
  const std::wstring longCap(240, L'c');  // with the folder, longer than a path buffer
  const std::vector<std::pair<std::wstring, std::string>> contents = {
      {L"A.INI", kPluginIni},
      {L"plain.ini", kIniWithoutPlugin},
      {L"a.ini.bak", kPluginIni},
      {L"first.cap", capabilityFile(L"x", "")},
      {L"b.Cap", capabilityFile(L"x", "")},
      {L"x.cp", ""},
      {L"ab", ""},
      {longCap + L".cap", capabilityFile(L"x", "")},
  };
  const FindCase cases[] = {
      {L"VEX Files Upper", {L"A.INI", L"b.Cap"}, true, L"\\A.INI", L"\\b.Cap"},
      {L"VEX Files Decoys", {L"a.ini.bak", L"x.cp", L"ab"}, false, L"", L""},
      {L"VEX Files Two Caps", {L"first.cap", L"b.Cap"}, true, L"", L"\\b.Cap"},
      {L"VEX Files Ini Only", {L"plain.ini"}, true, L"", L""},
      {L"VEX Files Long", {L"b.Cap", longCap + L".cap"}, true, L"", L"\\b.Cap"},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(vex::test::narrow(c.printer));
    TestPrinter printer(c.printer, c.files, contents);
    wchar_t ini[vex::kPathChars] = L"";
    EXPECT_EQ(vex::findDriverFiles(printer.handle(), ini), c.seen);
    EXPECT_TRUE(endsWith(ini, c.iniEnds)) << "plug-in INI path";
    if (c.iniEnds[0] == L'\0') {
      EXPECT_STREQ(ini, L"");
    }
    EXPECT_TRUE(endsWith(vex::configFilePath(), c.capEnds)) << "configuration path";
    if (c.capEnds[0] == L'\0') {
      EXPECT_STREQ(vex::configFilePath(), L"");
    }
  }
}

TEST(ConfigFiles, VersionFileIsFoundTheSameWay) {
  TestPrinter printer(L"VEX Files Version", {L"A.INI", L"demo.VER"},
                      {{L"A.INI", kPluginIni}, {L"demo.VER", "[Version]\r\nDriverVer=1.0\r\n"}});
  wchar_t path[vex::kPathChars] = L"";
  EXPECT_TRUE(vex::findVersionFile(printer.handle(), path));
  EXPECT_TRUE(endsWith(path, L"\\demo.VER"));
}

TEST(ConfigFiles, ModelSectionIsReachedThroughTheDriverName) {
  const std::wstring name = L"VEX Files Model";
  TestPrinter printer(name, {L"A.INI", L"model.cap"},
                      {{L"A.INI", kPluginIni},
                       {L"model.cap",
                        capabilityFile(name + L" PS",
                                       "Compression=1281\r\nCryptoDll=crypto.dll\r\n")}});
  wchar_t ini[vex::kPathChars] = L"";
  ASSERT_TRUE(vex::findDriverFiles(printer.handle(), ini));
  EXPECT_EQ(vex::readCompression(printer.handle()), 1281);
  EXPECT_EQ(vex::readModelString(printer.handle(), L"CryptoDll"), L"crypto.dll");
  EXPECT_EQ(vex::readModelString(printer.handle(), L"CARD_DLL"), L"");
  wchar_t small[5];
  EXPECT_EQ(vex::readModelString(printer.handle(), L"CryptoDll", small, 5), 4u);
  EXPECT_STREQ(small, L"cryp");
}

TEST(ConfigFiles, DriverWithoutCapabilityEntryGetsDefaults) {
  TestPrinter printer(L"VEX Files Unlisted", {L"A.INI", L"other.cap"},
                      {{L"A.INI", kPluginIni},
                       {L"other.cap", capabilityFile(L"Someone Else", "Compression=1281\r\n")}});
  wchar_t ini[vex::kPathChars] = L"";
  ASSERT_TRUE(vex::findDriverFiles(printer.handle(), ini));
  EXPECT_EQ(vex::readCompression(printer.handle()), 0);
  EXPECT_EQ(vex::readModelString(printer.handle(), L"Compression"), L"");
}

TEST(ConfigFiles, DriverFilePathIsBoundedByTheCallersBuffer) {
  const std::wstring folder = vex::driverDirectory3();
  ASSERT_FALSE(folder.empty());
  wchar_t buffer[300];
  DWORD size = sizeof(buffer);
  ASSERT_TRUE(vex::driverFilePath(buffer, &size, L"crypto.dll"));
  EXPECT_EQ(std::wstring(buffer), folder + L"\\crypto.dll");
  EXPECT_EQ(size, (folder.size() + 11) * sizeof(wchar_t));

  // Room for the folder but not the name: false, with the folder in the buffer.
  size = static_cast<DWORD>((folder.size() + 5) * sizeof(wchar_t));
  EXPECT_FALSE(vex::driverFilePath(buffer, &size, L"crypto.dll"));
  EXPECT_EQ(std::wstring(buffer), folder);
  EXPECT_EQ(size, folder.size() * sizeof(wchar_t));

  size = 8;  // not even the directory fits
  EXPECT_FALSE(vex::driverFilePath(buffer, &size, L"crypto.dll"));

  for (const wchar_t* name : {L"..\\evil.dll", L"C:\\evil.dll", L"sub/evil.dll", L"", L".."}) {
    size = sizeof(buffer);
    EXPECT_FALSE(vex::driverFilePath(buffer, &size, name)) << "not a bare name";
  }
}

}  // namespace
