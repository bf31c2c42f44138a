#include "overlay_store.h"

#include <algorithm>

#include "private_settings.h"

namespace vex {
namespace {

// The file is shared by every user: whatever it says, a count stays inside its limit.
std::uint16_t boundedCount(std::int32_t value, std::size_t limit) {
  if (value < 0) return 0;
  return static_cast<std::uint16_t>(std::min<std::size_t>(static_cast<std::size_t>(value), limit));
}

std::u16string decimal(std::int64_t value) {
  const std::string text = std::to_string(value);
  return std::u16string(text.begin(), text.end());
}

std::u16string numbered(std::u16string_view prefix, std::size_t index) {
  return std::u16string(prefix) + decimal(static_cast<std::int64_t>(index));
}

bool usesSavedCopy(SavedCopyState state) { return state == SavedCopyState::valid; }

SavedCopyState switched(SavedCopyState state) {
  return state == SavedCopyState::valid ? SavedCopyState::notToUse : SavedCopyState::valid;
}

void load(OverlayWorkspace& workspace, OverlayProfile& profile) {
  workspace.release();
  const SavedCopyState state = workspace.savedCopyState;
  const std::u16string header = overlayHeaderSection(state);
  auto store = std::make_unique<OverlayStore>();
  store->overlayCount = boundedCount(profile.readNumber(header, u"Overlay_Num"), kMaxOverlays);
  store->historyCount = boundedCount(profile.readNumber(header, u"History_Num"), kMaxFormHistory);
  for (std::size_t i = 0; i < store->historyCount; ++i) {
    setSlotText(store->history[i],
                profile.readText(header, numbered(u"History ", i), kOverlayNameChars - 1));
  }
  for (std::size_t i = 0; i < store->overlayCount; ++i) {
    auto definition = std::make_unique<OverlayDefinition>();
    const std::u16string section = overlayInfoSection(state, i);
    definition->formCount =
        boundedCount(profile.readNumber(section, u"Form_Num"), kMaxOverlayForms);
    const std::int32_t mode = profile.readNumber(section, u"PageMode");
    definition->pageMode = mode >= 0 && mode <= 4 ? static_cast<std::uint16_t>(mode) : 0;
    setSlotText(definition->name,
                profile.readText(section, u"Overlay_Name", kOverlayNameChars - 1));
    setSlotText(definition->customPages,
                profile.readText(section, u"CustomPage", kCustomPagesChars - 1));
    for (std::size_t j = 0; j < definition->formCount; ++j) {
      setSlotText(definition->formNames[j],
                  profile.readText(section, numbered(u"Form_Name ", j), kOverlayNameChars - 1));
    }
    workspace.definitions[i] = std::move(definition);
  }
  workspace.store = std::move(store);
}

// The record's words up to the first unused one; fewer definitions than selected ones start
// the selection again at the first definitions, and an index past the definitions is dropped.
void fillSelection(OverlayStore& store, const std::uint8_t* record) {
  store.selectedCount = 0;
  for (std::size_t k = 0; k < kMaxSelectedOverlays; ++k) {
    const std::uint16_t word =
        record != nullptr ? getU16(record, rec::overlayList + 2 * k) : kNoOverlay;
    if (word == kNoOverlay) break;
    store.selected[store.selectedCount++] = word;
  }
  if (store.overlayCount < store.selectedCount) {
    store.selectedCount = store.overlayCount;
    for (std::uint16_t k = 0; k < store.selectedCount; ++k) store.selected[k] = k;
  }
  std::uint16_t kept = 0;
  for (std::uint16_t k = 0; k < store.selectedCount; ++k) {
    if (store.selected[k] < store.overlayCount) store.selected[kept++] = store.selected[k];
  }
  store.selectedCount = kept;
}

}  // namespace

std::u16string overlayHeaderSection(SavedCopyState state) {
  return usesSavedCopy(state) ? u"OverlaySetting_Sv" : u"OverlaySetting";
}

std::u16string overlayInfoSection(SavedCopyState state, std::size_t index) {
  return numbered(usesSavedCopy(state) ? u"Overlay_Info_Sv " : u"Overlay_Info ", index);
}

void loadOverlaysForDialog(OverlayWorkspace& workspace, OverlayProfile& profile,
                           const std::uint8_t* record) {
  load(workspace, profile);
  workspace.savedCopyState = switched(workspace.savedCopyState);
  fillSelection(*workspace.store, record);
}

void loadOverlaysForCommit(OverlayWorkspace& workspace, OverlayProfile& profile) {
  load(workspace, profile);
}

void saveOverlays(const OverlayWorkspace& workspace, OverlayProfile& profile) {
  if (!workspace.store) return;
  const OverlayStore& store = *workspace.store;
  const SavedCopyState state = workspace.savedCopyState;
  const std::u16string header = overlayHeaderSection(state);
  profile.write(header, u"Overlay_Num", decimal(store.overlayCount));
  profile.write(header, u"History_Num", decimal(store.historyCount));
  for (std::size_t i = 0; i < store.historyCount && i < kMaxFormHistory; ++i) {
    profile.write(header, numbered(u"History ", i), slotText(store.history[i]));
  }
  for (std::size_t i = 0; i < store.overlayCount && i < kMaxOverlays; ++i) {
    const OverlayDefinition* definition = workspace.definitions[i].get();
    if (definition == nullptr) continue;
    const std::u16string section = overlayInfoSection(state, i);
    profile.write(section, u"Overlay_Name", slotText(definition->name));
    profile.write(section, u"PageMode", decimal(definition->pageMode));
    profile.write(section, u"CustomPage", slotText(definition->customPages));
    profile.write(section, u"Form_Num", decimal(definition->formCount));
    for (std::size_t j = 0; j < definition->formCount && j < kMaxOverlayForms; ++j) {
      profile.write(section, numbered(u"Form_Name ", j), slotText(definition->formNames[j]));
    }
  }
}

void acceptOverlayDialog(OverlayWorkspace& workspace, OverlayProfile& profile, std::uint8_t* record,
                         bool canWritePrinterData) {
  if (record != nullptr) {
    const OverlayStore* store = workspace.store.get();
    for (std::size_t k = 0; k < kMaxSelectedOverlays; ++k) {
      const bool used = store != nullptr && k < store->selectedCount;
      setU16(record, rec::overlayList + 2 * k, used ? store->selected[k] : kNoOverlay);
    }
  }
  workspace.savedCopyState = SavedCopyState::valid;
  if (canWritePrinterData) saveOverlays(workspace, profile);
  workspace.release();
}

void cancelOverlayDialog(OverlayWorkspace& workspace) {
  workspace.savedCopyState = switched(workspace.savedCopyState);
  workspace.release();
}

bool commitOverlaysOnApply(OverlayWorkspace& workspace, OverlayProfile& profile,
                           bool canWritePrinterData) {
  if (!canWritePrinterData || workspace.savedCopyState != SavedCopyState::valid) return false;
  loadOverlaysForCommit(workspace, profile);
  workspace.savedCopyState = SavedCopyState::notToUse;
  saveOverlays(workspace, profile);
  workspace.release();
  return true;
}

void addFormToHistory(OverlayStore& store, std::u16string_view formName) {
  if (store.historyCount > kMaxFormHistory) store.historyCount = kMaxFormHistory;
  char16_t name[kOverlayNameChars] = {};
  setSlotText(name, formName);
  std::size_t from = store.historyCount;  // the entry that moves to the front, else the end
  for (std::size_t k = 0; k < store.historyCount; ++k) {
    if (slotText(store.history[k]) == slotText(name)) {
      from = k;
      break;
    }
  }
  if (from == store.historyCount) {
    if (store.historyCount < kMaxFormHistory) ++store.historyCount;
    from = store.historyCount - 1;  // a full list loses its last entry
  }
  for (std::size_t k = from; k > 0; --k) {
    std::copy(std::begin(store.history[k - 1]), std::end(store.history[k - 1]),
              std::begin(store.history[k]));
  }
  std::copy(std::begin(name), std::end(name), std::begin(store.history[0]));
}

void removeOverlayDefinitions(OverlayWorkspace& workspace, std::bitset<kMaxOverlays> marked) {
  if (!workspace.store) return;
  OverlayStore& store = *workspace.store;
  std::array<int, kMaxOverlays> newIndex{};  // -1: removed
  const std::size_t before = std::min<std::size_t>(store.overlayCount, kMaxOverlays);
  std::size_t w = 0;
  for (std::size_t i = 0; i < before; ++i) {
    if (marked[i]) {
      workspace.definitions[i].reset();
      newIndex[i] = -1;
      continue;
    }
    newIndex[i] = static_cast<int>(w);
    if (w != i) workspace.definitions[w] = std::move(workspace.definitions[i]);
    ++w;
  }
  store.overlayCount = static_cast<std::uint16_t>(w);
  std::uint16_t kept = 0;
  for (std::uint16_t k = 0; k < store.selectedCount && k < kMaxSelectedOverlays; ++k) {
    const std::uint16_t old = store.selected[k];
    if (old < before && newIndex[old] >= 0) {
      store.selected[kept++] = static_cast<std::uint16_t>(newIndex[old]);
    }
  }
  store.selectedCount = kept;
}

OverlayDefinition* appendOverlayDefinition(OverlayWorkspace& workspace,
                                           std::u16string_view newName) {
  if (!workspace.store || workspace.store->overlayCount >= kMaxOverlays) return nullptr;
  const std::size_t slot = workspace.store->overlayCount;
  auto definition = std::make_unique<OverlayDefinition>();
  setSlotText(definition->name, newName);
  workspace.definitions[slot] = std::move(definition);
  workspace.editedDefinition = static_cast<std::uint32_t>(slot);
  return workspace.definitions[slot].get();
}

void acceptNewOverlay(OverlayWorkspace& workspace) {
  if (!workspace.store || workspace.store->overlayCount >= kMaxOverlays) return;
  if (workspace.definitions[workspace.store->overlayCount]) ++workspace.store->overlayCount;
}

void discardNewOverlay(OverlayWorkspace& workspace) {
  if (!workspace.store || workspace.store->overlayCount >= kMaxOverlays) return;
  workspace.definitions[workspace.store->overlayCount].reset();
}

}  // namespace vex
