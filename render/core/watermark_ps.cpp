#include "watermark_ps.h"

#include <cmath>
#include <vector>

#include "private_settings.h"
#include "ps_text.h"
#include "sine_table.h"

namespace vex {

const std::array<std::int16_t, 91>& sineTable() { return kSineTable; }

OrientedPlacement orientPlacement(std::int32_t angle, std::int32_t offsetX, std::int32_t offsetY,
                                  std::uint8_t orientation) {
  OrientedPlacement p{angle, offsetX, offsetY};
  if (orientation == 1) {
    p.x = offsetY;
    p.y = -static_cast<std::int64_t>(offsetX);
    p.angle = angle < 270 ? angle + 90 : angle - 270;
  } else if (orientation == 2) {
    p.x = -static_cast<std::int64_t>(offsetY);
    p.y = offsetX;
    p.angle = angle + 270 < 180 ? angle + 270 : angle - 90;
  }
  return p;
}

int foldAngle(std::int64_t angle) {
  // The record's angle is any 16-bit value; whole turns bring it into -180..180 before it
  // indexes the table.
  angle %= 360;
  if (angle > 180) angle -= 360;
  if (angle < -180) angle += 360;
  if (angle < -90) return static_cast<int>(angle + 180);
  if (angle < 0) return static_cast<int>(-angle);
  if (angle > 90) return static_cast<int>(180 - angle);
  return static_cast<int>(angle);
}

std::string watermarkColorText(const std::uint8_t* record) {
  const char* bytes = reinterpret_cast<const char*>(record + rec::wmColorText);
  std::string_view text(bytes, rec::wmColorTextBytes);
  text = text.substr(0, text.find('\0'));
  return isColorText(text) ? std::string(text) : std::string(kDefaultColorText);
}

std::string watermarkInitText(std::string_view pattern, const std::uint8_t* record,
                              std::string_view textAnsi, std::string_view fontAnsi) {
  const std::uint8_t orientation = getU8(record, rec::orientationSelection);
  const OrientedPlacement place =
      orientPlacement(getI16(record, rec::wmAngle), getI32(record, rec::wmOffsetX),
                      getI32(record, rec::wmOffsetY), orientation);
  const int folded = foldAngle(place.angle);
  const auto& sine = sineTable();
  // Numbers go out as the unsigned view of their sign-extended value.
  auto number = [](std::int32_t value) {
    return FormatArg::num(static_cast<std::uint32_t>(value));
  };
  const std::vector<FormatArg> args = {
      number(getI32(record, rec::wmSize)),
      FormatArg::str(watermarkColorText(record)),
      FormatArg::str(decimalText(place.angle)),
      number(getI16(record, rec::wmPosition)),
      FormatArg::str(decimalText(place.x)),
      FormatArg::str(decimalText(place.y)),
      number(getI16(record, rec::wmFrameStyle)),
      number(sine[folded]),
      number(sine[90 - folded]),
      number(getI16(record, rec::wmBackground)),
      number(getU8(record, rec::wmFirstPageOnly)),
      number(getI16(record, rec::wmFontStyle)),
      number(orientation),
  };
  const std::string_view font = isPostScriptName(fontAnsi) ? fontAnsi : kDefaultWatermarkFont;
  return formatTemplate(pattern, textAnsi, font, args);
}

int watermarkPageTemplate(const std::uint8_t* record) {
  return getI16(record, rec::wmBackground) != 0 ? kWatermarkDrawTemplate : kWatermarkMatrixTemplate;
}

}  // namespace vex
