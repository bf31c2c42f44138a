// DevMode: the private settings record as the driver asks for it, including hostile records.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "plugin_support.h"
#include "private_settings.h"

namespace {

using vex::kRecordSize;
using vex::test::GuardedBuffer;
namespace rec = vex::rec;

class RenderDevMode : public testing::Test {
 protected:
  void SetUp() override {
    plugin = module.createPlugin();
    ASSERT_NE(plugin, nullptr);
  }
  void TearDown() override {
    if (plugin) plugin->Release();
  }
  HRESULT call(DWORD mode, void* in, void* out, DWORD bufSize = kRecordSize) {
    OEMDMPARAM param{};
    param.cbSize = sizeof(param);
    param.pOEMDMIn = in;
    param.pOEMDMOut = out;
    param.cbBufSize = bufSize;
    const HRESULT hr = plugin->DevMode(mode, &param);
    lastBufSize = param.cbBufSize;
    return hr;
  }
  static std::vector<std::uint8_t> validRecord() {
    std::vector<std::uint8_t> record(kRecordSize, 0);
    vex::setU32(record.data(), rec::dwSize, kRecordSize);
    vex::setU32(record.data(), rec::dwSignature, vex::kRecordSignature);
    vex::setU32(record.data(), rec::dwVersion, 1);
    vex::setU32(record.data(), rec::cryptoTime, 0x00020000);
    return record;
  }

  vex::test::RenderModule module;
  IPrintOemPS2* plugin = nullptr;
  DWORD lastBufSize = 0;
};

TEST_F(RenderDevMode, SizeAndParameterChecks) {
  ASSERT_EQ(call(OEMDM_SIZE, nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(lastBufSize, kRecordSize);
  for (DWORD mode : {0u, 5u, 0xFFFFFFFFu}) {
    SetLastError(0);
    EXPECT_EQ(call(mode, nullptr, nullptr), E_FAIL) << mode;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  SetLastError(0);
  EXPECT_EQ(plugin->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // Missing records: nothing happens, and the call still succeeds.
  auto record = validRecord();
  EXPECT_EQ(call(OEMDM_CONVERT, nullptr, record.data()), S_OK);
  EXPECT_EQ(call(OEMDM_MERGE, record.data(), nullptr), S_OK);
}

TEST_F(RenderDevMode, DefaultsStampOnlyTheHeader) {
  std::vector<std::uint8_t> out(kRecordSize, 0xAB);
  ASSERT_EQ(call(OEMDM_DEFAULT, nullptr, out.data()), S_OK);
  EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 4, out.begin() + 8),
            (std::vector<std::uint8_t>{0x30, 0x30, 0x30, 0x32}));
  EXPECT_EQ(vex::getU32(out.data(), rec::dwSize), kRecordSize);
  EXPECT_EQ(vex::getU32(out.data(), rec::dwVersion), 1u);
  EXPECT_EQ(vex::getI32(out.data(), rec::oemUiValue), 0);
  for (std::size_t i = 16; i < kRecordSize; ++i) ASSERT_EQ(out[i], 0xAB) << "offset " << i;
}

TEST_F(RenderDevMode, MergeValidatesWhatTheRecordCarries) {
  struct Case {
    const char* what;
    std::size_t offset;
    int width;  // 1, 2 or 4 bytes
    std::uint32_t stored;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"watermark 17", rec::watermarkIndex, 4, 17, 0},
      {"watermark 16", rec::watermarkIndex, 4, 16, 16},
      {"crypto time 4", rec::cryptoTime, 4, 4, 0x00020000},
      {"crypto time 23:59", rec::cryptoTime, 4, 0x0017003B, 0x0017003B},
      {"crypto time 24:00", rec::cryptoTime, 4, 0x00180000, 0x00020000},
      {"crypto time 1:60", rec::cryptoTime, 4, 0x0001003C, 0x00020000},
      {"setting A 3", rec::cryptoSettingA, 4, 3, 0},
      {"setting B 3", rec::cryptoSettingB, 4, 3, 3},
      {"setting B 4", rec::cryptoSettingB, 4, 4, 0},
      {"n-up 7", rec::nupSelection, 1, 7, 0},
      {"orientation 3", rec::orientationSelection, 1, 3, 0},
      {"compression 4", rec::compression, 2, 4, 0},
      {"custom colour number 60", rec::customColorNumber, 4, 60, 0},
      {"custom colour gamma 2", rec::customColorNumber, 4, 0x0200, 0},
      {"custom colour enabled 2", rec::customColorNumber, 4, 0x00020000, 0},
      {"custom colour 59/1/1", rec::customColorNumber, 4, 0x0001013B, 0x0001013B},
      {"T length 256", rec::customColorTLength, 2, 256, 0},
      {"V length 255", rec::customColorVLength, 2, 255, 255},
      {"password length 256", rec::encryptedPasswordLength, 4, 256, 0},
      {"password length 255", rec::encryptedPasswordLength, 4, 255, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto in = validRecord();
    auto out = validRecord();
    if (c.width == 1) vex::setU8(in.data(), c.offset, static_cast<std::uint8_t>(c.stored));
    if (c.width == 2) vex::setU16(in.data(), c.offset, static_cast<std::uint16_t>(c.stored));
    if (c.width == 4) vex::setU32(in.data(), c.offset, c.stored);
    vex::setI32(in.data(), rec::oemUiValue, 50);
    ASSERT_EQ(call(OEMDM_MERGE, in.data(), out.data()), S_OK);
    std::uint32_t value = c.width == 1   ? vex::getU8(out.data(), c.offset)
                          : c.width == 2 ? vex::getU16(out.data(), c.offset)
                                         : vex::getU32(out.data(), c.offset);
    EXPECT_EQ(value, c.expected);
    EXPECT_EQ(vex::getI32(out.data(), rec::oemUiValue), 0);
  }
}

TEST_F(RenderDevMode, ForeignSignatureIsNeverCopied) {
  auto in = validRecord();
  vex::setU32(in.data(), rec::dwSignature, 0x31303030);
  vex::setU32(in.data(), rec::watermarkIndex, 5);
  std::vector<std::uint8_t> out(kRecordSize, 0x5A);
  vex::setU32(out.data(), rec::dwSize, 100);
  ASSERT_EQ(call(OEMDM_MERGE, in.data(), out.data()), S_OK);
  EXPECT_EQ(vex::getU32(out.data(), rec::dwSignature), vex::kRecordSignature);
  EXPECT_EQ(vex::getU32(out.data(), rec::dwSize), kRecordSize);
  EXPECT_EQ(vex::getU32(out.data(), rec::dwVersion), 1u);
  EXPECT_EQ(vex::getI32(out.data(), rec::oemUiValue), 0);
  for (std::size_t i = 16; i < kRecordSize; ++i) ASSERT_EQ(out[i], 0x5A) << "offset " << i;
}

TEST_F(RenderDevMode, OlderRecordIsCopiedToItsOwnSize) {
  auto in = validRecord();
  vex::setU32(in.data(), rec::dwSize, 72);
  vex::setU32(in.data(), rec::watermarkIndex, 3);         // inside the old record
  vex::setU32(in.data(), rec::cryptoSettingB, 2);         // beyond it
  auto out = validRecord();
  vex::setU32(out.data(), rec::cryptoSettingB, 1);
  ASSERT_EQ(call(OEMDM_CONVERT, in.data(), out.data()), S_OK);
  EXPECT_EQ(vex::getU32(out.data(), rec::watermarkIndex), 3u);
  EXPECT_EQ(vex::getU32(out.data(), rec::cryptoSettingB), 1u);
  EXPECT_EQ(vex::getU32(out.data(), rec::dwSize), kRecordSize);
}

TEST_F(RenderDevMode, OutputBufferSmallerThanTheRecordIsRefused) {
  GuardedBuffer out(100);
  auto in = validRecord();
  SetLastError(0);
  EXPECT_EQ(call(OEMDM_DEFAULT, nullptr, out.data(), 100), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(call(OEMDM_MERGE, in.data(), out.data(), 100), E_FAIL);
}

// Records of any content, in buffers that end exactly where they end: the plug-in reads and
// writes nothing outside them (an access would fault and end the test program).
TEST_F(RenderDevMode, HostileRecordsStayInsideTheirBuffers) {
  GuardedBuffer in(kRecordSize);
  GuardedBuffer out(kRecordSize);
  std::mt19937 random(20261208);
  const std::uint32_t sizes[] = {0, 5, 12, 13, 100, kRecordSize - 1, kRecordSize, kRecordSize + 1,
                                 0x10000, 0xFFFFFFFF};
  for (int round = 0; round < 400; ++round) {
    for (std::size_t i = 0; i < kRecordSize; ++i) {
      in.data()[i] = static_cast<unsigned char>(random());
      out.data()[i] = static_cast<unsigned char>(random());
    }
    vex::setU32(in.data(), rec::dwSize, sizes[round % 10]);
    vex::setU32(out.data(), rec::dwSize, sizes[(round / 10) % 10]);
    if (round % 3 != 0) vex::setU32(in.data(), rec::dwSignature, vex::kRecordSignature);
    if (round % 5 != 0) vex::setU32(out.data(), rec::dwSignature, vex::kRecordSignature);
    const DWORD mode = round % 2 ? OEMDM_MERGE : OEMDM_CONVERT;
    ASSERT_EQ(call(mode, in.data(), out.data()), S_OK);
    const std::uint8_t* r = out.data();
    ASSERT_EQ(vex::getU32(r, rec::dwSize), kRecordSize);
    ASSERT_EQ(vex::getU32(r, rec::dwVersion), 1u);
    if (mode == OEMDM_MERGE) {
      ASSERT_EQ(vex::getU32(r, rec::dwSignature), vex::kRecordSignature);
    }
    const bool copied = round % 3 != 0 && round % 5 != 0;  // both signatures "0002"
    if (!copied) continue;
    ASSERT_LE(vex::getU32(r, rec::watermarkIndex), 16u);
    ASSERT_LE(vex::getU16(r, rec::customColorTLength), 255u);
    ASSERT_LE(vex::getU16(r, rec::customColorVLength), 255u);
    ASSERT_LE(vex::getU8(r, rec::nupSelection), 6u);
    ASSERT_LE(vex::getU8(r, rec::orientationSelection), 2u);
    ASSERT_LE(vex::getU32(r, rec::cryptoSettingA), 2u);
    ASSERT_LE(vex::getU32(r, rec::cryptoSettingB), 3u);
    ASSERT_LE(vex::getU32(r, rec::encryptedPasswordLength), 255u);
    ASSERT_LE(vex::getU16(r, rec::compression), 3u);
    ASSERT_LE(vex::getU32(r, rec::cryptoTime) >> 16, 23u);
    ASSERT_LE(vex::getU32(r, rec::cryptoTime) & 0xFFFF, 59u);
  }
}

}  // namespace
