// The texts of the about box (117) over plain values: the PPD's version and copyright lines, the
// driver version from the version file, and the band where the internal version is drawn.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vex {

// The PPD is read in pieces of at most this many bytes, as a line buffer of 255 characters
// holds them: a longer line is several pieces, each searched on its own.
inline constexpr std::size_t kPpdPieceBytes = 254;
inline constexpr std::size_t kAboutTextChars = 256;  // each text of the box, at most

// The first piece of `ppd` that contains `keyword`, without its line end; empty when none does.
std::string findPpdPiece(std::string_view ppd, std::string_view keyword);

// The text between the first two double quotes of a "FileVersion" line; empty without two.
std::string ppdFileVersion(std::string_view line);
// Everything after the first space of a "Copyright" line; empty without a space.
std::string ppdCopyright(std::string_view line);

// The values of the version file's "Version" section, as read (bounded by the reader).
struct VersionValues {
  std::u16string optionVer;
  std::u16string driverVer;
  std::u16string internalVer;
};
inline constexpr std::size_t kOptionVerChars = 255;
inline constexpr std::size_t kDriverVerChars = 31;
inline constexpr std::size_t kInternalVerChars = 511;

// "OptionVer" when it is not empty (at most 255 characters). Otherwise the part of "DriverVer"
// after its first comma, up to a double quote, cut to 5 characters, followed by what comes after
// the second "-" outside double quotes of "InternalVer" when at most 246 characters remain from
// that "-" (a double quote right after it is left out, and then the value's last character too).
std::u16string driverVersionText(const VersionValues& values);

// A rectangle in dialog client pixels.
struct Band {
  long left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Band&) const = default;
};
// The band of the internal version: 10 pixels inside the dialog's left and right edges, from 2 to
// 22 pixels below the copyright text's bottom.
Band internalVersionBand(long clientWidth, long copyrightBottom);
// Strictly inside the rectangle (a click on its edge is outside).
bool strictlyInside(const Band& rect, long x, long y);

}  // namespace vex
