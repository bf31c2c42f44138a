// The private settings record that both plug-ins keep behind the driver's public device mode.
// It travels between a 64-bit and a 32-bit process and is stored in printer and user settings,
// so it is a wire format: fixed offsets, little-endian, no pointers. Code reads and writes it
// through the named offsets and accessors below, never through a packed struct.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vex {

inline constexpr std::size_t kRecordSize = 3880;
inline constexpr std::uint32_t kRecordSignature = 0x32303030;  // the bytes "0002"
inline constexpr std::uint32_t kRecordVersion = 1;

// Byte offsets of the record's fields; `*Chars` are wide-string capacities in characters
// (terminator included).
namespace rec {
inline constexpr std::size_t dwSize = 0;
inline constexpr std::size_t dwSignature = 4;
inline constexpr std::size_t dwVersion = 8;
inline constexpr std::size_t oemUiValue = 12;  // i32
inline constexpr std::size_t jobName = 16;     // wide
inline constexpr std::size_t jobNameChars = 17;
inline constexpr std::size_t jobPassword = 50;  // wide
inline constexpr std::size_t jobPasswordChars = 5;
inline constexpr std::size_t jobNameRequired = 60;  // u32
inline constexpr std::size_t reservedA = 64;        // u32
inline constexpr std::size_t watermarkIndex = 68;   // u32
inline constexpr std::size_t overlayList = 72;      // u16[4]
inline constexpr std::size_t overlaySlots = 4;
inline constexpr std::size_t colorMode = 80;            // i16
inline constexpr std::size_t reservedB = 84;            // u32
inline constexpr std::size_t customColorTLength = 88;   // u16
inline constexpr std::size_t customColorTData = 90;     // bytes
inline constexpr std::size_t customColorTCapacity = 253;
inline constexpr std::size_t customColorVLength = 343;  // u16, unaligned
inline constexpr std::size_t customColorVData = 345;    // bytes
inline constexpr std::size_t customColorVCapacity = 255;
inline constexpr std::size_t customColorNumber = 600;   // u8
inline constexpr std::size_t customColorGamma = 601;    // u8
inline constexpr std::size_t customColorEnabled = 602;  // u16
inline constexpr std::size_t reservedC = 604;           // u32
inline constexpr std::size_t wmSize = 608;              // i32
inline constexpr std::size_t wmFontIndex = 612;         // i32
inline constexpr std::size_t wmAngle = 616;             // i16
inline constexpr std::size_t wmOffsetX = 620;           // i32
inline constexpr std::size_t wmOffsetY = 624;           // i32
inline constexpr std::size_t wmColor = 628;             // u32 COLORREF
inline constexpr std::size_t wmFontFace = 894;          // wide
inline constexpr std::size_t wmFontFaceChars = 33;
inline constexpr std::size_t wmFontWeight = 960;      // i32
inline constexpr std::size_t wmItalic = 964;          // u8
inline constexpr std::size_t wmCharSet = 965;         // u8
inline constexpr std::size_t wmPosition = 966;        // i16
inline constexpr std::size_t wmFrameStyle = 968;      // i16
inline constexpr std::size_t wmBackground = 970;      // i16
inline constexpr std::size_t wmFirstPageOnly = 972;   // i16
inline constexpr std::size_t wmFontStyle = 974;       // i16
inline constexpr std::size_t wmColorText = 976;       // bytes
inline constexpr std::size_t wmColorTextBytes = 16;
inline constexpr std::size_t driverDirectory = 992;  // wide
inline constexpr std::size_t pluginIniPath = 1514;   // wide
inline constexpr std::size_t capabilityFilePath = 2036;  // wide
inline constexpr std::size_t pathChars = 261;
inline constexpr std::size_t compression = 2558;           // u16
inline constexpr std::size_t nupSelection = 2560;          // u8
inline constexpr std::size_t lastPaperSize = 2564;         // i32
inline constexpr std::size_t layoutSignature = 2568;       // u8
inline constexpr std::size_t orientationSelection = 2569;  // u8
inline constexpr std::size_t wmText = 2570;                // wide
inline constexpr std::size_t wmTextChars = 513;
inline constexpr std::size_t cryptoSettingA = 3596;           // u32
inline constexpr std::size_t cryptoSettingB = 3600;           // u32
inline constexpr std::size_t encryptedPassword = 3604;        // bytes
inline constexpr std::size_t encryptedPasswordCapacity = 256;
inline constexpr std::size_t encryptedPasswordLength = 3860;  // u32
inline constexpr std::size_t cryptoTime = 3864;               // u32
inline constexpr std::size_t cryptoFlag = 3868;               // u32
inline constexpr std::size_t controlSelection = 3872;         // u32
inline constexpr std::size_t reservedD = 3876;                // u32
}  // namespace rec

// Little-endian accessors over raw record bytes. The caller guarantees that the field lies inside
// the buffer (every offset above does for a buffer of kRecordSize bytes).
std::uint8_t getU8(const std::uint8_t* record, std::size_t offset);
std::uint16_t getU16(const std::uint8_t* record, std::size_t offset);
std::uint32_t getU32(const std::uint8_t* record, std::size_t offset);
std::int16_t getI16(const std::uint8_t* record, std::size_t offset);
std::int32_t getI32(const std::uint8_t* record, std::size_t offset);
void setU8(std::uint8_t* record, std::size_t offset, std::uint8_t value);
void setU16(std::uint8_t* record, std::size_t offset, std::uint16_t value);
void setU32(std::uint8_t* record, std::size_t offset, std::uint32_t value);
void setI16(std::uint8_t* record, std::size_t offset, std::int16_t value);
void setI32(std::uint8_t* record, std::size_t offset, std::int32_t value);

// A wide (UTF-16LE) field read up to its first NUL or its capacity, whichever comes first.
std::u16string getWide(const std::uint8_t* record, std::size_t offset, std::size_t chars);
// Writes `text` cut to chars - 1 characters and a terminating NUL; the rest of the field is kept.
void setWide(std::uint8_t* record, std::size_t offset, std::size_t chars, std::u16string_view text);

// The 32-byte settings block exchanged with the crypto library.
struct CryptoSettingsBlock {
  std::uint32_t settingA;
  std::uint32_t settingB;
  char password[16];
  std::uint32_t askAtPrint;
  std::uint32_t keepingTime;  // hours << 16 | minutes
};
static_assert(sizeof(CryptoSettingsBlock) == 32);

// Default job compression from the configuration's "Compression" value (bits 8..11 index a
// table of ten entries; the six indexes beyond it give 0, as the rendering side validates).
std::uint16_t defaultCompression(std::int32_t compressionValue);

// What the UI plug-in's defaults take from the platform, gathered by its shell.
struct UiDefaultInputs {
  std::u16string pluginIniPath;       // from the dependent-file search
  std::u16string configFilePath;      // set by the same search
  std::u16string driverDirectory;     // empty when it did not fit
  std::optional<CryptoSettingsBlock> cryptoDefaults;  // present when "GetDefaultSetting" answered
  std::int32_t compressionValue = 0;  // "Compression" of the model section
};

// The UI plug-in's device-mode rules.
void uiDefaults(std::uint8_t* out, const UiDefaultInputs& inputs);
void uiConvert(const std::uint8_t* in, std::uint8_t* out,
               const std::optional<CryptoSettingsBlock>& cryptoDefaults);
void uiMerge(const std::uint8_t* in, std::uint8_t* out,
             const std::optional<CryptoSettingsBlock>& cryptoDefaults);

// The rendering plug-in's device-mode rules (with the validation of every field it reads).
void psDefaults(std::uint8_t* out);
void psConvert(const std::uint8_t* in, std::uint8_t* out);
void psMerge(const std::uint8_t* in, std::uint8_t* out);

// Number of bytes a conversion copies from `in` to `out`: the smaller of the two records' own
// sizes, never more than the record size (a hostile size cannot reach past the buffers).
std::size_t recordCopySize(const std::uint8_t* in, const std::uint8_t* out);

}  // namespace vex
