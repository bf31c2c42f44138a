// What the driver stand-ins need of a PPD file: its UI features with their options, defaults and
// invocation code, where and in which order that code goes, which features are installable
// options, and the papers of PageSize. The text comes from outside: every length and count is
// bounded and faults are reported, never trusted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
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
  std::size_t maxCodeBytes = 64u << 10;  // an option's invocation code; longer code is dropped
};

enum class UiType { PickOne, PickMany, Boolean };

// Where a feature's code goes in the job (its *OrderDependency section).
enum class Section { Unordered, ExitServer, Prolog, DocumentSetup, PageSetup, JCLSetup, AnySetup };

struct Option {
  std::string keyword;
  std::string text;  // the translation string, or the keyword when there is none
  // The invocation code between the quotes, as written (hex substrings <..> stay text), with
  // line ends as "\n". Empty when the value is not quoted, is too long or never ends.
  std::string code;
};

struct Feature {
  std::string keyword;  // without the leading '*'
  std::string text;
  UiType type = UiType::PickOne;
  bool installable = false;  // inside the InstallableOptions group
  bool closed = false;       // its *CloseUI was seen
  bool jcl = false;          // opened by *JCLOpenUI: its code belongs to the job's PJL header
  std::vector<Option> options;
  std::size_t defaultIndex = 0;  // always a valid index when there are options
  Section section = Section::Unordered;
  double order = 0;  // the *OrderDependency's number; lower comes first

  const Option* findOption(std::string_view keyword) const;
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

// The code of one chosen option, as the driver writes it into the job.
struct FeatureCode {
  std::string feature;
  std::string option;
  std::string code;
};

// Where the chosen options' code goes: once in the document setup (Prolog, DocumentSetup,
// AnySetup and features without an order dependency), or in every page's setup (PageSetup).
// Each list is in order-dependency order; equal orders keep the order of the choices, and
// unordered features come last. Choices of unknown features or options, options without code,
// JCL features and the ExitServer and JCLSetup sections give nothing.
struct SetupCode {
  std::vector<FeatureCode> document;
  std::vector<FeatureCode> page;
};

SetupCode setupCode(const Model& model,
                    const std::vector<std::pair<std::string, std::string>>& choices);

// The code wrapped in its DSC feature comments, one block after another:
//   %%BeginFeature: *Keyword Option
//   code
//   %%EndFeature
std::string featureText(const std::vector<FeatureCode>& code);

}  // namespace vex::ppd
