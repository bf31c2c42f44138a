// The job options page keeps the finisher items (output bin, binding position, staple, punch)
// consistent with the paper, the page layout, the orientation, the duplex setting and the
// installed punch unit when it is created. These are the rules over plain values; the page's
// shell reads the driver's settings and device mode, and writes the answers into the feature
// slots and the record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vex {

// The selection of one of the driver's feature items; `exists` is false when the driver does not
// offer the item (its slot has no index).
struct FeatureSelection {
  bool exists = false;
  std::uint32_t value = 0;
};

struct FinisherInputs {
  // Current option keywords from the driver, compared as exact bytes; empty when the driver did
  // not answer.
  std::string_view finisher;   // "VXFinisher"
  std::string_view punchUnit;  // "VXPunchUnit"
  std::string_view pageSize;   // "PageSize"
  std::string_view duplex;     // "Duplex"
  // From the driver's public device mode.
  std::uint8_t pageLayout = 0;   // L, the core driver's byte at offset 356 (0 to 6)
  std::int16_t orientation = 1;  // O, 1 portrait, anything else landscape
  std::int16_t paperSize = 0;    // the paper size, taken as signed
  // The orientation item's selection (0 when the driver has no such item).
  std::uint32_t orientationSelection = 0;
  FeatureSelection outputBin;     // "OutputBin"
  FeatureSelection bindPosition;  // "VXBindPosition", B
  FeatureSelection staple;        // "VXStaple", S
  FeatureSelection punch;         // "VXPunch", H
  // From the record.
  std::int32_t lastPaperSize = 0;
  std::uint8_t layoutSignature = 0;
};

struct FinisherOutcome {
  int paperClass = 0;         // K, 0 to 7
  int punchType = 0;          // P, 0 to 4
  bool punchAllowed = false;  // A
  // The new selections; an item the driver does not offer keeps what it came with.
  std::uint32_t outputBin = 0;
  std::uint32_t bindPosition = 0;
  std::uint32_t staple = 0;
  std::uint32_t punch = 0;
  // The record's fields as they must be stored afterwards.
  std::int32_t lastPaperSize = 0;
  std::uint8_t layoutSignature = 0;
  bool operator==(const FinisherOutcome&) const = default;
};

// What the page decides first when it is created: the output-bin rule, then the finisher
// consistency.
FinisherOutcome resolveFinisher(const FinisherInputs& in);

// L is the core driver's byte at this offset of its public device mode (in the driver's own
// extra bytes after the public fields). `deviceMode` holds the device mode's bytes as far as its
// stated sizes reach and lie in its buffer; a device mode that ends before the byte has no known
// layout and gives kUnknownPageLayout.
inline constexpr std::size_t kPageLayoutOffset = 356;
inline constexpr std::uint8_t kUnknownPageLayout = 7;
std::uint8_t pageLayoutOf(std::span<const std::uint8_t> deviceMode);

// The single steps on their own.

// "Type1" to "Type4" give 1 to 4; anything else 0.
int punchTypeOf(std::string_view punchUnit);

// K from the paper, the layout and the orientation, lowered by 4 for one-sided printing
// ("Duplex" is "None").
int paperClassOf(std::string_view pageSize, std::uint8_t pageLayout, std::int16_t orientation,
                 std::string_view duplex);

// Whether the unit of `punchType` can punch this paper with binding position `bindPosition`.
bool punchAllowedFor(std::string_view pageSize, int punchType, std::uint8_t pageLayout,
                     std::int16_t orientation, std::uint32_t bindPosition);

// F: the layout in bits 0..2, the punch type from bit 3, 0x40 and 0x80 for orientation
// selections 2 and 1. A layout above 6 is not one the core driver defines; it is recorded as
// kUnknownPageLayout, so that it can neither spill into the other bits nor pass for layout 6.
std::uint8_t layoutSignatureOf(std::uint8_t pageLayout, std::uint32_t orientationSelection,
                               int punchType);

// The binding position every reset gives, and the one that stands for a missing item.
inline constexpr std::uint32_t kDefaultBindPosition = 2;

}  // namespace vex
