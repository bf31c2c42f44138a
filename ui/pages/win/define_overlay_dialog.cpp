#include "define_overlay_dialog.h"

#include <imm.h>

#include <string>
#include <vector>

#include "dialog_helpers.h"
#include "overlay_dialog_rules.h"
#include "overlay_filters.h"
#include "ui_dialog.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"

namespace vex {
namespace {

constexpr int kPageModes = 5;
constexpr std::uint16_t kCustomPages = 4;
constexpr int kNameLimit = 64;  // the edit's limit; 63 characters are kept
constexpr int kPagesLimit = 255;
constexpr int kFormLimit = 64;
constexpr UINT kStop = MB_OK | MB_ICONSTOP;

std::u16string toU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring toWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

// At most `maxChars` characters of a window's text.
std::wstring windowText(HWND window, int maxChars) {
  std::vector<wchar_t> buffer(static_cast<std::size_t>(maxChars) + 1, L'\0');
  const int length = GetWindowTextW(window, buffer.data(), maxChars + 1);
  return std::wstring(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

class DefineOverlayDialog final : public UiDialog<DefineOverlayDialog> {
 public:
  DefineOverlayDialog(DocumentContext& context, OverlayStore& store, OverlayDefinition& definition)
      : context_(context), store_(store), definition_(definition) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_DEFINE_PAGE_MODE, kAnyNotification, &DefineOverlayDialog::pageModeChanged},
        {IDC_DEFINE_PAGES, EN_UPDATE, &DefineOverlayDialog::pagesUpdated},
        {IDC_DEFINE_FORM, CBN_EDITUPDATE, &DefineOverlayDialog::formTyped},
        {IDC_DEFINE_FORM, CBN_SELCHANGE, &DefineOverlayDialog::formChosen},
        {IDC_DEFINE_FORM_ADD, BN_CLICKED, &DefineOverlayDialog::addFormCommand},
        {IDC_DEFINE_FORM_RENAME, BN_CLICKED, &DefineOverlayDialog::renameFormCommand},
        {IDC_DEFINE_FORMS, kAnyNotification, &DefineOverlayDialog::formsNotified},
        {IDC_DEFINE_FORM_DELETE, BN_CLICKED, &DefineOverlayDialog::deleteFormCommand},
        {IDOK, BN_CLICKED, &DefineOverlayDialog::accept},
        {IDCANCEL, BN_CLICKED, &DefineOverlayDialog::cancel},
    };
    return table;
  }

 private:
  bool onInit() override {
    HINSTANCE module = uiModuleState().moduleInstance;
    SendDlgItemMessageW(window(), IDC_DEFINE_NAME, EM_LIMITTEXT, kNameLimit, 0);
    SendDlgItemMessageW(window(), IDC_DEFINE_PAGES, EM_LIMITTEXT, kPagesLimit, 0);
    for (int mode = 0; mode < kPageModes; ++mode) {
      wchar_t text[64] = L"";
      LoadStringW(module, IDS_PAGE_MODE_FIRST + mode, text, 64);
      SendDlgItemMessageW(window(), IDC_DEFINE_PAGE_MODE, CB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageW(window(), IDC_DEFINE_FORM, CB_LIMITTEXT, kFormLimit, 0);
    // Page numbers and form names are ASCII: no input method for their fields.
    ImmAssociateContext(control(IDC_DEFINE_PAGES), nullptr);
    if (HWND formEdit = FindWindowExW(control(IDC_DEFINE_FORM), nullptr, L"Edit", nullptr)) {
      ImmAssociateContext(formEdit, nullptr);
    }
    fillHistory();
    SetDlgItemTextW(window(), IDC_DEFINE_NAME, toWide(slotText(definition_.name)).c_str());
    if (definition_.pageMode >= kPageModes) definition_.pageMode = 0;
    showPageMode();
    // A hand-edited file may hold anything here: only what the filter lets in is shown.
    filtering_ = true;
    SetDlgItemTextW(window(), IDC_DEFINE_PAGES,
                    toWide(filterCustomPages(slotText(definition_.customPages)).text).c_str());
    filtering_ = false;
    fillForms();
    EnableWindow(control(IDC_DEFINE_FORM_ADD), FALSE);
    EnableWindow(control(IDC_DEFINE_FORM_RENAME), FALSE);
    EnableWindow(control(IDC_DEFINE_FORM_DELETE), FALSE);
    return true;
  }

  // ---- Pages ----

  void showPageMode() {
    SendDlgItemMessageW(window(), IDC_DEFINE_PAGE_MODE, CB_SETCURSEL, definition_.pageMode, 0);
  }

  void pageModeChanged() {
    const LRESULT row = SendDlgItemMessageW(window(), IDC_DEFINE_PAGE_MODE, CB_GETCURSEL, 0, 0);
    if (row < 0 || row >= kPageModes) return;
    definition_.pageMode = static_cast<std::uint16_t>(row);
    if (definition_.pageMode != kCustomPages) SetDlgItemTextW(window(), IDC_DEFINE_PAGES, L"");
  }

  void pagesUpdated() {
    if (filtering_) return;
    HWND edit = control(IDC_DEFINE_PAGES);
    const std::u16string typed = toU16(windowText(edit, kPagesLimit - 1));
    const FilteredText filtered = filterCustomPages(typed);
    if (filtered.removed > 0) putBack(edit, filtered, false);
    definition_.pageMode = pageModeForCustomPages(definition_.pageMode, filtered.text);
    showPageMode();
  }

  // Puts the filtered text back with one beep and moves the caret back by what was removed.
  void putBack(HWND edit, const FilteredText& filtered, bool comboEdit) {
    DWORD start = 0;
    if (comboEdit) {
      const LRESULT selection = SendMessageW(edit, CB_GETEDITSEL, 0, 0);
      start = LOWORD(selection);
    } else {
      SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    }
    MessageBeep(static_cast<UINT>(-1));
    filtering_ = true;
    SetWindowTextW(edit, toWide(filtered.text).c_str());
    filtering_ = false;
    const DWORD caret = start > filtered.removed ? start - static_cast<DWORD>(filtered.removed) : 0;
    if (comboEdit) {
      SendMessageW(edit, CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
    } else {
      SendMessageW(edit, EM_SETSEL, caret, caret);
    }
  }

  // ---- Forms ----

  std::u16string formText() const {
    return toU16(windowText(control(IDC_DEFINE_FORM), kFormLimit - 1));
  }
  // What Add and Rename take: a history entry chosen from the list is not filtered as it
  // arrives, so the name is filtered once more here.
  std::u16string formName() const { return filterFormName(formText()).text; }
  int selectedForm() const {
    return static_cast<int>(SendDlgItemMessageW(window(), IDC_DEFINE_FORMS, LB_GETCURSEL, 0, 0));
  }

  void fillHistory() {
    HWND combo = control(IDC_DEFINE_FORM);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const std::size_t count = std::min<std::size_t>(store_.historyCount, kMaxFormHistory);
    for (std::size_t k = 0; k < count; ++k) {
      const std::wstring name = toWide(slotText(store_.history[k]));
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
  }

  // The definition's forms into the list; the first one's name into the form box.
  void fillForms() {
    HWND list = control(IDC_DEFINE_FORMS);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const std::size_t count = std::min<std::size_t>(definition_.formCount, kMaxOverlayForms);
    for (std::size_t j = 0; j < count; ++j) {
      const std::wstring name = toWide(slotText(definition_.formNames[j]));
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    setFormText(count > 0 ? slotText(definition_.formNames[0]) : std::u16string_view());
  }

  void setFormText(std::u16string_view text) {
    filtering_ = true;
    SetWindowTextW(control(IDC_DEFINE_FORM), toWide(text).c_str());
    filtering_ = false;
  }

  void enableFormButtons(std::u16string_view text) {
    EnableWindow(control(IDC_DEFINE_FORM_ADD), canAddForm(definition_, text));
    EnableWindow(control(IDC_DEFINE_FORM_RENAME), canRenameForm(definition_, text, selectedForm()));
  }

  void formTyped() {
    if (filtering_) return;
    const FilteredText filtered = filterFormName(formText());
    if (filtered.removed > 0) {
      putBack(control(IDC_DEFINE_FORM), filtered, true);
    }
    enableFormButtons(filtered.text);
  }

  void formChosen() {
    HWND combo = control(IDC_DEFINE_FORM);
    const LRESULT row = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (row < 0 || row >= static_cast<LRESULT>(store_.historyCount)) return;
    // The history comes from a file anyone may edit: judged as the name it would become.
    enableFormButtons(filterFormName(slotText(store_.history[row])).text);
  }

  void stopMessage(UINT textId) { messageFromStrings(window(), textId, 0, kStop); }

  void addFormCommand() {
    const std::u16string text = formName();
    const FormEdit result = addForm(store_, definition_, text);
    if (result == FormEdit::endsWithStop) {
      MessageBeep(static_cast<UINT>(-1));
      stopMessage(IDS_FORM_NAME_ENDS_WITH_DOT);
    } else if (result == FormEdit::done) {
      fillHistory();
      setFormText(text);
      const std::wstring name = toWide(text);
      const LRESULT row = SendDlgItemMessageW(window(), IDC_DEFINE_FORMS, LB_ADDSTRING, 0,
                                              reinterpret_cast<LPARAM>(name.c_str()));
      SendDlgItemMessageW(window(), IDC_DEFINE_FORMS, LB_SETCURSEL, row, 0);
      EnableWindow(control(IDC_DEFINE_FORM_ADD), FALSE);
      EnableWindow(control(IDC_DEFINE_FORM_RENAME), FALSE);
      EnableWindow(control(IDC_DEFINE_FORM_DELETE), TRUE);
    }
    SetFocus(control(IDC_DEFINE_FORM));
  }

  void renameFormCommand() {
    const std::u16string text = formName();
    const int row = selectedForm();
    const FormEdit result = renameForm(store_, definition_, text, row);
    if (result == FormEdit::endsWithStop) {
      MessageBeep(static_cast<UINT>(-1));
      stopMessage(IDS_FORM_NAME_ENDS_WITH_DOT);
    } else if (result == FormEdit::done) {
      fillHistory();
      fillForms();
      SendDlgItemMessageW(window(), IDC_DEFINE_FORMS, LB_SETCURSEL, row, 0);
      EnableWindow(control(IDC_DEFINE_FORM_ADD), FALSE);
      EnableWindow(control(IDC_DEFINE_FORM_RENAME), FALSE);
    }
    SetFocus(control(IDC_DEFINE_FORM));
  }

  void formsNotified() {
    const int row = selectedForm();
    if (row < 0 || row >= static_cast<int>(definition_.formCount) ||
        row >= static_cast<int>(kMaxOverlayForms)) {
      return;
    }
    setFormText(slotText(definition_.formNames[row]));
    EnableWindow(control(IDC_DEFINE_FORM_ADD), FALSE);
    EnableWindow(control(IDC_DEFINE_FORM_RENAME), FALSE);
    EnableWindow(control(IDC_DEFINE_FORM_DELETE), definition_.formCount > 0);
  }

  void deleteFormCommand() {
    const std::u16string remembered = formText();
    if (!deleteForm(definition_, selectedForm())) return;
    fillForms();
    setFormText(remembered);
    EnableWindow(control(IDC_DEFINE_FORM_ADD), canAddForm(definition_, remembered));
    EnableWindow(control(IDC_DEFINE_FORM_RENAME), FALSE);
    EnableWindow(control(IDC_DEFINE_FORM_DELETE), FALSE);
    SetFocus(control(IDC_DEFINE_FORM));
  }

  // ---- OK and Cancel ----

  void accept() {
    const std::u16string name = toU16(windowText(control(IDC_DEFINE_NAME), kNameLimit - 1));
    setSlotText(definition_.name, name);
    setSlotText(definition_.customPages,
                toU16(windowText(control(IDC_DEFINE_PAGES), kPagesLimit - 1)));
    std::vector<std::u16string_view> others;
    const std::size_t count = std::min<std::size_t>(store_.overlayCount, kMaxOverlays);
    for (std::size_t i = 0; i < count; ++i) {
      const OverlayDefinition* other = context_.overlays.definitions[i].get();
      if (other != nullptr && i != context_.overlays.editedDefinition) {
        others.push_back(slotText(other->name));
      }
    }
    const DefineOverlayCheck check = checkDefinedOverlay(name, others, definition_.formCount);
    if (check.verdict == DefineOverlayVerdict::noName) {
      MessageBeep(static_cast<UINT>(-1));
      stopMessage(IDS_NEED_OVERLAY_NAME);
      SetFocus(control(IDC_DEFINE_NAME));
      return;
    }
    for (std::size_t k = 0; k < check.duplicates; ++k) {
      MessageBeep(static_cast<UINT>(-1));
      stopMessage(IDS_DUPLICATE_OVERLAY_NAME);
      SetFocus(control(IDC_DEFINE_NAME));
      SendDlgItemMessageW(window(), IDC_DEFINE_NAME, EM_SETSEL, 0, -1);
    }
    if (check.verdict == DefineOverlayVerdict::duplicateName) return;
    if (check.verdict == DefineOverlayVerdict::noForm) {
      MessageBeep(static_cast<UINT>(-1));
      stopMessage(IDS_NEED_FORM_NAME);
      return;
    }
    definition_.pageMode = acceptedPageMode(definition_);
    end(1);
  }

  void cancel() { end(0); }

  DocumentContext& context_;
  OverlayStore& store_;
  OverlayDefinition& definition_;
  bool filtering_ = false;  // our own text changes are not filtered again
};

}  // namespace

bool showDefineOverlayDialog(HWND owner, DocumentContext& context) {
  OverlayWorkspace& overlays = context.overlays;
  if (!overlays.store || overlays.editedDefinition >= kMaxOverlays) return false;
  OverlayDefinition* definition = overlays.definitions[overlays.editedDefinition].get();
  if (definition == nullptr) return false;
  DefineOverlayDialog dialog(context, *overlays.store, *definition);
  return dialog.runModal(uiModuleState().moduleInstance, IDD_DEFINE_OVERLAY, owner) == 1;
}

}  // namespace vex
