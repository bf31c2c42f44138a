#include "producer.h"

#include <cstdio>
#include <vector>

#include "report.h"

namespace vex::host {
namespace {

std::wstring hex8(DWORD value) {
  wchar_t text[9];
  std::swprintf(text, 9, L"%08x", static_cast<unsigned>(value));
  return text;
}

std::wstring replaceAll(std::wstring text, const std::wstring& what, const std::wstring& with) {
  for (std::size_t at = text.find(what); at != std::wstring::npos;
       at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

}  // namespace

std::wstring JobProducer::readyEventName(DWORD jobId) {
  return L"Local\\VexProducerReady" + hex8(jobId);
}

JobProducer::JobProducer(const JobDescription& job, DWORD jobId) {
  const DocumentSettings& document = job.document;
  if (document.application) {
    local_ = std::make_unique<ApplicationNameProducer>();
    std::wstring error;
    if (!local_->publish(job.printer.printerName, job.printer.shareName, job.printer.shared, jobId,
                         ApplicationNameProducer::sectionBytes(*document.application), true,
                         &error)) {
      failWith(ExitCode::kSpooler, L"application name not published: " + error);
    }
  }
  if (document.producer.empty()) return;
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, readyEventName(jobId).c_str());
  std::wstring command = replaceAll(document.producer, L"%JOBID%", std::to_wstring(jobId));
  command = replaceAll(command, L"%JOBHEX%", hex8(jobId));
  std::vector<wchar_t> line(command.begin(), command.end());
  line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &info)) {
    if (ready) CloseHandle(ready);
    failWith(ExitCode::kBadInput, L"[Document] Producer: cannot start \"" + command +
                                      L"\", error " + std::to_wstring(GetLastError()));
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  if (document.producerReadySeconds > 0 && ready != nullptr) {
    const DWORD waited =
        WaitForSingleObject(ready, static_cast<DWORD>(document.producerReadySeconds) * 1000);
    CloseHandle(ready);
    if (waited != WAIT_OBJECT_0) {
      failWith(ExitCode::kBadInput, L"[Document] Producer did not signal " +
                                        readyEventName(jobId) + L" in time");
    }
  } else if (ready != nullptr) {
    CloseHandle(ready);
  }
}

JobProducer::~JobProducer() {
  if (process_ != nullptr) {
    // A program that has delivered (the relay) ends by itself; one that holds the channel's
    // objects lives until the job is done, like the printing application.
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 0);
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
  }
}

}  // namespace vex::host
