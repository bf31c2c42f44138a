// The printer's data that the driver reads for a sheet.
#pragma once

#include <string>

namespace vex::uihost {

// The printer's "FeatureKeyword" block from its PrinterDriverData key ("" when absent or longer
// than the plug-in's 256 bytes; then `note` says why).
std::string readFeatureKeywordBlock(const std::wstring& printerName, std::string* note);

}  // namespace vex::uihost
