#include "spooler_job.h"

#include <winspool.h>

#include "host_files.h"
#include "report.h"

namespace vex::host {

PrinterHandle::PrinterHandle(const std::wstring& name) {
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
  if (!OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &handle_, &defaults)) {
    handle_ = nullptr;
    failWith(ExitCode::kSpooler,
             L"OpenPrinterW(\"" + name + L"\"): " + win32ErrorText(GetLastError()));
  }
}

PrinterHandle::~PrinterHandle() {
  if (handle_) ClosePrinter(handle_);
}

SpoolerDocument::SpoolerDocument(HANDLE printer, const std::wstring& name,
                                 const std::wstring& outputFile)
    : printer_(printer) {
  DOC_INFO_1W info{};
  info.pDocName = const_cast<wchar_t*>(name.c_str());
  info.pOutputFile = const_cast<wchar_t*>(outputFile.c_str());
  info.pDatatype = const_cast<wchar_t*>(L"RAW");
  jobId_ = StartDocPrinterW(printer_, 1, reinterpret_cast<BYTE*>(&info));
  if (jobId_ == 0) {
    failWith(ExitCode::kSpooler,
             L"StartDocPrinterW(output " + outputFile + L"): " + win32ErrorText(GetLastError()));
  }
  open_ = true;
}

SpoolerDocument::~SpoolerDocument() {
  if (open_) EndDocPrinter(printer_);
}

void SpoolerDocument::end() {
  open_ = false;
  if (!EndDocPrinter(printer_)) {
    failWith(ExitCode::kSpooler, L"EndDocPrinter: " + win32ErrorText(GetLastError()));
  }
}

void DirectTarget::write(const char* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    DWORD want = static_cast<DWORD>(size > 0x10000000 ? 0x10000000 : size);
    if (!WritePrinter(printer_, const_cast<char*>(data), want, &written) || written == 0) {
      failWith(ExitCode::kSpooler, L"WritePrinter: " + win32ErrorText(GetLastError()));
    }
    data += written;
    size -= written;
    bytes_ += written;
  }
}

}  // namespace vex::host
