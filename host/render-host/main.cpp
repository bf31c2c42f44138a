// render-host.exe: the PostScript driver's rendering side, played for the rendering plug-in.
// See docs/render-host.md for the command line, the job file and the exit codes.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <optional>
#include <vector>

#include "command_line.h"
#include "devmode.h"
#include "document_writer.h"
#include "feature_code.h"
#include "host_files.h"
#include "job_file.h"
#include "plugin_session.h"
#include "printer_setup.h"
#include "producer.h"
#include "report.h"
#include "spooler_job.h"

namespace vex::host {
namespace {

constexpr int kBenchRounds = 7;

std::wstring fullPath(const std::wstring& path) {
  DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (length == 0) failWith(ExitCode::kBadInput, L"bad path \"" + path + L"\"");
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  full.resize(length);
  return full;
}

DocumentPlan planFor(const JobDescription& job, HANDLE printer) {
  DocumentPlan plan;
  plan.title = toAnsi(job.document.name);
  plan.pages = job.document.pages;
  plan.geometry = pageGeometry(job.devMode);
  plan.bodyPath = job.document.bodyPath ? &*job.document.bodyPath : nullptr;
  FeatureBlocks features = featureBlocks(printer, job.features);
  plan.documentFeatures = std::move(features.documentSetup);
  plan.pageFeatures = std::move(features.pageSetup);
  return plan;
}

std::wstring byteCount(std::uint64_t n) {
  return std::to_wstring(n) + (n == 1 ? L" byte" : L" bytes");
}
std::wstring pageCount(int n) { return std::to_wstring(n) + (n == 1 ? L" page" : L" pages"); }

int runJob(const CommandLine& line, const JobDescription& job) {
  Outcome outcome;
  const std::wstring outPath = fullPath(line.outPath);
  PrinterHandle printer(job.printer.printerName);
  const DocumentPlan plan = planFor(job, printer.get());
  if (line.noPlugin) {
    SpoolerDocument document(printer.get(), job.document.name, outPath);
    DirectTarget target(printer.get());
    writeDocument(plan, target);
    document.end();
    printLine(L"render-host: job " + std::to_wstring(document.jobId()) + L" written to " + outPath +
              L": " + pageCount(plan.pages) + L", " + byteCount(target.bytes()) + L", no plug-in");
    return outcome.exitCode();
  }
  const std::wstring pluginPath = line.pluginPath.empty()
                                      ? joinPath(programDirectory(), L"vexps.dll")
                                      : fullPath(line.pluginPath);
  PluginSession session(pluginPath, printer.get(), job, outcome);
  HANDLE injectedLog = nullptr;
  if (!line.injectedPath.empty()) {
    injectedLog = CreateFileW(fullPath(line.injectedPath).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (injectedLog == INVALID_HANDLE_VALUE) {
      failWith(ExitCode::kBadInput, L"--injected: cannot create " + line.injectedPath);
    }
    session.logInjectedTo(injectedLog);
  }
  SpoolerDocument document(printer.get(), job.document.name, outPath);
  const JobProducer producer(job, document.jobId());
  session.startDoc(job.document.name, document.jobId());
  writeDocument(plan, session.target());
  session.endDoc();
  document.end();
  const OutputCounters counters = session.counters();
  session.checkOutput();
  session.close();
  if (injectedLog != nullptr) CloseHandle(injectedLog);
  printLine(L"render-host: job " + std::to_wstring(document.jobId()) + L" written to " + outPath +
            L": " + pageCount(plan.pages) + L", " + byteCount(counters.documentBytes) +
            L" from the document, " + byteCount(counters.injectedBytes) +
            L" injected by the plug-in");
  return outcome.exitCode();
}

double secondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// Both paths in one run, each round timing both (the ratio is the median of the rounds' ratios,
// which pairs runs made under the same machine load): (a) the driver's own output straight to the
// spooler, (b) the same document through the plug-in.
int runBench(const CommandLine& line, const JobDescription& job) {
  Outcome outcome;
  const std::wstring outPath = fullPath(line.outPath);
  const std::wstring directPath = outPath + L".direct";
  PrinterHandle printer(job.printer.printerName);
  DocumentPlan plan = planFor(job, printer.get());
  plan.fillerBytes = *line.benchBytes;
  const std::wstring pluginPath = line.pluginPath.empty()
                                      ? joinPath(programDirectory(), L"vexps.dll")
                                      : fullPath(line.pluginPath);
  PluginSession session(pluginPath, printer.get(), job, outcome);
  auto timeDirect = [&] {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    SpoolerDocument document(printer.get(), job.document.name, directPath);
    DirectTarget target(printer.get());
    writeDocument(plan, target);
    document.end();
    return secondsSince(start);
  };
  auto timePlugin = [&] {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    SpoolerDocument document(printer.get(), job.document.name, outPath);
    const JobProducer producer(job, document.jobId());
    session.startDoc(job.document.name, document.jobId());
    writeDocument(plan, session.target());
    session.endDoc();
    document.end();
    double seconds = secondsSince(start);
    session.checkOutput();
    return seconds;
  };
  std::vector<double> directs, plugins, ratios;
  for (int round = 0; round < kBenchRounds; ++round) {
    // Alternating which one goes first evens out what one run leaves for the next.
    double direct, plugin;
    if (round % 2 == 0) {
      direct = timeDirect();
      plugin = timePlugin();
    } else {
      plugin = timePlugin();
      direct = timeDirect();
    }
    directs.push_back(direct);
    plugins.push_back(plugin);
    ratios.push_back(direct > 0 ? plugin / direct : 0.0);
  }
  session.close();
  wchar_t text[256];
  swprintf(text, 256,
           L"render-host: bench %llu bytes in %u-byte chunks, median of %d rounds: direct %.3f s, "
           L"through the plug-in %.3f s, ratio %.2f",
           static_cast<unsigned long long>(*line.benchBytes), static_cast<unsigned>(kChunkBytes),
           kBenchRounds, median(directs), median(plugins), median(ratios));
  printLine(text);
  return outcome.exitCode();
}

int run(int argc, wchar_t** argv) {
  try {
    const CommandLine line = parseCommandLine(argc, argv);
    JobDescription job = readJobFile(line.jobPath);
    job.mergeRecord = !line.noMerge;
    std::wstring error;
    if (!ensurePrinter(job.printer, &error)) {
      failWith(ExitCode::kSpooler,
               L"cannot install printer \"" + job.printer.printerName + L"\": " + error);
    }
    return line.benchBytes ? runBench(line, job) : runJob(line, job);
  } catch (const HostFailure& failure) {
    if (failure.code == ExitCode::kOk) {
      printLine(failure.message);
    } else {
      printError(failure.message);
    }
    return static_cast<int>(failure.code);
  } catch (const std::bad_alloc&) {
    printError(L"out of memory");
  } catch (const std::exception& e) {
    printError(L"unexpected failure: " + fromAnsi(e.what()));
  }
  return static_cast<int>(ExitCode::kInternal);
}

}  // namespace
}  // namespace vex::host

int wmain(int argc, wchar_t** argv) {
  // Messages are UTF-8 lines; no CR LF translation.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return vex::host::run(argc, argv);
}
