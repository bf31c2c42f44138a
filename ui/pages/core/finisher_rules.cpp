#include "finisher_rules.h"

#include <algorithm>
#include <initializer_list>

namespace vex {
namespace {

constexpr std::uint8_t kLayoutSpecial = 6;         // treated apart in every table
constexpr std::uint8_t kSignatureLayout6Only = 6;  // layout 6, no orientation selection, no punch
constexpr std::uint32_t kBindNoPunch = 4;          // the binding position that rules out punching

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), text) != names.end();
}

bool isLayoutOneOrThree(std::uint8_t layout) { return layout == 1 || layout == 3; }
bool isPortrait(std::int16_t orientation) { return orientation == 1; }

// The two rows of the paper table whose class depends on the orientation: `base`, or base + 1
// when O = 1 under layouts 1 and 3, or when O is not 1 under the others.
int turnedClass(int base, std::uint8_t layout, std::int16_t orientation) {
  const bool raised =
      isLayoutOneOrThree(layout) ? isPortrait(orientation) : !isPortrait(orientation);
  return raised ? base + 1 : base;
}

// The A4 rule. E: portrait under a layout other than 1 and 3, or landscape under 1 or 3. With E
// the binding position must be neither 0 nor 1; without E it must be 0 or 1.
bool a4PunchAllowed(std::uint8_t layout, std::int16_t orientation, std::uint32_t bindPosition) {
  const bool e = isPortrait(orientation) != isLayoutOneOrThree(layout);
  const bool shortSideBinding = bindPosition == 0 || bindPosition == 1;
  return e ? !shortSideBinding : shortSideBinding;
}

std::uint32_t bindPositionForClass(int paperClass, std::uint32_t b, std::uint8_t signature) {
  switch (paperClass) {
    case 0:
      return signature == kSignatureLayout6Only ? kBindNoPunch : kDefaultBindPosition;
    case 1:
      return b == 4 ? 2 : b;
    case 2:
      return (b == 2 || b == 3 || b == 4) ? 0 : b;
    case 3:
      return (b == 0 || b == 1 || b == 4) ? 2 : b;
    case 4:
      return kBindNoPunch;
    case 6:
      return (b == 2 || b == 3) ? 0 : b;
    case 7:
      return (b == 0 || b == 1) ? 2 : b;
    default:  // 5
      return b;
  }
}

}  // namespace

std::uint8_t pageLayoutOf(std::span<const std::uint8_t> deviceMode) {
  return deviceMode.size() > kPageLayoutOffset ? deviceMode[kPageLayoutOffset] : kUnknownPageLayout;
}

int punchTypeOf(std::string_view punchUnit) {
  constexpr std::string_view kTypes[] = {"Type1", "Type2", "Type3", "Type4"};
  for (int i = 0; i < 4; ++i) {
    if (punchUnit == kTypes[i]) return i + 1;
  }
  return 0;
}

int paperClassOf(std::string_view pageSize, std::uint8_t pageLayout, std::int16_t orientation,
                 std::string_view duplex) {
  const bool special = pageLayout == kLayoutSpecial;
  int k = 0;
  if (isOneOf(pageSize, {"Letter", "A4"})) {
    k = special ? 4 : 5;
  } else if (pageSize == "B5") {
    k = special ? 0 : 1;
  } else if (isOneOf(pageSize, {"A3", "B4", "Tabloid"})) {
    k = special ? 4 : turnedClass(6, pageLayout, orientation);
  } else if (isOneOf(pageSize, {"FanFoldGermanLegal", "VXLegal", "Legal", "Executive"})) {
    k = special ? 0 : turnedClass(2, pageLayout, orientation);
  }
  if (duplex == "None" && k > 3) k -= 4;
  return k;
}

bool punchAllowedFor(std::string_view pageSize, int punchType, std::uint8_t pageLayout,
                     std::int16_t orientation, std::uint32_t bindPosition) {
  if (pageLayout == kLayoutSpecial) return false;
  switch (punchType) {
    case 2:
    case 4:
      return isOneOf(pageSize, {"A3", "A4", "B5", "B4", "Letter", "FanFoldGermanLegal", "VXLegal",
                                "Legal", "Executive", "Tabloid"});
    case 1:
      if (pageSize == "A4") return a4PunchAllowed(pageLayout, orientation, bindPosition);
      return isOneOf(pageSize,
                     {"A3", "Tabloid", "Letter", "FanFoldGermanLegal", "VXLegal", "Legal"});
    case 3:
      if (pageSize == "A4") return a4PunchAllowed(pageLayout, orientation, bindPosition);
      return pageSize == "A3";
    default:
      return false;
  }
}

std::uint8_t layoutSignatureOf(std::uint8_t pageLayout, std::uint32_t orientationSelection,
                               int punchType) {
  unsigned f = std::min(pageLayout, kUnknownPageLayout);
  if (orientationSelection == 1) f += 0x80;
  if (orientationSelection == 2) f += 0x40;
  f += static_cast<unsigned>(std::clamp(punchType, 0, 4)) << 3;
  return static_cast<std::uint8_t>(f);
}

FinisherOutcome resolveFinisher(const FinisherInputs& in) {
  FinisherOutcome out;
  out.outputBin = in.outputBin.value;
  if (in.outputBin.exists) {
    const bool hasFinisher = in.finisher == "True";
    const std::uint32_t bin = in.outputBin.value;
    if (hasFinisher ? bin == 1 : (bin == 2 || bin == 3)) out.outputBin = 0;
  }

  out.paperClass = paperClassOf(in.pageSize, in.pageLayout, in.orientation, in.duplex);
  out.punchType = punchTypeOf(in.punchUnit);
  // Without a binding-position item there is no stored position to keep; it counts as the
  // position every reset gives.
  std::uint32_t b = in.bindPosition.exists ? in.bindPosition.value : kDefaultBindPosition;
  std::uint32_t s = in.staple.value;
  std::uint32_t h = in.punch.value;
  // The allowance looks at the binding position the user left, before any reset below.
  out.punchAllowed = punchAllowedFor(in.pageSize, out.punchType, in.pageLayout, in.orientation, b);

  bool reset = false;
  out.lastPaperSize = in.lastPaperSize;
  if (static_cast<std::int32_t>(in.paperSize) != in.lastPaperSize) {
    out.lastPaperSize = in.paperSize;
    reset = true;
  }
  const std::uint8_t f = layoutSignatureOf(in.pageLayout, in.orientationSelection, out.punchType);
  out.layoutSignature = in.layoutSignature;
  if (f != in.layoutSignature) {
    out.layoutSignature = f;
    reset = true;
  }
  if (reset) {
    b = kDefaultBindPosition;
    s = 0;
    h = 0;
  }

  if (in.bindPosition.exists) b = bindPositionForClass(out.paperClass, b, f);
  if (out.paperClass == 0) s = 0;
  if (out.paperClass == 0 || b == kBindNoPunch || !out.punchAllowed) h = 0;

  out.bindPosition = in.bindPosition.exists ? b : in.bindPosition.value;
  out.staple = in.staple.exists ? s : in.staple.value;
  out.punch = in.punch.exists ? h : in.punch.value;
  return out;
}

}  // namespace vex
