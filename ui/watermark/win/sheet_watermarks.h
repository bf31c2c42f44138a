// The watermark list of one property sheet, kept in the document context: read from the plug-in
// INI file the first time the watermark dialog opens in the sheet, and copied into the private
// record when the dialog is accepted.
#pragma once

#include "property_contexts.h"

namespace vex {

// Loads the list (once per sheet) and takes the snapshot of this opening; the font file the
// list's definitions name is found on the first load. False when the context has no INI file.
bool loadSheetWatermarks(DocumentContext& context);
// The dialog was accepted: the chosen definition goes into the record.
void commitSheetWatermarks(DocumentContext& context);
// The dialog was cancelled: the list as it was at the opening.
void rollBackSheetWatermarks(DocumentContext& context);

}  // namespace vex
