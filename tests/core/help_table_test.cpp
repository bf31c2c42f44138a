#include "help_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace {

TEST(HelpTable, RowsThatTheDialogsRelyOn) {
  const struct {
    std::uint32_t controlId;
    std::uint32_t topic;
  } rows[] = {
      {1, 3},       {2, 4},       {10000, 1},  {1392, 839}, {1801, 1201}, {1802, 1202},
      {1806, 1211}, {1807, 1203}, {1004, 901}, {1010, 905}, {1401, 1001}, {1585, 840},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(vex::helpContextFor(row.controlId), row.topic) << row.controlId;
  }
}

TEST(HelpTable, JobPasswordDialogUsesItsFiveTopicsInOrder) {
  std::uint32_t previous = 900;
  std::set<std::uint32_t> topics;
  for (std::uint32_t id = 1004; id <= 1010; ++id) {
    const std::uint32_t topic = vex::helpContextFor(id);
    EXPECT_GE(topic, previous) << id;
    EXPECT_TRUE(topic >= 901 && topic <= 905) << id << " -> " << topic;
    topics.insert(topic);
    previous = topic;
  }
  EXPECT_EQ(topics.size(), 5u);
}

TEST(HelpTable, FixedLengthUniqueIdsAndAClosingZeroPair) {
  const auto& table = vex::helpContextTable();
  ASSERT_EQ(table.size(), vex::kHelpContextRows + 1);
  EXPECT_EQ(vex::kHelpContextRows, 253u);
  std::set<std::uint32_t> ids;
  for (std::size_t i = 0; i < vex::kHelpContextRows; ++i) {
    EXPECT_NE(table[i].controlId, 0u) << "row " << i;
    EXPECT_NE(table[i].helpContext, 0u) << "row " << i;
    EXPECT_TRUE(ids.insert(table[i].controlId).second) << "duplicate id " << table[i].controlId;
  }
  EXPECT_EQ(table[vex::kHelpContextRows - 1].controlId, 1585u);
  EXPECT_EQ(table.back().controlId, 0u);
  EXPECT_EQ(table.back().helpContext, 0u);
}

TEST(HelpTable, UnknownControlsHaveNoTopic) {
  for (std::uint32_t id : {0u, 3u, 999u, 1011u, 9999u, 65535u, 0xFFFFFFFFu}) {
    EXPECT_EQ(vex::helpContextFor(id), 0u) << id;
  }
}

}  // namespace
