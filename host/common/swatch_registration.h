// The sample set-up's part for the colour-sample tool: the key that the sample model's
// "SwatchRegPath" names gets the value "install" = the folder of the build's swatch.exe, as the
// tool's own installer would leave it.
#pragma once

#include <string>

namespace vex {

// Reads "SwatchRegPath" of the model that `driverName` maps to in the package's configuration
// file `configPath` (the file's first model when the driver is not listed). Nothing happens when
// the model names no key or the build has no swatch.exe beside the running program. False, with
// `error`, when the key could not be written.
bool registerSampleSwatchTool(const std::wstring& configPath, const std::wstring& driverName,
                              std::wstring* error);

}  // namespace vex
