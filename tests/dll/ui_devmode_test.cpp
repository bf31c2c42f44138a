// The UI plug-in's device-mode callback through the DLL, as the driver calls it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "plugin_support.h"
#include "printer_support.h"
#include "private_settings.h"
#include "ui_module_support.h"

namespace {

using vex::kRecordSize;
namespace rec = vex::rec;
using Record = std::vector<std::uint8_t>;

class UiDevMode : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_ = module_.createPlugin();
    ASSERT_NE(plugin_, nullptr);
  }
  void TearDown() override {
    if (plugin_ != nullptr) plugin_->Release();
  }

  HRESULT call(DWORD mode, HANDLE printer, const Record* in, Record* out,
               DWORD size = kRecordSize) {
    OEMDMPARAM param{};
    param.cbSize = sizeof(param);
    param.hPrinter = printer;
    param.pOEMDMIn = in ? const_cast<std::uint8_t*>(in->data()) : nullptr;
    param.pOEMDMOut = out ? out->data() : nullptr;
    param.cbBufSize = size;
    return plugin_->DevMode(mode, &param);
  }

  vex::test::UiModule module_;
  IPrintOemUI2* plugin_ = nullptr;
};

TEST_F(UiDevMode, SizeAndBadModes) {
  OEMDMPARAM param{};
  param.cbSize = sizeof(param);
  EXPECT_EQ(plugin_->DevMode(OEMDM_SIZE, &param), S_OK);
  EXPECT_EQ(param.cbBufSize, kRecordSize);
  for (DWORD mode : {0u, 5u, 0xFFFFFFFFu}) {
    SetLastError(0);
    EXPECT_EQ(plugin_->DevMode(mode, &param), E_FAIL) << mode;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  SetLastError(0);
  EXPECT_EQ(plugin_->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(UiDevMode, AnOutputBufferSmallerThanTheRecordIsRefused) {
  vex::test::TestPrinter printer(vex::test::ownDriverSetup(L"VEX UI DevMode"));
  Record out(kRecordSize, 0x11);
  SetLastError(0);
  EXPECT_EQ(call(OEMDM_DEFAULT, printer.handle(), nullptr, &out, kRecordSize - 1), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(out, Record(kRecordSize, 0x11));
}

struct CompressionCase {
  const wchar_t* value;
  std::uint16_t expected;
};

TEST_F(UiDevMode, DefaultsTakeCompressionFromTheConfiguration) {
  const CompressionCase cases[] = {
      {L"1280", 2},   // hexadecimal 500: index 5
      {L"1281", 2},   // bit 0 does not count
      {L"255", 0},    // bits 8..11 zero
      {L"2304", 3},   // index 9, the table's last
      {L"2560", 0},   // index 10: beyond the table
      {L"61440", 0},  // index 15
      {L"", 0},       // absent
  };
  int n = 0;
  for (const CompressionCase& c : cases) {
    SCOPED_TRACE(vex::test::narrow(c.value));
    vex::PrinterSetup setup =
        vex::test::ownDriverSetup(L"VEX UI Compression " + std::to_wstring(n++));
    setup.modelOverrides = {{L"Compression", c.value}};
    vex::test::TestPrinter printer(setup);
    Record out(kRecordSize, 0xEE);
    ASSERT_EQ(call(OEMDM_DEFAULT, printer.handle(), nullptr, &out), S_OK);
    EXPECT_EQ(vex::getU16(out.data(), rec::compression), c.expected);
    EXPECT_EQ(vex::getU32(out.data(), rec::dwSize), kRecordSize);
    EXPECT_EQ(out[4], 0x30);
    EXPECT_EQ(out[5], 0x30);
    EXPECT_EQ(out[6], 0x30);
    EXPECT_EQ(out[7], 0x32);
    EXPECT_EQ(vex::getU32(out.data(), rec::dwVersion), 1u);
    EXPECT_EQ(vex::getU16(out.data(), rec::overlayList), 255u);
    EXPECT_EQ(vex::getU32(out.data(), rec::reservedC), 1u);
    EXPECT_EQ(vex::getU32(out.data(), rec::reservedA), 0xEEEEEEEEu) << "untouched";
  }
}

struct CryptoCase {
  const wchar_t* printer;
  const wchar_t* library;
  bool applied;
};

TEST_F(UiDevMode, CryptoDefaultsOnlyFromALibraryThatAnswers) {
  const CryptoCase cases[] = {
      {L"VEX UI DM Crypto Yes", L"test_crypto_yes.dll", true},
      {L"VEX UI DM Crypto Zero", L"test_crypto_no.dll", false},
      {L"VEX UI DM Crypto No Export", L"test_card_yes.dll", false},
      {L"VEX UI DM Crypto Absent", L"", false},
  };
  for (const CryptoCase& c : cases) {
    SCOPED_TRACE(vex::test::narrow(c.printer));
    vex::PrinterSetup setup = vex::test::ownDriverSetup(c.printer);
    setup.modelOverrides = {{L"CryptoDll", c.library}};
    setup.pluginFiles = {L"vexps.dll", L"vexui.dll", L"test_crypto_yes.dll", L"test_crypto_no.dll",
                         L"test_card_yes.dll"};
    vex::test::TestPrinter printer(setup);
    for (DWORD mode : {OEMDM_DEFAULT, OEMDM_CONVERT, OEMDM_MERGE}) {
      SCOPED_TRACE(mode);
      Record in(kRecordSize, 0);
      vex::setU32(in.data(), rec::dwSize, 16);  // an old record: the crypto fields are beyond it
      vex::setU32(in.data(), rec::dwSignature, vex::kRecordSignature);
      Record out(kRecordSize, 0xEE);
      vex::setU32(out.data(), rec::dwSize, kRecordSize);
      ASSERT_EQ(call(mode, printer.handle(), &in, &out), S_OK);
      if (c.applied) {
        EXPECT_EQ(vex::getU32(out.data(), rec::cryptoSettingA), 2u);
        EXPECT_EQ(vex::getU32(out.data(), rec::cryptoSettingB), 3u);
        EXPECT_EQ(vex::getU32(out.data(), rec::cryptoTime), 0x00050006u);
        EXPECT_EQ(vex::getU32(out.data(), rec::cryptoFlag), 1u);
        EXPECT_EQ(vex::getU32(out.data(), rec::encryptedPasswordLength), 0u);
        EXPECT_EQ(out[rec::encryptedPassword], 0u);
      } else {
        EXPECT_EQ(vex::getU32(out.data(), rec::cryptoSettingA), 0xEEEEEEEEu);
        EXPECT_EQ(vex::getU32(out.data(), rec::cryptoTime), 0xEEEEEEEEu);
        EXPECT_EQ(vex::getU32(out.data(), rec::encryptedPasswordLength), 0xEEEEEEEEu);
      }
    }
  }
}

TEST_F(UiDevMode, OlderRecordsAreCopiedToTheirOwnSize) {
  vex::test::TestPrinter printer(vex::test::ownDriverSetup(L"VEX UI DevMode"));
  for (std::uint32_t size : {12u, 64u, 1000u, 3879u}) {
    SCOPED_TRACE(size);
    Record in(kRecordSize, 0x42);
    vex::setU32(in.data(), rec::dwSize, size);
    vex::setU32(in.data(), rec::dwSignature, vex::kRecordSignature);
    vex::setU32(in.data(), rec::dwVersion, 7);
    Record out(kRecordSize, 0x99);
    vex::setU32(out.data(), rec::dwSize, kRecordSize);
    vex::setU32(out.data(), rec::dwSignature, vex::kRecordSignature);
    ASSERT_EQ(call(OEMDM_CONVERT, printer.handle(), &in, &out), S_OK);
    EXPECT_EQ(vex::getU32(out.data(), rec::dwSize), kRecordSize);
    EXPECT_EQ(vex::getU32(out.data(), rec::dwVersion), 1u);
    // Fields that the conversion does not reset: copied below the old size, kept above it.
    for (std::size_t offset :
         {rec::reservedA, rec::customColorTData + 10, rec::wmSize, rec::driverDirectory,
          rec::compression, rec::wmText + 100, rec::cryptoSettingA, rec::reservedD + 3}) {
      const std::uint8_t expected = offset < size ? 0x42 : 0x99;
      EXPECT_EQ(out[offset], expected) << "byte " << offset;
    }
  }
}

TEST_F(UiDevMode, MergeKeepsOemUiValueUpToOneHundred) {
  vex::test::TestPrinter printer(vex::test::ownDriverSetup(L"VEX UI DevMode"));
  const struct {
    std::int32_t value;
    std::int32_t expected;
  } cases[] = {{100, 100}, {101, 0}, {0, 0}, {-5, -5}, {0x7FFFFFFF, 0}};
  for (const auto& c : cases) {
    Record in(kRecordSize, 0);
    vex::setU32(in.data(), rec::dwSize, kRecordSize);
    vex::setU32(in.data(), rec::dwSignature, vex::kRecordSignature);
    vex::setI32(in.data(), rec::oemUiValue, c.value);
    Record out(kRecordSize, 0);
    vex::setU32(out.data(), rec::dwSize, kRecordSize);
    vex::setU32(out.data(), rec::dwSignature, vex::kRecordSignature);
    ASSERT_EQ(call(OEMDM_MERGE, printer.handle(), &in, &out), S_OK);
    EXPECT_EQ(vex::getI32(out.data(), rec::oemUiValue), c.expected) << c.value;
  }
}

TEST_F(UiDevMode, ForeignRecordsAreReplacedNeverCopied) {
  vex::test::TestPrinter printer(vex::test::ownDriverSetup(L"VEX UI DevMode"));
  Record in(kRecordSize, 0x42);
  std::memcpy(in.data() + rec::dwSignature, "0001", 4);
  for (DWORD mode : {OEMDM_CONVERT, OEMDM_MERGE}) {
    Record out(kRecordSize, 0x99);
    ASSERT_EQ(call(mode, printer.handle(), &in, &out), S_OK);
    EXPECT_EQ(vex::getU32(out.data(), rec::dwSignature), vex::kRecordSignature);
    EXPECT_EQ(vex::getU32(out.data(), rec::reservedB), 0u);
    EXPECT_EQ(out[rec::wmText], 0x99) << "nothing of the foreign record is copied";
  }
}

// Records of any size and content: the output is always a whole record of the plug-in's kind, or
// left alone, and nothing is read or written past either buffer.
TEST_F(UiDevMode, HostileRecords) {
  vex::test::TestPrinter printer(vex::test::ownDriverSetup(L"VEX UI DevMode"));
  std::mt19937 random(5);
  const std::uint32_t sizes[] = {0, 1, 11, 12, 3879, 3880, 3881, 0x7FFFFFFF, 0xFFFFFFFF};
  for (int round = 0; round < 200; ++round) {
    vex::test::GuardedBuffer in(kRecordSize);
    vex::test::GuardedBuffer out(kRecordSize);
    for (std::size_t i = 0; i < kRecordSize; ++i) {
      in.data()[i] = static_cast<unsigned char>(random());
      out.data()[i] = static_cast<unsigned char>(random());
    }
    vex::setU32(in.data(), rec::dwSize, sizes[round % std::size(sizes)]);
    vex::setU32(out.data(), rec::dwSize, sizes[(round / 9) % std::size(sizes)]);
    if (round % 2 == 0) vex::setU32(in.data(), rec::dwSignature, vex::kRecordSignature);
    if (round % 3 == 0) vex::setU32(out.data(), rec::dwSignature, vex::kRecordSignature);
    const DWORD mode = round % 4 == 0 ? OEMDM_CONVERT : OEMDM_MERGE;
    OEMDMPARAM param{};
    param.cbSize = sizeof(param);
    param.hPrinter = printer.handle();
    param.pOEMDMIn = in.data();
    param.pOEMDMOut = out.data();
    param.cbBufSize = kRecordSize;
    ASSERT_EQ(plugin_->DevMode(mode, &param), S_OK) << round;
    EXPECT_EQ(vex::getU32(out.data(), rec::dwSize), kRecordSize) << round;
    EXPECT_EQ(vex::getU32(out.data(), rec::dwVersion), 1u) << round;
    if (mode == OEMDM_MERGE) {
      EXPECT_LE(vex::getI32(out.data(), rec::oemUiValue), 100) << round;
    }
  }
}

}  // namespace
