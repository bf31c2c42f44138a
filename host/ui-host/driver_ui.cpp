#include "driver_ui.h"

#include <cstring>

namespace vex::uihost {
namespace {

BOOL APIENTRY getDriverSettingProc(PVOID object, PCSTR feature, PVOID output, DWORD size,
                                   PDWORD needed, PDWORD returned) {
  return DriverUi::instance().getDriverSetting(object, feature, output, size, needed, returned);
}

BOOL APIENTRY updateUiSettingProc(PVOID object, PVOID item, DWORD previous, DWORD mode) {
  return DriverUi::instance().updateUiSetting(object, item, previous, mode);
}

constexpr std::size_t kMaxRecordedCalls = 1000;

// A keyword as the dump shows it: printable ASCII, anything else as '?', at most 64.
std::string shown(const std::string& text) {
  std::string out;
  for (char c : text.substr(0, 64)) out += (c >= 0x20 && c < 0x7F) ? c : '?';
  return out;
}

// A keyword from the plug-in: read with a bound, never past its terminator.
bool boundedKeyword(PCSTR text, std::string* out) {
  const std::size_t length = strnlen(text, 256);
  if (length == 0 || length == 256) return false;
  out->assign(text, length);
  return true;
}

}  // namespace

DriverUi& DriverUi::instance() {
  static DriverUi ui;
  return ui;
}

DriverUi::DriverUi() {
  procs_.DrvGetDriverSetting = getDriverSettingProc;
  procs_.DrvUpdateUISetting = updateUiSettingProc;
  object_.cbSize = sizeof(OEMUIOBJ);
  object_.pOemUIProcs = &procs_;
}

BOOL DriverUi::getDriverSetting(PVOID object, PCSTR feature, PVOID output, DWORD size,
                                PDWORD needed, PDWORD returned) {
  if (object != &object_ || feature == nullptr || needed == nullptr || tree_ == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string value;
  if (reinterpret_cast<ULONG_PTR>(feature) < OEMGDS_MAX) {
    // Of the predefined indexes only the dialect is known here: the PostScript output option.
    OPTITEM* psOutput = nullptr;
    for (DWORD i = 0; i < tree_->driverCount(); ++i) {
      const USERDATA* data = tree_->userData(tree_->items()[i]);
      if (data != nullptr && data->dwItemID == kItemPsOutput) psOutput = &tree_->items()[i];
    }
    if (reinterpret_cast<ULONG_PTR>(feature) != OEMGDS_PSDM_DIALECT || psOutput == nullptr) {
      SetLastError(ERROR_NOT_SUPPORTED);
      return FALSE;
    }
    *needed = sizeof(DWORD);
    if (output == nullptr || size < sizeof(DWORD)) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    const DWORD dialect = static_cast<DWORD>(psOutput->Sel);
    std::memcpy(output, &dialect, sizeof(dialect));
    if (returned != nullptr) *returned = 1;
    return TRUE;
  }
  std::string keyword;
  const std::optional<std::string> answered =
      boundedKeyword(feature, &keyword) ? answer(keyword) : std::nullopt;
  const bool record = ++recordedSettingCalls_ <= kMaxRecordedCalls;
  if (!answered) {
    if (record) settingCalls_ += "DrvGetDriverSetting \"" + shown(keyword) + "\": unknown\n";
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  value = *answered;
  // The option keyword, its terminator and the list's closing terminator.
  *needed = static_cast<DWORD>(value.size() + 2);
  if (record) {
    settingCalls_ += "DrvGetDriverSetting \"" + shown(keyword) + "\" (" + std::to_string(size) +
                     " bytes): \"" + shown(value) + "\"" +
                     (size < *needed ? ", buffer too small" : "") + "\n";
  }
  if (output == nullptr || size < *needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(output, value.c_str(), value.size() + 1);
  static_cast<char*>(output)[value.size() + 1] = '\0';
  if (returned != nullptr) *returned = 1;
  return TRUE;
}

std::optional<std::string> DriverUi::answer(std::string_view keyword) {
  if (tree_ == nullptr) return std::nullopt;
  if (tree_->kind() == OptionTree::Kind::Document) {
    // Paper size and duplex are the document tree's current selections, whatever the PPD
    // offered; installable options are the printer's settings.
    const BYTE dmPub = keyword == "PageSize" ? DMPUB_FORMNAME
                       : keyword == "Duplex" ? DMPUB_DUPLEX
                                             : DMPUB_NONE;
    for (DWORD i = 0; dmPub != DMPUB_NONE && i < tree_->driverCount(); ++i) {
      const OPTITEM& item = tree_->items()[i];
      if (item.DMPubID == dmPub) return tree_->optionKeyword(item, item.Sel);
    }
    if (installable_ != nullptr) {
      if (auto value = installable_->find(keyword)) return value;
    }
  }
  OPTITEM* item = tree_->findKeyword(keyword);
  if (item == nullptr) return std::nullopt;
  return tree_->optionKeyword(*item, item->Sel);
}

BOOL DriverUi::updateUiSetting(PVOID object, PVOID itemPointer, DWORD previous, DWORD mode) {
  UpdateCall call;
  call.previous = static_cast<LONG>(previous);
  call.mode = mode;
  call.index = (object == &object_ && tree_ != nullptr) ? tree_->indexOf(itemPointer) : -1;
  if (call.index < 0 || static_cast<DWORD>(call.index) >= tree_->driverCount()) {
    call.index = -1;
    calls_.push_back(call);
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  OPTITEM& item = tree_->items()[call.index];
  call.requested = item.Sel;
  const std::string keyword = tree_->keyword(item);
  call.name = keyword.empty() ? std::string() : keyword;
  if (call.name.empty()) {
    const std::wstring name = itemName(item);
    call.name.assign(name.begin(), name.end());  // the stand-in's own names are ASCII
  }
  const std::string option = tree_->optionKeyword(item, item.Sel);
  const bool inRange = item.pOptType == nullptr || item.pOptType->Type == TVOT_UDARROW ||
                       (item.Sel >= 0 && item.Sel < item.pOptType->Count);
  call.accepted = inRange;
  for (const auto& [refusedKeyword, refusedOption] : refusals_) {
    if (refusedKeyword == call.name && refusedOption == option) call.accepted = false;
  }
  calls_.push_back(call);
  // A refused value stays as the plug-in wrote it: the plug-in is to restore it.
  return call.accepted ? TRUE : FALSE;
}

}  // namespace vex::uihost
