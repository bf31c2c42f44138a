// The invocation code that the PostScript driver writes for the job's features: the options of
// [Features] looked up in the PPD file the printer's driver has.
#pragma once

#include <windows.h>

#include <string>

#include "job_file.h"

namespace vex::host {

// The feature blocks, with their DSC comments, of the document setup and of every page setup.
struct FeatureBlocks {
  std::string documentSetup;
  std::string pageSetup;
};

// Reads the printer's PPD file only when the job chooses options. Throws HostFailure when the
// driver does not answer (spooler) or its PPD file cannot be read (bad input).
FeatureBlocks featureBlocks(HANDLE printer, const FeatureSettings& features);

}  // namespace vex::host
