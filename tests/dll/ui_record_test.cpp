// The UI plug-in's record rules with what they read from the platform: dependent files, the
// driver directory, the crypto library's defaults and the configuration's "Compression".
#include <gtest/gtest.h>

#include <vector>

#include "config_files.h"
#include "printer_support.h"
#include "private_settings.h"
#include "ui_record_rules.h"

namespace {

using vex::kRecordSize;
namespace rec = vex::rec;

struct CryptoCase {
  const wchar_t* printer;
  const wchar_t* library;  // "CryptoDll" (empty: none configured)
  bool applied;
};

std::wstring wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

bool endsWith(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(UiRecordRules, DefaultsTakeTheirValuesFromThePlatform) {
  const CryptoCase cases[] = {
      {L"VEX UI Crypto Yes", L"test_crypto_yes.dll", true},
      {L"VEX UI Crypto No", L"test_crypto_no.dll", false},
      {L"VEX UI Crypto Missing Export", L"test_card_yes.dll", false},
      {L"VEX UI Crypto Absent File", L"nowhere.dll", false},
      {L"VEX UI Crypto None", L"", false},
  };
  for (const CryptoCase& c : cases) {
    SCOPED_TRACE(vex::test::narrow(c.printer));
    vex::PrinterSetup setup = vex::test::ownDriverSetup(c.printer);
    setup.modelOverrides = {{L"Compression", L"1281"}, {L"CryptoDll", c.library}};
    setup.pluginFiles = {L"vexps.dll", L"test_crypto_yes.dll", L"test_crypto_no.dll",
                         L"test_card_yes.dll"};
    vex::test::TestPrinter printer(setup);

    std::vector<std::uint8_t> out(kRecordSize, 0xEE);
    vex::applyUiDefaults(printer.handle(), out.data());
    const std::uint8_t* r = out.data();
    EXPECT_EQ(vex::getU32(r, rec::dwSignature), vex::kRecordSignature);
    EXPECT_EQ(vex::getU16(r, rec::compression), 2u) << "1281: index 5 of the table";
    EXPECT_TRUE(endsWith(wide(vex::getWide(r, rec::pluginIniPath, rec::pathChars)), L".INI"));
    const std::wstring capability = wide(vex::getWide(r, rec::capabilityFilePath, rec::pathChars));
    EXPECT_EQ(capability, vex::configFilePath());
    EXPECT_FALSE(capability.empty());
    wchar_t directory[MAX_PATH] = L"";
    DWORD needed = 0;
    ASSERT_TRUE(GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory),
                                           sizeof(directory), &needed));
    EXPECT_EQ(wide(vex::getWide(r, rec::driverDirectory, rec::pathChars)), directory);
    if (c.applied) {
      EXPECT_EQ(vex::getU32(r, rec::cryptoSettingA), 2u);
      EXPECT_EQ(vex::getU32(r, rec::cryptoSettingB), 3u);
      EXPECT_EQ(vex::getU32(r, rec::cryptoFlag), 1u);
      EXPECT_EQ(vex::getU32(r, rec::cryptoTime), 0x00050006u);
      EXPECT_EQ(vex::getU32(r, rec::encryptedPasswordLength), 0u);
    } else {
      EXPECT_EQ(vex::getU32(r, rec::cryptoSettingA), 0xEEEEEEEEu) << "left as the buffer held it";
      EXPECT_EQ(vex::getU32(r, rec::cryptoTime), 0xEEEEEEEEu);
    }
  }
}

TEST(UiRecordRules, ConvertAndMergeAskTheCryptoLibraryOnlyWithBothRecords) {
  vex::PrinterSetup setup = vex::test::ownDriverSetup(L"VEX UI Crypto Yes");
  setup.modelOverrides = {{L"Compression", L"1281"}, {L"CryptoDll", L"test_crypto_yes.dll"}};
  setup.pluginFiles = {L"vexps.dll", L"test_crypto_yes.dll", L"test_crypto_no.dll",
                       L"test_card_yes.dll"};
  vex::test::TestPrinter printer(setup);
  wchar_t ini[vex::kPathChars] = L"";
  ASSERT_TRUE(vex::findDriverFiles(printer.handle(), ini));

  std::vector<std::uint8_t> in(kRecordSize, 0);
  vex::setU32(in.data(), rec::dwSize, 64);  // an older record of the same kind
  vex::setU32(in.data(), rec::dwSignature, vex::kRecordSignature);
  vex::setU32(in.data(), rec::watermarkIndex, 4);
  vex::setI32(in.data(), rec::oemUiValue, 101);
  std::vector<std::uint8_t> out(kRecordSize, 0);
  vex::setU32(out.data(), rec::dwSize, kRecordSize);
  vex::applyUiMerge(printer.handle(), in.data(), out.data());
  EXPECT_EQ(vex::getU32(out.data(), rec::cryptoSettingB), 3u) << "defaults applied before the copy";
  EXPECT_EQ(vex::getU32(out.data(), rec::watermarkIndex), 0u) << "beyond the old record's size";
  EXPECT_EQ(vex::getI32(out.data(), rec::oemUiValue), 0);
  EXPECT_EQ(vex::getU32(out.data(), rec::dwSize), kRecordSize);

  std::vector<std::uint8_t> untouched(kRecordSize, 0x77);
  vex::applyUiConvert(printer.handle(), nullptr, untouched.data());
  vex::applyUiMerge(printer.handle(), in.data(), nullptr);
  EXPECT_EQ(untouched, std::vector<std::uint8_t>(kRecordSize, 0x77));
}

}  // namespace
