// The driver's UI object and its two procedures (OEMUIPROCS), answering from the option tree of
// the sheet being shown: DrvGetDriverSetting reads a feature's current option (in a document
// sheet the installable options come from the printer's settings), and
// DrvUpdateUISetting accepts a new selection that the plug-in wrote into an item — or refuses
// it, when the command line asks the driver to (--refuse KEYWORD=OPTION).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "installable_settings.h"
#include "oem/oem_platform.h"
#include "option_tree.h"

namespace vex::uihost {

struct UpdateCall {
  int index = -1;  // of the item in the tree; -1: not an item of the tree
  std::string name;
  LONG previous = 0;
  LONG requested = 0;
  DWORD mode = 0;
  bool accepted = false;
};

// One sheet at a time runs through the driver in a process, so the UI object is one.
class DriverUi {
 public:
  static DriverUi& instance();

  OEMUIOBJ* uiObject() { return &object_; }
  void attach(OptionTree* tree) { tree_ = tree; }
  void detach() {
    tree_ = nullptr;
    installable_ = nullptr;
  }
  // The printer's installable options, answered in a document sheet.
  void setInstallable(const InstallableSettings* settings) { installable_ = settings; }
  void setRefusals(std::vector<std::pair<std::string, std::string>> refusals) {
    refusals_ = std::move(refusals);
  }
  const std::vector<UpdateCall>& calls() const { return calls_; }
  // The DrvGetDriverSetting calls by keyword with their answers, one line each.
  const std::string& settingCalls() const { return settingCalls_; }
  // The answer to a keyword as the procedure gives it (no call recorded); none when unknown.
  std::optional<std::string> answer(std::string_view keyword);

  // The procedures' work; `object` must be this UI object (the helper interface passes its own
  // first argument through).
  BOOL getDriverSetting(PVOID object, PCSTR feature, PVOID output, DWORD size, PDWORD needed,
                        PDWORD returned);
  BOOL updateUiSetting(PVOID object, PVOID item, DWORD previous, DWORD mode);

 private:
  DriverUi();

  OEMUIOBJ object_{};
  OEMUIPROCS procs_{};
  OptionTree* tree_ = nullptr;
  const InstallableSettings* installable_ = nullptr;
  std::string settingCalls_;  // the first 1000 calls
  std::size_t recordedSettingCalls_ = 0;
  std::vector<std::pair<std::string, std::string>> refusals_;
  std::vector<UpdateCall> calls_;
};

}  // namespace vex::uihost
