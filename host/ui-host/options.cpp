#include "options.h"

#include <cwchar>

namespace vex::uihost {
namespace {

[[noreturn]] void usage(const std::wstring& problem) { throw UsageError{problem}; }

std::uint32_t number(const std::wstring& text, const wchar_t* what, std::uint32_t max) {
  if (text.empty() || text.size() > 10 ||
      text.find_first_not_of(L"0123456789") != std::wstring::npos) {
    usage(std::wstring(what) + L" needs a decimal number");
  }
  const unsigned long long value = std::wcstoull(text.c_str(), nullptr, 10);
  if (value > max) usage(std::wstring(what) + L" is at most " + std::to_wstring(max));
  return static_cast<std::uint32_t>(value);
}

std::pair<std::wstring, std::wstring> keyValue(const std::wstring& text, const wchar_t* what) {
  const std::size_t eq = text.find(L'=');
  if (eq == std::wstring::npos || eq == 0) usage(std::wstring(what) + L" needs KEY=VALUE");
  return {text.substr(0, eq), text.substr(eq + 1)};
}

std::string ascii(const std::wstring& text, const wchar_t* what) {
  std::string out;
  for (wchar_t c : text) {
    if (c < 0x21 || c > 0x7E) usage(std::wstring(what) + L": field names are plain ASCII");
    out.push_back(static_cast<char>(c));
  }
  return out;
}

std::vector<std::wstring> commaList(const std::wstring& text) {
  std::vector<std::wstring> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(L',', start);
    std::wstring item = text.substr(start, comma == std::wstring::npos ? comma : comma - start);
    if (!item.empty()) items.push_back(item);
    if (comma == std::wstring::npos) return items;
    start = comma + 1;
  }
}

// ITEM=OPTION of the sheet commands: keywords or shown names, printable ASCII (blanks allowed).
std::pair<std::string, std::string> asciiPair(const std::wstring& text, const wchar_t* what) {
  const auto [key, value] = keyValue(text, what);
  const auto printable = [&](const std::wstring& part) {
    std::string out;
    for (wchar_t c : part) {
      if (c < 0x20 || c > 0x7E) usage(std::wstring(what) + L": names are printable ASCII");
      out.push_back(static_cast<char>(c));
    }
    return out;
  };
  if (value.empty()) usage(std::wstring(what) + L" needs an option after '='");
  return {printable(key), printable(value)};
}

// The options of docsheet and prnsheet (the record files only for the document sheet).
template <typename Value>
bool sheetOption(const std::wstring& arg, Value& value, Options& options) {
  const bool document = options.command == Command::DocSheet;
  if (arg == L"--show") {
    options.show = true;
  } else if (arg == L"--press") {
    const std::wstring press = value();
    if (press == L"apply") {
      options.press = SheetPress::Apply;
    } else if (press == L"ok") {
      options.press = SheetPress::Ok;
    } else if (press == L"cancel") {
      options.press = SheetPress::Cancel;
    } else {
      usage(L"--press takes apply, ok or cancel");
    }
  } else if (arg == L"--press-button") {
    options.pressButton = value();
    if (options.pressButton.empty()) usage(L"--press-button needs a name");
  } else if (arg == L"--page") {
    options.page = static_cast<int>(number(value(), L"--page", 64));
  } else if (arg == L"--select") {
    options.selects.push_back(asciiPair(value(), L"--select"));
  } else if (document && arg == L"--raw-select") {
    options.rawSelects.push_back(asciiPair(value(), L"--raw-select"));
  } else if (arg == L"--refuse") {
    options.refusals.push_back(asciiPair(value(), L"--refuse"));
  } else if (arg == L"--dump") {
    options.dumpPath = value();
  } else if (arg == L"--ppd") {
    options.ppdPath = value();
  } else if (arg == L"--screenshot-wait") {
    options.screenshotWaitMs = number(value(), L"--screenshot-wait", 600000);
  } else if (arg == L"--script") {
    options.scriptPath = value();
  } else if (arg == L"--dump-controls") {
    options.controlsPath = value();
  } else if (arg == L"--artifacts") {
    options.artifactsDir = value();
    if (options.artifactsDir.empty()) usage(L"--artifacts needs a folder");
  } else if (arg == L"--test-dialogs") {
    options.testDialogs = true;
  } else if (arg == L"--no-permission") {
    options.noPermission = true;
  } else if (document && arg == L"--driver-pages-only") {
    options.driverPagesOnly = true;
  } else if (document && arg == L"--layout") {
    options.layout = static_cast<int>(number(value(), L"--layout", 6));
  } else if (document && arg == L"--option") {
    auto setting = asciiPair(value(), L"--option");
    if (setting.first.size() > 40 || setting.second.size() > 255) {
      usage(L"--option: the keyword is at most 40 and the value at most 255 characters");
    }
    options.installable.push_back(std::move(setting));
  } else if (document && arg == L"--record") {
    options.recordPath = value();
  } else if (document && arg == L"--out-record") {
    options.outRecord = value();
  } else if (document && arg == L"--out-devmode") {
    options.outDevmode = value();
  } else {
    return false;
  }
  return true;
}

}  // namespace

Options parseOptions(int argc, wchar_t** argv) {
  Options options;
  bool haveCommand = false;
  bool haveJob = false;
  bool haveEvent = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i] != nullptr ? argv[i] : L"";
    auto value = [&]() -> std::wstring {
      if (i + 1 >= argc || argv[i + 1] == nullptr) usage(arg + L" needs a value");
      return argv[++i];
    };
    if (!haveCommand) {
      if (arg == L"--printer") {
        options.printerName = value();
      } else if (arg == L"--driver") {
        options.driverName = value();
      } else if (arg == L"--share") {
        options.shareName = value();
        if (options.shareName.empty()) usage(L"--share needs a name");
      } else if (arg == L"--model") {
        options.modelOverrides.push_back(keyValue(value(), L"--model"));
      } else if (arg == L"--files") {
        for (const std::wstring& file : commaList(value())) options.files.push_back(file);
      } else if (arg == L"--no-install") {
        options.install = false;
      } else if (arg == L"--plugin") {
        options.pluginPath = value();
      } else if (arg == L"defaults") {
        options.command = Command::Defaults;
        haveCommand = true;
      } else if (arg == L"record") {
        options.command = Command::Record;
        haveCommand = true;
      } else if (arg == L"startdoc") {
        options.command = Command::StartDoc;
        haveCommand = true;
      } else if (arg == L"queryfilter") {
        options.command = Command::QueryFilter;
        haveCommand = true;
      } else if (arg == L"docsheet") {
        options.command = Command::DocSheet;
        haveCommand = true;
      } else if (arg == L"prnsheet") {
        options.command = Command::PrnSheet;
        haveCommand = true;
      } else if (arg == L"printerevent") {
        options.command = Command::PrinterEvent;
        haveCommand = true;
      } else {
        usage(L"unknown option or command \"" + arg + L"\"");
      }
      continue;
    }
    const bool records = options.command == Command::Defaults || options.command == Command::Record;
    const bool sheet = options.command == Command::DocSheet || options.command == Command::PrnSheet;
    if (records && arg == L"--out") {
      options.outPath = value();
    } else if (options.command == Command::Record && arg == L"--in") {
      options.inPath = value();
    } else if (options.command == Command::Record && arg == L"--set") {
      auto [name, text] = keyValue(value(), L"--set");
      options.fields.emplace_back(ascii(name, L"--set"), text);
    } else if (options.command == Command::StartDoc && arg == L"--job") {
      options.jobId = number(value(), L"--job", 0xFFFFFFFFu);
      haveJob = true;
    } else if (options.command == Command::StartDoc && arg == L"--ready") {
      options.signalReady = true;
    } else if (options.command == Command::StartDoc && arg == L"--linger") {
      options.lingerSeconds = number(value(), L"--linger", 3600);
    } else if (options.command == Command::StartDoc && arg == L"--occupy-channel") {
      options.occupyChannel = true;
    } else if (options.command == Command::QueryFilter && arg == L"--allocated") {
      options.filterElements = number(value(), L"--allocated", 16);
    } else if (sheet && sheetOption(arg, value, options)) {
    } else if (options.command == Command::PrinterEvent && arg == L"--event") {
      options.event = number(value(), L"--event", 0x7FFFFFFF);
      haveEvent = true;
    } else if (options.command == Command::PrinterEvent && arg == L"--flags") {
      options.eventFlags = number(value(), L"--flags", 0xFFFFFFFFu);
    } else {
      usage(L"unknown argument \"" + arg + L"\" for this command");
    }
  }
  if (!haveCommand) usage(L"no command");
  if ((options.command == Command::Defaults || options.command == Command::Record) &&
      options.outPath.empty()) {
    usage(L"the command needs --out FILE");
  }
  if (options.command == Command::StartDoc && !haveJob) usage(L"startdoc needs --job ID");
  if (options.command == Command::PrinterEvent && !haveEvent)
    usage(L"printerevent needs --event N");
  return options;
}

}  // namespace vex::uihost
