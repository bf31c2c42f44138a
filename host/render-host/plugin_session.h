// The plug-in as the driver holds it: loaded, created through its class factory, given the
// driver's helper, asked for its private device mode, enabled, and driven through its hooks and
// injection points. One session serves any number of documents on one printer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "document_writer.h"
#include "driver_helper.h"
#include "job_file.h"
#include "report.h"

namespace vex::host {

class PluginSession {
 public:
  // Loads and enables the plug-in; throws HostFailure on a fatal failure.
  PluginSession(const std::wstring& pluginPath, HANDLE printer, const JobDescription& job,
                Outcome& outcome);
  ~PluginSession();
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  // Per document: the hooked DrvStartDoc and DrvEndDoc around the document's output.
  void startDoc(const std::wstring& documentName, DWORD jobId);
  void endDoc();
  PrintTarget& target() { return target_; }
  const OutputCounters& counters() const { return device_.counters; }
  // Copies every byte the plug-in injects into `file` as well (the file stays the caller's).
  void logInjectedTo(HANDLE file) { device_.injectedLog = file; }
  // Reports output that the plug-in's WritePrinter accepted without counting it, and resets the
  // counters for the next document.
  void checkOutput();

  // DisablePDEV, DisableDriver, the last Release and FreeLibrary, each checked.
  void close();

 private:
  class Target final : public PrintTarget {
   public:
    explicit Target(PluginSession& session) : session_(session) {}
    void write(const char* data, std::size_t size) override;
    void inject(DWORD index) override;
    void startPage() override;
    void textOut() override;
    void sendPage() override;

   private:
    PluginSession& session_;
  };

  void load(const std::wstring& pluginPath);
  void negotiateDevMode(const JobDescription& job);
  void enable(const JobDescription& job);
  HRESULT devModeCall(DWORD mode, void* in, void* out, DWORD* size);
  // Calls the plug-in's hook of `index` (or the driver's own entry point when it has none) and
  // checks that the call reached the driver with the same surface.
  template <typename Fn, typename... Args>
  void callDdi(ULONG index, const wchar_t* name, SURFOBJ* surface, Args... args);
  void teardown();

  Outcome& outcome_;
  HANDLE printer_;
  HMODULE module_ = nullptr;
  IPrintOemPS2* plugin_ = nullptr;
  DriverHelper helper_;
  HostDevice device_;
  DEVMODEW devMode_{};
  std::vector<std::uint8_t> publicDevMode_;  // DEVMODEW and the merged record behind it
  DRVENABLEDATA pluginFunctions_{};
  bool driverEnabled_ = false;
  bool pdevEnabled_ = false;
  DWORD signature_ = 0;
  SURFOBJ docSurface_{};
  SURFOBJ pageSurface_{};
  Target target_{*this};
};

}  // namespace vex::host
