// What the overlay dialogs decide over the store, without windows: which buttons of the overlay
// dialog are enabled, adding and removing chosen overlays, and the define-overlay dialog's form
// list (add, rename, delete and when each may be done).
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "overlay_store.h"

namespace vex {

// The buttons of the overlay dialog that the selections allow.
struct OverlayButtons {
  bool add = false;     // chosen from the defined list
  bool remove = false;  // taken out of the chosen list
  bool create = false;  // a new definition
  bool edit = false;
  bool erase = false;  // delete definitions
};

// `definedRows`: the rows selected in the defined list (definition indexes, in row order);
// `chosenRowsSelected`: how many rows of the chosen list are selected.
OverlayButtons overlayButtons(const OverlayStore& store, std::span<const std::uint16_t> definedRows,
                              std::size_t chosenRowsSelected);

// Appends the definitions of the selected rows to the chosen overlays while fewer than four are
// chosen; a definition that is already chosen or past the store is skipped. Returns how many
// were added.
std::size_t addChosenOverlays(OverlayStore& store, std::span<const std::uint16_t> definedRows);

// Keeps, in order, the chosen overlays whose rows are not marked.
void removeChosenOverlays(OverlayStore& store, std::bitset<kMaxSelectedOverlays> markedRows);

// The define-overlay dialog's form list. The text is the form-name box's (already filtered).
bool formListHas(const OverlayDefinition& definition, std::u16string_view name);
// Add (1110): a text, room for another form, not in the list yet.
bool canAddForm(const OverlayDefinition& definition, std::u16string_view text);
// Rename (1111): a text not in the list, and a row of the list selected.
bool canRenameForm(const OverlayDefinition& definition, std::u16string_view text, int selectedRow);

enum class FormEdit {
  done,
  endsWithStop,  // message 10024; nothing changed
  refused,       // not allowed now (full, duplicate, no row)
};
// Adds the name as the next form and to the front of the history.
FormEdit addForm(OverlayStore& store, OverlayDefinition& definition, std::u16string_view text);
// Renames the form of `row` and puts the name at the front of the history.
FormEdit renameForm(OverlayStore& store, OverlayDefinition& definition, std::u16string_view text,
                    int row);
// Removes the form of `row`, moving the later ones up. False when there is no such form.
bool deleteForm(OverlayDefinition& definition, int row);

// What OK of the define-overlay dialog stores for the page mode: custom pages without a list
// print on all pages.
std::uint16_t acceptedPageMode(const OverlayDefinition& definition);

}  // namespace vex
