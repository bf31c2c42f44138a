// The watermark store: the definitions kept in section "Watermark" of the plug-in INI file, the
// list one property sheet works on (with its snapshot for one opening of the watermark dialog),
// the copy of the chosen definition into the private settings record, the font resolution from
// the watermark font file and the custom colours of the colour chooser. Reading and writing go
// through a profile interface so that the rules run anywhere.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

inline constexpr std::size_t kWatermarkTextChars = 128;  // without the terminator
inline constexpr std::size_t kWatermarkFontChars = 32;
inline constexpr std::size_t kMaxWatermarks = 16;
inline constexpr std::size_t kProfileValueChars = 511;  // values and key lists
inline constexpr std::uint32_t kDefaultWatermarkColor = 0xC0C0C0;
// Section names that stored INI files rely on; the string table holds the same texts (8051 and
// 8053), but a translated table must not move the user's watermarks and colours elsewhere.
inline constexpr char16_t kWatermarkSection[] = u"Watermark";
inline constexpr char16_t kCustomColorSection[] =
    u"\u81ea\u5b9a\u4e49\u989c\u8272";  // custom colours
inline constexpr char16_t kPrinterFontSection[] = u"PrinterFont";

struct WatermarkDefinition {
  std::int32_t fontSize = 72;
  std::int32_t fontIndex = 0;
  std::int16_t angle = 45;
  std::int32_t offsetX = 0;
  std::int32_t offsetY = 0;
  std::uint32_t color = kDefaultWatermarkColor;  // COLORREF 0x00BBGGRR
  std::u16string text;                           // at most 128 characters
  std::u16string fontName;  // at most 32 characters; definition 0 brings the default
  std::int32_t fontWeight = 0;
  std::uint8_t italic = 0;
  std::uint8_t charSet = 0;
  std::int16_t position = 3;
  std::int16_t frameStyle = 0;
  std::int16_t asBackground = 0;
  std::uint8_t firstPageOnly = 0;
  std::int16_t styleCode = 0;

  bool operator==(const WatermarkDefinition&) const = default;
};

// Copies every field of the definition, text and font name included.
void CopyWatermarkDefinition(WatermarkDefinition& target, const WatermarkDefinition& source);

// What the store reads and writes through (the profile API of the plug-in INI file).
class WatermarkProfile {
 public:
  virtual ~WatermarkProfile() = default;
  // Key names of `section` in file order, from a key list of at most 511 characters.
  virtual std::vector<std::u16string> keys(std::u16string_view section) = 0;
  // Value of `key`, at most `maxChars` characters; empty when missing.
  virtual std::u16string read(std::u16string_view section, std::u16string_view key,
                              std::size_t maxChars) = 0;
  virtual void write(std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) = 0;
  virtual void deleteSection(std::u16string_view section) = 0;
};

// --- The INI format of one definition ---

// "WTMK00" and n in decimal: "WTMK001" .. "WTMK009", "WTMK0010" ...
std::u16string watermarkKey(std::size_t n);
// A field's number: decimal digits, "0x" switching to hexadecimal, "-" anywhere making it
// negative, other characters ignored; reads up to "," or ";" or the end of `field`, and sets
// *consumed to the characters read (the separator not included).
std::int32_t parseWatermarkNumber(std::u16string_view field, std::size_t* consumed = nullptr);
// The value of a "WTMK00n" key, and back.
WatermarkDefinition parseWatermarkValue(std::u16string_view value);
std::u16string formatWatermarkValue(const WatermarkDefinition& definition);
// A backslash before every "\", "," and ";".
std::u16string escapeWatermarkText(std::u16string_view text);

// --- Colours ---

// "%1.2f %1.2f %1.2f" of red, green and blue / 255 ("0.75 0.75 0.75"), in 16 zero-filled
// bytes; the same text in every C library locale.
std::array<std::uint8_t, 16> watermarkColorText(std::uint32_t color);
// A custom colour's value "r,g,b" (each part a decimal number cut to 8 bits) and back.
std::uint32_t parseCustomColor(std::u16string_view value);
std::u16string formatCustomColor(std::uint32_t color);

// --- Fonts ---

// Decimal text of a number ("-12", "0").
std::u16string decimalText16(std::int64_t value);
// Sets fontName and styleCode from the font file's entry for fontIndex + 1 (its value given).
void ResolveWatermarkFont(WatermarkDefinition& definition, std::u16string_view fontEntry);

// --- The list of one property sheet ---

struct WatermarkList {
  std::vector<WatermarkDefinition> definitions;  // slot 0 and the user's, count + 1 entries
  std::uint32_t currentIndex = 0;
  bool loaded = false;
  // Snapshot of one opening of the watermark dialog.
  std::vector<WatermarkDefinition> snapshot;  // definitions 1 .. count
  std::uint32_t snapshotCurrent = 0;
  bool hasSnapshot = false;
  std::uint32_t firstPageCopy = 0;
  std::uint32_t backgroundCopy = 0;
  WatermarkDefinition working;

  std::uint32_t count() const {
    return definitions.empty() ? 0 : static_cast<std::uint32_t>(definitions.size() - 1);
  }
};

// Definition 0's texts, which the caller takes from the module's string table (strings 8050 and
// 8052); they are cut to the widths of the fields.
struct NoWatermarkTexts {
  std::u16string text;      // "none", also its name in the list
  std::u16string fontName;  // the PostScript font that a new watermark starts with
};

// The font index of a font file's "DefaultNo": the 1-based number less one; 0, a missing key and
// any negative number mean the first font.
std::int32_t defaultFontIndex(std::int32_t defaultNo);
// Definition 0 for the font file's "DefaultNo".
WatermarkDefinition noWatermarkDefinition(const NoWatermarkTexts& texts, std::int32_t defaultNo);

// Reads the list from section "Watermark" when it is not loaded yet (keys in file order while
// they begin with "W", at most 16), with the record's watermarkIndex as the current index; then,
// on every opening, takes the snapshot and prepares the working copy.
void LoadWatermarkList(WatermarkList& list, WatermarkProfile& profile,
                       const NoWatermarkTexts& texts, std::int32_t defaultNo,
                       std::uint32_t recordWatermarkIndex);
// Accepting the dialog: drops the snapshot, writes the current definition into the record (of
// kRecordSize bytes) and keeps definition 0's first-page and background flags.
void CommitWatermarkSelection(WatermarkList& list, std::uint8_t* record);
// Cancelling the dialog: puts the snapshot back.
void RollBackWatermarkList(WatermarkList& list);
// Rewrites section "Watermark" from the list.
void SaveWatermarkList(const WatermarkList& list, WatermarkProfile& profile);
void ReleaseWatermarkList(WatermarkList& list);

// Writes `definition` as the record's watermark block, with `index` as watermarkIndex.
void writeWatermarkRecord(std::uint8_t* record, std::uint32_t index,
                          const WatermarkDefinition& definition);

// The 16 custom colours shared by the library (16 times 0xC0C0C0 before anything is read).
std::array<std::uint32_t, 16>& customColors();
void LoadCustomColors(WatermarkProfile& profile);
void SaveCustomColors(WatermarkProfile& profile);

}  // namespace vex
