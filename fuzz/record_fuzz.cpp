// Arbitrary bytes as private settings records (input and initial output) of the four device-mode
// conversions, and as text for the named-field setter. Aborts on any broken invariant.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "private_settings.h"
#include "record_fields.h"

namespace {

using vex::kRecordSize;
namespace rec = vex::rec;
using Record = std::array<std::uint8_t, kRecordSize>;

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "record_fuzz: invariant broken: %s\n", what);
    std::abort();
  }
}

// Bytes that the rendering side's validation may rewrite.
bool validatedByte(std::size_t offset) {
  struct Span {
    std::size_t first, bytes;
  };
  static constexpr Span kValidated[] = {
      {rec::watermarkIndex, 4},
      {rec::customColorNumber, 4},
      {rec::customColorTLength, 2},
      {rec::customColorVLength, 2},
      {rec::nupSelection, 1},
      {rec::orientationSelection, 1},
      {rec::cryptoSettingA, 4},
      {rec::cryptoSettingB, 4},
      {rec::cryptoTime, 4},
      {rec::encryptedPassword, 1},
      {rec::encryptedPasswordLength, 4},
      {rec::compression, 2},
  };
  for (const Span& s : kValidated) {
    if (offset >= s.first && offset < s.first + s.bytes) return true;
  }
  return false;
}

void checkRenderingRanges(const std::uint8_t* r) {
  using namespace vex;
  require(getU32(r, rec::watermarkIndex) <= 16, "watermarkIndex <= 16");
  require(getU8(r, rec::customColorNumber) <= 59, "customColorNumber <= 59");
  require(getU8(r, rec::customColorGamma) <= 1, "customColorGamma <= 1");
  require(getU16(r, rec::customColorEnabled) <= 1, "customColorEnabled <= 1");
  require(getU16(r, rec::customColorTLength) <= 255, "customColorTLength <= 255");
  require(getU16(r, rec::customColorVLength) <= 255, "customColorVLength <= 255");
  require(getU8(r, rec::nupSelection) <= 6, "nupSelection <= 6");
  require(getU8(r, rec::orientationSelection) <= 2, "orientationSelection <= 2");
  require(getU32(r, rec::cryptoSettingA) <= 2, "cryptoSettingA <= 2");
  require(getU32(r, rec::cryptoSettingB) <= 3, "cryptoSettingB <= 3");
  const std::uint32_t time = getU32(r, rec::cryptoTime);
  require(time >= 5 && (time >> 16) <= 23 && (time & 0xFFFF) <= 59, "cryptoTime is a time");
  const std::uint32_t length = getU32(r, rec::encryptedPasswordLength);
  require(length <= 255, "encryptedPasswordLength <= 255");
  require(length != 0 || r[rec::encryptedPassword] == 0, "no password leaves an empty one");
  require(getU16(r, rec::compression) <= 3, "compression <= 3");
}

void checkHeader(const std::uint8_t* r) {
  require(vex::getU32(r, rec::dwSize) == kRecordSize, "dwSize is the record size");
  require(vex::getU32(r, rec::dwVersion) == vex::kRecordVersion, "dwVersion 1");
}

void checkRendering(const Record& in, const Record& before, const Record& out, bool merge) {
  checkHeader(out.data());
  const bool matching =
      vex::getU32(in.data(), rec::dwSignature) == vex::getU32(before.data(), rec::dwSignature);
  if (merge || !matching) {
    require(vex::getU32(out.data(), rec::dwSignature) == vex::kRecordSignature, "signature 0002");
  }
  if (merge) require(vex::getI32(out.data(), rec::oemUiValue) == 0, "merge clears oemUiValue");
  const std::size_t copied = vex::recordCopySize(in.data(), before.data());
  require(copied <= kRecordSize, "copy stays inside the record");
  for (std::size_t i = 16; i < kRecordSize; ++i) {
    if (!matching) {
      require(out[i] == before[i], "foreign record leaves the body untouched");
    } else if (!validatedByte(i)) {
      require(out[i] == (i < copied ? in[i] : before[i]), "body is the copy or the old bytes");
    }
  }
  if (matching) checkRenderingRanges(out.data());
}

void checkUi(const Record& in, const Record& before, const Record& out,
             const std::optional<vex::CryptoSettingsBlock>& crypto, bool merge) {
  using namespace vex;
  checkHeader(out.data());
  const bool matching =
      getU32(in.data(), rec::dwSignature) == getU32(before.data(), rec::dwSignature);
  if (merge) {
    require(getU32(out.data(), rec::dwSignature) == kRecordSignature, "signature 0002");
    require(getI32(out.data(), rec::oemUiValue) <= 100, "oemUiValue <= 100");
  }
  if (matching) {
    const std::size_t copied = recordCopySize(in.data(), before.data());
    for (std::size_t i = 16; i < copied; ++i) require(out[i] == in[i], "copied body");
    return;
  }
  require(getU32(out.data(), rec::dwSignature) == kRecordSignature, "foreign becomes 0002");
  require(getU32(out.data(), rec::reservedB) == 0, "foreign clears reservedB");
  require(getU16(out.data(), rec::overlayList) == 255, "overlay list reset");
  require(getU32(out.data(), rec::customColorNumber) == 0, "custom colour word reset");
  require(getU32(out.data(), rec::reservedC) == 1, "reservedC 1");
  require(getU32(out.data(), rec::reservedA) == getU32(before.data(), rec::reservedA),
          "reservedA kept");
  if (crypto) {
    require(getU32(out.data(), rec::cryptoTime) == crypto->keepingTime, "crypto defaults");
    require(getU32(out.data(), rec::encryptedPasswordLength) == 0, "password length cleared");
  } else {
    require(getU32(out.data(), rec::cryptoTime) == getU32(before.data(), rec::cryptoTime),
            "crypto fields kept without a library");
  }
}

void fuzzFieldText(const Record& base, const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const auto fields = vex::recordFields();
  const std::size_t pick = data[0] % (fields.size() + 1);
  std::string unknownName;
  std::string_view name;
  const vex::RecordFieldInfo* field = nullptr;
  std::size_t textStart = 1;
  if (pick < fields.size()) {
    field = &fields[pick];
    name = field->name;
  } else {
    // A made-up name from the next bytes.
    const std::size_t length = size > 1 ? data[1] % 24 : 0;
    textStart = std::min(size, 2 + length);
    unknownName.assign(reinterpret_cast<const char*>(data) + std::min<std::size_t>(2, size),
                       reinterpret_cast<const char*>(data) + textStart);
    name = unknownName;
    field = vex::findRecordField(name);
  }
  std::u16string text;
  for (std::size_t i = textStart; i + 1 < size && text.size() < 4096; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  Record record = base;
  std::string error;
  const bool ok = vex::setRecordFieldFromText(record.data(), name, text, &error);
  if (!ok) {
    require(record == base, "failed set writes nothing");
    require(!error.empty(), "failure has a message");
    return;
  }
  require(field != nullptr, "only known fields can be set");
  const std::size_t end = field->offset + vex::recordFieldBytes(*field);
  for (std::size_t i = 0; i < kRecordSize; ++i) {
    if (i < field->offset || i >= end) require(record[i] == base[i], "set stays in its field");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Record in{};
  if (size != 0) std::memcpy(in.data(), data, std::min(size, kRecordSize));
  // A second record from the bytes beyond the first, else the same bytes (signatures then match).
  Record initialOut = in;
  if (size > kRecordSize) {
    initialOut.fill(0);
    std::memcpy(initialOut.data(), data + kRecordSize, std::min(size - kRecordSize, kRecordSize));
  }
  // The crypto library's answer is outside data too: taken from the tail when the last byte says
  // so.
  std::optional<vex::CryptoSettingsBlock> crypto;
  if (size >= 32 && (data[size - 1] & 1) != 0) {
    const std::uint8_t* tail = data + size - 32;
    crypto = vex::CryptoSettingsBlock{};
    crypto->settingA = vex::getU32(tail, 0);
    crypto->settingB = vex::getU32(tail, 4);
    std::memcpy(crypto->password, tail + 8, sizeof crypto->password);
    crypto->askAtPrint = vex::getU32(tail, 24);
    crypto->keepingTime = vex::getU32(tail, 28);
  }

  Record out = initialOut;
  vex::psConvert(in.data(), out.data());
  checkRendering(in, initialOut, out, false);

  out = initialOut;
  vex::psMerge(in.data(), out.data());
  checkRendering(in, initialOut, out, true);

  out = initialOut;
  vex::uiConvert(in.data(), out.data(), crypto);
  checkUi(in, initialOut, out, crypto, false);

  out = initialOut;
  vex::uiMerge(in.data(), out.data(), crypto);
  checkUi(in, initialOut, out, crypto, true);

  fuzzFieldText(initialOut, data, size);
  return 0;
}
