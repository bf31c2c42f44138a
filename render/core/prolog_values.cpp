#include "prolog_values.h"

#include "app_channel.h"

namespace vex {

std::vector<std::string_view> resourceKeys(std::string_view overlayOption,
                                           std::string_view overprintOption) {
  std::vector<std::string_view> keys{kProcsetKey};
  if (overlayOption == "Use") keys.push_back(kOverlayResourceKey);
  if (overprintOption == "True") keys.push_back(kOverprintResourceKey);
  return keys;
}

bool isResourceFileName(std::u16string_view name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (c < 0x20 || c == u'\\' || c == u'/' || c == u':') return false;
  }
  return true;
}

std::vector<std::string> pageSetupWrites(const PageSetupInputs& inputs) {
  static constexpr const char* kPut = " put \r\n\n";
  std::vector<std::string> writes;
  auto value = [&](std::string definition) {
    writes.push_back(std::move(definition));
    writes.emplace_back(kPut);
  };
  value("globaldict /VX@NupNumber " + std::to_string(pagesPerSheet(inputs.nupSelection)));
  value("globaldict /VX@Orientation " + std::to_string(inputs.orientation));
  value("globaldict /VX@ColorMono " + std::to_string(inputs.dmColor));
  if (inputs.icCard) value("globaldict /VX@ICCARD true ");
  return writes;
}

std::string pageNumberLine(std::uint32_t page) {
  if (page > kMaxPageNumber) page = kMaxPageNumber;
  return "globaldict /VX@PageNumber " + std::to_string(page) + " put\r\n";
}

}  // namespace vex
