// The colour page (dialog 111): the colour mode with its pictures, the detail dialogs of two
// modes and the advanced colour dialog, the colour-sample tool, the model's link, and on leaving
// the page the write-back of the driver's items and the custom colour setting into the record.
#pragma once

#include <windows.h>

#include <span>

#include "gdi_handles.h"
#include "property_contexts.h"
#include "ui_dialog.h"
#include "unique_handle.h"

namespace vex {

class ColourPage : public UiDialog<ColourPage> {
 public:
  explicit ColourPage(DocumentContext& context);
  std::span<const Route> routes() const;

 private:
  bool onInit() override;
  bool onSetActive() override;
  bool onKillActive() override;
  bool onApply() override;
  void onReset() override;
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  void refresh();
  void showMode();
  void chooseMode();
  void officeDetails();
  void pictureDetails();
  void advanced();
  void calibrationChanged();
  void colourSamples();
  void openLink();
  void defaults();
  bool hasLink() const;
  void changed();

  DocumentContext& context_;
  GdiObject<HFONT> linkFont_;
  HCURSOR handCursor_ = nullptr;
};

}  // namespace vex
