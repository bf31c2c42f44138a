#include "advanced_rules.h"

namespace vex {

AdvancedState openAdvanced(const AdvancedSelections& current, std::uint32_t recordCompression,
                           const AdvancedOffer& offer) {
  AdvancedState state;
  state.mirror = offer.mirror && current.mirror == 0;
  state.negative = offer.negative && current.negative == 0;
  state.jobSpoolEnabled = offer.storage;
  state.jobSpool = offer.jobSpool && offer.storage && current.jobSpool == 1;
  state.maintenance = offer.maintenance && current.maintenance == 1;
  state.hairline = offer.hairline && current.hairline == 0;
  if (offer.compression && recordCompression <= kMaxCompressionLevel) {
    state.compressionLevel = recordCompression;
  }
  return state;
}

AdvancedState advancedDefaults(const AdvancedState& state, std::uint32_t defaultLevel,
                               const AdvancedOffer& offer) {
  AdvancedState defaults = state;
  defaults.mirror = false;
  defaults.negative = false;
  defaults.jobSpool = false;
  defaults.maintenance = false;
  defaults.hairline = offer.hairline;
  if (offer.compression) {
    defaults.compressionLevel = defaultLevel <= kMaxCompressionLevel ? defaultLevel : 0;
  }
  return defaults;
}

AdvancedSelections saveAdvanced(const AdvancedState& state, const AdvancedSelections& current,
                                const AdvancedOffer& offer) {
  AdvancedSelections saved = current;
  if (offer.mirror) saved.mirror = state.mirror ? 0 : 1;
  if (offer.negative) saved.negative = state.negative ? 0 : 1;
  if (offer.jobSpool) saved.jobSpool = offer.storage && state.jobSpool ? 1 : 0;
  if (offer.maintenance) saved.maintenance = state.maintenance ? 1 : 0;
  if (offer.hairline) saved.hairline = state.hairline ? 0 : 1;
  saved.compressionLevel = offer.compression && state.compressionLevel <= kMaxCompressionLevel
                               ? state.compressionLevel
                               : 0;
  return saved;
}

int printIconId(bool mirror, bool negative) { return 7001 + (mirror ? 1 : 0) + (negative ? 2 : 0); }

}  // namespace vex
