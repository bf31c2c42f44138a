// The spooler side of a job: the printer handle, the document written into the output file,
// and the path that writes straight to the spooler (no plug-in).
#pragma once

#include <windows.h>

#include <string>

#include "document_writer.h"

namespace vex::host {

class PrinterHandle {
 public:
  explicit PrinterHandle(const std::wstring& name);  // throws HostFailure (spooler)
  ~PrinterHandle();
  PrinterHandle(const PrinterHandle&) = delete;
  PrinterHandle& operator=(const PrinterHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// StartDocPrinterW (level 1, datatype RAW) into an output file; EndDocPrinter at end() or, after
// a failure, in the destructor.
class SpoolerDocument {
 public:
  SpoolerDocument(HANDLE printer, const std::wstring& name, const std::wstring& outputFile);
  ~SpoolerDocument();
  SpoolerDocument(const SpoolerDocument&) = delete;
  SpoolerDocument& operator=(const SpoolerDocument&) = delete;
  DWORD jobId() const { return jobId_; }
  void end();  // throws HostFailure (spooler)

 private:
  HANDLE printer_;
  DWORD jobId_ = 0;
  bool open_ = false;
};

// Output without a plug-in: the driver's own WritePrinter calls; injection points and page
// calls do nothing.
class DirectTarget final : public PrintTarget {
 public:
  explicit DirectTarget(HANDLE printer) : printer_(printer) {}
  void write(const char* data, std::size_t size) override;
  void inject(DWORD) override {}
  void startPage() override {}
  void textOut() override {}
  void sendPage() override {}
  std::uint64_t bytes() const { return bytes_; }

 private:
  HANDLE printer_;
  std::uint64_t bytes_ = 0;
};

}  // namespace vex::host
