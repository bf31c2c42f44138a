#include "advanced_dialog.h"

#include "advanced_rules.h"
#include "config_files.h"
#include "dialog_helpers.h"
#include "driver_settings.h"
#include "job_password_dialog.h"
#include "private_settings.h"
#include "ui_dialog.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"

namespace vex {
namespace {

bool hasItem(const DocumentContext& context, int slot) {
  return context.itemIndex[slot] != kNoItem;
}

AdvancedOffer offerOf(const DocumentContext& context) {
  AdvancedOffer offer;
  offer.mirror = hasItem(context, advancedslot::mirror);
  offer.negative = hasItem(context, advancedslot::negative);
  offer.jobSpool = hasItem(context, advancedslot::jobSpool);
  offer.maintenance = hasItem(context, advancedslot::maintenance);
  offer.hairline = hasItem(context, advancedslot::hairline);
  offer.compression = hasItem(context, advancedslot::compression);
  const std::optional<std::string> storage = readDriverSetting(context, "VXHDD");
  offer.storage = storage.has_value() && *storage == "True";
  return offer;
}

AdvancedSelections selectionsOf(const DocumentContext& context) {
  AdvancedSelections s;
  s.mirror = context.itemValue[advancedslot::mirror];
  s.negative = context.itemValue[advancedslot::negative];
  s.jobSpool = context.itemValue[advancedslot::jobSpool];
  s.maintenance = context.itemValue[advancedslot::maintenance];
  s.hairline = context.itemValue[advancedslot::hairline];
  s.compressionLevel = context.itemValue[advancedslot::compression];
  return s;
}

class AdvancedDialog final : public UiDialog<AdvancedDialog> {
 public:
  explicit AdvancedDialog(DocumentContext& context) : context_(context) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_ADVANCED_MIRROR, BN_CLICKED, &AdvancedDialog::updateIcon},
        {IDC_ADVANCED_NEGATIVE, BN_CLICKED, &AdvancedDialog::updateIcon},
        {IDC_ADVANCED_DEFAULTS, BN_CLICKED, &AdvancedDialog::restoreDefaults},
        {IDOK, kAnyNotification, &AdvancedDialog::accept},
        {IDCANCEL, kAnyNotification, &AdvancedDialog::cancel},
    };
    return table;
  }

 private:
  bool onInit() override {
    offer_ = offerOf(context_);
    const std::uint8_t* record = context_.record();
    const std::uint32_t compression = record != nullptr ? getU16(record, rec::compression) : 0;
    show(openAdvanced(selectionsOf(context_), compression, offer_));
    if (!offer_.mirror) {
      removeControlRange(window(), IDC_ADVANCED_SPECIAL_GROUP, IDC_ADVANCED_PRINT_ICON);
    } else if (!offer_.negative) {
      removeControlRange(window(), IDC_ADVANCED_NEGATIVE, IDC_ADVANCED_NEGATIVE);
    }
    if (!offer_.jobSpool)
      removeControlRange(window(), IDC_ADVANCED_JOB_SPOOL, IDC_ADVANCED_JOB_SPOOL);
    if (!offer_.maintenance) {
      removeControlRange(window(), IDC_ADVANCED_MAINTENANCE, IDC_ADVANCED_MAINTENANCE);
    }
    if (!offer_.hairline)
      removeControlRange(window(), IDC_ADVANCED_HAIRLINE, IDC_ADVANCED_HAIRLINE);
    return true;
  }

  bool checked(int id) const { return IsDlgButtonChecked(window(), id) == BST_CHECKED; }
  void setCheck(int id, bool on) { CheckDlgButton(window(), id, on ? BST_CHECKED : BST_UNCHECKED); }

  void show(const AdvancedState& state) {
    setCheck(IDC_ADVANCED_MIRROR, state.mirror);
    setCheck(IDC_ADVANCED_NEGATIVE, state.negative);
    setCheck(IDC_ADVANCED_JOB_SPOOL, state.jobSpool);
    EnableWindow(control(IDC_ADVANCED_JOB_SPOOL), state.jobSpoolEnabled);
    setCheck(IDC_ADVANCED_MAINTENANCE, state.maintenance);
    setCheck(IDC_ADVANCED_HAIRLINE, state.hairline);
    compressionLevel_ = state.compressionLevel;
    updateIcon();
  }

  AdvancedState read() const {
    AdvancedState state;
    state.mirror = checked(IDC_ADVANCED_MIRROR);
    state.negative = checked(IDC_ADVANCED_NEGATIVE);
    state.jobSpool = checked(IDC_ADVANCED_JOB_SPOOL);
    state.jobSpoolEnabled = offer_.storage;
    state.maintenance = checked(IDC_ADVANCED_MAINTENANCE);
    state.hairline = checked(IDC_ADVANCED_HAIRLINE);
    state.compressionLevel = compressionLevel_;
    return state;
  }

  void updateIcon() {
    const int id = printIconId(checked(IDC_ADVANCED_MIRROR), checked(IDC_ADVANCED_NEGATIVE));
    HICON icon = LoadIconW(uiModuleState().moduleInstance, MAKEINTRESOURCEW(id));
    if (icon != nullptr) {
      SendDlgItemMessageW(window(), IDC_ADVANCED_PRINT_ICON, STM_SETICON,
                          reinterpret_cast<WPARAM>(icon), 0);
    }
  }

  void restoreDefaults() {
    const std::uint32_t level =
        offer_.compression ? defaultCompression(readCompression(contextPrinter(context_))) : 0;
    show(advancedDefaults(read(), level, offer_));
  }

  void accept() {
    const AdvancedSelections saved = saveAdvanced(read(), selectionsOf(context_), offer_);
    context_.itemValue[advancedslot::mirror] = saved.mirror;
    context_.itemValue[advancedslot::negative] = saved.negative;
    context_.itemValue[advancedslot::jobSpool] = saved.jobSpool;
    context_.itemValue[advancedslot::maintenance] = saved.maintenance;
    context_.itemValue[advancedslot::hairline] = saved.hairline;
    if (offer_.compression) context_.itemValue[advancedslot::compression] = saved.compressionLevel;
    if (std::uint8_t* record = context_.record()) {
      setU16(record, rec::compression, static_cast<std::uint16_t>(saved.compressionLevel));
    }
    markDriverSettingsChanged();
    end(1);
  }

  void cancel() { end(0); }

  DocumentContext& context_;
  AdvancedOffer offer_;
  std::uint32_t compressionLevel_ = 0;
};

}  // namespace

bool showAdvancedDialog(HWND owner, DocumentContext& context) {
  HINSTANCE module = uiModuleState().moduleInstance;
  if (module == nullptr) return false;
  AdvancedDialog dialog(context);
  return dialog.runModal(module, IDD_ADVANCED, owner) == 1;
}

}  // namespace vex
