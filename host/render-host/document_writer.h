// Writes the application's document as the PostScript driver renders it: DSC-conforming
// PostScript, with the plug-in's injection points where the driver calls them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "devmode.h"

namespace vex::host {

// Where the driver's output and calls go: the plug-in, or the spooler directly.
class PrintTarget {
 public:
  virtual ~PrintTarget() = default;
  // Writes all bytes or throws HostFailure.
  virtual void write(const char* data, std::size_t size) = 0;
  // Command at a PSINJECT_ point.
  virtual void inject(DWORD index) = 0;
  // The graphics calls of one page: DrvStartPage, DrvTextOut, DrvSendPage.
  virtual void startPage() = 0;
  virtual void textOut() = 0;
  virtual void sendPage() = 0;
};

inline constexpr std::size_t kChunkBytes = 4096;

struct DocumentPlan {
  std::string title;  // ANSI; cleaned before it is written
  int pages = 1;
  PageGeometry geometry;
  const std::wstring* bodyPath = nullptr;  // file written on every page; null: the built-in page
  std::uint64_t fillerBytes = 0;           // when non-zero: one page of this many bytes of comments
  // The features' code with its DSC comments: once after the plug-in's PSINJECT_BEGINSETUP, and
  // on every page right after %%BeginPageSetup.
  std::string documentFeatures;
  std::string pageFeatures;
};

void writeDocument(const DocumentPlan& plan, PrintTarget& target);

}  // namespace vex::host
