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
#include "ui_plugin.h"

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
  // DrvGetDriverSetting answers `keyword` with `value` (any bytes; a zero and a closing zero
  // follow), and nothing for other keywords.
  void answer(std::string keyword, std::string value) {
    settings_.emplace_back(std::move(keyword), std::move(value));
  }
  const std::vector<UpdateCall>& calls() const { return calls_; }
  void clearCalls() { calls_.clear(); }

 private:
  static BOOL APIENTRY updateSetting(PVOID driverObject, PVOID item, DWORD previous, DWORD mode);
  static BOOL APIENTRY getSetting(PVOID driverObject, PCSTR feature, PVOID output, DWORD size,
                                  PDWORD needed, PDWORD returned);

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
  std::vector<std::pair<std::string, std::string>> settings_;
  std::vector<UpdateCall> calls_;
};

// A statically linked plug-in object with its common-UI calls done for a tree, as the driver
// makes them: first without an item buffer, then with the items asked for.
class BoundTree {
 public:
  BoundTree(DriverTree& tree, HANDLE printer, const wchar_t* printerName,
            DWORD mode = OEMCUIP_DOCPROP);
  ~BoundTree();
  BoundTree(const BoundTree&) = delete;
  BoundTree& operator=(const BoundTree&) = delete;

  // The driver binds the same tree again (a sheet opened a second time with the same object).
  HRESULT bindAgain(DWORD mode = OEMCUIP_DOCPROP);

  HRESULT first() const { return first_; }
  HRESULT second() const { return second_; }
  DWORD reported() const { return reported_; }
  OEMCUIPPARAM& param() { return param_; }
  vex::UiPlugin* plugin() { return plugin_; }
  DocumentContext* context() { return plugin_->sheets().pageContext.get(); }

 private:
  vex::UiPlugin* plugin_;
  OEMCUIPPARAM& param_;
  std::vector<OPTITEM> oemItems_;
  DWORD reported_ = 0;
  HRESULT first_ = E_UNEXPECTED;
  HRESULT second_ = E_UNEXPECTED;
};

}  // namespace vex::test
