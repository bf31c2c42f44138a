#include "job_password_dialog.h"

#include <imm.h>

#include <string>

#include "dialog_helpers.h"
#include "job_password_rules.h"
#include "ui_dialog.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"

namespace vex {
namespace {

// Read with room for more than the field's limit, so that anything the limit let through
// (a paste, a message) is seen and filtered too.
constexpr int kFieldReadChars = 64;

std::u16string readField(HWND field, DWORD* caret) {
  wchar_t text[kFieldReadChars] = L"";
  const int length = GetWindowTextW(field, text, kFieldReadChars);
  DWORD start = 0;
  SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  if (caret != nullptr) *caret = start;
  return std::u16string(text, text + (length > 0 ? length : 0));
}

void setField(HWND field, const std::u16string& text) {
  const std::wstring wide(text.begin(), text.end());
  SetWindowTextW(field, wide.c_str());
}

// The platform facts the dialog reads when it opens; process-wide, as the page's other users
// of them expect.
PrinterAndSystem& dialogSystem() {
  static PrinterAndSystem system;
  return system;
}

PrinterAndSystem readPrinterAndSystem(HANDLE printer) {
  PrinterAndSystem system;
  system.sharedOrNetwork = printerIsSharedOrNetwork(printer) != 0;
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (GetVersionExW(&version)) {
    system.majorVersion = version.dwMajorVersion;
    system.minorVersion = version.dwMinorVersion;
  }
  return system;
}

class JobPasswordDialog final : public UiDialog<JobPasswordDialog> {
 public:
  explicit JobPasswordDialog(DocumentContext& context) : context_(context) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_JOB_NAME, kAnyNotification, &JobPasswordDialog::nameCommand},
        {IDC_JOB_PASSWORD_EDIT, kAnyNotification, &JobPasswordDialog::passwordCommand},
        {IDC_JOB_NAME_REQUIRED, BN_CLICKED, &JobPasswordDialog::requiredClicked},
        {IDOK, kAnyNotification, &JobPasswordDialog::accept},
        {IDCANCEL, kAnyNotification, &JobPasswordDialog::cancel},
    };
    return table;
  }

 private:
  bool onInit() override {
    SendDlgItemMessageW(window(), IDC_JOB_NAME, EM_LIMITTEXT, 16, 0);
    SendDlgItemMessageW(window(), IDC_JOB_PASSWORD_EDIT, EM_LIMITTEXT, kJobPasswordChars, 0);
    dialogSystem() = readPrinterAndSystem(contextPrinter(context_));
    const std::uint8_t* record = context_.record();
    if (record == nullptr) return true;  // nothing to show; OK will refuse to store
    const JobPasswordDialogState state = openJobPasswordDialog(record, dialogSystem());
    setField(control(IDC_JOB_NAME), state.jobName);
    setField(control(IDC_JOB_PASSWORD_EDIT), state.jobPassword);
    CheckDlgButton(window(), IDC_JOB_NAME_REQUIRED,
                   state.required.checked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(control(IDC_JOB_NAME_REQUIRED), state.required.enabled);
    return true;
  }

  // Every command of a field switches its input method off; an update is filtered.
  template <typename Filter>
  void fieldCommand(Filter filter) {
    HWND field = commandControl();
    ImmAssociateContext(field, nullptr);
    if (commandNotification() != EN_UPDATE) return;
    DWORD caret = 0;
    const std::u16string text = readField(field, &caret);
    const FilteredField filtered = filter(text, caret);
    if (!filtered.removed) return;
    MessageBeep(0xFFFFFFFF);
    setField(field, filtered.text);  // updates again, with nothing left to remove
    SendMessageW(field, EM_SETSEL, filtered.caret, static_cast<LPARAM>(filtered.caret));
  }
  void nameCommand() { fieldCommand(filterJobNameField); }
  void passwordCommand() { fieldCommand(filterJobPasswordField); }

  void requiredClicked() {
    const bool checked = IsDlgButtonChecked(window(), IDC_JOB_NAME_REQUIRED) == BST_CHECKED;
    if (jobNameWarningDue(checked, dialogSystem())) showAlertOnce(window(), &context_);
  }

  void accept() {
    std::uint8_t* record = context_.record();
    if (record == nullptr) return;
    const std::u16string name = readField(control(IDC_JOB_NAME), nullptr);
    const std::u16string password = readField(control(IDC_JOB_PASSWORD_EDIT), nullptr);
    const bool required = IsDlgButtonChecked(window(), IDC_JOB_NAME_REQUIRED) == BST_CHECKED;
    const JobPasswordCheck check = acceptJobPassword(record, name, password, required);
    if (check == JobPasswordCheck::accepted) {
      end(1);
      return;
    }
    messageFromStrings(window(), static_cast<UINT>(check), 0, MB_ICONHAND);
    const int focus =
        check == JobPasswordCheck::invalidPassword ? IDC_JOB_PASSWORD_EDIT : IDC_JOB_NAME;
    SendMessageW(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(focus)), TRUE);
  }

  void cancel() { end(0); }

  DocumentContext& context_;
};

}  // namespace

HANDLE contextPrinter(const DocumentContext& context) {
  if (context.cuiParam != nullptr && context.cuiParam->hPrinter != nullptr) {
    return context.cuiParam->hPrinter;
  }
  return context.uiParam != nullptr ? context.uiParam->hPrinter : nullptr;
}

bool showJobPasswordDialog(HWND owner, DocumentContext& context) {
  HINSTANCE module = uiModuleState().moduleInstance;
  if (module == nullptr) return false;
  JobPasswordDialog dialog(context);
  return dialog.runModal(module, IDD_JOB_PASSWORD, owner) == 1;
}

}  // namespace vex
