#include "option_discovery_rules.h"

namespace vex {
namespace {

template <typename Char>
std::optional<std::int32_t> readDecimal(std::basic_string_view<Char> text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == Char(' ') || text[i] == Char('\t'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == Char('-') || text[i] == Char('+'))) {
    negative = text[i] == Char('-');
    ++i;
  }
  std::int64_t value = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= Char('0') && text[i] <= Char('9'); ++i) {
    digits = true;
    // Held at the bound: the accumulator never exceeds it by more than one digit.
    if (value <= kNumberBound) value = value * 10 + (text[i] - Char('0'));
  }
  if (!digits) return std::nullopt;
  if (value > kNumberBound) value = kNumberBound;
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::string decimal(std::int64_t value) { return std::to_string(value); }

const char* trueFalse(bool value) { return value ? "True" : "False"; }

}  // namespace

std::optional<std::int32_t> readSignedDecimal(std::string_view text) { return readDecimal(text); }

std::optional<std::int32_t> readSignedDecimal(std::u16string_view text) {
  return readDecimal(text);
}

std::int32_t memoryFromRamText(std::string_view text) {
  return readSignedDecimal(text).value_or(0);
}

OptionDataValues usbDataValues(std::int32_t installed, std::string_view ramText,
                               std::int32_t punchType, std::int32_t jobLimitationMode) {
  OptionDataValues values;
  values.installed = installed;
  values.memory = memoryFromRamText(ramText);
  values.sdCard = (static_cast<std::uint32_t>(installed) & kInstalledSdCard) ? 1 : 0;
  values.punchType = punchType;
  values.jobLimitationMode = jobLimitationMode;
  return values;
}

std::uint32_t trayCount(std::int32_t installed) {
  const std::uint32_t bits = static_cast<std::uint32_t>(installed) & kInstalledTrayBits;
  for (std::uint32_t count = 4; count > 0; --count) {
    if (bits & (1u << (count - 1))) return count;
  }
  return 0;
}

std::uint32_t memoryOptionIndex(std::int32_t memory, const std::vector<OptionText>& optionTexts) {
  for (std::size_t i = 0; i < optionTexts.size(); ++i) {
    const OptionText& text = optionTexts[i];
    if (!text || text->size() <= 3) continue;
    const std::optional<std::int32_t> number = readSignedDecimal(text->substr(0, text->size() - 3));
    if (number && *number == memory) return static_cast<std::uint32_t>(i);
  }
  return 0;
}

DiscoveryResult discoveryResult(const OptionDataValues& values, std::uint32_t memoryIndex,
                                bool osVersion6OrLater) {
  const std::uint32_t installed = static_cast<std::uint32_t>(values.installed);
  DiscoveryResult result{};
  result[kDiscoveredHdd] = values.sdCard == 0 ? 1 : 0;
  result[kDiscoveredDuplex] = (installed & kInstalledDuplex) ? 0 : 1;
  result[kDiscoveredTray] = trayCount(values.installed);
  result[kDiscoveredMemory] = memoryIndex;
  result[kDiscoveredFinisher] = (installed & kInstalledFinisher) ? 1 : 0;
  result[kDiscoveredMpf] = (installed & kInstalledMpf) ? 1 : 0;
  result[kDiscoveredPunch] = values.punchType != 0 ? 1 : 0;
  result[kDiscoveredJobLimit] = (osVersion6OrLater || values.jobLimitationMode == 0) ? 1 : 0;
  return result;
}

bool isUsbPort(const char* portName) {
  if (portName == nullptr) return false;
  static constexpr char kPrefix[] = "usb";
  for (std::size_t i = 0; i < 3; ++i) {
    char c = portName[i];  // a shorter name ends at its NUL, which never matches
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kPrefix[i]) return false;
  }
  return true;
}

std::vector<std::pair<std::string, std::string>> optionFileKeywords(const OptionDataValues& values,
                                                                    bool osVersion6OrLater) {
  const std::uint32_t installed = static_cast<std::uint32_t>(values.installed);
  std::string punch = "None";
  if (values.punchType >= 1 && values.punchType <= 3) punch = "Type" + decimal(values.punchType);
  std::vector<std::pair<std::string, std::string>> pairs = {
      {"VXOptionMPF", trueFalse(installed & kInstalledMpf)},
      {"VXOptionDuplex", trueFalse(installed & kInstalledDuplex)},
      {"VXFinisher", trueFalse(installed & kInstalledFinisher)},
      {"VXPunchUnit", punch},
      {"VXJobLimit", trueFalse(!osVersion6OrLater && values.jobLimitationMode != 0)},
      {"VXOptionTray", decimal(trayCount(values.installed))},
      {"VXHDD", trueFalse(values.sdCard != 0)},
  };
  // A negative figure is no memory at all: it would otherwise become an option text like "-3MB".
  if (values.memory > 0) pairs.emplace_back("InstalledMemory", decimal(values.memory) + "MB");
  return pairs;
}

}  // namespace vex
