#include "watermark_dialog.h"

#include "dialog_helpers.h"
#include "sheet_watermarks.h"
#include "ui_dialog.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"
#include "watermark_dialog_rules.h"
#include "watermark_edit_dialog.h"
#include "watermark_preview_draw.h"

namespace vex {
namespace {

// Dialog 112: OK commits the selection into the record (1), Cancel puts the list back as it was
// at the opening (0). Every change of the list or the selection marks the sheet changed.
class WatermarkListDialog final : public UiDialog<WatermarkListDialog> {
 public:
  WatermarkListDialog(HWND owner, DocumentContext& context) : owner_(owner), context_(context) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_WM_LIST, LBN_SELCHANGE, &WatermarkListDialog::selectionChanged},
        {IDC_WM_NEW, BN_CLICKED, &WatermarkListDialog::create},
        {IDC_WM_EDIT, BN_CLICKED, &WatermarkListDialog::edit},
        {IDC_WM_DELETE, BN_CLICKED, &WatermarkListDialog::remove},
        {IDC_WM_FIRST_PAGE, BN_CLICKED, &WatermarkListDialog::toggleFirstPage},
        {IDC_WM_BACKGROUND, BN_CLICKED, &WatermarkListDialog::toggleBackground},
        {IDOK, kAnyNotification, &WatermarkListDialog::accept},
        {IDCANCEL, kAnyNotification, &WatermarkListDialog::cancel},
    };
    return table;
  }

 private:
  WatermarkList& list() { return context_.watermarks; }

  bool onInit() override {
    loaded_ = loadSheetWatermarks(context_);
    fill();
    return true;
  }

  bool onMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) override {
    if (message != WM_DRAWITEM || wParam != IDC_WM_PREVIEW) return false;
    drawWatermarkPreview(window(), IDC_WM_PREVIEW, context_, surface_);
    enableButtons();
    result = TRUE;
    return true;
  }

  void fill() {
    fillWatermarkControls(window(), context_, surface_);
    enableButtons();
  }

  void enableButtons() {
    const bool editable = canEditWatermark(list());
    EnableWindow(control(IDC_WM_EDIT), editable);
    EnableWindow(control(IDC_WM_DELETE), editable);
  }

  // The owner is the job options page: its sheet enables Apply.
  void markChanged() { notifySheetChanged(owner_); }

  void selectionChanged() {
    const LRESULT row = SendDlgItemMessageW(window(), IDC_WM_LIST, LB_GETCURSEL, 0, 0);
    selectWatermark(list(), row < 0 ? 0 : static_cast<std::uint32_t>(row));
    fill();
    markChanged();
  }

  void create() {
    if (!loaded_) return;
    if (!canAddWatermark(list())) {
      messageFromStrings(window(), IDS_LIMIT_EXCEEDED, IDS_CAPTION_WARNING, MB_ICONEXCLAMATION);
      return;
    }
    const std::uint32_t remembered = list().currentIndex;
    list().currentIndex = 0;
    if (showWatermarkEditDialog(window(), context_) == IDOK && addWorkingWatermark(list())) {
      fill();
      markChanged();
    } else {
      selectWatermark(list(), remembered);
      drawWatermarkPreview(window(), IDC_WM_PREVIEW, context_, surface_);
    }
  }

  void edit() {
    if (!canEditWatermark(list())) return;
    if (showWatermarkEditDialog(window(), context_) == IDOK && storeWorkingWatermark(list())) {
      fill();
      markChanged();
    } else {
      selectWatermark(list(), list().currentIndex);
      drawWatermarkPreview(window(), IDC_WM_PREVIEW, context_, surface_);
    }
  }

  void remove() {
    if (!deleteCurrentWatermark(list())) return;
    fill();
    markChanged();
    SetFocus(control(IDC_WM_NEW));
  }

  // Definition 0's two boxes may change too; its other fields keep their defaults.
  void toggleFirstPage() {
    WatermarkList& l = list();
    if (l.definitions.empty()) return;
    WatermarkDefinition& chosen = l.definitions[l.currentIndex];
    chosen.firstPageOnly = chosen.firstPageOnly != 0 ? 0 : 1;
    l.working.firstPageOnly = chosen.firstPageOnly;
    CheckDlgButton(window(), IDC_WM_FIRST_PAGE, chosen.firstPageOnly ? BST_CHECKED : BST_UNCHECKED);
    markChanged();
  }
  void toggleBackground() {
    WatermarkList& l = list();
    if (l.definitions.empty()) return;
    WatermarkDefinition& chosen = l.definitions[l.currentIndex];
    chosen.asBackground = chosen.asBackground != 0 ? 0 : 1;
    l.working.asBackground = chosen.asBackground;
    CheckDlgButton(window(), IDC_WM_BACKGROUND, chosen.asBackground ? BST_CHECKED : BST_UNCHECKED);
    markChanged();
  }

  void accept() {
    if (loaded_) commitSheetWatermarks(context_);
    end(1);
  }
  void cancel() {
    if (loaded_) rollBackSheetWatermarks(context_);
    end(0);
  }

  HWND owner_;
  DocumentContext& context_;
  PreviewSurface surface_;
  bool loaded_ = false;
};

}  // namespace

bool showWatermarkDialog(HWND owner, DocumentContext& context) {
  WatermarkListDialog dialog(owner, context);
  return dialog.runModal(uiModuleState().moduleInstance, IDD_WATERMARK, owner) == 1;
}

}  // namespace vex
