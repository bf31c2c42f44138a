#include "option_tree.h"

#include <algorithm>

namespace vex::uihost {
namespace {

constexpr std::size_t kItemCapacity = 512;  // PPD features are bounded far below

// Features that the standard items present, and PageRegion, which the driver never shows.
bool isStandardFeature(const std::string& keyword) {
  return keyword == "PageSize" || keyword == "PageRegion" || keyword == "Duplex" ||
         keyword == "OutputBin";
}

}  // namespace

std::wstring fromLatin1(std::string_view text) {
  // The sample PPD declares ISOLatin1; the driver reads it with the Western code page.
  std::wstring out;
  if (text.empty()) return out;
  const int n =
      MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return std::wstring(text.begin(), text.end());
  out.resize(static_cast<std::size_t>(n));
  MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

namespace {

std::wstring resourceOrText(LPCWSTR text) {
  if (text == nullptr) return L"";
  if (IS_INTRESOURCE(text)) {
    const UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text));
    wchar_t loaded[256] = L"";
    if (LoadStringW(GetModuleHandleW(nullptr), id, loaded, 256) > 0) return loaded;
    return L"#" + std::to_wstring(id);
  }
  // The plug-in's names come from its heap: read them with a bound.
  return std::wstring(text, wcsnlen(text, 256));
}

}  // namespace

std::wstring itemName(const OPTITEM& item) { return resourceOrText(item.pName); }

std::wstring optionText(const OPTPARAM& param) { return resourceOrText(param.pData); }

OptionTree::OptionTree(Kind kind, const ppd::Model& model) : kind_(kind) {
  items_.reserve(kItemCapacity + kMaxPluginItems);
  if (kind == Kind::Document) {
    buildDocument(model);
  } else {
    buildPrinter(model);
  }
  driverCount_ = static_cast<DWORD>(items_.size());
}

LPWSTR OptionTree::keep(std::wstring text) {
  strings_.push_back(std::move(text));
  return strings_.back().data();
}

void OptionTree::add(ULONG_PTR id, BYTE dmPub, BYTE level, LPWSTR name, BYTE type,
                     const std::vector<Choice>& choices, LONG sel, const std::string& keyword) {
  if (items_.size() >= kItemCapacity) return;
  OPTITEM item{};
  item.cbSize = sizeof(OPTITEM);
  item.Level = level;
  item.Flags = OPTIF_CALLBACK;  // the driver hears of every change of its items
  item.pName = name;
  item.Sel = sel;
  item.DMPubID = dmPub;

  USERDATA data{};
  data.dwSize = sizeof(USERDATA);
  data.dwItemID = id;
  if (!keyword.empty()) {
    keywords_.push_back(keyword);
    data.pKeyWordName = keywords_.back().data();
  }
  userData_.push_back(data);
  item.UserData = reinterpret_cast<ULONG_PTR>(&userData_.back());

  std::vector<std::string> optionKeywords;
  if (type != TVOT_NONE) {
    std::vector<OPTPARAM> params;
    for (const Choice& choice : choices) {
      OPTPARAM param{};
      param.cbSize = sizeof(OPTPARAM);
      param.pData = choice.resource != 0 ? MAKEINTRESOURCEW(choice.resource) : keep(choice.text);
      params.push_back(param);
      optionKeywords.push_back(choice.keyword);
    }
    params_.push_back(std::move(params));
    OPTTYPE optType{};
    optType.cbSize = sizeof(OPTTYPE);
    optType.Type = type;
    optType.Count = static_cast<WORD>(params_.back().size());
    optType.pOptParam = params_.back().data();
    types_.push_back(optType);
    item.pOptType = &types_.back();
  } else {
    item.Flags = 0;  // a group header: no selection
  }
  optionKeywords_.push_back(std::move(optionKeywords));
  items_.push_back(item);
}

void OptionTree::addFeature(const ppd::Feature& feature, std::size_t index, BYTE dmPub,
                            BYTE level) {
  std::vector<Choice> choices;
  for (const ppd::Option& option : feature.options) {
    choices.push_back({option.keyword, fromLatin1(option.text)});
  }
  add(kItemFeatureBase + index, dmPub, level, keep(fromLatin1(feature.text)), TVOT_COMBOBOX,
      choices, static_cast<LONG>(feature.defaultIndex), feature.keyword);
}

// Number items: the selection is the value, the second parameter carries the range.
void OptionTree::addUpDown(ULONG_PTR id, BYTE dmPub, const wchar_t* name, const wchar_t* unit,
                           LONG sel, LONG low, LONG high) {
  add(id, dmPub, 1, keep(name), TVOT_UDARROW, {{"", unit}, {"", L""}}, sel, "");
  OPTPARAM& range = params_.back()[1];
  range.IconID = static_cast<ULONG_PTR>(low);
  range.lParam = high;
}

void OptionTree::buildDocument(const ppd::Model& model) {
  const auto fixed = [&](ULONG_PTR id, BYTE dmPub, const wchar_t* name, std::vector<Choice> choices,
                         LONG sel) {
    add(id, dmPub, 1, keep(name), choices.size() == 2 ? TVOT_2STATES : TVOT_COMBOBOX, choices, sel,
        "");
  };
  const auto fromFeature = [&](const char* keyword, ULONG_PTR id, BYTE dmPub, const wchar_t* name,
                               std::vector<Choice> fallback) {
    for (std::size_t i = 0; i < model.features.size(); ++i) {
      if (model.features[i].keyword == keyword && !model.features[i].installable) {
        return addFeature(model.features[i], i, dmPub, 1);
      }
    }
    fixed(id, dmPub, name, std::move(fallback), 0);
  };

  fixed(kItemOrientation, DMPUB_ORIENTATION, L"Orientation",
        {{"Portrait", L"Portrait"}, {"Landscape", L"Landscape"}, {"Rotated", L"Rotated Landscape"}},
        0);
  addUpDown(kItemScale, DMPUB_SCALE, L"Scaling", L"%", 100, 1, 400);
  addUpDown(kItemCopies, DMPUB_COPIES_COLLATE, L"Copy Count", L"Copies", 1, 1, 999);
  fixed(kItemSource, DMPUB_DEFSOURCE, L"Paper Source",
        {{"Auto", L"Automatically Select"}, {"Tray1", L"Tray 1"}, {"Manual", L"Manual Feed"}}, 0);
  fixed(kItemQuality, DMPUB_PRINTQUALITY, L"Print Quality",
        {{"600dpi", L"600 dpi"}, {"1200dpi", L"1200 dpi"}}, 0);
  // A monochrome printer's tree has no colour item.
  if (model.colorDevice) {
    fixed(kItemColor, DMPUB_COLOR, L"Colour", {{"Mono", L"Monochrome"}, {"Colour", L"Colour"}}, 1);
  }
  fromFeature("Duplex", kItemDuplex, DMPUB_DUPLEX, L"Two-Sided", {{"None", L"None"}});
  fixed(kItemTrueType, DMPUB_TTOPTION, L"TrueType Font",
        {{"Substitute", L"Substitute with Device Font"}, {"Download", L"Download as Softfont"}}, 0);
  fromFeature("PageSize", kItemForm, DMPUB_FORMNAME, L"Paper Size", {{"A4", L"A4"}});
  fixed(kItemIcmMethod, DMPUB_ICMMETHOD, L"ICM Method",
        {{"None", L"ICM Disabled"},
         {"Host", L"ICM Handled by Host System"},
         {"Device", L"ICM Handled by Printer"}},
        0);
  fixed(kItemIcmIntent, DMPUB_ICMINTENT, L"ICM Intent",
        {{"Pictures", L"Pictures"},
         {"Graphics", L"Graphics"},
         {"Proof", L"Proof"},
         {"Match", L"Match"}},
        0);
  fixed(kItemMediaType, DMPUB_MEDIATYPE, L"Media Type",
        {{"Default", L"Printer Default"}, {"Plain", L"Plain Paper"}, {"Thick", L"Thick Paper"}}, 0);
  fixed(kItemDither, DMPUB_DITHERTYPE, L"Dithering",
        {{"None", L"None"}, {"Coarse", L"Coarse"}, {"Fine", L"Fine"}}, 0);
  fromFeature("OutputBin", kItemOutputBin, DMPUB_OUTPUTBIN, L"Output Bin",
              {{"Standard", L"Standard"}});
  fixed(kItemNup, DMPUB_NUP, L"Pages per Sheet",
        {{"1", L"1"}, {"2", L"2"}, {"4", L"4"}, {"6", L"6"}, {"9", L"9"}, {"16", L"16"}}, 0);
  fixed(kItemPageOrder, DMPUB_PAGEORDER, L"Page Order",
        {{"Front", L"Front to Back"}, {"Back", L"Back to Front"}}, 0);

  // PostScript options of the driver.
  add(kItemPsOutput, DMPUB_NONE, 1, keep(L"PostScript Output Option"), TVOT_COMBOBOX,
      {{"Speed", L"Optimize for Speed"},
       {"Portability", L"Optimize for Portability"},
       {"EPS", L"Encapsulated PostScript (EPS)"},
       {"Archive", L"Archive Format"}},
      0, "");
  const std::vector<Choice> noYes{{"False", L"", kStringOptionNo}, {"True", L"", kStringOptionYes}};
  add(kItemMirror, DMPUB_NONE, 1, MAKEINTRESOURCEW(kStringMirror), TVOT_2STATES, noYes, 0, "");
  add(kItemNegative, DMPUB_NONE, 1, MAKEINTRESOURCEW(kStringNegative), TVOT_2STATES, noYes, 0, "");

  // Printer features.
  for (std::size_t i = 0; i < model.features.size(); ++i) {
    const ppd::Feature& feature = model.features[i];
    if (feature.installable || isStandardFeature(feature.keyword)) continue;
    addFeature(feature, i, DMPUB_NONE, 1);
  }
}

void OptionTree::buildPrinter(const ppd::Model& model) {
  add(kItemInstallableGroup, DMPUB_NONE, 1, MAKEINTRESOURCEW(kStringInstallableOptions), TVOT_NONE,
      {}, 0, "");
  for (std::size_t i = 0; i < model.features.size(); ++i) {
    if (model.features[i].installable) addFeature(model.features[i], i, DMPUB_NONE, 2);
  }
}

bool OptionTree::addPluginItems(DWORD count) {
  if (count > kMaxPluginItems || pluginCount() != 0) return false;
  OPTITEM zero{};
  items_.insert(items_.end(), count, zero);
  return true;
}

int OptionTree::indexOf(const void* item) const {
  const auto* p = static_cast<const OPTITEM*>(item);
  if (p < items_.data() || p >= items_.data() + items_.size()) return -1;
  const auto offset =
      reinterpret_cast<const char*>(p) - reinterpret_cast<const char*>(items_.data());
  if (offset % static_cast<std::ptrdiff_t>(sizeof(OPTITEM)) != 0) return -1;
  return static_cast<int>(p - items_.data());
}

const USERDATA* OptionTree::userData(const OPTITEM& item) const {
  const int index = indexOf(&item);
  if (index < 0 || static_cast<DWORD>(index) >= driverCount_) return nullptr;
  return &userData_[static_cast<std::size_t>(index)];
}

std::string OptionTree::keyword(const OPTITEM& item) const {
  const USERDATA* data = userData(item);
  return data != nullptr && data->pKeyWordName != nullptr ? data->pKeyWordName : "";
}

OPTITEM* OptionTree::findKeyword(std::string_view keyword) {
  for (DWORD i = 0; i < driverCount_; ++i) {
    const USERDATA& data = userData_[i];
    if (data.pKeyWordName != nullptr && keyword == data.pKeyWordName) return &items_[i];
  }
  return nullptr;
}

std::string OptionTree::optionKeyword(const OPTITEM& item, LONG sel) const {
  const int index = indexOf(&item);
  if (index < 0 || static_cast<DWORD>(index) >= driverCount_) return "";
  const auto& keywords = optionKeywords_[static_cast<std::size_t>(index)];
  if (item.pOptType != nullptr && item.pOptType->Type == TVOT_UDARROW) return std::to_string(sel);
  if (sel < 0 || static_cast<std::size_t>(sel) >= keywords.size()) return "";
  return keywords[static_cast<std::size_t>(sel)];
}

LONG OptionTree::findOption(const OPTITEM& item, std::string_view option) const {
  const int index = indexOf(&item);
  if (index < 0 || static_cast<DWORD>(index) >= driverCount_) return -1;
  const auto& keywords = optionKeywords_[static_cast<std::size_t>(index)];
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    if (keywords[i] == option) return static_cast<LONG>(i);
  }
  const std::wstring shown = fromLatin1(option);
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    if (optionText(item.pOptType->pOptParam[i]) == shown) return static_cast<LONG>(i);
  }
  return -1;
}

}  // namespace vex::uihost
