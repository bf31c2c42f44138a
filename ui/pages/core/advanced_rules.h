// The advanced dialog (204) over plain values: which check box shows which feature selection,
// the print icon, the defaults, and what OK stores.
#pragma once

#include <cstdint>

namespace vex {

// The feature slots of the dialog's items.
namespace advancedslot {
inline constexpr int mirror = 36;
inline constexpr int negative = 37;
inline constexpr int jobSpool = 35;     // "VXHDDSpool"
inline constexpr int maintenance = 34;  // "VXDrumClean"
inline constexpr int hairline = 73;     // "VXHairLine"
inline constexpr int compression = 55;  // the working compression level
}  // namespace advancedslot

// What the driver and the configuration offer.
struct AdvancedOffer {
  bool mirror = false;
  bool negative = false;
  bool jobSpool = false;
  bool maintenance = false;
  bool hairline = false;
  bool storage = false;      // "VXHDD" is "True"
  bool compression = false;  // the configuration's "Compression" has bit 0
};

// The selections of the slots, as the context holds them.
struct AdvancedSelections {
  std::uint32_t mirror = 0;
  std::uint32_t negative = 0;
  std::uint32_t jobSpool = 0;
  std::uint32_t maintenance = 0;
  std::uint32_t hairline = 0;
  std::uint32_t compressionLevel = 0;  // 0 to 3
  bool operator==(const AdvancedSelections&) const = default;
};

// The dialog's check boxes and the working compression level.
struct AdvancedState {
  bool mirror = false;
  bool negative = false;
  bool jobSpool = false;
  bool jobSpoolEnabled = true;
  bool maintenance = false;
  bool hairline = false;
  std::uint32_t compressionLevel = 0;
  bool operator==(const AdvancedState&) const = default;
};

inline constexpr std::uint32_t kMaxCompressionLevel = 3;

// Mirror, negative and hairline are ticked for selection 0, spool and maintenance for 1. Without
// storage the spool box is unticked and disabled (its selection counts as 0). The compression
// level is the record's `compression` when compression is offered (a stored level above 3 counts
// as 0), else 0.
AdvancedState openAdvanced(const AdvancedSelections& current, std::uint32_t recordCompression,
                           const AdvancedOffer& offer);

// "默认值(&D)": everything unticked except the hairline adjustment; the compression level back to
// the configuration's default when compression is offered (the level is kept otherwise).
AdvancedState advancedDefaults(const AdvancedState& state, std::uint32_t defaultLevel,
                               const AdvancedOffer& offer);

// OK: the selections of the items offered (the others keep `current`); spool is 0 without
// storage; the compression level is the working one, 0 when compression is not offered.
AdvancedSelections saveAdvanced(const AdvancedState& state, const AdvancedSelections& current,
                                const AdvancedOffer& offer);

// Icon 7001 + (1 when mirrored) + (2 when negative).
int printIconId(bool mirror, bool negative);

}  // namespace vex
