// The layout rules every dialog template of the plug-ins must keep, checked on a dialog created
// from the template (hidden), in the font and the metrics that the user's display gives it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vexlint {

// One direct child control of a created dialog, in template order.
struct Control {
  HWND hwnd = nullptr;
  int id = 0;
  std::wstring className;
  std::wstring text;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};  // in the dialog's client coordinates
};

// A rule broken: "overlap", "text-fit", "mnemonic", "tab-stop", "outside" or "create".
struct Finding {
  std::string rule;
  std::vector<int> controlIds;  // the controls involved, in template order
  std::wstring detail;          // names the controls and says what was seen
};

// Two captions of one dialog that share a mnemonic letter as the product's texts stand.
struct KnownMnemonicPair {
  int dialogId;
  const wchar_t* first;
  const wchar_t* second;
};
extern const std::vector<KnownMnemonicPair> kKnownMnemonicPairs;

std::vector<Control> childControls(HWND dialog);

// Every finding of the rules on a created dialog. dialogId is the template's resource number
// (0 for a template named by a string); it selects the known mnemonic pairs.
std::vector<Finding> checkDialog(HWND dialog, int dialogId);

// Creates the dialog of a template hidden, with a procedure that does nothing, runs the checks,
// calls whileUp (for a screenshot) and destroys it. Property-page templates (WS_CHILD) get a
// hidden top-level parent. A template that is too short or cannot be created is a "create"
// finding.
std::vector<Finding> lintTemplate(const void* data, size_t size, HINSTANCE module, int dialogId,
                                  const std::function<void(HWND)>& whileUp = {});

// "control 6001 "text" (Static)", for findings and logs.
std::wstring describe(const Control& control);

}  // namespace vexlint
