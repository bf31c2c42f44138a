#include "job_options_page.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <optional>

#include "about_dialog.h"
#include "advanced_dialog.h"
#include "card_library.h"
#include "config_files.h"
#include "crypto_library.h"
#include "dialog_helpers.h"
#include "driver_item_view.h"
#include "driver_settings.h"
#include "encrypted_print.h"
#include "exception_guard.h"
#include "finisher_rules.h"
#include "job_options_rules.h"
#include "job_password_dialog.h"
#include "job_type_flags.h"
#include "overlay_dialog.h"
#include "private_settings.h"
#include "property_items.h"
#include "support_page.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"
#include "watermark_dialog.h"
#include "watermark_profile.h"
#include "watermark_store.h"

namespace vex {
namespace {

using Page = JobOptionsPage;
constexpr WORD kAny = Page::kAnyNotification;

// Controls whose caption a missing driver item takes away with it.
constexpr int kCopiesFirst = IDC_COPIES_LABEL, kCopiesLast = 1517;
constexpr int kScaleFirst = IDC_SCALE_GROUP, kScaleLast = IDC_SCALE_RANGE;
constexpr int kPermissionFirst = 1500, kPermissionLast = 1558;
constexpr int kEditChars = 64;  // what the filters read of an edit, the terminator included

bool isTrue(const std::optional<std::string>& value) { return value && *value == "True"; }

// What Defaults sets; also what a selection the driver's item cannot have becomes.
constexpr std::pair<int, DWORD> kPageDefaults[] = {
    {jobslot::kQuality, 1},   {jobslot::kImageSmoothing, 1}, {jobslot::kCopies, 1},
    {jobslot::kJobType, 0},   {jobslot::kCollate, 0},        {jobslot::kBindPosition, 2},
    {jobslot::kOutputBin, 0}, {jobslot::kStaple, 0},         {jobslot::kPunch, 0},
    {jobslot::kScale, 100},   {jobslot::kTrapping, 0},       {jobslot::kOutputMode, 0},
};

std::u16string editText(HWND dialog, int id) {
  wchar_t text[kEditChars] = {};
  GetDlgItemTextW(dialog, id, text, kEditChars);
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}

void setSpin(HWND dialog, int spinId, DWORD value) {
  SendDlgItemMessageW(dialog, spinId, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
}

int bitmapForQuality(DWORD quality) {
  return quality == 1 ? IDB_QUALITY_NORMAL : quality == 2 ? IDB_QUALITY_LOW : IDB_QUALITY_HIGH;
}

}  // namespace

std::span<const Page::Route> JobOptionsPage::routes() const {
  static const Route kRoutes[] = {
      {IDC_TONER_SAVE, BN_CLICKED, &Page::onTonerSave},
      {IDC_JOB_TYPE_NORMAL, BN_CLICKED, &Page::onJobType},
      {IDC_JOB_TYPE_SECURE, BN_CLICKED, &Page::onJobType},
      {IDC_JOB_TYPE_STORE, BN_CLICKED, &Page::onJobType},
      {IDC_JOB_TYPE_ENCRYPTED, BN_CLICKED, &Page::onJobType},
      {IDC_JOB_PASSWORD_BUTTON, BN_CLICKED, &Page::onPassword},
      {IDC_COPIES, kAny, &Page::onCopiesEdit},
      {IDC_COLLATE, BN_CLICKED, &Page::onCollate},
      {IDC_SCALE, kAny, &Page::onScaleEdit},
      {IDC_WATERMARK_BUTTON, BN_CLICKED, &Page::onWatermark},
      {IDC_OVERLAY_BUTTON, BN_CLICKED, &Page::onOverlay},
      {IDC_ADVANCED_BUTTON, BN_CLICKED, &Page::onAdvanced},
      {IDC_QUALITY_HIGH, BN_CLICKED, &Page::onQuality},
      {IDC_QUALITY_NORMAL, BN_CLICKED, &Page::onQuality},
      {IDC_ABOUT_BUTTON, BN_CLICKED, &Page::onAbout},
      {IDC_LINK_TEXT, STN_CLICKED, &Page::onLink},
      {IDC_LINK_PICTURE, BN_CLICKED, &Page::onLink},
      {IDC_DEFAULTS, BN_CLICKED, &Page::onDefaults},
  };
  return kRoutes;
}

HANDLE JobOptionsPage::printer() const {
  if (context_.cuiParam != nullptr) return context_.cuiParam->hPrinter;
  return context_.uiParam != nullptr ? context_.uiParam->hPrinter : nullptr;
}

bool JobOptionsPage::storage() const { return isTrue(readDriverSetting(context_, "VXHDD")); }

bool JobOptionsPage::cryptoConfigured() {
  if (cryptoConfigured_ < 0) cryptoConfigured_ = cryptoLibraryConfigured(printer()) ? 1 : 0;
  return cryptoConfigured_ == 1;
}

// Loading the library is the slowest thing a refresh would do; the answer cannot change while
// the sheet is open, so it is asked once.
bool JobOptionsPage::cryptoLoads() {
  if (cryptoLoads_ < 0) cryptoLoads_ = loadCryptoLibrary(printer()).loaded() ? 1 : 0;
  return cryptoLoads_ == 1;
}

// The dialog manager's way of moving the focus, so that the default button follows it.
void JobOptionsPage::focus(int id) {
  SendMessageW(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(id)), TRUE);
}

void JobOptionsPage::changed() {
  if (!initialising_) notifySheetChanged(window());
}

// ---- initialisation ---------------------------------------------------------------------------

// The selections come from a device mode, which anyone can write: one that the driver's item
// cannot have (an option beyond its list, a number outside its range) is not shown or written
// back; a choice becomes its default, a number the nearest end of its range.
void JobOptionsPage::boundSelections() {
  for (const auto& [slot, fallback] : kPageDefaults) {
    const OPTITEM* item =
        hasItem(slot) ? driverItem(context_.cuiParam, context_.itemIndex[slot]) : nullptr;
    if (item == nullptr) continue;
    if (const std::optional<ItemRange> range = numberItemRange(*item)) {
      const auto number = static_cast<LONG>(value(slot));
      if (number < range->minimum || number > range->maximum) {
        value(slot) = static_cast<DWORD>(number < range->minimum ? range->minimum : range->maximum);
      }
    } else if (item->pOptType != nullptr && value(slot) >= item->pOptType->Count) {
      value(slot) = fallback;
    }
  }
}

bool JobOptionsPage::onInit() {
  initialising_ = true;
  std::uint8_t* record = context_.record();
  boundSelections();
  resolveFinisher();

  if (OPTITEM* copies = hasItem(jobslot::kCopies)
                            ? driverItem(context_.cuiParam, context_.itemIndex[jobslot::kCopies])
                            : nullptr) {
    setNumberItemMaximum(*copies, 999);
    const LONG minimum = numberItemRange(*copies).value_or(ItemRange{1, 999}).minimum;
    SendDlgItemMessageW(window(), IDC_COPIES_SPIN, UDM_SETRANGE32, minimum, 999);
    SendDlgItemMessageW(window(), IDC_COPIES, EM_LIMITTEXT, 3, 0);
  } else {
    removeControlRange(window(), kCopiesFirst, kCopiesLast);
  }

  if (OPTITEM* scale = hasItem(jobslot::kScale)
                           ? driverItem(context_.cuiParam, context_.itemIndex[jobslot::kScale])
                           : nullptr) {
    const ItemRange range = numberItemRange(*scale).value_or(ItemRange{1, 1000});
    wchar_t format[32] = {}, text[64] = {};
    if (LoadStringW(uiModuleState().moduleInstance, IDS_SCALE_RANGE, format, 32) > 0) {
      swprintf(text, 64, format, static_cast<int>(range.minimum), static_cast<int>(range.maximum));
    }
    SetDlgItemTextW(window(), IDC_SCALE_RANGE, text);
    SendDlgItemMessageW(window(), IDC_SCALE_SPIN, UDM_SETRANGE32, range.minimum, range.maximum);
    SendDlgItemMessageW(window(), IDC_SCALE, EM_LIMITTEXT, 4, 0);
  } else {
    removeControlRange(window(), kScaleFirst, kScaleLast);
  }

  if (!hasItem(jobslot::kJobType))
    removeControlRange(window(), IDC_JOB_TYPE_FIRST, IDC_JOB_PASSWORD_BUTTON);

  context_.watermarks.loaded = false;
  context_.overlays.savedCopyState = SavedCopyState::none;
  context_.icCardMode = false;
  detectIcCard();

  const bool hasStorage = storage();
  context_.jobLimitMode = isTrue(readDriverSetting(context_, "VXJobLimit")) && hasStorage &&
                          cryptoConfigured() && context_.hideStandardUiQueried != 0;
  if (hasItem(jobslot::kJobType) && record != nullptr) {
    StartJobInputs in;
    in.jobType = value(jobslot::kJobType);
    in.jobLimitMode = context_.jobLimitMode;
    in.icCardMode = context_.icCardMode;
    in.storage = hasStorage;
    in.encryptedPasswordLength = getU32(record, rec::encryptedPasswordLength);
    const StartJob start = startJobType(in);
    value(jobslot::kJobType) = start.jobType;
    if (start.askPasswordAtPrint) setU32(record, rec::cryptoFlag, 1);
  }

  refresh();
  markDriverSettingsChanged();
  context_.watermarks.firstPageCopy = 0;
  context_.watermarks.backgroundCopy = 0;
  initialising_ = false;
  return true;
}

void JobOptionsPage::resolveFinisher() {
  std::uint8_t* record = context_.record();
  const DEVMODEW* devmode = context_.cuiParam != nullptr ? context_.cuiParam->pPublicDM : nullptr;
  if (record == nullptr) return;
  const std::string finisher = readDriverSetting(context_, "VXFinisher").value_or("");
  const std::string punchUnit = readDriverSetting(context_, "VXPunchUnit").value_or("");
  const std::string pageSize = readDriverSetting(context_, "PageSize").value_or("");
  const std::string duplex = readDriverSetting(context_, "Duplex").value_or("");
  FinisherInputs in;
  in.finisher = finisher;
  in.punchUnit = punchUnit;
  in.pageSize = pageSize;
  in.duplex = duplex;
  if (devmode != nullptr) {
    // The layout byte lies in the driver's own bytes after the public fields, as far as the
    // device mode says it reaches.
    const std::size_t size = static_cast<std::size_t>(devmode->dmSize) + devmode->dmDriverExtra;
    in.pageLayout = pageLayoutOf(
        {reinterpret_cast<const std::uint8_t*>(devmode), std::min<std::size_t>(size, 0x10000)});
    in.orientation = devmode->dmOrientation;
    in.paperSize = devmode->dmPaperSize;
  } else {
    in.pageLayout = kUnknownPageLayout;
  }
  in.orientationSelection = hasItem(jobslot::kOrientation) ? value(jobslot::kOrientation) : 0;
  const auto selection = [&](int slot) { return FeatureSelection{hasItem(slot), value(slot)}; };
  in.outputBin = selection(jobslot::kOutputBin);
  in.bindPosition = selection(jobslot::kBindPosition);
  in.staple = selection(jobslot::kStaple);
  in.punch = selection(jobslot::kPunch);
  in.lastPaperSize = getI32(record, rec::lastPaperSize);
  in.layoutSignature = getU8(record, rec::layoutSignature);
  const FinisherOutcome out = vex::resolveFinisher(in);
  if (hasItem(jobslot::kOutputBin)) value(jobslot::kOutputBin) = out.outputBin;
  if (hasItem(jobslot::kBindPosition)) value(jobslot::kBindPosition) = out.bindPosition;
  if (hasItem(jobslot::kStaple)) value(jobslot::kStaple) = out.staple;
  if (hasItem(jobslot::kPunch)) value(jobslot::kPunch) = out.punch;
  setI32(record, rec::lastPaperSize, out.lastPaperSize);
  setU8(record, rec::layoutSignature, out.layoutSignature);
}

// The card library runs only here, on the sheet's thread while the page is created; its answer
// holds for the page's life. A library that faults is contained as the rendering side contains
// the outside libraries: it is not IC-card mode, and the sheet goes on.
void JobOptionsPage::detectIcCard() {
  const HANDLE handle = printer();
  if (readModelString(handle, L"CARD_DLL").empty()) return;
  bool card = false;
  auto query = [&] { card = isIcCardPrinter(handle); };
  context_.icCardMode = runGuarded(query) && card;
  if (context_.icCardMode) {
    wchar_t text[64] = {};
    if (LoadStringW(uiModuleState().moduleInstance, IDS_IC_CARD_SECURE_PRINT, text, 64) > 0) {
      SetDlgItemTextW(window(), IDC_JOB_TYPE_ENCRYPTED, text);
    }
  }
}

// ---- refresh ----------------------------------------------------------------------------------

void JobOptionsPage::refresh() {
  const bool hasStorage = storage();
  if (hasItem(jobslot::kQuality)) {
    const DWORD quality = std::min<DWORD>(value(jobslot::kQuality), 2);
    CheckRadioButton(window(), IDC_QUALITY_FIRST, IDC_QUALITY_FIRST + 2,
                     IDC_QUALITY_FIRST + static_cast<int>(quality));
    InvalidateRect(control(IDC_QUALITY_PICTURE), nullptr, TRUE);
  }
  if (hasItem(jobslot::kScale)) setSpin(window(), IDC_SCALE_SPIN, value(jobslot::kScale));
  if (hasItem(jobslot::kOutputMode)) {
    EnableWindow(control(IDC_TONER_SAVE), TRUE);
    CheckDlgButton(window(), IDC_TONER_SAVE,
                   value(jobslot::kOutputMode) == 1 ? BST_CHECKED : BST_UNCHECKED);
  }

  bool copiesEnabled = true;
  if (hasItem(jobslot::kJobType)) {
    JobTypeInputs in;
    in.jobType = value(jobslot::kJobType);
    in.storage = hasStorage;
    in.jobLimitMode = context_.jobLimitMode;
    in.icCardMode = context_.icCardMode;
    in.cryptoConfigured = cryptoConfigured();
    in.standardUiQueried = context_.hideStandardUiQueried != 0;
    in.cryptoLoads = in.cryptoConfigured && in.standardUiQueried && cryptoLoads();
    const JobTypeView view = refreshJobTypes(in);
    value(jobslot::kJobType) = view.jobType;
    for (int k = 0; k < 4; ++k) EnableWindow(control(IDC_JOB_TYPE_FIRST + k), view.enabled[k]);
    if (view.encryptedRemoved)
      removeControlRange(window(), IDC_JOB_TYPE_ENCRYPTED, IDC_JOB_TYPE_ENCRYPTED);
    CheckRadioButton(window(), IDC_JOB_TYPE_FIRST, IDC_JOB_TYPE_ENCRYPTED,
                     IDC_JOB_TYPE_FIRST + static_cast<int>(view.jobType));
    EnableWindow(control(IDC_JOB_PASSWORD_BUTTON), view.passwordEnabled);
    copiesEnabled = view.copiesEnabled;
  }
  if (hasItem(jobslot::kCopies)) {
    setSpin(window(), IDC_COPIES_SPIN, value(jobslot::kCopies));
    for (int id : {IDC_COPIES_LABEL, IDC_COPIES, IDC_COPIES_SPIN, IDC_COLLATE}) {
      EnableWindow(control(id), copiesEnabled);
    }
  }
  if (hasItem(jobslot::kCollate)) {
    CheckDlgButton(window(), IDC_COLLATE,
                   value(jobslot::kCollate) == 1 ? BST_CHECKED : BST_UNCHECKED);
  }

  if (handCursor_ == nullptr) {
    handCursor_ = LoadCursorW(nullptr, IDC_HAND);
    if (handCursor_ == nullptr) handCursor_ = LoadCursorW(nullptr, IDC_ARROW);
  }
  if (!linkFont_) linkFont_ = createLinkFont(window());
  wchar_t link[kModelStringChars] = {};
  readModelString(printer(), L"TabLinkName", link, kModelStringChars);
  link_ = link;
  if (!link_.empty()) SetDlgItemTextW(window(), IDC_LINK_TEXT, link_.c_str());
  showControlRange(window(), IDC_LINK_TEXT, IDC_LINK_TEXT, !link_.empty());
  showControlRange(window(), IDC_LINK_PICTURE, IDC_LINK_PICTURE, TRUE);

  if (context_.uiParam != nullptr && (context_.uiParam->dwFlags & DM_NOPERMISSION) != 0) {
    enableControlRange(window(), kPermissionFirst, kPermissionLast, FALSE);
    enableControlRange(window(), IDC_DEFAULTS, IDC_DEFAULTS, FALSE);
  }
}

// ---- page notifications -----------------------------------------------------------------------

bool JobOptionsPage::onSetActive() {
  refresh();
  return true;
}

bool JobOptionsPage::validate() {
  const auto check = [&](int slot, int editId) {
    if (!hasItem(slot)) return true;
    const OPTITEM* item = driverItem(context_.cuiParam, context_.itemIndex[slot]);
    const std::optional<ItemRange> range = item != nullptr ? numberItemRange(*item) : std::nullopt;
    const std::optional<std::uint32_t> number = readUnsigned(editText(window(), editId));
    if (number && range && static_cast<LONG>(*number) >= range->minimum &&
        *number <= static_cast<std::uint32_t>(range->maximum) && *number <= 0x7FFFFFFFu) {
      value(slot) = *number;
      return true;
    }
    messageFromStrings(window(), IDS_INVALID_SETTINGS, 0, MB_ICONSTOP);
    focus(editId);
    SendDlgItemMessageW(window(), editId, EM_SETSEL, 0, -1);
    MessageBeep(MB_OK);
    return false;
  };
  return check(jobslot::kScale, IDC_SCALE) && check(jobslot::kCopies, IDC_COPIES);
}

bool JobOptionsPage::onKillActive() {
  if (!validate()) return false;
  writeBackDocumentItems(&context_);
  refreshDriverPages(window());
  linkFont_.reset();
  return true;
}

bool JobOptionsPage::onApply() {
  if (context_.comPropSheet != nullptr) {
    context_.comPropSheet(context_.propertySheet, CPSFUNC_SET_RESULT,
                          reinterpret_cast<LPARAM>(context_.pageHandles[0]), CPSUI_OK);
  }
  if (context_.watermarks.loaded) {
    IniWatermarkProfile profile(context_.iniPath);
    SaveWatermarkList(context_.watermarks, profile);
    ReleaseWatermarkList(context_.watermarks);
    context_.watermarks.loaded = false;
  }
  commitOverlaySettings(context_);
  linkFont_.reset();
  return true;
}

void JobOptionsPage::onReset() {
  if (context_.watermarks.loaded) ReleaseWatermarkList(context_.watermarks);
  linkFont_.reset();
}

// ---- drawing and the link ---------------------------------------------------------------------

void JobOptionsPage::drawItem(const DRAWITEMSTRUCT& item) {
  const HINSTANCE module = uiModuleState().moduleInstance;
  if (item.CtlID == IDC_QUALITY_PICTURE) {
    drawTransparentBitmap(
        window(), module, IDC_QUALITY_PICTURE,
        bitmapForQuality(hasItem(jobslot::kQuality) ? value(jobslot::kQuality) : 0));
  } else if (item.CtlID == IDC_LINK_PICTURE) {
    drawTransparentBitmap(window(), module, IDC_LINK_PICTURE, IDB_LINK);
  }
}

bool JobOptionsPage::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
    case WM_DRAWITEM:
      if (lParam == 0) return false;
      drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      result = TRUE;
      return true;
    case WM_ACTIVATE:
      InvalidateRect(control(IDC_QUALITY_PICTURE), nullptr, TRUE);
      return false;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) != control(IDC_LINK_TEXT)) return false;
      {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        if (linkFont_) SelectObject(dc, linkFont_.get());
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
      }
      return true;
    case WM_SETCURSOR: {
      const HWND over = reinterpret_cast<HWND>(wParam);
      if (link_.empty() || (over != control(IDC_LINK_TEXT) && over != control(IDC_LINK_PICTURE))) {
        return false;
      }
      SetCursor(handCursor_);
      SetWindowLongPtrW(window(), DWLP_MSGRESULT, TRUE);
      result = TRUE;
      return true;
    }
    default:
      return false;
  }
}

// The value comes from a file every user of the printer shares: only a web address goes to the
// shell, which would start a program just as readily.
void JobOptionsPage::onLink() {
  if (link_.empty() || !isWebAddress(link_)) return;
  ShellExecuteW(window(), nullptr, link_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// ---- commands ---------------------------------------------------------------------------------

void JobOptionsPage::onTonerSave() {
  value(jobslot::kOutputMode) = IsDlgButtonChecked(window(), IDC_TONER_SAVE) == BST_CHECKED ? 1 : 0;
  changed();
}

void JobOptionsPage::onCollate() {
  value(jobslot::kCollate) = IsDlgButtonChecked(window(), IDC_COLLATE) == BST_CHECKED ? 1 : 0;
  changed();
}

void JobOptionsPage::onQuality() {
  value(jobslot::kQuality) = static_cast<DWORD>(
      commandControl() != nullptr ? GetDlgCtrlID(commandControl()) - IDC_QUALITY_FIRST : 0);
  refresh();
  changed();
}

void JobOptionsPage::filterEdit(int editId, int spinId, int slot, std::uint32_t limit) {
  ImmAssociateContext(control(editId), nullptr);
  if (commandNotification() == EN_CHANGE) changed();
  if (commandNotification() != EN_UPDATE && commandNotification() != EN_CHANGE) return;
  const std::u16string text = editText(window(), editId);
  if (text.empty()) {
    value(slot) = 0;
    return;
  }
  const DigitFilter filter = filterDigits(text, limit);
  value(slot) = filter.value;
  if (filter.hadOther || filter.limited) {
    if (filter.digits.empty()) {
      SetDlgItemTextW(window(), editId, L"");
    } else {
      setSpin(window(), spinId, filter.value);
    }
  }
  if (filter.hadOther) {
    const LRESULT end = GetWindowTextLengthW(control(editId));
    SendDlgItemMessageW(window(), editId, EM_SETSEL, end, end);
  }
}

void JobOptionsPage::onCopiesEdit() {
  if (!hasItem(jobslot::kCopies)) return;
  filterEdit(IDC_COPIES, IDC_COPIES_SPIN, jobslot::kCopies, kCopiesFilterLimit);
}

void JobOptionsPage::onScaleEdit() {
  if (!hasItem(jobslot::kScale)) return;
  filterEdit(IDC_SCALE, IDC_SCALE_SPIN, jobslot::kScale, kScaleFilterLimit);
}

void JobOptionsPage::forceSingleCopy() {
  JobTypeFlags& flags = jobTypeFlags();
  if (flags.copiesWarning) {
    flags.copiesWarning = false;
    messageFromStrings(window(), IDS_SINGLE_COPY_WARNING, IDS_CAPTION_WARNING, MB_ICONEXCLAMATION);
  }
  value(jobslot::kCopies) = 1;
  SetDlgItemTextW(window(), IDC_COPIES, L"1");
  setSpin(window(), IDC_COPIES_SPIN, 1);
  for (int id : {IDC_COPIES_LABEL, IDC_COPIES_SPIN, IDC_COPIES, IDC_COLLATE}) {
    EnableWindow(control(id), FALSE);
  }
}

void JobOptionsPage::checkJobType(int buttonId, int lastButtonId) {
  focus(buttonId);
  CheckRadioButton(window(), IDC_JOB_TYPE_FIRST, lastButtonId, buttonId);
}

void JobOptionsPage::onJobType() {
  if (commandControl() == nullptr) return;
  const int button = GetDlgCtrlID(commandControl());
  const auto type = static_cast<std::uint32_t>(button - IDC_JOB_TYPE_FIRST);
  JobTypeFlags& flags = jobTypeFlags();
  std::uint8_t* record = context_.record();
  if (button == IDC_JOB_TYPE_NORMAL) flags.confirmed = flags.copiesWarning = true;
  value(jobslot::kJobType) = type;
  const bool crypto = cryptoConfigured();
  const bool copiesNotOne = hasItem(jobslot::kCopies) && value(jobslot::kCopies) != 1;

  if (type == kNormalPrint) {
    refresh();
    value(jobslot::kJobType) = kNormalPrint;
  } else if (type == kEncryptedSecurePrint && crypto) {
    if (!context_.icCardMode && copiesNotOne) forceSingleCopy();
    if (flags.idle && flags.confirmed) {
      if (chooseEncryptedSecurePrint(window(), context_)) {
        refresh();
      } else {
        flags.confirmed = false;
        checkJobType(IDC_JOB_TYPE_NORMAL, IDC_JOB_TYPE_ENCRYPTED);
        value(jobslot::kJobType) = kNormalPrint;
      }
    }
    if (!flags.confirmed) {
      checkJobType(IDC_JOB_TYPE_NORMAL, IDC_JOB_TYPE_ENCRYPTED);
      value(jobslot::kJobType) = kNormalPrint;
    }
  } else {
    if (copiesNotOne) forceSingleCopy();
    if (flags.idle && flags.confirmed) {
      const bool named =
          record != nullptr && (!getWide(record, rec::jobName, rec::jobNameChars).empty() ||
                                getU32(record, rec::jobNameRequired) != 0);
      const bool hasPassword =
          record != nullptr && !getWide(record, rec::jobPassword, rec::jobPasswordChars).empty();
      if (named && hasPassword) {
        checkJobType(button, IDC_JOB_TYPE_STORE);
        refresh();
      } else {
        flags.idle = flags.confirmed = false;
        const bool accepted = showJobPasswordDialog(window(), context_);
        flags.idle = true;
        if (accepted) {
          flags.confirmed = true;
          checkJobType(button, IDC_JOB_TYPE_STORE);
          refresh();
        } else {
          checkJobType(IDC_JOB_TYPE_NORMAL, IDC_JOB_TYPE_STORE);
          value(jobslot::kJobType) = kNormalPrint;
        }
      }
    }
    if (!flags.confirmed) {
      checkJobType(IDC_JOB_TYPE_NORMAL, IDC_JOB_TYPE_STORE);
      value(jobslot::kJobType) = kNormalPrint;
    }
  }
  changed();
}

void JobOptionsPage::onPassword() {
  const bool accepted = value(jobslot::kJobType) == kEncryptedSecurePrint
                            ? changeEncryptionPassword(window(), context_)
                            : showJobPasswordDialog(window(), context_);
  if (accepted) changed();
}

void JobOptionsPage::onWatermark() {
  if (showWatermarkDialog(window(), context_)) changed();
}

void JobOptionsPage::onOverlay() {
  if (showOverlayDialog(window(), context_)) changed();
}

void JobOptionsPage::onAdvanced() {
  if (showAdvancedDialog(window(), context_)) changed();
}

void JobOptionsPage::onAbout() { showAboutDialog(window(), context_); }

void JobOptionsPage::onDefaults() {
  for (const auto& [slot, v] : kPageDefaults) value(slot) = v;
  refresh();
  InvalidateRect(control(IDC_QUALITY_PICTURE), nullptr, TRUE);
  changed();
}

}  // namespace vex
