// Fuzz target: the PPD reader over arbitrary bytes, with tight limits so that every bound is
// reached often. The reader belongs to the UI stand-in (host/core), not to either plug-in: its
// runs say nothing about the product's own parsers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ppd_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vex::ppd::Limits limits;
  limits.maxFileBytes = 6000;
  limits.maxLineBytes = 200;
  limits.maxKeywordBytes = 12;
  limits.maxTextBytes = 10;
  limits.maxFeatures = 8;
  limits.maxOptions = 6;
  limits.maxWarnings = 5;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vex::ppd::Model model = vex::ppd::parse(text, limits);
  if (model.features.size() > limits.maxFeatures) std::abort();
  if (model.warnings.size() > limits.maxWarnings) std::abort();
  for (const vex::ppd::Feature& feature : model.features) {
    if (feature.keyword.empty() || feature.keyword.size() > limits.maxKeywordBytes) std::abort();
    if (feature.text.size() > limits.maxTextBytes) std::abort();
    if (feature.options.empty() || feature.options.size() > limits.maxOptions) std::abort();
    if (feature.defaultIndex >= feature.options.size()) std::abort();
    if (model.find(feature.keyword) != &feature) std::abort();  // keywords are unique
    for (const vex::ppd::Option& option : feature.options) {
      if (option.keyword.empty() || option.keyword.size() > limits.maxKeywordBytes) std::abort();
      if (option.text.empty() || option.text.size() > limits.maxTextBytes) std::abort();
      if (option.keyword.find('\0') != std::string::npos) std::abort();
      if (option.text.find('\0') != std::string::npos) std::abort();
    }
  }
  return 0;
}
