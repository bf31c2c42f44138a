// Plays the UI plug-in's side of the printing-application channel for a job: the mutex is
// created owned, the 122-byte section receives the name, the mutex is released, and both stay
// open as long as the producer lives (as in the printing application's process).
#pragma once

#include <windows.h>

#include <string>

namespace vex {

class ApplicationNameProducer {
 public:
  ApplicationNameProducer() = default;
  ~ApplicationNameProducer();
  ApplicationNameProducer(const ApplicationNameProducer&) = delete;
  ApplicationNameProducer& operator=(const ApplicationNameProducer&) = delete;

  // `bytes` are written into the section as they are (at most 122); `release` false keeps the
  // mutex owned for good, as a stuck or hostile holder would. False with a message on failure.
  bool publish(const std::wstring& printerName, const std::wstring& shareName, bool shared,
               DWORD jobId, const std::string& bytes, bool release, std::wstring* error);

  // The application name as the section holds it: UTF-16LE with its terminator.
  static std::string sectionBytes(const std::wstring& applicationName);

 private:
  HANDLE mutex_ = nullptr;
  HANDLE section_ = nullptr;
};

}  // namespace vex
