// A driver's option-item tree as the PostScript driver hands it to the UI plug-in, built from a
// table, with the driver's UI callbacks: DrvUpdateUISetting records each call and refuses the
// values the test names.
#pragma once

#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "oem/oem_platform.h"

namespace vex::test {

struct TreeItem {
  BYTE dmPubId = 0;
  std::string keyword;              // empty: no keyword
  std::optional<ULONG_PTR> itemId;  // USERDATA identifier; nullopt with no keyword: no USERDATA
  std::wstring name;                // text name; ignored when nameResource is set
  WORD nameResource = 0;            // name given as a resource number
  std::vector<std::wstring> options;
  LONG sel = 0;
  BYTE userItemId = 0;
};

struct UpdateCall {
  DWORD index;
  LONG sel;
  DWORD previous;
  DWORD mode;
  bool hiddenDuringCall;
};

class DriverTree {
 public:
  explicit DriverTree(const std::vector<TreeItem>& items);
  ~DriverTree();
  DriverTree(const DriverTree&) = delete;
  DriverTree& operator=(const DriverTree&) = delete;

  // The common-UI parameter for `printer`, with a fresh OEM heap and a record of `record` bytes.
  OEMCUIPPARAM& param(HANDLE printer, const wchar_t* printerName);
  OPTITEM& item(std::size_t i) { return items_[i]; }
  std::size_t size() const { return items_.size(); }
  // The option of item i with option text `text`.
  OPTPARAM& option(std::size_t i, const std::wstring& text);
  std::vector<BYTE>& record() { return record_; }

  // DrvUpdateUISetting answers FALSE for item `index` set to `sel`.
  void refuse(DWORD index, LONG sel) { refused_.push_back({index, sel}); }
  const std::vector<UpdateCall>& calls() const { return calls_; }
  void clearCalls() { calls_.clear(); }

 private:
  static BOOL APIENTRY updateSetting(PVOID driverObject, PVOID item, DWORD previous, DWORD mode);

  // The driver's callbacks get the UI object and find the tree behind it.
  struct UiObject {
    OEMUIOBJ object;
    DriverTree* tree;
  } uiObject_{};
  OEMUIPROCS procs_{};
  OEMCUIPPARAM param_{};
  HANDLE heap_ = nullptr;
  std::vector<OPTITEM> items_;
  std::deque<std::string> keywords_;
  std::deque<std::wstring> texts_;
  std::deque<USERDATA> userData_;
  std::deque<OPTTYPE> types_;
  std::deque<std::vector<OPTPARAM>> optionParams_;
  std::vector<BYTE> record_;
  std::vector<std::pair<DWORD, LONG>> refused_;
  std::vector<UpdateCall> calls_;
};

}  // namespace vex::test
