#include "help_table.h"

namespace vex {
namespace {

// Consecutive control ids whose topics follow each other in the help file.
struct HelpRun {
  std::uint32_t firstId;
  std::uint32_t lastId;
  std::uint32_t firstTopic;
  bool oneTopic = false;  // every id of the run opens firstTopic
};

// Where the numbers come from: the driver's help file numbers its topics by dialog — 1..4 the
// buttons every dialog shares, 7xx the overlay dialogs, 8xx the job options page, 9xx the job
// password dialog, 10xx the watermark dialogs, 11xx the colour page, 12xx the advanced dialog,
// 14xx the colour detail dialogs — and inside a dialog in the order of its control ids. A label
// shares the topic of the field it names.
constexpr HelpRun kRuns[] = {
    {1, 1, 3},                 // OK
    {2, 2, 4},                 // Cancel
    {10000, 10000, 1},         // Defaults
    {10001, 10001, 2},         // colour preview picture
    {1050, 1061, 701},         // overlay page: lists, labels and buttons
    {1100, 1114, 721},         // overlay edit dialog
    {1500, 1537, 801},         // job options page
    {1392, 1392, 839},         // the link text
    {1538, 1559, 841},         // job options page, finishing and copies
    {1004, 1004, 901},         // job password dialog: group
    {1005, 1006, 902, true},   //   job name label and field
    {1007, 1007, 903},         //   job name required
    {1008, 1009, 904, true},   //   password field and label
    {1010, 1010, 905},         //   the hint
    {1800, 1800, 1204},        // advanced dialog: group
    {1801, 1801, 1201},        //   mirror image
    {1802, 1802, 1202},        //   negative image
    {1803, 1803, 1205},        //   storage icon
    {1804, 1805, 1206, true},  //   compression label and list
    {1806, 1806, 1211},        //   job spool
    {1807, 1807, 1203},        //   maintenance before printing
    {1808, 1808, 1208},        //   storage note
    {1401, 1457, 1001},        // watermark dialogs
    {1600, 1617, 1101},        // colour page
    {1200, 1215, 1401},        // colour detail: colour matching
    {1253, 1268, 1421},        // colour detail: profiles
    {1300, 1305, 1441},        // colour detail: black and grey
    {1651, 1681, 1451},        // colour detail: halftone and rendering
    {1585, 1585, 840},         // job options page, the secure-print note (last row)
};

constexpr std::array<HelpContextPair, kHelpContextRows + 1> buildTable() {
  std::array<HelpContextPair, kHelpContextRows + 1> table{};
  std::size_t row = 0;
  for (const HelpRun& run : kRuns) {
    for (std::uint32_t id = run.firstId; id <= run.lastId; ++id) {
      table[row++] = {id, run.oneTopic ? run.firstTopic : run.firstTopic + (id - run.firstId)};
    }
  }
  table[row] = {0, 0};
  return table;
}

constexpr std::size_t countRows() {
  std::size_t rows = 0;
  for (const HelpRun& run : kRuns) rows += run.lastId - run.firstId + 1;
  return rows;
}
static_assert(countRows() == kHelpContextRows, "the help table has its fixed number of rows");

constexpr std::array<HelpContextPair, kHelpContextRows + 1> kTable = buildTable();
static_assert(kTable[kHelpContextRows - 1].controlId == 1585 &&
                  kTable[kHelpContextRows - 1].helpContext == 840,
              "the last row is the secure-print note");

}  // namespace

const std::array<HelpContextPair, kHelpContextRows + 1>& helpContextTable() { return kTable; }

std::uint32_t helpContextFor(std::uint32_t controlId) {
  if (controlId == 0) return 0;
  for (const HelpContextPair& pair : kTable) {
    if (pair.controlId == controlId) return pair.helpContext;
  }
  return 0;
}

}  // namespace vex
