// Exit codes and messages of the stand-in (the public contract in docs/render-host.md).
#pragma once

#include <string>

namespace vex::host {

// 5 and 9 are left out: shells see a crash (0xC0000005, 0xC0000409) as its low byte.
enum class ExitCode : int {
  kOk = 0,
  kInternal = 1,    // unexpected failure of the stand-in itself
  kBadInput = 2,    // command line or job file
  kSpooler = 3,     // installing the printer, or the spooler's job calls
  kPluginLoad = 4,  // the plug-in could not be loaded or created
  kPluginCall = 6,  // a plug-in method or hook failed or broke the driver's rules
  kInjection = 7,   // an injection point reported failure
  kOutput = 8,      // output through the plug-in failed or was not taken whole
};

// Ends the current step; caught in main.
struct HostFailure {
  ExitCode code;
  std::wstring message;
};

[[noreturn]] void failWith(ExitCode code, const std::wstring& message);

// Prints "render-host: <message>" on standard error, as UTF-8.
void printError(const std::wstring& message);
// Prints a line on standard output, as UTF-8.
void printLine(const std::wstring& message);

// Failures that do not stop the job: printed at once, the first one decides the exit code.
class Outcome {
 public:
  void report(ExitCode code, const std::wstring& message);
  int exitCode() const { return static_cast<int>(code_); }
  bool ok() const { return code_ == ExitCode::kOk; }

 private:
  ExitCode code_ = ExitCode::kOk;
};

// "0x80004005" for an HRESULT.
std::wstring hresultText(long hr);

std::string toUtf8(const std::wstring& text);

}  // namespace vex::host
