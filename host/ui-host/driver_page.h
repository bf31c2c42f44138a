// The driver's own page of a property sheet, as the common UI would draw the option tree: a list
// of the visible items with their selections, a combo box to change the selected item, and the
// push-button items as real buttons. Changes and page activation go to the sheet's owner, which
// calls the plug-in's common-UI callback.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "option_tree.h"

namespace vex::uihost {

class PageOwner {
 public:
  virtual OptionTree& tree() = 0;
  // The common UI's callback for `reason`; returns the action (1: items changed).
  virtual LONG notify(WORD reason, HWND page, OPTITEM* item, LONG oldSel) = 0;
  virtual void applied() = 0;
  // What the page's test affordance did (a line for the dump).
  virtual void note(const std::string& line) = 0;

 protected:
  ~PageOwner() = default;
};

class DriverPage {
 public:
  DriverPage(PageOwner& owner, UINT titleId) : owner_(owner), titleId_(titleId) {}
  DriverPage(const DriverPage&) = delete;
  DriverPage& operator=(const DriverPage&) = delete;

  // Adds the "Test Dialog..." and "Test Message..." buttons (--test-dialogs); before create().
  void enableTestButtons() { testButtons_ = true; }
  HPROPSHEETPAGE create();
  HWND window() const { return window_; }

  // As a user would: picks the item's row and the option in the combo box. False (with the
  // reason) when the item or option is not on the page.
  bool select(std::string_view item, std::string_view option, std::wstring* error);
  // Clicks the push button of that name.
  bool pressButton(const std::wstring& name, std::wstring* error);
  // What the page shows, read back from its controls (UTF-8 lines); also taken when the page
  // is destroyed.
  std::string readBack();
  const std::string& lastReadBack() const { return lastReadBack_; }

 private:
  static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
  void init();
  void refresh();
  void fillRows();
  void fillCombo(int index);
  void makeButtons();
  int selectedItem() const;
  int rowOfItem(int index) const;
  std::wstring shownSelection(const OPTITEM& item) const;
  void react(LONG action);
  void onSelChange();
  void onButton(int control);
  void makeTestButtons();

  PageOwner& owner_;
  UINT titleId_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  HWND combo_ = nullptr;
  std::vector<HWND> buttons_;
  std::vector<int> buttonItems_;
  bool filling_ = false;
  bool testButtons_ = false;
  std::string lastReadBack_;
};

// UTF-8 of a wide text (the dump's encoding).
std::string utf8(std::wstring_view text);

}  // namespace vex::uihost
