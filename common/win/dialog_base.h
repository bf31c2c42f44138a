// One shape for every dialog and property page of the plug-ins. The object is found again from
// the window (stored at WM_INITDIALOG); every message passes the one exception guard; commands
// are routed through a small table of {id, notification, handler}; the page notifications become
// member calls whose answer is set as the dialog's result in one place.
#pragma once

#include <windows.h>
// The common controls need the platform's types first.
#include <commctrl.h>
#include <prsht.h>

#include <span>

namespace vex {

class DialogBase {
 public:
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;
  // Public, so that the owner of a property page's object can keep it as a DialogBase.
  virtual ~DialogBase() = default;

  // Shows template `templateId` of `module` modally over `owner`; EndDialog's result, or -1
  // when the dialog could not be made.
  INT_PTR runModal(HINSTANCE module, UINT templateId, HWND owner);

  // For property pages: the page's pfnDlgProc, with the PROPSHEETPAGEW's lParam = this object
  // (which must outlive the page).
  static INT_PTR CALLBACK pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window() const { return window_; }
  HWND control(int id) const { return GetDlgItem(window_, id); }

 protected:
  DialogBase() = default;

  // WM_INITDIALOG; true lets the dialog manager focus the first control.
  virtual bool onInit() { return true; }
  // WM_COMMAND (see Dialog<Derived> for the routing table); true when handled.
  virtual bool onCommand(WORD id, WORD code, HWND control) {
    (void)id, (void)code, (void)control;
    return false;
  }
  // Property-page notifications. onSetActive false: the page refuses activation; onKillActive
  // false: the page stays active; onApply false: not applied, the page stays.
  virtual bool onSetActive() { return true; }
  virtual bool onKillActive() { return true; }
  virtual bool onApply() { return true; }
  virtual void onReset() {}
  // Other WM_NOTIFY codes; true when handled, with `result` the dialog's result.
  virtual bool onNotify(const NMHDR& header, LRESULT& result) {
    (void)header, (void)result;
    return false;
  }
  // Any other message; true when handled, with `result` the procedure's answer.
  virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    (void)message, (void)wParam, (void)lParam, (void)result;
    return false;
  }
  // The conventions of a family of dialogs (the UI plug-in's context help): applied before
  // onInit, and asked before the other handlers.
  virtual void applyConventions() {}
  virtual bool conventionHandles(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)message, (void)wParam, (void)lParam;
    return false;
  }

  void end(INT_PTR result) { EndDialog(window_, result); }

 private:
  static INT_PTR CALLBACK modalProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR route(DialogBase* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR notify(const NMHDR& header);

  HWND window_ = nullptr;
};

// A dialog whose commands go to members of `Derived` through its routes() table.
template <typename Derived>
class Dialog : public DialogBase {
 public:
  static constexpr WORD kAnyNotification = 0xFFFF;
  struct Route {
    WORD id;
    WORD notification;  // kAnyNotification: every notification of that control
    void (Derived::*handler)();
  };

 protected:
  // The command being handled, for handlers that need more than its id.
  WORD commandNotification() const { return notification_; }
  HWND commandControl() const { return commandControl_; }

  bool onCommand(WORD id, WORD code, HWND control) override {
    for (const Route& route : static_cast<Derived*>(this)->routes()) {
      if (route.id != id) continue;
      if (route.notification != kAnyNotification && route.notification != code) continue;
      notification_ = code;
      commandControl_ = control;
      (static_cast<Derived*>(this)->*route.handler)();
      return true;
    }
    return false;
  }

 private:
  WORD notification_ = 0;
  HWND commandControl_ = nullptr;
};

}  // namespace vex
