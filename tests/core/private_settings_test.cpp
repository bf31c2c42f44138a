#include "private_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vex {
namespace {

using Record = std::vector<std::uint8_t>;

// A record full of a recognisable filler, so that bytes a routine must not touch stand out.
Record filled(std::uint8_t filler, std::size_t size = kRecordSize) { return Record(size, filler); }

Record withHeader(std::uint8_t filler, std::uint32_t size, std::uint32_t signature) {
  Record record = filled(filler);
  setU32(record.data(), rec::dwSize, size);
  setU32(record.data(), rec::dwSignature, signature);
  setU32(record.data(), rec::dwVersion, 7);
  return record;
}

constexpr std::uint32_t kForeign = 0x31303030;  // "0001"

const CryptoSettingsBlock kCrypto = {2, 3, "secret", 1, (5u << 16) | 30};

// Offsets of bytes that differ between two records of the same size.
std::vector<std::size_t> differences(const Record& a, const Record& b) {
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] != b[i]) offsets.push_back(i);
  }
  return offsets;
}

// Byte ranges [first, last) as a predicate.
struct Span {
  std::size_t first;
  std::size_t last;
};

bool inAny(std::size_t offset, const std::vector<Span>& spans) {
  for (const Span& s : spans) {
    if (offset >= s.first && offset < s.last) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Accessors

TEST(RecordAccessors, StoreLittleEndianWhateverTheHost) {
  Record r = filled(0);
  setU32(r.data(), 100, 0x11223344);
  EXPECT_EQ((Record{0x44, 0x33, 0x22, 0x11}), Record(r.begin() + 100, r.begin() + 104));
  setU16(r.data(), rec::customColorVLength, 0xA1B2);  // odd offset
  EXPECT_EQ(0xB2, r[343]);
  EXPECT_EQ(0xA1, r[344]);
  EXPECT_EQ(0xA1B2, getU16(r.data(), rec::customColorVLength));
  setI16(r.data(), rec::wmAngle, -180);
  EXPECT_EQ(0x4C, r[616]);
  EXPECT_EQ(0xFF, r[617]);
  EXPECT_EQ(-180, getI16(r.data(), rec::wmAngle));
  setI32(r.data(), rec::wmOffsetX, -1000);
  EXPECT_EQ(-1000, getI32(r.data(), rec::wmOffsetX));
  EXPECT_EQ(0xFFFFFC18u, getU32(r.data(), rec::wmOffsetX));
}

TEST(RecordAccessors, SignatureValueIsTheBytes0002) {
  Record r = filled(0);
  setU32(r.data(), rec::dwSignature, kRecordSignature);
  EXPECT_EQ(0, std::memcmp(r.data() + 4, "0002", 4));
}

TEST(RecordAccessors, WideTextIsCutTerminatedAndKeepsTheRestOfTheField) {
  Record r = filled(0xAB);
  setWide(r.data(), rec::jobName, rec::jobNameChars, u"ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(u"ABCDEFGHIJKLMNOP", getWide(r.data(), rec::jobName, rec::jobNameChars));
  EXPECT_EQ(0, getU16(r.data(), rec::jobName + 32));
  EXPECT_EQ(0xAB, r[rec::jobPassword]);  // next field untouched

  setWide(r.data(), rec::jobName, rec::jobNameChars, u"ab");
  EXPECT_EQ(u"ab", getWide(r.data(), rec::jobName, rec::jobNameChars));
  EXPECT_EQ('D', r[rec::jobName + 6]);  // old text after the terminator is kept
}

TEST(RecordAccessors, WideCutDoesNotSplitASurrogatePair) {
  Record r = filled(0);
  std::u16string text(15, u'x');
  text += u"\U0001F600";  // characters 15 and 16 of 17
  setWide(r.data(), rec::jobName, rec::jobNameChars, text);
  EXPECT_EQ(std::u16string(15, u'x'), getWide(r.data(), rec::jobName, rec::jobNameChars));
}

TEST(RecordAccessors, WideReadStopsAtCapacityWithoutTerminator) {
  Record r = filled(0);
  for (std::size_t i = 0; i < rec::jobPasswordChars; ++i)
    setU16(r.data(), rec::jobPassword + 2 * i, u'7');
  setU16(r.data(), rec::jobNameRequired, u'8');  // the next field is not text of this one
  EXPECT_EQ(u"77777", getWide(r.data(), rec::jobPassword, rec::jobPasswordChars));
}

// ---------------------------------------------------------------------------------------------
// Compression default

struct CompressionCase {
  std::int32_t value;
  std::uint16_t expected;
};

class DefaultCompression : public testing::TestWithParam<CompressionCase> {};

TEST_P(DefaultCompression, IndexesTheLevelTableWithBits8To11) {
  EXPECT_EQ(GetParam().expected, defaultCompression(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(Table, DefaultCompression,
                         testing::Values(CompressionCase{0, 0}, CompressionCase{0x0FF, 0},
                                         CompressionCase{0x100, 1}, CompressionCase{0x300, 1},
                                         CompressionCase{0x400, 2}, CompressionCase{1280, 2},
                                         CompressionCase{1281, 2}, CompressionCase{0x600, 2},
                                         CompressionCase{0x700, 3}, CompressionCase{0x9FF, 3},
                                         CompressionCase{0xA00, 0}, CompressionCase{0xF00, 0},
                                         CompressionCase{0x1000, 0}, CompressionCase{0x70FF, 0},
                                         CompressionCase{0x12345, 1}, CompressionCase{-1, 0},
                                         CompressionCase{INT32_MIN | 0x800, 3}));

// ---------------------------------------------------------------------------------------------
// Copy size

struct CopySizeCase {
  std::uint32_t inSize;
  std::uint32_t outSize;
  std::size_t expected;
};

class RecordCopySize : public testing::TestWithParam<CopySizeCase> {};

TEST_P(RecordCopySize, IsTheSmallerSizeNeverBeyondTheRecord) {
  Record in = filled(0), out = filled(0);
  setU32(in.data(), rec::dwSize, GetParam().inSize);
  setU32(out.data(), rec::dwSize, GetParam().outSize);
  EXPECT_EQ(GetParam().expected, recordCopySize(in.data(), out.data()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecordCopySize,
    testing::Values(CopySizeCase{3880, 3880, 3880}, CopySizeCase{1000, 3880, 1000},
                    CopySizeCase{3880, 1000, 1000}, CopySizeCase{0, 3880, 0},
                    CopySizeCase{5, 3880, 5}, CopySizeCase{0xFFFFFFFF, 3880, 3880},
                    CopySizeCase{0xFFFFFFFF, 0xFFFFFFFF, 3880}, CopySizeCase{3881, 5000, 3880}));

// ---------------------------------------------------------------------------------------------
// UI defaults

UiDefaultInputs sampleInputs() {
  UiDefaultInputs inputs;
  inputs.pluginIniPath = u"C:\\drv\\3\\vex.ini";
  inputs.configFilePath = u"C:\\drv\\3\\vex.cap";
  inputs.driverDirectory = u"C:\\drv";
  inputs.cryptoDefaults = kCrypto;
  inputs.compressionValue = 0x500;
  return inputs;
}

TEST(UiDefaults, WritesHeaderResetsAndPlatformValues) {
  Record r = filled(0xA5);
  uiDefaults(r.data(), sampleInputs());
  EXPECT_EQ(0, std::memcmp(r.data(),
                           "\x28\x0F\x00\x00"
                           "0002"
                           "\x01\x00\x00\x00",
                           12));
  EXPECT_EQ(0, getI32(r.data(), rec::oemUiValue));
  EXPECT_EQ(255, getU16(r.data(), rec::overlayList));
  EXPECT_EQ(0, getI16(r.data(), rec::colorMode));
  EXPECT_EQ(u"", getWide(r.data(), rec::jobName, rec::jobNameChars));
  EXPECT_EQ(u"", getWide(r.data(), rec::jobPassword, rec::jobPasswordChars));
  EXPECT_EQ(0u, getU32(r.data(), rec::jobNameRequired));
  EXPECT_EQ(0u, getU32(r.data(), rec::watermarkIndex));
  EXPECT_EQ(0u, getU32(r.data(), rec::customColorNumber));
  EXPECT_EQ(0, r[rec::customColorTLength]);
  EXPECT_EQ(0, r[rec::customColorVLength]);
  EXPECT_EQ(1u, getU32(r.data(), rec::reservedC));
  EXPECT_EQ(0, r[rec::nupSelection]);
  EXPECT_EQ(0, r[rec::orientationSelection]);
  EXPECT_EQ(0, getI32(r.data(), rec::lastPaperSize));
  EXPECT_EQ(0, r[rec::layoutSignature]);
  EXPECT_EQ(0u, getU32(r.data(), rec::controlSelection));
  EXPECT_EQ(u"C:\\drv\\3\\vex.ini", getWide(r.data(), rec::pluginIniPath, rec::pathChars));
  EXPECT_EQ(u"C:\\drv", getWide(r.data(), rec::driverDirectory, rec::pathChars));
  EXPECT_EQ(u"C:\\drv\\3\\vex.cap", getWide(r.data(), rec::capabilityFilePath, rec::pathChars));
  EXPECT_EQ(0u, getU32(r.data(), rec::encryptedPasswordLength));
  EXPECT_EQ(0, r[rec::encryptedPassword]);
  EXPECT_EQ(2u, getU32(r.data(), rec::cryptoSettingA));
  EXPECT_EQ(3u, getU32(r.data(), rec::cryptoSettingB));
  EXPECT_EQ((5u << 16) | 30, getU32(r.data(), rec::cryptoTime));
  EXPECT_EQ(1u, getU32(r.data(), rec::cryptoFlag));
  EXPECT_EQ(2, getU16(r.data(), rec::compression));
}

TEST(UiDefaults, LeavesUntouchedFieldsAsTheDriverHadThem) {
  Record before = filled(0xA5);
  Record r = before;
  uiDefaults(r.data(), sampleInputs());
  // Everything the defaults write, as byte ranges; the three paths only up to their terminators.
  const std::vector<Span> written = {
      {0, 16},                           // header, oemUiValue
      {rec::jobName, rec::jobName + 2},  // first characters only
      {rec::jobPassword, rec::jobPassword + 2},
      {rec::jobNameRequired, rec::jobNameRequired + 4},
      {rec::watermarkIndex, rec::colorMode + 2},  // watermarkIndex, overlayList slot 0, colorMode
      {rec::customColorTLength, rec::customColorTLength + 1},
      {rec::customColorVLength, rec::customColorVLength + 1},
      {rec::customColorNumber, rec::reservedC + 4},
      {rec::driverDirectory, rec::driverDirectory + 2 * 7},
      {rec::pluginIniPath, rec::pluginIniPath + 2 * 17},
      {rec::capabilityFilePath, rec::capabilityFilePath + 2 * 17},
      {rec::compression, rec::nupSelection + 1},
      {rec::lastPaperSize, rec::orientationSelection + 1},
      {rec::cryptoSettingA, rec::encryptedPassword + 1},
      {rec::encryptedPasswordLength, rec::controlSelection + 4},
  };
  for (std::size_t offset : differences(before, r)) {
    EXPECT_TRUE(inAny(offset, written)) << "byte " << offset << " changed";
  }
  // Spot checks of fields the defaults must keep.
  EXPECT_EQ(0xA5A5A5A5u, getU32(r.data(), rec::reservedA));
  EXPECT_EQ(0xA5A5u, getU16(r.data(), rec::overlayList + 2));
  EXPECT_EQ(0xA5A5A5A5u, getU32(r.data(), rec::reservedB));
  EXPECT_EQ(0xA5, r[rec::customColorTLength + 1]);  // high bytes of the lengths
  EXPECT_EQ(0xA5, r[rec::customColorVLength + 1]);
  EXPECT_EQ(0xA5A5A5A5u, getU32(r.data(), rec::wmSize));
  EXPECT_EQ(0xA5A5u, getU16(r.data(), rec::wmFontStyle));
  EXPECT_EQ(0xA5A5u, getU16(r.data(), rec::wmText));
  EXPECT_EQ(0xA5A5A5A5u, getU32(r.data(), rec::reservedD));
}

TEST(UiDefaults, WithoutCryptoLibraryKeepsCryptoFields) {
  Record r = filled(0x11);
  UiDefaultInputs inputs = sampleInputs();
  inputs.cryptoDefaults.reset();
  uiDefaults(r.data(), inputs);
  EXPECT_EQ(0x11111111u, getU32(r.data(), rec::cryptoSettingA));
  EXPECT_EQ(0x11111111u, getU32(r.data(), rec::cryptoSettingB));
  EXPECT_EQ(0x11111111u, getU32(r.data(), rec::cryptoTime));
  EXPECT_EQ(0x11111111u, getU32(r.data(), rec::cryptoFlag));
  EXPECT_EQ(0x11111111u, getU32(r.data(), rec::encryptedPasswordLength));
  EXPECT_EQ(0x11, r[rec::encryptedPassword]);
}

TEST(UiDefaults, MissingFilesGiveEmptyPathsAndNoCompression) {
  Record r = filled(0x41);
  UiDefaultInputs inputs;
  uiDefaults(r.data(), inputs);
  EXPECT_EQ(u"", getWide(r.data(), rec::pluginIniPath, rec::pathChars));
  EXPECT_EQ(u"", getWide(r.data(), rec::capabilityFilePath, rec::pathChars));
  EXPECT_EQ(u"", getWide(r.data(), rec::driverDirectory, rec::pathChars));
  EXPECT_EQ(0, getU16(r.data(), rec::compression));
}

TEST(UiDefaults, OverlongPathsAreCutToTheField) {
  Record r = filled(0x41);
  UiDefaultInputs inputs;
  inputs.pluginIniPath = std::u16string(1000, u'p');
  inputs.configFilePath = std::u16string(261, u'c');
  inputs.driverDirectory = std::u16string(260, u'd');
  uiDefaults(r.data(), inputs);
  EXPECT_EQ(std::u16string(260, u'p'), getWide(r.data(), rec::pluginIniPath, rec::pathChars));
  EXPECT_EQ(std::u16string(260, u'c'), getWide(r.data(), rec::capabilityFilePath, rec::pathChars));
  EXPECT_EQ(std::u16string(260, u'd'), getWide(r.data(), rec::driverDirectory, rec::pathChars));
  EXPECT_EQ(0, getU16(r.data(), rec::compression - 2));  // terminator of capabilityFilePath
}

// ---------------------------------------------------------------------------------------------
// UI conversion and merge

// Input record with distinct, recognisable values in the fields the conversion resets.
Record busyInput(std::uint32_t signature) {
  Record in = withHeader(0x5A, 3880, signature);
  setI32(in.data(), rec::oemUiValue, 42);
  setWide(in.data(), rec::jobName, rec::jobNameChars, u"Quarterly");
  setU32(in.data(), rec::watermarkIndex, 3);
  setU16(in.data(), rec::overlayList, 7);
  setU32(in.data(), rec::cryptoSettingA, 1);
  setU32(in.data(), rec::cryptoTime, 0x00070000);
  return in;
}

TEST(UiConvert, MatchingSignatureCopiesTheWholeRecord) {
  Record in = busyInput(kRecordSignature);
  Record out = withHeader(0xC3, 3880, kRecordSignature);
  uiConvert(in.data(), out.data(), kCrypto);
  Record expected = in;
  setU32(expected.data(), rec::dwVersion, 1);
  EXPECT_EQ(expected, out);  // crypto defaults were applied first, then overwritten by the copy
}

TEST(UiConvert, OlderShortRecordIsCopiedToItsOwnSize) {
  constexpr std::uint32_t kOld = 2000;
  Record in = busyInput(kRecordSignature);
  setU32(in.data(), rec::dwSize, kOld);
  Record out = withHeader(0xC3, 3880, kRecordSignature);
  uiConvert(in.data(), out.data(), kCrypto);

  EXPECT_EQ(3880u, getU32(out.data(), rec::dwSize));
  EXPECT_EQ(kRecordSignature, getU32(out.data(), rec::dwSignature));
  EXPECT_EQ(1u, getU32(out.data(), rec::dwVersion));
  EXPECT_TRUE(std::equal(in.begin() + 12, in.begin() + kOld, out.begin() + 12));
  EXPECT_EQ(u"Quarterly", getWide(out.data(), rec::jobName, rec::jobNameChars));
  // Past the copied part the output keeps its bytes, after the resets and the crypto defaults.
  EXPECT_EQ(0xC3, out[kOld]);
  EXPECT_EQ(0xC3C3u, getU16(out.data(), rec::compression));
  EXPECT_EQ(0xC3C3u, getU16(out.data(), rec::wmText));
  EXPECT_EQ(0xC3C3C3C3u, getU32(out.data(), rec::reservedD));
  EXPECT_EQ(0, out[rec::nupSelection]);
  EXPECT_EQ(0, out[rec::orientationSelection]);
  EXPECT_EQ(0, out[rec::layoutSignature]);
  EXPECT_EQ(0, getI32(out.data(), rec::lastPaperSize));
  EXPECT_EQ(0u, getU32(out.data(), rec::controlSelection));
  EXPECT_EQ(2u, getU32(out.data(), rec::cryptoSettingA));
  EXPECT_EQ((5u << 16) | 30, getU32(out.data(), rec::cryptoTime));
  EXPECT_EQ(0u, getU32(out.data(), rec::encryptedPasswordLength));
  EXPECT_EQ(0, out[rec::encryptedPassword]);
}

TEST(UiConvert, ForeignSignatureResetsWithoutCopying) {
  Record in = busyInput(kForeign);
  Record out = withHeader(0xC3, 3880, kRecordSignature);
  setI32(out.data(), rec::oemUiValue, 55);
  setU32(out.data(), rec::watermarkIndex, 4);
  setWide(out.data(), rec::jobName, rec::jobNameChars, u"Old");
  setU32(out.data(), rec::reservedB, 0x12345678);
  setI32(out.data(), rec::wmSize, 99);
  uiConvert(in.data(), out.data(), kCrypto);

  EXPECT_EQ(0, std::memcmp(out.data(),
                           "\x28\x0F\x00\x00"
                           "0002"
                           "\x01\x00\x00\x00",
                           12));
  EXPECT_EQ(0u, getU32(out.data(), rec::reservedB));
  EXPECT_EQ(0, getI32(out.data(), rec::oemUiValue));
  EXPECT_EQ(0u, getU32(out.data(), rec::watermarkIndex));
  EXPECT_EQ(u"", getWide(out.data(), rec::jobName, rec::jobNameChars));
  EXPECT_EQ(255, getU16(out.data(), rec::overlayList));
  EXPECT_EQ(0u, getU32(out.data(), rec::customColorNumber));
  EXPECT_EQ(1u, getU32(out.data(), rec::reservedC));
  EXPECT_EQ(2u, getU32(out.data(), rec::cryptoSettingA));
  EXPECT_EQ(99, getI32(out.data(), rec::wmSize));  // not reset, not copied
  EXPECT_EQ(0xC3C3C3C3u, getU32(out.data(), rec::reservedA));
}

TEST(UiConvert, OutputWithForeignSignatureIsReplacedToo) {
  Record in = busyInput(kRecordSignature);
  Record out = withHeader(0xC3, 3880, kForeign);
  uiConvert(in.data(), out.data(), std::nullopt);
  EXPECT_EQ(kRecordSignature, getU32(out.data(), rec::dwSignature));
  EXPECT_EQ(0u, getU32(out.data(), rec::reservedB));
  EXPECT_EQ(0xC3C3C3C3u, getU32(out.data(), rec::cryptoSettingA));  // no crypto library
}

struct CryptoCase {
  const char* name;
  std::uint32_t inSignature;
  std::uint32_t inSize;
  bool library;
  std::uint32_t expectedSettingA;
};

class UiConvertCrypto : public testing::TestWithParam<CryptoCase> {};

TEST_P(UiConvertCrypto, DefaultsAppliedBeforeTheCopy) {
  const CryptoCase& c = GetParam();
  Record in = busyInput(c.inSignature);  // cryptoSettingA 1
  setU32(in.data(), rec::dwSize, c.inSize);
  Record out = withHeader(0xC3, 3880, kRecordSignature);
  uiConvert(in.data(), out.data(), c.library ? std::optional(kCrypto) : std::nullopt);
  EXPECT_EQ(c.expectedSettingA, getU32(out.data(), rec::cryptoSettingA));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UiConvertCrypto,
    testing::Values(CryptoCase{"FullCopyOverwrites", kRecordSignature, 3880, true, 1},
                    CryptoCase{"ShortCopyKeepsDefaults", kRecordSignature, 2000, true, 2},
                    CryptoCase{"ShortCopyNoLibraryKeepsOutput", kRecordSignature, 2000, false,
                               0xC3C3C3C3},
                    CryptoCase{"ForeignGetsDefaults", kForeign, 3880, true, 2},
                    CryptoCase{"ForeignNoLibraryKeepsOutput", kForeign, 3880, false, 0xC3C3C3C3}),
    [](const testing::TestParamInfo<CryptoCase>& info) { return std::string(info.param.name); });

struct OemUiCase {
  const char* name;
  std::int32_t value;
  std::int32_t expected;
};

class UiMergeOemUiValue : public testing::TestWithParam<OemUiCase> {};

TEST_P(UiMergeOemUiValue, ClearsOnlyAboveOneHundredSigned) {
  Record in = busyInput(kRecordSignature);
  setI32(in.data(), rec::oemUiValue, GetParam().value);
  Record out = withHeader(0xC3, 3880, kRecordSignature);
  uiMerge(in.data(), out.data(), std::nullopt);
  EXPECT_EQ(GetParam().expected, getI32(out.data(), rec::oemUiValue));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UiMergeOemUiValue,
    testing::Values(OemUiCase{"Zero", 0, 0}, OemUiCase{"Hundred", 100, 100},
                    OemUiCase{"HundredOne", 101, 0}, OemUiCase{"MinusOne", -1, -1},
                    OemUiCase{"Min", INT32_MIN, INT32_MIN}, OemUiCase{"Max", INT32_MAX, 0}),
    [](const testing::TestParamInfo<OemUiCase>& info) { return std::string(info.param.name); });

TEST(UiMerge, StampsTheOwnSignatureOverACopiedForeignOne) {
  Record in = busyInput(kForeign);
  Record out = withHeader(0xC3, 3880, kForeign);
  uiMerge(in.data(), out.data(), std::nullopt);
  EXPECT_EQ(0, std::memcmp(out.data(),
                           "\x28\x0F\x00\x00"
                           "0002"
                           "\x01\x00\x00\x00",
                           12));
  EXPECT_EQ(u"Quarterly", getWide(out.data(), rec::jobName, rec::jobNameChars));  // copied
}

// ---------------------------------------------------------------------------------------------
// Rendering side

TEST(PsDefaults, WritesOnlyHeaderAndOemUiValue) {
  Record before = filled(0x77);
  Record r = before;
  psDefaults(r.data());
  EXPECT_EQ(0, std::memcmp(r.data(),
                           "\x28\x0F\x00\x00"
                           "0002"
                           "\x01\x00\x00\x00",
                           12));
  EXPECT_EQ(0, getI32(r.data(), rec::oemUiValue));
  for (std::size_t offset : differences(before, r)) EXPECT_LT(offset, 16u);
}

// A record in which every field the rendering side validates is in range.
Record validRecord(std::uint8_t filler) {
  Record r = withHeader(0, 3880, kRecordSignature);
  std::memset(r.data() + 12, filler, r.size() - 12);
  setU32(r.data(), rec::watermarkIndex, 1);
  setU32(r.data(), rec::customColorNumber, 0);
  setU16(r.data(), rec::customColorTLength, 3);
  setU16(r.data(), rec::customColorVLength, 4);
  setU8(r.data(), rec::nupSelection, 2);
  setU8(r.data(), rec::orientationSelection, 1);
  setU32(r.data(), rec::cryptoSettingA, 1);
  setU32(r.data(), rec::cryptoSettingB, 1);
  setU32(r.data(), rec::cryptoTime, 0x00030000);
  setU32(r.data(), rec::encryptedPasswordLength, 8);
  setU8(r.data(), rec::encryptedPassword, 0x99);
  setU16(r.data(), rec::compression, 1);
  setI32(r.data(), rec::oemUiValue, 0);
  return r;
}

struct ValidationCase {
  const char* name;
  std::size_t offset;
  int width;  // 1, 2 or 4 bytes
  std::uint32_t stored;
  std::uint32_t expected;
  bool clearsPassword = false;
};

void putField(Record& r, std::size_t offset, int width, std::uint32_t value) {
  if (width == 1) setU8(r.data(), offset, static_cast<std::uint8_t>(value));
  if (width == 2) setU16(r.data(), offset, static_cast<std::uint16_t>(value));
  if (width == 4) setU32(r.data(), offset, value);
}

class PsConvertValidation : public testing::TestWithParam<ValidationCase> {};

TEST_P(PsConvertValidation, ClampsTheFieldAndNothingElse) {
  const ValidationCase& c = GetParam();
  Record in = validRecord(0x5A);
  putField(in, c.offset, c.width, c.stored);
  Record out = validRecord(0xC3);
  psConvert(in.data(), out.data());

  Record expected = in;
  setU32(expected.data(), rec::dwVersion, 1);
  putField(expected, c.offset, c.width, c.expected);
  if (c.clearsPassword) setU8(expected.data(), rec::encryptedPassword, 0);
  for (std::size_t offset : differences(expected, out)) {
    ADD_FAILURE() << "byte " << offset << " is " << int(out[offset]) << ", expected "
                  << int(expected[offset]);
  }
}

constexpr std::uint32_t colorWord(std::uint8_t number, std::uint8_t gamma, std::uint16_t enabled) {
  return number | (gamma << 8) | (std::uint32_t{enabled} << 16);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PsConvertValidation,
    testing::Values(
        ValidationCase{"Watermark16", rec::watermarkIndex, 4, 16, 16},
        ValidationCase{"Watermark17", rec::watermarkIndex, 4, 17, 0},
        ValidationCase{"WatermarkMax", rec::watermarkIndex, 4, 0xFFFFFFFF, 0},
        ValidationCase{"ColorWordValid", rec::customColorNumber, 4, colorWord(59, 1, 1),
                       colorWord(59, 1, 1)},
        ValidationCase{"ColorNumber60", rec::customColorNumber, 4, colorWord(60, 0, 1), 0},
        ValidationCase{"ColorGamma2", rec::customColorNumber, 4, colorWord(5, 2, 1), 0},
        ValidationCase{"ColorEnabled2", rec::customColorNumber, 4, colorWord(5, 1, 2), 0},
        ValidationCase{"ColorEnabledHighByte", rec::customColorNumber, 4, colorWord(5, 0, 0x100),
                       0},
        ValidationCase{"TLength255", rec::customColorTLength, 2, 255, 255},
        ValidationCase{"TLength256", rec::customColorTLength, 2, 256, 0},
        ValidationCase{"VLength255", rec::customColorVLength, 2, 255, 255},
        ValidationCase{"VLengthFFFF", rec::customColorVLength, 2, 0xFFFF, 0},
        ValidationCase{"Nup6", rec::nupSelection, 1, 6, 6},
        ValidationCase{"Nup7", rec::nupSelection, 1, 7, 0},
        ValidationCase{"Orientation2", rec::orientationSelection, 1, 2, 2},
        ValidationCase{"Orientation3", rec::orientationSelection, 1, 3, 0},
        ValidationCase{"CryptoA2", rec::cryptoSettingA, 4, 2, 2},
        ValidationCase{"CryptoA3", rec::cryptoSettingA, 4, 3, 0},
        ValidationCase{"CryptoB3", rec::cryptoSettingB, 4, 3, 3},
        ValidationCase{"CryptoB4", rec::cryptoSettingB, 4, 4, 0},
        ValidationCase{"Time0", rec::cryptoTime, 4, 0, 0x00020000},
        ValidationCase{"Time4", rec::cryptoTime, 4, 4, 0x00020000},
        ValidationCase{"Time5", rec::cryptoTime, 4, 5, 5},
        ValidationCase{"Time2359", rec::cryptoTime, 4, 0x0017003B, 0x0017003B},
        ValidationCase{"Time2400", rec::cryptoTime, 4, 0x00180000, 0x00020000},
        ValidationCase{"Time0060", rec::cryptoTime, 4, 0x0001003C, 0x00020000},
        ValidationCase{"TimeHugeHours", rec::cryptoTime, 4, 0x80000000, 0x00020000},
        ValidationCase{"PasswordLength1", rec::encryptedPasswordLength, 4, 1, 1},
        ValidationCase{"PasswordLength255", rec::encryptedPasswordLength, 4, 255, 255},
        ValidationCase{"PasswordLength256", rec::encryptedPasswordLength, 4, 256, 0, true},
        ValidationCase{"PasswordLength0", rec::encryptedPasswordLength, 4, 0, 0, true},
        ValidationCase{"Compression3", rec::compression, 2, 3, 3},
        ValidationCase{"Compression4", rec::compression, 2, 4, 0},
        ValidationCase{"CompressionFFFF", rec::compression, 2, 0xFFFF, 0}),
    [](const testing::TestParamInfo<ValidationCase>& info) {
      return std::string(info.param.name);
    });

TEST(PsConvert, ValidatesTheOutputsOwnBytesBeyondAShortCopy) {
  Record in = validRecord(0x5A);
  setU32(in.data(), rec::dwSize, 100);
  Record out = validRecord(0xC3);
  setU32(out.data(), rec::cryptoTime, 4);
  setU16(out.data(), rec::compression, 9);
  psConvert(in.data(), out.data());
  EXPECT_EQ(0x00020000u, getU32(out.data(), rec::cryptoTime));
  EXPECT_EQ(0, getU16(out.data(), rec::compression));
  EXPECT_EQ(0x5A5A5A5Au, getU32(out.data(), rec::reservedA));  // copied, below 100
  EXPECT_EQ(0xC3C3C3C3u, getU32(out.data(), rec::wmSize));     // kept, beyond 100
  EXPECT_EQ(3880u, getU32(out.data(), rec::dwSize));
}

using Conversion = void (*)(const std::uint8_t*, std::uint8_t*);

struct ForeignCase {
  const char* name;
  Conversion convert;
};

class PsForeignSignature : public testing::TestWithParam<ForeignCase> {};

TEST_P(PsForeignSignature, TouchesOnlyHeaderAndOemUiValue) {
  Record in = validRecord(0x5A);
  setU32(in.data(), rec::dwSignature, kForeign);
  Record before = withHeader(0xC3, 1234, kRecordSignature);
  setI32(before.data(), rec::oemUiValue, 77);
  setU32(before.data(), rec::watermarkIndex, 17);  // not validated: nothing was copied
  Record out = before;
  GetParam().convert(in.data(), out.data());
  EXPECT_EQ(0, std::memcmp(out.data(),
                           "\x28\x0F\x00\x00"
                           "0002"
                           "\x01\x00\x00\x00",
                           12));
  EXPECT_EQ(0, getI32(out.data(), rec::oemUiValue));
  for (std::size_t offset : differences(before, out)) EXPECT_LT(offset, 16u);
}

INSTANTIATE_TEST_SUITE_P(Both, PsForeignSignature,
                         testing::Values(ForeignCase{"Convert", psConvert},
                                         ForeignCase{"Merge", psMerge}),
                         [](const testing::TestParamInfo<ForeignCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(PsMerge, ClampsAndAlwaysClearsOemUiValue) {
  Record in = validRecord(0x5A);
  setI32(in.data(), rec::oemUiValue, 50);
  setU32(in.data(), rec::watermarkIndex, 17);
  setU32(in.data(), rec::cryptoTime, 4);
  Record out = validRecord(0xC3);
  psConvert(in.data(), out.data());
  EXPECT_EQ(50, getI32(out.data(), rec::oemUiValue));  // the conversion keeps the copied value
  psMerge(in.data(), out.data());
  EXPECT_EQ(0, getI32(out.data(), rec::oemUiValue));
  EXPECT_EQ(0u, getU32(out.data(), rec::watermarkIndex));
  EXPECT_EQ(0x00020000u, getU32(out.data(), rec::cryptoTime));
}

TEST(PsMerge, SharedForeignSignatureIsCopiedThenStamped) {
  Record in = validRecord(0x5A);
  setU32(in.data(), rec::dwSignature, kForeign);
  Record out = validRecord(0xC3);
  setU32(out.data(), rec::dwSignature, kForeign);
  psMerge(in.data(), out.data());
  EXPECT_EQ(kRecordSignature, getU32(out.data(), rec::dwSignature));
  EXPECT_EQ(0x5A5A5A5Au, getU32(out.data(), rec::reservedD));
}

// ---------------------------------------------------------------------------------------------
// All four conversions against hostile sizes and short buffers

struct AnyConversion {
  const char* name;
  std::function<void(const std::uint8_t*, std::uint8_t*)> convert;
};

const AnyConversion kConversions[] = {
    {"uiConvert", [](const std::uint8_t* i, std::uint8_t* o) { uiConvert(i, o, kCrypto); }},
    {"uiMerge", [](const std::uint8_t* i, std::uint8_t* o) { uiMerge(i, o, kCrypto); }},
    {"psConvert", psConvert},
    {"psMerge", psMerge},
};

struct HostileCase {
  std::uint32_t inSize;
  std::uint32_t outSize;
  std::size_t copied;
};

const HostileCase kHostile[] = {
    {0, 3880, 0},
    {5, 3880, 5},
    {0xFFFFFFFF, 3880, 3880},
    {3880, 0, 0},
    {3880, 5, 5},
    {0xFFFFFFFF, 0xFFFFFFFF, 3880},
    {0x80000000, 4000, 3880},
    {700, 0xFFFFFFFF, 700},
};

TEST(AllConversions, HostileSizesNeverReachPastTheRecord) {
  // Probes in fields that no conversion resets or validates.
  const std::size_t probes[] = {rec::reservedA, rec::wmSize, rec::wmText, rec::reservedD};
  for (const AnyConversion& conversion : kConversions) {
    for (const HostileCase& c : kHostile) {
      SCOPED_TRACE(std::string(conversion.name) + " in " + std::to_string(c.inSize) + " out " +
                   std::to_string(c.outSize));
      // Heap buffers of exactly the record size: the sanitizer sees any access beyond them.
      Record in = withHeader(0x5A, c.inSize, kRecordSignature);
      Record out = withHeader(0xC3, c.outSize, kRecordSignature);
      conversion.convert(in.data(), out.data());
      EXPECT_EQ(3880u, getU32(out.data(), rec::dwSize));
      EXPECT_EQ(1u, getU32(out.data(), rec::dwVersion));
      EXPECT_EQ(kRecordSignature, getU32(out.data(), rec::dwSignature));
      for (std::size_t probe : probes) {
        EXPECT_EQ(probe < c.copied ? 0x5A : 0xC3, out[probe]) << "at " << probe;
      }
    }
  }
}

TEST(AllConversions, OlderPhysicallyShortInputIsReadOnlyToItsSize) {
  for (const AnyConversion& conversion : kConversions) {
    SCOPED_TRACE(conversion.name);
    Record in(1000, 0x5A);  // an older, smaller record: the buffer ends where dwSize says
    setU32(in.data(), rec::dwSize, 1000);
    setU32(in.data(), rec::dwSignature, kRecordSignature);
    Record out = withHeader(0xC3, 3880, kRecordSignature);
    conversion.convert(in.data(), out.data());
    EXPECT_EQ(0x5A, out[999]);
    EXPECT_EQ(0xC3, out[rec::reservedD]);
  }
}

TEST(AllConversions, MissingRecordChangesNothing) {
  for (const AnyConversion& conversion : kConversions) {
    SCOPED_TRACE(conversion.name);
    Record in = busyInput(kRecordSignature);
    Record out = filled(0xC3);
    conversion.convert(nullptr, out.data());
    EXPECT_EQ(filled(0xC3), out);
    conversion.convert(in.data(), nullptr);  // must not crash
    EXPECT_EQ(busyInput(kRecordSignature), in);
  }
  psDefaults(nullptr);
  uiDefaults(nullptr, UiDefaultInputs{});
}

}  // namespace
}  // namespace vex
