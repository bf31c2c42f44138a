// The library's two small dialogs: the settings of encrypted secure print, and the password
// asked for at print time.
#include <cstdio>
#include <cstring>

#include "vexcrypto_internal.h"
#include "vexcrypto_resources.h"

namespace vexcrypto {

namespace {

struct SettingsDialog {
  SettingsBlock block;
};

const wchar_t* const kSettingANames[] = {L"AES-256", L"AES-256 (卡)", L"AES-256 (高)"};
const wchar_t* const kSettingBNames[] = {L"0", L"1", L"2", L"3"};

// The password typed, as ANSI bytes; false when it is empty or longer than capacity - 1.
bool readPassword(HWND dialog, char* out, std::size_t capacity) {
  wchar_t text[64] = L"";
  GetDlgItemTextW(dialog, IDC_PASSWORD, text, 64);
  char bytes[128] = "";
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
  SecureZeroMemory(text, sizeof text);
  const std::size_t length = n > 0 ? std::strlen(bytes) : 0;
  const bool fits = length > 0 && length < capacity;
  if (fits) std::memcpy(out, bytes, length + 1);
  SecureZeroMemory(bytes, sizeof bytes);
  return fits;
}

INT_PTR CALLBACK settingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<SettingsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<SettingsDialog*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SendDlgItemMessageW(dialog, IDC_PASSWORD, EM_LIMITTEXT, sizeof state->block.password - 1, 0);
      char password[sizeof state->block.password + 1] = "";
      std::memcpy(password, state->block.password, sizeof state->block.password);
      SetDlgItemTextA(dialog, IDC_PASSWORD, password);
      SetDlgItemInt(dialog, IDC_HOURS, (state->block.keepingTime >> 16) % 24, FALSE);
      SetDlgItemInt(dialog, IDC_MINUTES, (state->block.keepingTime & 0xFFFF) % 60, FALSE);
      for (const wchar_t* name : kSettingANames) {
        SendDlgItemMessageW(dialog, IDC_SETTING_A, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
      }
      for (const wchar_t* name : kSettingBNames) {
        SendDlgItemMessageW(dialog, IDC_SETTING_B, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
      }
      SendDlgItemMessageW(dialog, IDC_SETTING_A, CB_SETCURSEL, state->block.settingA % 3, 0);
      SendDlgItemMessageW(dialog, IDC_SETTING_B, CB_SETCURSEL, state->block.settingB % 4, 0);
      CheckDlgButton(dialog, IDC_ASK_AT_PRINT,
                     state->block.askAtPrint ? BST_CHECKED : BST_UNCHECKED);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        SettingsBlock b = state->block;
        std::memset(b.password, 0, sizeof b.password);
        const bool ask = IsDlgButtonChecked(dialog, IDC_ASK_AT_PRINT) == BST_CHECKED;
        // Without a password the job asks for one at print time.
        if (!readPassword(dialog, b.password, sizeof b.password) && !ask) {
          MessageBeep(MB_ICONWARNING);
          SetFocus(GetDlgItem(dialog, IDC_PASSWORD));
          return TRUE;
        }
        BOOL hoursOk = FALSE, minutesOk = FALSE;
        const UINT hours = GetDlgItemInt(dialog, IDC_HOURS, &hoursOk, FALSE);
        const UINT minutes = GetDlgItemInt(dialog, IDC_MINUTES, &minutesOk, FALSE);
        if (!hoursOk || !minutesOk || hours > 23 || minutes > 59) {
          MessageBeep(MB_ICONWARNING);
          SetFocus(GetDlgItem(dialog, hoursOk && hours <= 23 ? IDC_MINUTES : IDC_HOURS));
          return TRUE;
        }
        b.keepingTime = (hours << 16) | minutes;
        const LRESULT a = SendDlgItemMessageW(dialog, IDC_SETTING_A, CB_GETCURSEL, 0, 0);
        const LRESULT s = SendDlgItemMessageW(dialog, IDC_SETTING_B, CB_GETCURSEL, 0, 0);
        b.settingA = a >= 0 && a <= 2 ? static_cast<std::uint32_t>(a) : 0;
        b.settingB = s >= 0 && s <= 3 ? static_cast<std::uint32_t>(s) : 0;
        b.askAtPrint = ask ? 1 : 0;
        state->block = b;
        SecureZeroMemory(&b, sizeof b);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

struct PasswordDialog {
  char* output;
  std::size_t capacity;
};

INT_PTR CALLBACK passwordProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<PasswordDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SendDlgItemMessageW(dialog, IDC_PASSWORD, EM_LIMITTEXT, kMaxPasswordBytes, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        if (!readPassword(dialog, state->output, state->capacity)) {
          MessageBeep(MB_ICONWARNING);
          return TRUE;
        }
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

bool showSettingsDialog(HWND parent, SettingsBlock* block) {
  SettingsDialog state{*block};
  const INT_PTR result = DialogBoxParamW(moduleInstance(), MAKEINTRESOURCEW(IDD_CRYPTO_SETTINGS),
                                         parent, settingsProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return false;
  *block = state.block;
  SecureZeroMemory(&state, sizeof state);
  return true;
}

bool showPasswordDialog(char* output, std::size_t capacity) {
  // At most a 32-byte password and its zero.
  if (capacity > kMaxPasswordBytes + 1) capacity = kMaxPasswordBytes + 1;
  PasswordDialog state{output, capacity};
  const INT_PTR result = DialogBoxParamW(moduleInstance(), MAKEINTRESOURCEW(IDD_PASSWORD), nullptr,
                                         passwordProc, reinterpret_cast<LPARAM>(&state));
  return result == IDOK;
}

}  // namespace vexcrypto
