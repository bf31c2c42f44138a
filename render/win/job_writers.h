// The writers of what the plug-in puts into the job at each injection point. Each returns true
// when everything it wrote was taken whole (or it had nothing to write).
#pragma once

#include <cstdint>

#include "oem/oem_platform.h"

namespace vex {

struct JobWriteContext {
  IPrintOemDriverPS* helper;
  PDEVOBJ pdevobj;
};

bool writeJobHeader(const JobWriteContext& job);        // PJL job header
bool writeJobTrailer(const JobWriteContext& job);       // PJL end of job
bool writePrologResources(const JobWriteContext& job);  // PostScript resource files
bool writePageSetupValues(const JobWriteContext& job);  // globaldict page-setup values
bool writeWatermarkSetup(const JobWriteContext& job);   // watermark initialisation
bool writeWatermarkPage(const JobWriteContext& job);    // per-page watermark call
bool writeOverlayForms(const JobWriteContext& job);     // overlay form block
bool writePageNumber(const JobWriteContext& job, std::uint32_t page);  // the page's own number

// True when the document gets the overlay form block: overlays in use, and not EPS output.
bool overlayFormsInUse(PDEVOBJ pdevobj);

}  // namespace vex
