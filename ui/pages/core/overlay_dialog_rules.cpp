#include "overlay_dialog_rules.h"

#include <algorithm>

#include "overlay_filters.h"

namespace vex {
namespace {

constexpr std::uint16_t kCustomPages = 4;

std::size_t chosenCount(const OverlayStore& store) {
  return std::min<std::size_t>(store.selectedCount, kMaxSelectedOverlays);
}

bool isChosen(const OverlayStore& store, std::uint16_t index) {
  const std::size_t count = chosenCount(store);
  return std::find(store.selected, store.selected + count, index) != store.selected + count;
}

std::size_t formCount(const OverlayDefinition& definition) {
  return std::min<std::size_t>(definition.formCount, kMaxOverlayForms);
}

}  // namespace

OverlayButtons overlayButtons(const OverlayStore& store, std::span<const std::uint16_t> definedRows,
                              std::size_t chosenRowsSelected) {
  OverlayButtons buttons;
  const bool defined = store.overlayCount > 0;
  const std::size_t e = definedRows.size();
  const bool noneChosenYet = std::none_of(definedRows.begin(), definedRows.end(),
                                          [&](std::uint16_t row) { return isChosen(store, row); });
  buttons.remove = chosenCount(store) > 0 && chosenRowsSelected > 0;
  buttons.create = store.overlayCount < kMaxOverlays;
  buttons.add = defined && e > 0 && e + chosenCount(store) <= kMaxSelectedOverlays && noneChosenYet;
  buttons.edit = defined && e == 1;
  buttons.erase = defined && e > 0;
  return buttons;
}

std::size_t addChosenOverlays(OverlayStore& store, std::span<const std::uint16_t> definedRows) {
  std::size_t added = 0;
  for (const std::uint16_t row : definedRows) {
    if (chosenCount(store) >= kMaxSelectedOverlays) break;
    if (row >= store.overlayCount || isChosen(store, row)) continue;
    store.selected[store.selectedCount++] = row;
    ++added;
  }
  return added;
}

void removeChosenOverlays(OverlayStore& store, std::bitset<kMaxSelectedOverlays> markedRows) {
  std::uint16_t kept = 0;
  const std::size_t count = chosenCount(store);
  for (std::size_t k = 0; k < count; ++k) {
    if (!markedRows[k]) store.selected[kept++] = store.selected[k];
  }
  store.selectedCount = kept;
}

bool formListHas(const OverlayDefinition& definition, std::u16string_view name) {
  for (std::size_t j = 0; j < formCount(definition); ++j) {
    if (slotText(definition.formNames[j]) == name) return true;
  }
  return false;
}

bool canAddForm(const OverlayDefinition& definition, std::u16string_view text) {
  return !text.empty() && formCount(definition) < kMaxOverlayForms &&
         !formListHas(definition, text);
}

bool canRenameForm(const OverlayDefinition& definition, std::u16string_view text, int selectedRow) {
  return !text.empty() && !formListHas(definition, text) && selectedRow >= 0 &&
         static_cast<std::size_t>(selectedRow) < formCount(definition);
}

FormEdit addForm(OverlayStore& store, OverlayDefinition& definition, std::u16string_view text) {
  if (!canAddForm(definition, text)) return FormEdit::refused;
  if (formNameEndsWithStop(text)) return FormEdit::endsWithStop;
  addFormToHistory(store, text);
  setSlotText(definition.formNames[formCount(definition)], text);
  definition.formCount = static_cast<std::uint16_t>(formCount(definition) + 1);
  return FormEdit::done;
}

FormEdit renameForm(OverlayStore& store, OverlayDefinition& definition, std::u16string_view text,
                    int row) {
  if (!canRenameForm(definition, text, row)) return FormEdit::refused;
  if (formNameEndsWithStop(text)) return FormEdit::endsWithStop;
  addFormToHistory(store, text);
  setSlotText(definition.formNames[row], text);
  return FormEdit::done;
}

bool deleteForm(OverlayDefinition& definition, int row) {
  const std::size_t count = formCount(definition);
  if (row < 0 || static_cast<std::size_t>(row) >= count) return false;
  for (std::size_t j = static_cast<std::size_t>(row); j + 1 < count; ++j) {
    std::copy(std::begin(definition.formNames[j + 1]), std::end(definition.formNames[j + 1]),
              std::begin(definition.formNames[j]));
  }
  std::fill(std::begin(definition.formNames[count - 1]), std::end(definition.formNames[count - 1]),
            u'\0');
  definition.formCount = static_cast<std::uint16_t>(count - 1);
  return true;
}

std::uint16_t acceptedPageMode(const OverlayDefinition& definition) {
  if (definition.pageMode == kCustomPages && slotText(definition.customPages).empty()) return 0;
  return definition.pageMode;
}

}  // namespace vex
