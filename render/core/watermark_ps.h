// The watermark's PostScript: the initialisation line built from the record's watermark block
// (template 1) and the choice of the per-page call (templates 2 and 3).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vex {

// Template ids (resources of type kTemplateResourceType in the plug-in).
inline constexpr int kWatermarkInitTemplate = 1;
inline constexpr int kWatermarkDrawTemplate = 2;    // background: draw_watermark
inline constexpr int kWatermarkMatrixTemplate = 3;  // foreground: getwmmatrix
inline constexpr int kTemplateResourceType = 20563;

// What stands in for a font name or colour text that is not a clean token.
inline constexpr std::string_view kDefaultWatermarkFont = "HeiseiMin-W3-90ms-RKSJ-H";
inline constexpr std::string_view kDefaultColorText = "0.75 0.75 0.75";

// 10000 * sin(i degrees), rounded, for i = 0..90.
const std::array<std::int16_t, 91>& sineTable();

// Angle, x and y as the procedures expect them for the page orientation (0, 1 or 2; any other
// value is taken as 0).
struct OrientedPlacement {
  std::int64_t angle;
  std::int64_t x;
  std::int64_t y;
};
OrientedPlacement orientPlacement(std::int32_t angle, std::int32_t offsetX, std::int32_t offsetY,
                                  std::uint8_t orientation);

// The angle folded into 0..90 for the sine table; angles outside -180..180 are first brought
// into that range by whole turns.
int foldAngle(std::int64_t angle);

// Template 1 filled from a record of kRecordSize bytes. `textAnsi` and `fontAnsi` are the record's
// wmText and wmFontFace in the system ANSI code page; a font name that is not a PostScript name
// and a colour text that is not three decimal numbers are replaced by the defaults above.
std::string watermarkInitText(std::string_view pattern, const std::uint8_t* record,
                              std::string_view textAnsi, std::string_view fontAnsi);

// The record's colour text as it may go into the job (the default when it is not clean).
std::string watermarkColorText(const std::uint8_t* record);

// Template id of the per-page call for the record's wmBackground.
int watermarkPageTemplate(const std::uint8_t* record);

}  // namespace vex
