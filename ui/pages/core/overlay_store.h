// The overlay store: the definitions of every overlay in the plug-in INI file (a main copy that
// the rendering plug-in reads, and a saved copy that holds what the overlay dialog accepted until
// the sheet is applied), held in memory while the overlay dialog is open or a commit runs.
// Reading and writing go through a profile interface so that the rules run anywhere.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vex {

inline constexpr std::size_t kMaxOverlays = 32;
inline constexpr std::size_t kMaxSelectedOverlays = 4;
inline constexpr std::size_t kMaxFormHistory = 10;
inline constexpr std::size_t kMaxOverlayForms = 3;
inline constexpr std::size_t kOverlayNameChars = 64;   // 63 and the terminator
inline constexpr std::size_t kCustomPagesChars = 255;  // 254 and the terminator
inline constexpr std::uint16_t kNoOverlay = 255;       // an unused word of the record's list

struct OverlayStore {
  std::uint16_t selectedCount = 0;                            // 0 .. 4
  std::uint16_t selected[kMaxSelectedOverlays] = {};          // definition indexes, in order
  std::uint16_t overlayCount = 0;                             // 0 .. 32
  std::uint16_t historyCount = 0;                             // 0 .. 10
  char16_t history[kMaxFormHistory][kOverlayNameChars] = {};  // most recent first
};

struct OverlayDefinition {
  char16_t name[kOverlayNameChars] = {};
  std::uint16_t formCount = 0;  // 0 .. 3
  char16_t formNames[kMaxOverlayForms][kOverlayNameChars] = {};
  std::uint16_t pageMode = 0;  // 0 all, 1 first, 2 odd, 3 even, 4 custom pages
  char16_t customPages[kCustomPagesChars] = {};
};

// Which copy the next load or save uses.
enum class SavedCopyState : std::uint32_t {
  none = 0,      // the job options page was initialised; nothing saved in this sheet
  valid = 1,     // the saved copy holds what was accepted last in this sheet
  notToUse = 2,  // the saved copy is not to be used
};

// What a sheet holds of the store: the blocks while the dialog is open or a commit runs, the
// definition being edited, and the saved-copy state.
struct OverlayWorkspace {
  std::unique_ptr<OverlayStore> store;
  std::array<std::unique_ptr<OverlayDefinition>, kMaxOverlays> definitions;
  std::uint32_t editedDefinition = 0;
  SavedCopyState savedCopyState = SavedCopyState::none;

  // Gives every block back; the state stays.
  void release() {
    store.reset();
    for (auto& definition : definitions) definition.reset();
  }
};

// What the store reads and writes through (the profile API of the plug-in INI file).
class OverlayProfile {
 public:
  virtual ~OverlayProfile() = default;
  // A missing key reads as 0 / empty. Numbers are read as the profile API reads them.
  virtual std::int32_t readNumber(std::u16string_view section, std::u16string_view key) = 0;
  virtual std::u16string readText(std::u16string_view section, std::u16string_view key,
                                  std::size_t maxChars) = 0;
  virtual void write(std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) = 0;
};

// Section names of the copy the state chooses.
std::u16string overlayHeaderSection(SavedCopyState state);
std::u16string overlayInfoSection(SavedCopyState state, std::size_t index);

// The overlay dialog opens: the copy chosen by the state is read, the state switches (valid
// becomes notToUse, the others valid) and the selection comes from the record's overlayList
// (kRecordSize bytes).
void loadOverlaysForDialog(OverlayWorkspace& workspace, OverlayProfile& profile,
                           const std::uint8_t* record);
// The commit reads the copy chosen by the state, touching neither state nor selection.
void loadOverlaysForCommit(OverlayWorkspace& workspace, OverlayProfile& profile);
// Writes the store to the copy chosen by the state; sections beyond the counts stay as they are.
void saveOverlays(const OverlayWorkspace& workspace, OverlayProfile& profile);

// OK of the overlay dialog: the selection into the record, state valid, the saved copy written
// when the user may change the printer's data, the blocks released.
void acceptOverlayDialog(OverlayWorkspace& workspace, OverlayProfile& profile, std::uint8_t* record,
                         bool canWritePrinterData);
// Cancel: the state switches back, the blocks are released, nothing is written.
void cancelOverlayDialog(OverlayWorkspace& workspace);
// The sheet is applied: with a valid saved copy and write permission the saved copy becomes the
// main copy. True when it did.
bool commitOverlaysOnApply(OverlayWorkspace& workspace, OverlayProfile& profile,
                           bool canWritePrinterData);

// The form name becomes the most recent history entry (an existing entry moves to the front).
void addFormToHistory(OverlayStore& store, std::u16string_view formName);
// Frees the marked definitions, closes the gaps and renumbers the selection.
void removeOverlayDefinitions(OverlayWorkspace& workspace, std::bitset<kMaxOverlays> marked);

// A new definition in the slot after the last one, named `newName`; the count grows only when
// the define-overlay dialog is accepted (acceptNewOverlay). Null when the store is full.
OverlayDefinition* appendOverlayDefinition(OverlayWorkspace& workspace,
                                           std::u16string_view newName);
void acceptNewOverlay(OverlayWorkspace& workspace);
void discardNewOverlay(OverlayWorkspace& workspace);

// Copies `text` into a slot of N characters, cut to N - 1.
template <std::size_t N>
void setSlotText(char16_t (&slot)[N], std::u16string_view text) {
  const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
  text.copy(slot, length);
  slot[length] = u'\0';
}
template <std::size_t N>
std::u16string_view slotText(const char16_t (&slot)[N]) {
  std::size_t length = 0;
  while (length < N && slot[length] != u'\0') ++length;
  return std::u16string_view(slot, length);
}

}  // namespace vex
