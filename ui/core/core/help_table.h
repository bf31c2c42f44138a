// The one help-context table that every dialog and page of the UI plug-in hands to the help
// system: pairs of (control id, help-context number) ending in a zero pair.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vex {

struct HelpContextPair {
  std::uint32_t controlId;
  std::uint32_t helpContext;
};

inline constexpr std::size_t kHelpContextRows = 253;  // without the closing zero pair

// kHelpContextRows pairs followed by {0, 0}. The layout is the flat array of 32-bit values that
// the help system walks two at a time.
const std::array<HelpContextPair, kHelpContextRows + 1>& helpContextTable();

// The help-context number of a control, or 0 when the table has no row for it.
std::uint32_t helpContextFor(std::uint32_t controlId);

}  // namespace vex
