// The driver's option-item trees, built as the PostScript driver builds them from its PPD file:
// the document tree (standard settings, PostScript options, one item per PPD feature) and the
// printer tree (the installable-options group). The tree owns every block its items point to;
// the plug-in's own items are appended after the driver's in the same array, as the driver
// hands them to the common UI.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "oem/oem_platform.h"
#include "ppd_model.h"

namespace vex::uihost {

// USERDATA::dwItemID of the stand-in's driver items. 25 is the driver's PostScript output
// option (speed, portability, EPS, archive: the PostScript dialects 0 to 3).
enum DriverItemId : ULONG_PTR {
  kItemOrientation = 1,
  kItemScale,
  kItemCopies,
  kItemSource,
  kItemQuality,
  kItemColor,
  kItemDuplex,
  kItemTrueType,
  kItemForm,
  kItemIcmMethod,
  kItemIcmIntent,
  kItemMediaType,
  kItemDither,
  kItemOutputBin,
  kItemNup,
  kItemPageOrder,
  kItemPsOutput = 25,
  kItemMirror = 26,
  kItemNegative = 27,
  kItemInstallableGroup = 28,
  kItemFeatureBase = 100,  // + the feature's index in the PPD
};

// Names of driver items that are string resources of the driver (kept in the stand-in's own
// string table).
constexpr UINT kStringMirror = 423;
constexpr UINT kStringNegative = 424;
constexpr UINT kStringInstallableOptions = 64798;
// Option names of the driver given as string resources (the mirror and negative items' options).
constexpr UINT kStringOptionNo = 310;
constexpr UINT kStringOptionYes = 311;

// The stand-in never hands out more plug-in items than this (a larger count is a plug-in
// fault).
constexpr DWORD kMaxPluginItems = 64;

class OptionTree {
 public:
  enum class Kind { Document, Printer };

  OptionTree(Kind kind, const ppd::Model& model);
  OptionTree(const OptionTree&) = delete;
  OptionTree& operator=(const OptionTree&) = delete;

  Kind kind() const { return kind_; }
  OPTITEM* items() { return items_.data(); }
  DWORD driverCount() const { return driverCount_; }
  DWORD totalCount() const { return static_cast<DWORD>(items_.size()); }
  OPTITEM* pluginItems() { return items_.data() + driverCount_; }
  DWORD pluginCount() const { return totalCount() - driverCount_; }

  // Appends `count` zero-filled items for the plug-in; false when count is above the bound.
  bool addPluginItems(DWORD count);

  // -1 when the pointer is not one of this tree's items.
  int indexOf(const void* item) const;
  OPTITEM* findKeyword(std::string_view keyword);
  // The driver's data of a driver item (null for the plug-in's items).
  const USERDATA* userData(const OPTITEM& item) const;
  std::string keyword(const OPTITEM& item) const;
  // The keyword of option `sel` of a driver item ("" when out of range).
  std::string optionKeyword(const OPTITEM& item, LONG sel) const;
  // Option `sel` by keyword or shown text; -1 when there is none.
  LONG findOption(const OPTITEM& item, std::string_view option) const;

 private:
  struct Choice {
    std::string keyword;
    std::wstring text;
    UINT resource = 0;  // non-zero: the option's name is this string resource, not `text`
  };
  void add(ULONG_PTR id, BYTE dmPub, BYTE level, LPWSTR name, BYTE type,
           const std::vector<Choice>& choices, LONG sel, const std::string& keyword);
  void addFeature(const ppd::Feature& feature, std::size_t index, BYTE dmPub, BYTE level);
  void addUpDown(ULONG_PTR id, BYTE dmPub, const wchar_t* name, const wchar_t* unit, LONG sel,
                 LONG low, LONG high);
  LPWSTR keep(std::wstring text);
  void buildDocument(const ppd::Model& model);
  void buildPrinter(const ppd::Model& model);

  Kind kind_;
  std::vector<OPTITEM> items_;  // capacity reserved up front: item addresses never move
  DWORD driverCount_ = 0;
  std::deque<OPTTYPE> types_;
  std::deque<std::vector<OPTPARAM>> params_;
  std::deque<std::wstring> strings_;
  std::deque<USERDATA> userData_;
  std::deque<std::string> keywords_;
  std::vector<std::vector<std::string>> optionKeywords_;  // per driver item
};

// Text of a driver string resource of the stand-in, or of an item name pointer that may be one.
std::wstring itemName(const OPTITEM& item);
// Text of an option's name: a string resource of the stand-in when given as a number ("#N"
// when the table has none), else the text read with a bound.
std::wstring optionText(const OPTPARAM& param);
std::wstring fromLatin1(std::string_view text);

}  // namespace vex::uihost
