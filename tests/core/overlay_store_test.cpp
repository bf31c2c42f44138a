// The overlay store over an in-memory profile: loading bounded by the slots, the saved-copy
// state, the selection, the history and removal with renumbering.
#include "overlay_store.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "private_settings.h"

namespace {

using vex::OverlayWorkspace;
using vex::SavedCopyState;

std::u16string dec(int value) {
  const std::string text = std::to_string(value);
  return std::u16string(text.begin(), text.end());
}

// Sections and keys as the profile API keeps them (numbers read the leading integer).
class MemoryProfile final : public vex::OverlayProfile {
 public:
  std::map<std::u16string, std::map<std::u16string, std::u16string>> sections;
  std::vector<std::u16string> writes;  // "section/key=value" in order

  std::int32_t readNumber(std::u16string_view section, std::u16string_view key) override {
    const std::u16string text = readText(section, key, 64);
    std::int64_t value = 0;
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == u'-';
    if (negative) ++i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
      value = value * 10 + (text[i] - u'0');
      if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
  }
  std::u16string readText(std::u16string_view section, std::u16string_view key,
                          std::size_t maxChars) override {
    const auto s = sections.find(std::u16string(section));
    if (s == sections.end()) return {};
    const auto k = s->second.find(std::u16string(key));
    if (k == s->second.end()) return {};
    return k->second.substr(0, maxChars);
  }
  void write(std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override {
    sections[std::u16string(section)][std::u16string(key)] = std::u16string(value);
    writes.push_back(std::u16string(section) + u"/" + std::u16string(key) + u"=" +
                     std::u16string(value));
  }
};

std::vector<std::uint8_t> recordSelecting(std::vector<std::uint16_t> words) {
  std::vector<std::uint8_t> record(vex::kRecordSize, 0);
  words.resize(4, vex::kNoOverlay);
  for (std::size_t k = 0; k < 4; ++k)
    vex::setU16(record.data(), vex::rec::overlayList + 2 * k, words[k]);
  return record;
}

std::vector<std::uint16_t> overlayList(const std::vector<std::uint8_t>& record) {
  std::vector<std::uint16_t> words;
  for (std::size_t k = 0; k < 4; ++k)
    words.push_back(vex::getU16(record.data(), vex::rec::overlayList + 2 * k));
  return words;
}

std::vector<std::uint16_t> selection(const OverlayWorkspace& workspace) {
  return {workspace.store->selected, workspace.store->selected + workspace.store->selectedCount};
}

// A main copy with `count` overlays named O0, O1, ...
MemoryProfile mainCopy(int count) {
  MemoryProfile profile;
  profile.sections[u"OverlaySetting"][u"Overlay_Num"] = dec(count);
  for (int i = 0; i < count; ++i) {
    auto& section = profile.sections[u"Overlay_Info " + dec(i)];
    section[u"Overlay_Name"] = u"O" + dec(i);
    section[u"Form_Num"] = u"1";
    section[u"Form_Name 0"] = u"F" + dec(i);
  }
  return profile;
}

TEST(OverlayStore, AnEmptyFileGivesAnEmptyStoreAndOkWritesUnusedWords) {
  MemoryProfile profile;
  OverlayWorkspace workspace;
  auto record = recordSelecting({0, 1});
  vex::loadOverlaysForDialog(workspace, profile, record.data());
  EXPECT_EQ(workspace.store->overlayCount, 0);
  EXPECT_EQ(workspace.store->historyCount, 0);
  EXPECT_TRUE(selection(workspace).empty());
  vex::acceptOverlayDialog(workspace, profile, record.data(), true);
  EXPECT_EQ(overlayList(record), (std::vector<std::uint16_t>{255, 255, 255, 255}));
  EXPECT_EQ(workspace.store, nullptr) << "released";
  EXPECT_EQ(profile.writes, (std::vector<std::u16string>{u"OverlaySetting_Sv/Overlay_Num=0",
                                                         u"OverlaySetting_Sv/History_Num=0"}));
}

TEST(OverlayStore, TheSelectionComesFromTheRecord) {
  const struct {
    int defined;
    std::vector<std::uint16_t> words;
    std::vector<std::uint16_t> selected;
  } cases[] = {
      {3, {2, 0}, {2, 0}},
      {2, {0, 1, 2}, {0, 1}},  // three selected, two defined: the first ones
      {3, {1, 255, 2}, {1}},   // stops at the first unused word
      {3, {0, 7}, {0}},        // an index past the definitions is dropped
      {32, {31, 30, 29, 28}, {31, 30, 29, 28}},
  };
  for (const auto& c : cases) {
    MemoryProfile profile = mainCopy(c.defined);
    OverlayWorkspace workspace;
    auto record = recordSelecting(c.words);
    vex::loadOverlaysForDialog(workspace, profile, record.data());
    EXPECT_EQ(selection(workspace), c.selected) << c.defined;
  }
}

TEST(OverlayStore, HostileCountsAndTextsStayInsideTheirSlots) {
  MemoryProfile profile;
  auto& header = profile.sections[u"OverlaySetting"];
  header[u"Overlay_Num"] = u"100000";
  header[u"History_Num"] = u"-4";
  auto& first = profile.sections[u"Overlay_Info 0"];
  first[u"Overlay_Name"] = std::u16string(10000, u'n');
  first[u"Form_Num"] = u"3";  // the form keys are missing
  first[u"PageMode"] = u"9";
  first[u"CustomPage"] = std::u16string(400, u'1');
  OverlayWorkspace workspace;
  vex::loadOverlaysForDialog(workspace, profile, nullptr);
  ASSERT_EQ(workspace.store->overlayCount, 32);
  EXPECT_EQ(workspace.store->historyCount, 0);
  const vex::OverlayDefinition& definition = *workspace.definitions[0];
  EXPECT_EQ(vex::slotText(definition.name).size(), 63u);
  EXPECT_EQ(vex::slotText(definition.customPages).size(), 254u);
  EXPECT_EQ(definition.formCount, 3);
  EXPECT_TRUE(vex::slotText(definition.formNames[2]).empty());
  EXPECT_EQ(definition.pageMode, 0) << "an unknown page mode prints on all pages";
  for (std::size_t i = 0; i < 32; ++i) ASSERT_NE(workspace.definitions[i], nullptr) << i;
}

// The saved-copy state, row by row: which copy is read, what it becomes, what is written.
TEST(OverlayStore, SavedCopyStateTable) {
  const struct {
    const char* event;
    SavedCopyState from;
    SavedCopyState to;
    const char16_t* read;  // the header section read, or null
    const char16_t* written;
  } cases[] = {
      {"opened", SavedCopyState::none, SavedCopyState::valid, u"OverlaySetting", nullptr},
      {"opened", SavedCopyState::notToUse, SavedCopyState::valid, u"OverlaySetting", nullptr},
      {"opened", SavedCopyState::valid, SavedCopyState::notToUse, u"OverlaySetting_Sv", nullptr},
      {"accepted", SavedCopyState::none, SavedCopyState::valid, nullptr, u"OverlaySetting_Sv"},
      {"accepted", SavedCopyState::notToUse, SavedCopyState::valid, nullptr, u"OverlaySetting_Sv"},
      {"cancelled", SavedCopyState::valid, SavedCopyState::notToUse, nullptr, nullptr},
      {"cancelled", SavedCopyState::none, SavedCopyState::valid, nullptr, nullptr},
      {"applied", SavedCopyState::valid, SavedCopyState::notToUse, u"OverlaySetting_Sv",
       u"OverlaySetting"},
      {"applied", SavedCopyState::none, SavedCopyState::none, nullptr, nullptr},
      {"applied", SavedCopyState::notToUse, SavedCopyState::notToUse, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.event << " from " << static_cast<int>(c.from));
    MemoryProfile profile = mainCopy(1);
    profile.sections[u"OverlaySetting_Sv"][u"Overlay_Num"] = u"2";
    OverlayWorkspace workspace;
    workspace.savedCopyState = c.from;
    auto record = recordSelecting({});
    const std::string event = c.event;
    if (event == "opened") {
      vex::loadOverlaysForDialog(workspace, profile, record.data());
      const int expected = std::u16string(c.read) == u"OverlaySetting" ? 1 : 2;
      EXPECT_EQ(workspace.store->overlayCount, expected);
    } else if (event == "accepted") {
      workspace.store = std::make_unique<vex::OverlayStore>();
      vex::acceptOverlayDialog(workspace, profile, record.data(), true);
    } else if (event == "cancelled") {
      workspace.store = std::make_unique<vex::OverlayStore>();
      vex::cancelOverlayDialog(workspace);
    } else {
      EXPECT_EQ(vex::commitOverlaysOnApply(workspace, profile, true), c.written != nullptr);
    }
    EXPECT_EQ(workspace.savedCopyState, c.to);
    if (c.written == nullptr) {
      EXPECT_TRUE(profile.writes.empty());
    } else {
      ASSERT_FALSE(profile.writes.empty());
      EXPECT_EQ(profile.writes.front(),
                std::u16string(c.written) + u"/Overlay_Num=" + (event == "applied" ? u"2" : u"0"));
    }
  }
}

TEST(OverlayStore, WithoutWritePermissionNothingIsWritten) {
  MemoryProfile profile = mainCopy(2);
  OverlayWorkspace workspace;
  auto record = recordSelecting({1});
  vex::loadOverlaysForDialog(workspace, profile, record.data());
  workspace.store->selected[1] = 0;
  workspace.store->selectedCount = 2;
  vex::acceptOverlayDialog(workspace, profile, record.data(), false);
  EXPECT_EQ(overlayList(record), (std::vector<std::uint16_t>{1, 0, 255, 255}));
  EXPECT_EQ(workspace.savedCopyState, SavedCopyState::valid);
  EXPECT_FALSE(vex::commitOverlaysOnApply(workspace, profile, false));
  EXPECT_TRUE(profile.writes.empty());
}

TEST(OverlayStore, CancelOfTheSheetKeepsTheMainCopyAndApplyCopiesTheSavedOne) {
  MemoryProfile profile = mainCopy(2);
  OverlayWorkspace workspace;
  auto record = recordSelecting({});
  vex::loadOverlaysForDialog(workspace, profile, record.data());
  vex::removeOverlayDefinitions(workspace, std::bitset<vex::kMaxOverlays>(0b01));
  vex::acceptOverlayDialog(workspace, profile, record.data(), true);
  EXPECT_EQ(profile.sections[u"OverlaySetting"][u"Overlay_Num"], u"2") << "main copy untouched";
  EXPECT_EQ(profile.sections[u"OverlaySetting_Sv"][u"Overlay_Num"], u"1");
  ASSERT_TRUE(vex::commitOverlaysOnApply(workspace, profile, true));
  EXPECT_EQ(profile.sections[u"OverlaySetting"][u"Overlay_Num"], u"1");
  EXPECT_EQ(profile.sections[u"Overlay_Info 0"][u"Overlay_Name"], u"O1");
  EXPECT_EQ(profile.sections[u"Overlay_Info 1"][u"Overlay_Name"], u"O1")
      << "a section beyond the count stays as it was";
}

TEST(OverlayStore, ShrinkingFiveToThreeLeavesTheSectionsBeyondTheCount) {
  MemoryProfile profile = mainCopy(5);
  OverlayWorkspace workspace;
  auto record = recordSelecting({4, 1});
  vex::loadOverlaysForDialog(workspace, profile, record.data());
  vex::removeOverlayDefinitions(workspace, std::bitset<vex::kMaxOverlays>(0b00101));
  vex::acceptOverlayDialog(workspace, profile, record.data(), true);
  EXPECT_EQ(overlayList(record), (std::vector<std::uint16_t>{2, 0, 255, 255}));
  ASSERT_TRUE(vex::commitOverlaysOnApply(workspace, profile, true));
  EXPECT_EQ(profile.sections[u"OverlaySetting"][u"Overlay_Num"], u"3");
  const std::vector<std::u16string> names = {u"O1", u"O3", u"O4", u"O3", u"O4"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(profile.sections[u"Overlay_Info " + dec(i)][u"Overlay_Name"], names[i]) << i;
  }
  // Read again, the file holds three overlays.
  vex::loadOverlaysForDialog(workspace, profile, record.data());
  EXPECT_EQ(workspace.store->overlayCount, 3);
  EXPECT_EQ(selection(workspace), (std::vector<std::uint16_t>{2, 0}));
}

TEST(OverlayStore, SavingWritesTheKeysInOrder) {
  MemoryProfile profile;
  OverlayWorkspace workspace;
  workspace.savedCopyState = SavedCopyState::notToUse;
  workspace.store = std::make_unique<vex::OverlayStore>();
  workspace.store->overlayCount = 1;
  workspace.store->historyCount = 1;
  vex::setSlotText(workspace.store->history[0], u"FORM1");
  auto& definition = workspace.definitions[0] = std::make_unique<vex::OverlayDefinition>();
  vex::setSlotText(definition->name, u"Letterhead");
  definition->pageMode = 4;
  vex::setSlotText(definition->customPages, u"1,3-5");
  definition->formCount = 2;
  vex::setSlotText(definition->formNames[0], u"FORM1");
  vex::setSlotText(definition->formNames[1], u"FORM2");
  vex::saveOverlays(workspace, profile);
  EXPECT_EQ(profile.writes,
            (std::vector<std::u16string>{
                u"OverlaySetting/Overlay_Num=1", u"OverlaySetting/History_Num=1",
                u"OverlaySetting/History 0=FORM1", u"Overlay_Info 0/Overlay_Name=Letterhead",
                u"Overlay_Info 0/PageMode=4", u"Overlay_Info 0/CustomPage=1,3-5",
                u"Overlay_Info 0/Form_Num=2", u"Overlay_Info 0/Form_Name 0=FORM1",
                u"Overlay_Info 0/Form_Name 1=FORM2"}));
}

TEST(OverlayStore, HistoryKeepsTheMostRecentTenNames) {
  vex::OverlayStore store;
  for (int i = 0; i < 5; ++i) vex::addFormToHistory(store, u"N" + dec(i));
  // N4 N3 N2 N1 N0: adding N0 (entry 4) moves it to the front, the count stays.
  vex::addFormToHistory(store, u"N0");
  EXPECT_EQ(store.historyCount, 5);
  std::vector<std::u16string> names;
  for (int k = 0; k < store.historyCount; ++k) names.emplace_back(vex::slotText(store.history[k]));
  EXPECT_EQ(names, (std::vector<std::u16string>{u"N0", u"N4", u"N3", u"N2", u"N1"}));
  for (int i = 5; i < 10; ++i) vex::addFormToHistory(store, u"N" + dec(i));
  EXPECT_EQ(store.historyCount, 10);
  EXPECT_EQ(vex::slotText(store.history[9]), u"N1");
  vex::addFormToHistory(store, u"NEW");
  EXPECT_EQ(store.historyCount, 10);
  EXPECT_EQ(vex::slotText(store.history[0]), u"NEW");
  EXPECT_EQ(vex::slotText(store.history[9]), u"N2") << "the former entry 9 is dropped";
  vex::addFormToHistory(store, std::u16string(80, u'L'));
  EXPECT_EQ(vex::slotText(store.history[0]).size(), 63u);
}

TEST(OverlayStore, RemovingDefinitionsRenumbersTheSelection) {
  const struct {
    int defined;
    std::vector<std::uint16_t> selected;
    unsigned long marked;
    int left;
    std::vector<std::uint16_t> after;
    std::vector<std::u16string> names;
  } cases[] = {
      {3, {0, 2}, 0b010, 2, {0, 1}, {u"O0", u"O2"}},
      {3, {2, 1, 0}, 0b010, 2, {1, 0}, {u"O0", u"O2"}},
      {4, {3, 0}, 0b1001, 2, {}, {u"O1", u"O2"}},
      {2, {1}, 0b00, 2, {1}, {u"O0", u"O1"}},
  };
  for (const auto& c : cases) {
    MemoryProfile profile = mainCopy(c.defined);
    OverlayWorkspace workspace;
    std::vector<std::uint16_t> words = c.selected;
    auto record = recordSelecting(words);
    vex::loadOverlaysForDialog(workspace, profile, record.data());
    vex::removeOverlayDefinitions(workspace, std::bitset<vex::kMaxOverlays>(c.marked));
    EXPECT_EQ(workspace.store->overlayCount, c.left);
    EXPECT_EQ(selection(workspace), c.after);
    std::vector<std::u16string> names;
    for (int i = 0; i < c.left; ++i)
      names.emplace_back(vex::slotText(workspace.definitions[i]->name));
    EXPECT_EQ(names, c.names);
    for (int i = c.left; i < c.defined; ++i) EXPECT_EQ(workspace.definitions[i], nullptr);
  }
}

TEST(OverlayStore, ANewDefinitionCountsOnlyWhenAccepted) {
  MemoryProfile profile = mainCopy(31);
  OverlayWorkspace workspace;
  vex::loadOverlaysForDialog(workspace, profile, nullptr);
  vex::OverlayDefinition* added = vex::appendOverlayDefinition(workspace, u"New overlay");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(workspace.editedDefinition, 31u);
  EXPECT_EQ(workspace.store->overlayCount, 31);
  vex::discardNewOverlay(workspace);
  EXPECT_EQ(workspace.definitions[31], nullptr);
  ASSERT_NE(vex::appendOverlayDefinition(workspace, u"New overlay"), nullptr);
  vex::acceptNewOverlay(workspace);
  EXPECT_EQ(workspace.store->overlayCount, 32);
  EXPECT_EQ(vex::appendOverlayDefinition(workspace, u"One too many"), nullptr) << "full";
}

}  // namespace
