// The job options page ("作业选项"): print quality, toner save, the job type with its password,
// copies and collation, scaling, and the buttons to the overlay, watermark, advanced and about
// dialogs. It edits the context's feature slots and the record; the slots reach the driver's
// items when the page is left.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "property_contexts.h"
#include "ui_dialog.h"
#include "unique_handle.h"

namespace vex {

// Feature slots the page edits or keeps consistent.
namespace jobslot {
inline constexpr int kOutputMode = 25, kOrientation = 26, kJobType = 28, kCopies = 29,
                     kCollate = 30, kOutputBin = 31, kStaple = 32, kScale = 33, kPunch = 41,
                     kBindPosition = 42, kQuality = 67, kImageSmoothing = 68, kTrapping = 76;
}  // namespace jobslot

class JobOptionsPage final : public UiDialog<JobOptionsPage> {
 public:
  explicit JobOptionsPage(DocumentContext& context) : context_(context) {}
  std::span<const Route> routes() const;

 private:
  bool onInit() override;
  bool onSetActive() override;
  bool onKillActive() override;
  bool onApply() override;
  void onReset() override;
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  // Commands.
  void onTonerSave();
  void onJobType();
  void onPassword();
  void onCopiesEdit();
  void onCollate();
  void onScaleEdit();
  void onWatermark();
  void onOverlay();
  void onAdvanced();
  void onQuality();
  void onAbout();
  void onLink();
  void onDefaults();

  void refresh();
  void boundSelections();
  void resolveFinisher();
  void detectIcCard();
  void forceSingleCopy();
  void checkJobType(int buttonId, int lastButtonId);
  bool validate();
  void filterEdit(int editId, int spinId, int slot, std::uint32_t limit);
  void drawItem(const DRAWITEMSTRUCT& item);
  void changed();
  void focus(int id);

  bool hasItem(int slot) const { return context_.itemIndex[slot] != kNoItem; }
  DWORD& value(int slot) { return context_.itemValue[slot]; }
  HANDLE printer() const;
  bool storage() const;
  bool cryptoConfigured();
  bool cryptoLoads();

  DocumentContext& context_;
  GdiObject<HFONT> linkFont_;
  HCURSOR handCursor_ = nullptr;
  std::wstring link_;  // "TabLinkName"; empty when not set
  // Asked once per page: whether the model names a crypto library and whether it loads.
  int cryptoConfigured_ = -1;
  int cryptoLoads_ = -1;
  bool initialising_ = false;
};

}  // namespace vex
