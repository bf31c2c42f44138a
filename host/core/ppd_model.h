// What the driver stand-ins need of a PPD file: its UI features with their options and
// defaults, which of them are installable options, and the papers of PageSize. The text comes
// from outside: every length and count is bounded and faults are reported, never trusted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vex::ppd {

// Bounds of what is read. Longer keywords are refused (a driver cannot store them), longer
// translation texts are cut, further features or options are dropped.
struct Limits {
  std::size_t maxFileBytes = 4u << 20;
  std::size_t maxLineBytes = 4096;  // a longer statement line is skipped
  std::size_t maxKeywordBytes = 40;
  std::size_t maxTextBytes = 128;
  std::size_t maxFeatures = 256;
  std::size_t maxOptions = 128;  // per feature
  std::size_t maxWarnings = 64;
};

enum class UiType { PickOne, PickMany, Boolean };

struct Option {
  std::string keyword;
  std::string text;  // the translation string, or the keyword when there is none
};

struct Feature {
  std::string keyword;  // without the leading '*'
  std::string text;
  UiType type = UiType::PickOne;
  bool installable = false;  // inside the InstallableOptions group
  bool closed = false;       // its *CloseUI was seen
  std::vector<Option> options;
  std::size_t defaultIndex = 0;  // always a valid index when there are options
};

struct Model {
  std::vector<Feature> features;      // in file order, keywords unique
  std::vector<std::string> warnings;  // what was refused or repaired, at most Limits::maxWarnings
  bool colorDevice = true;            // *ColorDevice: only "False" makes a monochrome printer

  const Feature* find(std::string_view keyword) const;
  // The options of PageSize (empty when the file has none).
  std::vector<Option> papers() const;
};

Model parse(std::string_view text, const Limits& limits = {});

}  // namespace vex::ppd
