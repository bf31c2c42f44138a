#include "context_help.h"

#include <cwchar>

#include "help_table.h"
#include "ui_module_state.h"

namespace vex {
namespace {

// The help system walks the table as consecutive 32-bit (control id, topic) values.
static_assert(sizeof(HelpContextPair) == 2 * sizeof(DWORD), "table pairs are two DWORDs");

// The help file, when one is known and its path is terminated inside its buffer.
const wchar_t* helpFile() {
  const UiModuleState& state = uiModuleState();
  if (!contextHelpAvailable()) return nullptr;
  const std::size_t capacity = sizeof(state.helpFilePath) / sizeof(state.helpFilePath[0]);
  if (std::wmemchr(state.helpFilePath, L'\0', capacity) == nullptr) return nullptr;
  return state.helpFilePath[0] != L'\0' ? state.helpFilePath : nullptr;
}

ULONG_PTR tableForHelp() { return reinterpret_cast<ULONG_PTR>(helpContextTable().data()); }

}  // namespace

void applyContextHelpStyle(HWND dialog) {
  if (dialog == nullptr || !IsWindow(dialog)) return;
  const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
  const LONG_PTR wanted = isOsVersion6OrLater() ? (style & ~WS_EX_CONTEXTHELP)
                                                              : (style | WS_EX_CONTEXTHELP);
  if (wanted == style) return;
  SetWindowLongPtrW(dialog, GWL_EXSTYLE, wanted);
  // The caption is drawn from the cached frame until told otherwise.
  SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool handleContextHelp(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HELP) {
    const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
    const wchar_t* file = helpFile();
    if (file != nullptr && info != nullptr && info->cbSize >= sizeof(HELPINFO) &&
        info->iContextType == HELPINFO_WINDOW && info->hItemHandle != nullptr &&
        IsWindow(static_cast<HWND>(info->hItemHandle))) {
      WinHelpW(static_cast<HWND>(info->hItemHandle), file, HELP_WM_HELP, tableForHelp());
    }
    return true;
  }
  if (message == WM_CONTEXTMENU) {
    const auto clicked = reinterpret_cast<HWND>(wParam);
    const wchar_t* file = helpFile();
    if (file != nullptr && clicked != nullptr && IsWindow(clicked)) {
      WinHelpW(clicked, file, HELP_CONTEXTMENU, tableForHelp());
    }
    return true;
  }
  return false;
}

}  // namespace vex
