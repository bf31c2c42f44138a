#include "test_dialogs.h"

#include <windowsx.h>

#include "resource.h"

namespace vex::uihost {
namespace {

struct TestDialogState {
  std::string result = "test dialog: cancel";
  const char* answer = "none";
};

std::wstring controlText(HWND dialog, int id) {
  wchar_t text[256] = L"";
  GetDlgItemTextW(dialog, id, text, 256);
  return text;
}

// Only digits stay in the number field, as the plug-in's numeric edits keep them: the filter
// runs on EN_UPDATE, so that it sees every typed character.
void keepDigits(HWND dialog) {
  const std::wstring text = controlText(dialog, IDC_TEST_NUMBER);
  std::wstring digits;
  for (wchar_t c : text) {
    if (c >= L'0' && c <= L'9') digits.push_back(c);
  }
  if (digits == text) return;
  HWND edit = GetDlgItem(dialog, IDC_TEST_NUMBER);
  SetWindowTextW(edit, digits.c_str());
  Edit_SetSel(edit, digits.size(), digits.size());
}

void init(HWND dialog) {
  for (const wchar_t* row : {L"Alpha", L"Beta", L"Gamma"}) {
    ListBox_AddString(GetDlgItem(dialog, IDC_TEST_LIST), row);
  }
  for (const wchar_t* row : {L"Red", L"Green", L"Blue"}) {
    ComboBox_AddString(GetDlgItem(dialog, IDC_TEST_COMBO), row);
  }
  CheckRadioButton(dialog, IDC_TEST_ONE, IDC_TEST_TWO, IDC_TEST_ONE);
}

void showChoice(HWND dialog, const wchar_t* what, HWND control, bool list) {
  const int row = list ? ListBox_GetCurSel(control) : ComboBox_GetCurSel(control);
  wchar_t text[64] = L"";
  const int length = list ? ListBox_GetTextLen(control, row) : ComboBox_GetLBTextLen(control, row);
  if (row >= 0 && length >= 0 && length < 64) {
    if (list) {
      ListBox_GetText(control, row, text);
    } else {
      ComboBox_GetLBText(control, row, text);
    }
  }
  SetDlgItemTextW(dialog, IDC_TEST_CHOICE, (std::wstring(what) + L": " + text).c_str());
}

void ask(HWND dialog, TestDialogState& state) {
  const int answer = MessageBoxW(dialog, L"Keep the test values?", L"Test Dialog",
                                 MB_YESNOCANCEL | MB_ICONQUESTION);
  state.answer = answer == IDYES ? "yes" : answer == IDNO ? "no" : "cancel";
  SetDlgItemTextA(dialog, IDC_TEST_ANSWER, (std::string("answer: ") + state.answer).c_str());
}

std::string narrowDigits(const std::wstring& text) { return std::string(text.begin(), text.end()); }

void accept(HWND dialog, TestDialogState& state) {
  const int radio = IsDlgButtonChecked(dialog, IDC_TEST_ONE) == BST_CHECKED   ? 1
                    : IsDlgButtonChecked(dialog, IDC_TEST_TWO) == BST_CHECKED ? 2
                                                                              : 0;
  state.result =
      "test dialog: ok number=" + narrowDigits(controlText(dialog, IDC_TEST_NUMBER)) +
      " check=" + std::to_string(IsDlgButtonChecked(dialog, IDC_TEST_CHECK)) +
      " radio=" + std::to_string(radio) +
      " list=" + std::to_string(ListBox_GetCurSel(GetDlgItem(dialog, IDC_TEST_LIST))) +
      " combo=" + std::to_string(ComboBox_GetCurSel(GetDlgItem(dialog, IDC_TEST_COMBO))) +
      " answer=" + state.answer;
}

INT_PTR CALLBACK testDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    init(dialog);
    return TRUE;
  }
  auto* state = reinterpret_cast<TestDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (message != WM_COMMAND || state == nullptr) return FALSE;
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  const HWND control = reinterpret_cast<HWND>(lParam);
  if (id == IDC_TEST_NUMBER && code == EN_UPDATE) {
    keepDigits(dialog);
  } else if (id == IDC_TEST_NUMBER && code == EN_CHANGE) {
    SetDlgItemTextW(dialog, IDC_TEST_ECHO, controlText(dialog, IDC_TEST_NUMBER).c_str());
  } else if (id == IDC_TEST_LIST && code == LBN_SELCHANGE) {
    showChoice(dialog, L"list", control, true);
  } else if (id == IDC_TEST_COMBO && code == CBN_SELCHANGE) {
    showChoice(dialog, L"combo", control, false);
  } else if (id == IDC_TEST_ASK && code == BN_CLICKED) {
    ask(dialog, *state);
  } else if (id == IDOK) {
    accept(dialog, *state);
    EndDialog(dialog, IDOK);
  } else if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  } else {
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::string runTestDialog(HWND owner) {
  TestDialogState state;
  const INT_PTR result =
      DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TEST_DIALOG), owner,
                      testDialogProc, reinterpret_cast<LPARAM>(&state));
  if (result == -1) return "test dialog: cannot be created";
  return state.result;
}

std::string runTestMessage(HWND owner) {
  const int answer = MessageBoxW(owner, L"The stand-in's test message.\nIt has two lines.",
                                 L"Test Message", MB_OKCANCEL | MB_ICONINFORMATION);
  return answer == IDOK ? "test message: ok" : "test message: cancel";
}

}  // namespace vex::uihost
