// The UI plug-in's document event: it asks to be called right after each document has started,
// and then hands the printing application's name to the rendering plug-in, through a named
// section guarded by a named mutex, or through the relay program and a named pipe.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "document_event_rules.h"

namespace vex {

// Security of the channel's mutex and section. On platforms of major version 6 and later the
// descriptor carries the low mandatory label (no write-up), so that low-integrity processes can
// open the objects; earlier platforms get an empty descriptor. When any step fails the objects
// get default security (attributes() is null). The attributes are not inheritable.
class ChannelSecurity {
 public:
  explicit ChannelSecurity(bool osVersion6OrLater);
  ~ChannelSecurity();
  ChannelSecurity(const ChannelSecurity&) = delete;
  ChannelSecurity& operator=(const ChannelSecurity&) = delete;

  SECURITY_ATTRIBUTES* attributes() { return usable_ ? &attributes_ : nullptr; }

 private:
  SECURITY_DESCRIPTOR descriptor_{};
  PSECURITY_DESCRIPTOR converted_ = nullptr;  // owns the label ACL the descriptor points to
  SECURITY_ATTRIBUTES attributes_{};
  bool usable_ = false;
};

// The slot of IPrintOemUI2: always S_OK, whatever happens in the hand-off.
HRESULT uiDocumentEvent(HANDLE printer, INT escape, ULONG cbIn, PVOID pvIn, ULONG cbOut,
                        PVOID pvOut, PINT result);

// The name of the printing application from the job-information library that the printer's
// model names ("JobInfoDLL"); empty when there is no library or entry point.
std::wstring printingApplicationName(HANDLE printer);

// The chosen half of the library's buffer converted under the user's default locale (at most
// 60 characters); empty when it cannot be converted.
std::wstring applicationNameFromBuffer(
    const std::array<std::uint8_t, kApplicationBufferSize>& buffer);

// What the printer and the job look like to the hand-off; false when the printer cannot be read.
bool readHandOffPrinter(HANDLE printer, DWORD jobId, HandOffPrinter* facts);

// The shared-memory path: true when the section holds the name and the mutex is released. The
// mutex and section handles stay open on success, so the objects live as long as the process.
bool publishApplicationName(const HandOffPrinter& printer, DWORD jobId, const std::wstring& name);

// The relay path: starts the program that "COLORAPEXE" names with the name and pipe; true when
// the program was started.
bool startRelayProgram(HANDLE printer, const HandOffPrinter& facts, DWORD jobId,
                       const std::wstring& name);

// STARTDOCPOST for the printer and job.
void handOffApplicationName(HANDLE printer, DWORD jobId);

}  // namespace vex
