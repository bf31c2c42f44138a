#include "overlay_ps.h"

namespace vex {
namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool allDigits(std::u16string_view text) {
  for (char16_t c : text) {
    if (!isDigit(c)) return false;
  }
  return true;
}

std::string ascii(std::u16string_view text) { return std::string(text.begin(), text.end()); }

}  // namespace

bool isFormName(std::u16string_view name) {
  if (name.empty() || name.size() > 63 || name.back() == u'.') return false;
  for (char16_t c : name) {
    if (c <= 0x20 || c >= 0x7f) return false;
    if (std::u16string_view(u"\"%()*/:<>?[\\]{|}").find(c) != std::u16string_view::npos) {
      return false;
    }
  }
  return true;
}

std::string customPageItems(std::u16string_view pages) {
  std::string items;
  while (!pages.empty()) {
    const std::size_t comma = pages.find(u',');
    const std::u16string_view item = pages.substr(0, comma);
    pages = comma == std::u16string_view::npos ? std::u16string_view() : pages.substr(comma + 1);
    if (item.empty()) continue;
    const std::size_t dash = item.find(u'-');
    const std::u16string_view lower = item.substr(0, dash);
    std::u16string_view upper = lower;
    if (dash != std::u16string_view::npos) {
      upper = item.substr(dash + 1);
      if (upper.empty() || upper == lower) upper = u"9999";
    }
    // Only page numbers reach the job: anything else would end the array.
    if (lower.empty() || !allDigits(lower) || !allDigits(upper)) continue;
    items += " [" + ascii(lower) + " " + ascii(upper) + "]";
  }
  return items;
}

std::vector<std::string> overlayBlockWrites(const std::vector<OverlayEntry>& overlays) {
  std::vector<std::string> writes;
  writes.emplace_back(
      "%%BeginNonPPDFeature: Form \r\n{ \r\nuserdict /@VXFormDict 2 copy known{\r\n\tget "
      "begin\r\n\t/OVList [\r\n");
  for (const OverlayEntry& overlay : overlays) {
    writes.emplace_back("\t\t(<<) cvx exec\r\n");
    std::string forms = "\t\t\t/FormList [";
    std::size_t count = 0;
    for (const std::u16string& name : overlay.formNames) {
      if (count++ == kMaxOverlayForms) break;
      // A missing or empty name is the empty name "/" (it ends no token); any other name the
      // dialog would not accept is left out rather than let it end the name token.
      if (name.empty()) {
        forms += " /";
      } else if (isFormName(name)) {
        forms += " /" + ascii(name);
      }
    }
    forms += "]\r\n";
    writes.push_back(std::move(forms));
    writes.push_back("\t\t\t/PageFlag " + std::to_string(overlay.pageMode) + "\r\n");
    if (overlay.pageMode == 4) {
      writes.emplace_back("\t\t\t/PageArray [");
      writes.push_back(customPageItems(overlay.customPage) + "]\r\n");
    }
    writes.emplace_back("\t\t(>>) cvx exec\r\n");
  }
  writes.emplace_back(
      "\t]def end\r\n}{pop pop}ifelse\r\n}stopped pop\r\n%%EndNonPPDFeature\r\n\r\n");
  return writes;
}

}  // namespace vex
