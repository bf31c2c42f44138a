#include "dialog_bindings.h"

#include <optional>
#include <string>
#include <vector>

#include "dialog_helpers.h"
#include "numeric_edit_rules.h"

namespace vex {
namespace {

constexpr int kNumberTextChars = 32;

bool isComboBox(HWND control) {
  wchar_t name[32] = L"";
  GetClassNameW(control, name, 32);
  return lstrcmpiW(name, L"ComboBox") == 0;
}

// The row's value as the control shows it; nullopt when the row is refused.
std::optional<std::int32_t> readRow(HWND dialog, const Binding& row) {
  HWND control = GetDlgItem(dialog, row.controlId);
  if (control == nullptr) return *row.value;  // a control the dialog removed keeps its value
  switch (row.kind) {
    case BindingKind::check:
      return IsDlgButtonChecked(dialog, row.controlId) == BST_CHECKED ? 1 : 0;
    case BindingKind::checkMeansZero:
      return IsDlgButtonChecked(dialog, row.controlId) == BST_CHECKED ? 0 : 1;
    case BindingKind::choice: {
      const LRESULT chosen =
          SendMessageW(control, isComboBox(control) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
      if (chosen < 0) return *row.value;
      return static_cast<std::int32_t>(chosen);
    }
    case BindingKind::radio:
      for (std::int32_t k = 0; k <= row.maximum; ++k) {
        if (IsDlgButtonChecked(dialog, row.controlId + k) == BST_CHECKED) return k;
      }
      return *row.value;
    case BindingKind::number: {
      wchar_t text[kNumberTextChars] = L"";
      const int length = GetWindowTextW(control, text, kNumberTextChars);
      return parseBoundedNumber(
          std::u16string_view(reinterpret_cast<const char16_t*>(text), length > 0 ? length : 0),
          row.minimum, row.maximum);
    }
  }
  return std::nullopt;
}

void showRow(HWND dialog, const Binding& row) {
  HWND control = GetDlgItem(dialog, row.controlId);
  if (control == nullptr) return;
  const std::int32_t value = *row.value;
  switch (row.kind) {
    case BindingKind::check:
      CheckDlgButton(dialog, row.controlId, value != 0 ? BST_CHECKED : BST_UNCHECKED);
      break;
    case BindingKind::checkMeansZero:
      CheckDlgButton(dialog, row.controlId, value == 0 ? BST_CHECKED : BST_UNCHECKED);
      break;
    case BindingKind::choice:
      SendMessageW(control, isComboBox(control) ? CB_SETCURSEL : LB_SETCURSEL,
                   static_cast<WPARAM>(value), 0);
      break;
    case BindingKind::radio:
      for (std::int32_t k = 0; k <= row.maximum; ++k) {
        CheckDlgButton(dialog, row.controlId + k, k == value ? BST_CHECKED : BST_UNCHECKED);
      }
      break;
    case BindingKind::number:
      SetDlgItemInt(dialog, row.controlId, static_cast<UINT>(value), TRUE);
      break;
  }
}

}  // namespace

void loadBindings(HWND dialog, std::span<const Binding> rows) {
  for (const Binding& row : rows) showRow(dialog, row);
}

bool saveBindings(HWND dialog, std::span<const Binding> rows) {
  std::vector<std::int32_t> scratch;
  scratch.reserve(rows.size());
  for (const Binding& row : rows) {
    const std::optional<std::int32_t> value = readRow(dialog, row);
    if (!value) {
      if (row.refusedMessage != 0) messageFromStrings(dialog, row.refusedMessage, 0, MB_ICONSTOP);
      HWND control = GetDlgItem(dialog, row.controlId);
      if (control != nullptr) {
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
      }
      return false;
    }
    scratch.push_back(*value);
  }
  for (std::size_t i = 0; i < rows.size(); ++i) *rows[i].value = scratch[i];
  return true;
}

}  // namespace vex
