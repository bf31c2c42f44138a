#include "dialog_base.h"

#include "no_throw.h"

namespace vex {
namespace {

// The object of a window, stored at WM_INITDIALOG. Messages that arrive before it (WM_SETFONT)
// have none and go to the dialog manager.
DialogBase* objectOf(HWND window) {
  return reinterpret_cast<DialogBase*>(GetWindowLongPtrW(window, DWLP_USER));
}

}  // namespace

INT_PTR DialogBase::runModal(HINSTANCE module, UINT templateId, HWND owner) {
  return DialogBoxParamW(module, MAKEINTRESOURCEW(templateId), owner, modalProcedure,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogBase::modalProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  DialogBase* self =
      message == WM_INITDIALOG ? reinterpret_cast<DialogBase*>(lParam) : objectOf(window);
  return route(self, window, message, wParam, lParam);
}

INT_PTR CALLBACK DialogBase::pageProcedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  DialogBase* self = objectOf(window);
  if (message == WM_INITDIALOG) {
    const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
    self = page != nullptr ? reinterpret_cast<DialogBase*>(page->lParam) : nullptr;
  }
  return route(self, window, message, wParam, lParam);
}

INT_PTR DialogBase::route(DialogBase* self, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  if (self == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  }
  // Nothing may unwind into the dialog manager; a failed handler leaves the dialog as it was.
  return noThrow<INT_PTR>(FALSE, [&] { return self->dispatch(message, wParam, lParam); });
}

INT_PTR DialogBase::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    applyConventions();
    return onInit() ? TRUE : FALSE;
  }
  if (conventionHandles(message, wParam, lParam)) return TRUE;
  switch (message) {
    case WM_COMMAND:
      return onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE
                                                                                       : FALSE;
    case WM_NOTIFY:
      if (lParam != 0) return notify(*reinterpret_cast<const NMHDR*>(lParam));
      return FALSE;
    default:
      break;
  }
  INT_PTR result = FALSE;
  return onMessage(message, wParam, lParam, result) ? result : FALSE;
}

// A dialog procedure answers WM_NOTIFY through DWLP_MSGRESULT; this is the one place it is set.
INT_PTR DialogBase::notify(const NMHDR& header) {
  LRESULT result = 0;
  switch (header.code) {
    case PSN_SETACTIVE:
      result = onSetActive() ? 0 : -1;
      break;
    case PSN_KILLACTIVE:
      result = onKillActive() ? FALSE : TRUE;
      break;
    case PSN_APPLY:
      result = onApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      break;
    case PSN_RESET:
      onReset();
      break;
    default:
      if (!onNotify(header, result)) return FALSE;
      break;
  }
  SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace vex
