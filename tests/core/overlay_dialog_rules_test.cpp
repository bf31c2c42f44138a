// The overlay dialogs' rules: button enabling, adding and removing chosen overlays, and the
// define-overlay dialog's form list.
#include "overlay_dialog_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

vex::OverlayStore storeWith(int defined, std::vector<std::uint16_t> chosen) {
  vex::OverlayStore store;
  store.overlayCount = static_cast<std::uint16_t>(defined);
  for (const std::uint16_t index : chosen) store.selected[store.selectedCount++] = index;
  return store;
}

std::vector<std::uint16_t> chosen(const vex::OverlayStore& store) {
  return {store.selected, store.selected + store.selectedCount};
}

vex::OverlayDefinition withForms(std::vector<std::u16string> names) {
  vex::OverlayDefinition definition;
  for (const auto& name : names)
    vex::setSlotText(definition.formNames[definition.formCount++], name);
  return definition;
}

std::vector<std::u16string> forms(const vex::OverlayDefinition& definition) {
  std::vector<std::u16string> names;
  for (int j = 0; j < definition.formCount; ++j)
    names.emplace_back(vex::slotText(definition.formNames[j]));
  return names;
}

TEST(OverlayDialogRules, Buttons) {
  const struct {
    const char* what;
    int defined;
    std::vector<std::uint16_t> chosen;
    std::vector<std::uint16_t> definedRows;
    std::size_t chosenRows;
    bool add, remove, create, edit, erase;
  } cases[] = {
      {"empty store", 0, {}, {}, 0, false, false, true, false, false},
      {"one row", 3, {}, {1}, 0, true, false, true, true, true},
      {"three rows while two are chosen", 5, {0, 1}, {2, 3, 4}, 0, false, false, true, false, true},
      {"two rows while two are chosen", 5, {0, 1}, {2, 3}, 0, true, false, true, false, true},
      {"a row already chosen", 3, {1}, {0, 1}, 0, false, false, true, false, true},
      {"a chosen row selected", 3, {1}, {}, 1, false, true, true, false, false},
      {"full store", 32, {}, {31}, 0, true, false, false, true, true},
  };
  for (const auto& c : cases) {
    const vex::OverlayStore store = storeWith(c.defined, c.chosen);
    const vex::OverlayButtons b = vex::overlayButtons(store, c.definedRows, c.chosenRows);
    EXPECT_EQ(b.add, c.add) << c.what;
    EXPECT_EQ(b.remove, c.remove) << c.what;
    EXPECT_EQ(b.create, c.create) << c.what;
    EXPECT_EQ(b.edit, c.edit) << c.what;
    EXPECT_EQ(b.erase, c.erase) << c.what;
  }
}

TEST(OverlayDialogRules, AddAndRemoveChosen) {
  vex::OverlayStore store = storeWith(6, {4});
  EXPECT_EQ(vex::addChosenOverlays(store, std::vector<std::uint16_t>{0, 4, 2, 9}), 2u)
      << "a chosen one and one past the store are skipped";
  EXPECT_EQ(chosen(store), (std::vector<std::uint16_t>{4, 0, 2}));
  EXPECT_EQ(vex::addChosenOverlays(store, std::vector<std::uint16_t>{5, 3}), 1u) << "four at most";
  EXPECT_EQ(chosen(store), (std::vector<std::uint16_t>{4, 0, 2, 5}));
  vex::removeChosenOverlays(store, std::bitset<4>(0b0101));
  EXPECT_EQ(chosen(store), (std::vector<std::uint16_t>{0, 5})) << "the others keep their order";
}

TEST(OverlayDialogRules, FormListEnabling) {
  const vex::OverlayDefinition two = withForms({u"A", u"B"});
  const vex::OverlayDefinition three = withForms({u"A", u"B", u"C"});
  EXPECT_TRUE(vex::canAddForm(two, u"C"));
  EXPECT_FALSE(vex::canAddForm(two, u"B")) << "already in the list";
  EXPECT_FALSE(vex::canAddForm(two, u""));
  EXPECT_FALSE(vex::canAddForm(three, u"D")) << "a fourth form";
  EXPECT_TRUE(vex::canRenameForm(two, u"C", 1));
  EXPECT_FALSE(vex::canRenameForm(two, u"C", -1)) << "no row selected";
  EXPECT_FALSE(vex::canRenameForm(two, u"C", 2)) << "no such row";
  EXPECT_FALSE(vex::canRenameForm(two, u"A", 1));
}

TEST(OverlayDialogRules, FormEdits) {
  vex::OverlayStore store;
  vex::OverlayDefinition definition = withForms({u"A"});
  EXPECT_EQ(vex::addForm(store, definition, u"B."), vex::FormEdit::endsWithStop);
  EXPECT_EQ(forms(definition), (std::vector<std::u16string>{u"A"}));
  EXPECT_EQ(store.historyCount, 0) << "a refused name stays out of the history";
  EXPECT_EQ(vex::addForm(store, definition, u"B"), vex::FormEdit::done);
  EXPECT_EQ(vex::addForm(store, definition, u"C"), vex::FormEdit::done);
  EXPECT_EQ(vex::addForm(store, definition, u"D"), vex::FormEdit::refused);
  EXPECT_EQ(forms(definition), (std::vector<std::u16string>{u"A", u"B", u"C"}));
  EXPECT_EQ(vex::slotText(store.history[0]), u"C");
  EXPECT_EQ(vex::renameForm(store, definition, u"X.", 1), vex::FormEdit::endsWithStop);
  EXPECT_EQ(vex::renameForm(store, definition, u"X", 1), vex::FormEdit::done);
  EXPECT_EQ(forms(definition), (std::vector<std::u16string>{u"A", u"X", u"C"}));
  EXPECT_EQ(store.historyCount, 3);
  EXPECT_TRUE(vex::deleteForm(definition, 0));
  EXPECT_EQ(forms(definition), (std::vector<std::u16string>{u"X", u"C"}));
  EXPECT_TRUE(vex::slotText(definition.formNames[2]).empty()) << "the freed slot is cleared";
  EXPECT_FALSE(vex::deleteForm(definition, 2));
  EXPECT_FALSE(vex::deleteForm(definition, -1));
}

TEST(OverlayDialogRules, AcceptedPageMode) {
  vex::OverlayDefinition definition;
  definition.pageMode = 4;
  EXPECT_EQ(vex::acceptedPageMode(definition), 0) << "custom without pages";
  vex::setSlotText(definition.customPages, u"2-3");
  EXPECT_EQ(vex::acceptedPageMode(definition), 4);
  definition.pageMode = 2;
  EXPECT_EQ(vex::acceptedPageMode(definition), 2);
}

}  // namespace
