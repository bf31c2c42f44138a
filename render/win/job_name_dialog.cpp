#include "job_name_dialog.h"

#include <imm.h>

#include <string>
#include <string_view>

#include "../resources/resource_ids.h"
#include "dialog_base.h"
#include "job_name_filter.h"
#include "private_settings.h"

namespace vex {
namespace {

static_assert(rec::jobNameChars == kJobNameMaxChars + 1);
static_assert(sizeof(wchar_t) == sizeof(char16_t));

constexpr int kMessageTextChars = 600;
constexpr int kMessageCaptionChars = 160;

// The module whose string table the messages come from: the one this code is linked into.
HMODULE codeModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&codeModule), &module);
  return module;
}

// The field's first kJobNameMaxChars characters.
std::u16string readField(HWND field) {
  wchar_t buffer[kJobNameMaxChars + 1] = {};
  const int length = GetWindowTextW(field, buffer, static_cast<int>(kJobNameMaxChars + 1));
  return std::u16string(reinterpret_cast<const char16_t*>(buffer),
                        length > 0 ? static_cast<std::size_t>(length) : 0);
}

void setField(HWND field, std::u16string_view text) {
  const std::wstring wide(text.begin(), text.end());
  SetWindowTextW(field, wide.c_str());
}

// Centres the dialog on the desktop and keeps it above other windows: it belongs to no
// application window and would otherwise appear behind the one that prints.
void centreTopmost(HWND dialog) {
  RECT desktop{};
  RECT window{};
  GetWindowRect(GetDesktopWindow(), &desktop);
  GetWindowRect(dialog, &window);
  const int x =
      desktop.left + (desktop.right - desktop.left) / 2 - (window.right - window.left) / 2;
  const int y = desktop.top + (desktop.bottom - desktop.top) / 2 - (window.bottom - window.top) / 2;
  SetWindowPos(dialog, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
  SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// Takes out what the name may not hold; the caret stays where the user left it.
void filterField(HWND field) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const JobNameEdit edit = filterJobName(readField(field), end);
  if (edit.removed == 0) return;
  MessageBeep(0xFFFFFFFF);
  setField(field, edit.text);  // notifies again; the text is clean by then
  SendMessageW(field, EM_SETSEL, edit.caret, static_cast<LPARAM>(edit.caret));
}

// Dialog 103: the job name of a record, ended only through OK with a non-empty name.
class JobNameDialog final : public Dialog<JobNameDialog> {
 public:
  explicit JobNameDialog(std::uint8_t* record) : record_(record) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_JOB_NAME_EDIT, kAnyNotification, &JobNameDialog::fieldChanged},
        {IDOK, kAnyNotification, &JobNameDialog::accept},
        {IDCANCEL, kAnyNotification, &JobNameDialog::ignore},  // Esc: the dialog needs a name
    };
    return table;
  }

 private:
  bool onInit() override {
    HWND field = control(IDC_JOB_NAME_EDIT);
    SendMessageW(field, EM_LIMITTEXT, kJobNameMaxChars, 0);
    // The record comes from the device mode: show only what the field itself would accept.
    std::u16string name = filterJobName(getWide(record_, rec::jobName, rec::jobNameChars), 0).text;
    if (name.size() > kJobNameMaxChars) name.resize(kJobNameMaxChars);
    setField(field, name);
    centreTopmost(window());
    return true;
  }

  bool onMessage(UINT message, WPARAM, LPARAM, INT_PTR& result) override {
    if (message != WM_CLOSE) return false;  // the close box: the dialog ends only with a name
    result = TRUE;
    return true;
  }

  void fieldChanged() {
    // Without an input method only direct keyboard input reaches the field.
    HWND field = commandControl();
    ImmAssociateContext(field, nullptr);
    if (commandNotification() == EN_UPDATE) filterField(field);
  }

  void accept() {
    HWND field = control(IDC_JOB_NAME_EDIT);
    // The field filters every change already; filtering again keeps the record clean whatever
    // reached the field.
    const std::u16string name = filterJobName(readField(field), 0).text;
    if (name.empty()) {
      showStringMessage(window(), IDS_ENTER_JOB_NAME, 0, MB_ICONHAND);
      SendMessageW(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
      return;
    }
    setWide(record_, rec::jobName, rec::jobNameChars, name);
    end(1);
  }

  void ignore() {}

  std::uint8_t* record_;
};

}  // namespace

bool runJobNameDialog(HINSTANCE module, std::uint8_t* record) {
  if (record == nullptr) return false;
  JobNameDialog dialog(record);
  return dialog.runModal(module, IDD_JOB_NAME, nullptr) == 1;
}

int showStringMessage(HWND owner, UINT textId, UINT captionId, UINT style) {
  const HMODULE module = codeModule();
  wchar_t text[kMessageTextChars] = {};
  LoadStringW(module, textId, text, kMessageTextChars);
  wchar_t caption[kMessageCaptionChars] = {};
  if (captionId != 0) LoadStringW(module, captionId, caption, kMessageCaptionChars);
  return MessageBoxW(owner, text, captionId != 0 ? caption : nullptr, style);
}

}  // namespace vex
