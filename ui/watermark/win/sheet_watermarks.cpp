#include "sheet_watermarks.h"

#include "private_settings.h"
#include "ui_module_state.h"
#include "watermark_profile.h"

namespace vex {

bool loadSheetWatermarks(DocumentContext& context) {
  if (context.iniPath[0] == L'\0') return false;
  WatermarkList& list = context.watermarks;
  if (!list.loaded) context.watermarkFontFile = watermarkFontFile(context.iniPath);
  const std::uint8_t* record = context.record();
  IniWatermarkProfile profile(context.iniPath);
  LoadWatermarkList(list, profile, noWatermarkTexts(uiModuleState().moduleInstance),
                    watermarkDefaultFontNumber(context.watermarkFontFile),
                    record != nullptr ? getU32(record, rec::watermarkIndex) : 0);
  return true;
}

void commitSheetWatermarks(DocumentContext& context) {
  std::uint8_t* record = context.record();
  if (record == nullptr) return;
  CommitWatermarkSelection(context.watermarks, record);
}

void rollBackSheetWatermarks(DocumentContext& context) {
  RollBackWatermarkList(context.watermarks);
}

}  // namespace vex
