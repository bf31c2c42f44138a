// Fuzz target: the overlay store loaded from any INI text (the plug-in INI file is writable by
// every user), with any record selection, then edited and saved. Input: 8 bytes of the record's
// overlayList, 4 bytes of removal marks, the rest as the INI text ("[section]" and "key=value"
// lines, bytes taken as characters). The property: every loaded count and text stays within its
// limit, the selection names only loaded definitions, and nothing outside a slot is written.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "overlay_store.h"
#include "ini_text.h"
#include "private_settings.h"

namespace {

class TextProfile final : public vex::OverlayProfile {
 public:
  explicit TextProfile(std::string_view text) : values_(vex::fuzz::parseIniText(text)) {}


  // As the profile API reads a number: blanks, one sign, digits; anything else ends it.
  std::int32_t readNumber(std::u16string_view section, std::u16string_view key) override {
    const std::u16string text = readText(section, key, 64);
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
      value = value * 10 + static_cast<std::uint32_t>(text[i] - u'0');  // wraps as the API does
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
  }
  std::u16string readText(std::u16string_view section, std::u16string_view key,
                          std::size_t maxChars) override {
    const auto s = values_.find(std::u16string(section));
    if (s == values_.end()) return {};
    const auto k = s->second.find(std::u16string(key));
    return k == s->second.end() ? std::u16string() : k->second.substr(0, maxChars);
  }
  void write(std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override {
    values_[std::u16string(section)][std::u16string(key)] = std::u16string(value);
  }

 private:
  vex::fuzz::IniSections values_;
};

template <std::size_t N>
void requireTerminated(const char16_t (&slot)[N]) {
  for (char16_t c : slot) {
    if (c == u'\0') return;
  }
  std::abort();
}

void requireSound(const vex::OverlayWorkspace& workspace) {
  const vex::OverlayStore& store = *workspace.store;
  if (store.overlayCount > vex::kMaxOverlays || store.historyCount > vex::kMaxFormHistory ||
      store.selectedCount > vex::kMaxSelectedOverlays) {
    std::abort();
  }
  for (std::size_t k = 0; k < store.selectedCount; ++k) {
    if (store.selected[k] >= store.overlayCount) std::abort();
  }
  for (const auto& entry : store.history) requireTerminated(entry);
  for (std::size_t i = 0; i < vex::kMaxOverlays; ++i) {
    const vex::OverlayDefinition* definition = workspace.definitions[i].get();
    if ((definition != nullptr) != (i < store.overlayCount)) std::abort();
    if (definition == nullptr) continue;
    if (definition->formCount > vex::kMaxOverlayForms || definition->pageMode > 4) std::abort();
    requireTerminated(definition->name);
    requireTerminated(definition->customPages);
    for (const auto& form : definition->formNames) requireTerminated(form);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 12) return 0;
  std::vector<std::uint8_t> record(vex::kRecordSize, 0);
  for (std::size_t k = 0; k < 4; ++k) {
    vex::setU16(record.data(), vex::rec::overlayList + 2 * k,
                static_cast<std::uint16_t>(data[2 * k] | (data[2 * k + 1] << 8)));
  }
  const std::bitset<vex::kMaxOverlays> marks(
      static_cast<unsigned long>(data[8]) | (static_cast<unsigned long>(data[9]) << 8) |
      (static_cast<unsigned long>(data[10]) << 16) | (static_cast<unsigned long>(data[11]) << 24));
  TextProfile profile(std::string_view(reinterpret_cast<const char*>(data + 12), size - 12));

  for (const auto state : {vex::SavedCopyState::none, vex::SavedCopyState::valid}) {
    vex::OverlayWorkspace workspace;
    workspace.savedCopyState = state;
    vex::loadOverlaysForDialog(workspace, profile, record.data());
    requireSound(workspace);
    vex::addFormToHistory(*workspace.store, profile.readText(u"OverlaySetting", u"History 0", 80));
    vex::removeOverlayDefinitions(workspace, marks);
    requireSound(workspace);
    if (vex::appendOverlayDefinition(workspace, u"New overlay") != nullptr) {
      vex::acceptNewOverlay(workspace);
    }
    requireSound(workspace);
    vex::acceptOverlayDialog(workspace, profile, record.data(), true);
    vex::commitOverlaysOnApply(workspace, profile, true);
  }
  return 0;
}
