// Checks a driver package folder against its INF, read with the system's own INF parser:
//   inf-check PACKAGE_DIR VERSION
// The INF must parse; every model must install, for x86 and for x64, each file that its
// configuration file's model section and the plug-in INI file's "DependentFiles" name; every
// file the INF copies must be in the package, binaries of the architecture's word size; the
// package holds nothing else; and the INF's DriverVer, the version file's DriverVer and the
// binaries' version resources all carry VERSION. Prints one line per fault; exit 1 on any.
#include <windows.h>
// After windows.h, which declares its types.
#include <setupapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> faults;

std::string utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
  }
  return out;
}

void fault(const std::wstring& what) {
  faults.push_back(what);
  std::fprintf(stderr, "inf-check: %s\n", utf8(what).c_str());
}

std::wstring lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool endsWith(const std::wstring& name, const wchar_t* suffix) {
  const std::wstring s = suffix;
  return name.size() >= s.size() && lower(name.substr(name.size() - s.size())) == s;
}

bool isBinary(const std::wstring& name) {
  return endsWith(name, L".dll") || endsWith(name, L".exe");
}

struct Architecture {
  const wchar_t* decoration;  // of the models sections
  const wchar_t* platform;    // of SourceDisksNames and SourceDisksFiles
  WORD machine;               // of its binaries' file header
};
constexpr Architecture kArchitectures[] = {{L"NTx86", L"x86", IMAGE_FILE_MACHINE_I386},
                                           {L"NTamd64", L"amd64", IMAGE_FILE_MACHINE_AMD64}};

// One INF line: its key (empty when it has none) and its fields from 1 on.
struct InfLine {
  std::wstring key;
  std::vector<std::wstring> fields;
};

class Inf {
 public:
  explicit Inf(HINF handle) : handle_(handle) {}
  ~Inf() { SetupCloseInfFile(handle_); }
  Inf(const Inf&) = delete;
  Inf& operator=(const Inf&) = delete;

  bool hasSection(const std::wstring& section) const {
    return SetupGetLineCountW(handle_, section.c_str()) >= 0;
  }

  std::vector<InfLine> lines(const std::wstring& section) const {
    std::vector<InfLine> result;
    const LONG count = SetupGetLineCountW(handle_, section.c_str());
    for (LONG i = 0; i < count; ++i) {
      INFCONTEXT context;
      if (!SetupGetLineByIndexW(handle_, section.c_str(), i, &context)) break;
      InfLine line;
      line.key = field(context, 0);
      const DWORD fields = SetupGetFieldCount(&context);
      for (DWORD f = 1; f <= fields; ++f) line.fields.push_back(field(context, f));
      result.push_back(std::move(line));
    }
    return result;
  }

  // The first field of the line with this key, if the section has one.
  std::optional<std::wstring> value(const std::wstring& section, const std::wstring& key) const {
    for (const InfLine& line : lines(section)) {
      if (lower(line.key) == lower(key)) {
        return line.fields.empty() ? std::wstring() : line.fields[0];
      }
    }
    return std::nullopt;
  }

 private:
  static std::wstring field(INFCONTEXT& context, DWORD index) {
    DWORD needed = 0;
    if (!SetupGetStringFieldW(&context, index, nullptr, 0, &needed) || needed == 0) return {};
    std::wstring text(needed, L'\0');
    if (!SetupGetStringFieldW(&context, index, text.data(), needed, &needed)) return {};
    text.resize(needed > 0 ? needed - 1 : 0);
    return text;
  }

  HINF handle_;
};

// Profile (INI) reads through the system's reader, as the plug-ins read these files.
std::vector<std::wstring> profileList(const std::wstring& file, const wchar_t* section) {
  for (DWORD size = 4096; size <= (1u << 20); size *= 4) {
    std::vector<wchar_t> buffer(size, L'\0');
    DWORD got = GetPrivateProfileStringW(section, nullptr, L"", buffer.data(), size, file.c_str());
    if (got + 2 >= size) continue;  // cut: read again with more room
    std::vector<std::wstring> names;
    for (const wchar_t* p = buffer.data(); *p != L'\0'; p += wcslen(p) + 1) names.push_back(p);
    return names;
  }
  fault(L"section [" + std::wstring(section ? section : L"") + L"] of " + file + L" is too long");
  return {};
}

std::wstring profileValue(const std::wstring& file, const std::wstring& section,
                          const std::wstring& key) {
  std::vector<wchar_t> buffer(2048, L'\0');
  GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(),
                           static_cast<DWORD>(buffer.size()), file.c_str());
  return buffer.data();
}

// Model-section keys whose values are settings, not files of the package.
struct NotAFile {
  const wchar_t* key;
  const wchar_t* why;
};
constexpr NotAFile kNotFiles[] = {
    {L"AskVexURL", L"an address"},
    {L"TabLinkName", L"the link's text"},
    {L"SwatchRegPath", L"a registry path"},
    {L"CardFile", L"the simulated reader's card: it exists only while a card is inserted"},
};

// Keys that name files or libraries; besides these, any value that is a bare file name with an
// extension counts, so that a key a model adds is not overlooked.
constexpr const wchar_t* kFileKeys[] = {L"JobInfoDll", L"CryptoDll", L"CARD_DLL",  L"NetExtDLL",
                                        L"USBExtDLL",  L"USBExtDAT", L"AskVexRES", L"CCMInfoFile",
                                        L"COLORAPEXE", L"RelayExe"};

bool looksLikeFileName(const std::wstring& value) {
  if (value.empty() || value.find_first_of(L"\\/:*?\"<>| \t") != std::wstring::npos) return false;
  const std::size_t dot = value.rfind(L'.');
  if (dot == std::wstring::npos || dot == 0 || value.size() - dot - 1 < 1 ||
      value.size() - dot - 1 > 4 || !std::iswalpha(value[dot + 1])) {
    return false;
  }
  for (std::size_t i = dot + 1; i < value.size(); ++i) {
    if (!std::iswalnum(value[i])) return false;
  }
  return true;
}

bool namesFile(const std::wstring& key, const std::wstring& value) {
  if (value.empty()) return false;
  for (const NotAFile& setting : kNotFiles) {
    if (lower(key) == lower(setting.key)) return false;
  }
  for (const wchar_t* fileKey : kFileKeys) {
    if (lower(key) == lower(fileKey)) return true;
  }
  return looksLikeFileName(value);
}

std::optional<WORD> machineOf(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  unsigned char head[4096] = {};
  DWORD got = 0;
  const BOOL read = ReadFile(file, head, sizeof(head), &got, nullptr);
  CloseHandle(file);
  if (!read || got < 0x40 || head[0] != 'M' || head[1] != 'Z') return std::nullopt;
  const DWORD pe =
      head[0x3C] | head[0x3D] << 8 | head[0x3E] << 16 | static_cast<DWORD>(head[0x3F]) << 24;
  if (pe > got - 6 || std::memcmp(head + pe, "PE\0\0", 4) != 0) return std::nullopt;
  return static_cast<WORD>(head[pe + 4] | head[pe + 5] << 8);
}

// "a.b.c.d" with one to four numbers of at most five digits; missing numbers are 0.
std::optional<std::vector<unsigned>> parseVersion(const std::wstring& text) {
  std::vector<unsigned> parts;
  std::size_t at = 0;
  for (;;) {
    const std::size_t end = text.find(L'.', at);
    const std::wstring part = text.substr(at, end == std::wstring::npos ? end : end - at);
    if (parts.size() == 4 || part.empty() || part.size() > 5 ||
        part.find_first_not_of(L"0123456789") != std::wstring::npos) {
      return std::nullopt;
    }
    parts.push_back(static_cast<unsigned>(std::stoul(part)));
    if (end == std::wstring::npos) break;
    at = end + 1;
  }
  parts.resize(4, 0);
  return parts;
}

std::wstring versionText(const std::vector<unsigned>& v) {
  return std::to_wstring(v[0]) + L"." + std::to_wstring(v[1]) + L"." + std::to_wstring(v[2]) +
         L"." + std::to_wstring(v[3]);
}

// The binary's version resource carries the expected version; faults name the binary as shown.
void checkBinaryVersion(const std::wstring& path, const std::wstring& shown,
                        const std::vector<unsigned>& expected) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<unsigned char> block(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data()) ||
      !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return fault(shown + L" has no version resource");
  }
  const std::vector<unsigned> fixed = {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                                       HIWORD(info->dwFileVersionLS),
                                       LOWORD(info->dwFileVersionLS)};
  if (fixed != expected) {
    fault(shown + L" has FILEVERSION " + versionText(fixed) + L", not " + versionText(expected));
  }
  struct Translation {
    WORD language, codePage;
  }* translations = nullptr;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof(Translation)) {
    return fault(shown + L" has no version translation");
  }
  wchar_t query[64];
  swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translations->language,
           translations->codePage);
  wchar_t* text = nullptr;
  if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &length) || !text) {
    return fault(shown + L" has no \"FileVersion\" text");
  }
  auto parsed = parseVersion(text);
  if (!parsed || *parsed != expected) {
    fault(shown + L" has \"FileVersion\" \"" + text + L"\", not " + versionText(expected));
  }
}

std::wstring join(const std::wstring& dir, const std::wstring& name) {
  if (name.empty()) return dir;
  return dir + L"\\" + name;
}

// Every file below dir, as paths relative to the package in lower case.
void listFiles(const std::wstring& root, const std::wstring& relative,
               std::set<std::wstring>& out) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(join(join(root, relative), L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      listFiles(root, path, out);
    } else {
      out.insert(lower(path));
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

struct Model {
  std::wstring installSection;
  std::map<std::wstring, std::wstring> copies;  // lower-case name -> name as the INF writes it
  std::wstring dataFile;
};

class PackageCheck {
 public:
  PackageCheck(const Inf& inf, std::wstring dir, std::vector<unsigned> version)
      : inf_(inf), dir_(std::move(dir)), version_(std::move(version)) {}

  void run() {
    const std::wstring signature = inf_.value(L"Version", L"Signature").value_or(L"");
    if (lower(signature) != L"$windows nt$")
      fault(L"[Version] Signature is \"" + signature + L"\"");
    if (lower(inf_.value(L"Version", L"Class").value_or(L"")) != L"printer") {
      fault(L"[Version] Class is not Printer");
    }
    for (const Architecture& arch : kArchitectures) checkArchitecture(arch);
    checkNothingElse();
    checkDriverVersion();
  }

 private:
  void checkArchitecture(const Architecture& arch) {
    std::map<std::wstring, Model> models = readModels(arch);
    if (models.empty()) fault(std::wstring(L"no model for ") + arch.decoration);
    for (auto& [name, model] : models) {
      for (const auto& [key, file] : model.copies) placeFile(arch, name, file);
      if (model.dataFile.empty() || !model.copies.count(lower(model.dataFile))) {
        fault(L"\"" + name + L"\" (" + arch.decoration + L") does not copy its DataFile \"" +
              model.dataFile + L"\"");
      }
      checkConfiguration(arch, name, model);
    }
    checkCapabilityNames(arch, models);
  }

  std::map<std::wstring, Model> readModels(const Architecture& arch) {
    std::map<std::wstring, Model> models;
    for (const InfLine& maker : inf_.lines(L"Manufacturer")) {
      if (maker.fields.empty()) continue;
      bool decorated = false;
      for (std::size_t i = 1; i < maker.fields.size(); ++i) {
        decorated = decorated || lower(maker.fields[i]) == lower(arch.decoration);
      }
      const std::wstring section = maker.fields[0] + L"." + arch.decoration;
      if (!decorated || !inf_.hasSection(section)) {
        fault(L"[Manufacturer] " + maker.key + L" has no models section " + section);
        continue;
      }
      for (const InfLine& line : inf_.lines(section)) {
        if (line.fields.empty()) continue;
        Model model;
        model.installSection = line.fields[0];
        if (!inf_.hasSection(model.installSection)) {
          fault(L"\"" + line.key + L"\": no install section [" + model.installSection + L"]");
        }
        for (const InfLine& directive : inf_.lines(model.installSection)) {
          if (lower(directive.key) == L"datafile" && !directive.fields.empty()) {
            model.dataFile = directive.fields[0];
          }
          if (lower(directive.key) != L"copyfiles") continue;
          for (const std::wstring& list : directive.fields) addCopies(list, model);
        }
        models[line.key] = std::move(model);
      }
    }
    return models;
  }

  void addCopies(const std::wstring& list, Model& model) {
    if (list.empty()) return;
    if (list[0] == L'@') {
      model.copies[lower(list.substr(1))] = list.substr(1);
      return;
    }
    if (!inf_.hasSection(list)) return fault(L"CopyFiles names a missing section [" + list + L"]");
    for (const InfLine& line : inf_.lines(list)) {
      const std::wstring name = !line.fields.empty() ? line.fields[0] : line.key;
      if (!name.empty()) model.copies[lower(name)] = name;
    }
  }

  // Where a copied file comes from: the folder of its disk for this architecture.
  std::optional<std::wstring> sourceFolder(const Architecture& arch, const std::wstring& file) {
    std::optional<std::wstring> disk =
        inf_.value(std::wstring(L"SourceDisksFiles.") + arch.platform, file);
    if (!disk) disk = inf_.value(L"SourceDisksFiles", file);
    if (!disk) return std::nullopt;
    for (const wchar_t* names : {L"SourceDisksNames.", L"SourceDisksNames"}) {
      const std::wstring section =
          std::wstring(names) + (names[wcslen(names) - 1] == L'.' ? arch.platform : L"");
      for (const InfLine& line : inf_.lines(section)) {
        if (line.key != *disk) continue;
        std::wstring folder = line.fields.size() >= 4 ? line.fields[3] : L"";
        while (!folder.empty() && folder[0] == L'\\') folder.erase(0, 1);
        return folder;
      }
    }
    return std::nullopt;
  }

  void placeFile(const Architecture& arch, const std::wstring& model, const std::wstring& file) {
    const std::optional<std::wstring> folder = sourceFolder(arch, file);
    if (!folder) {
      return fault(file + L" (" + arch.platform + L") has no source disk in [SourceDisksFiles]");
    }
    const std::wstring relative = folder->empty() ? file : *folder + L"\\" + file;
    if (!expected_.insert(lower(relative)).second) return;  // checked for another model
    const std::wstring path = join(dir_, relative);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      return fault(L"\"" + model + L"\" copies " + relative + L", which the package lacks");
    }
    if (!isBinary(file)) return;
    const std::optional<WORD> machine = machineOf(path);
    if (!machine || *machine != arch.machine) {
      fault(relative + L" is not a binary for " + arch.platform);
    }
    checkBinaryVersion(path, relative, version_);
  }

  std::wstring packagePath(const Architecture& arch, const std::wstring& file) {
    const std::optional<std::wstring> folder = sourceFolder(arch, file);
    return join(join(dir_, folder.value_or(L"")), file);
  }

  // The configuration file and the plug-in INI file that this model installs, and the files
  // they name.
  void checkConfiguration(const Architecture& arch, const std::wstring& name, const Model& model) {
    std::wstring cap, ini, ver;
    for (const auto& [key, file] : model.copies) {
      if (endsWith(key, L".cap")) cap = packagePath(arch, file);
      if (endsWith(key, L".ver")) ver = packagePath(arch, file);
      if (endsWith(key, L".ini") &&
          !profileValue(packagePath(arch, file), L"OEMFiles", L"OEMConfigFile1").empty()) {
        ini = packagePath(arch, file);
      }
    }
    const std::wstring who = L"\"" + name + L"\" (" + arch.decoration + L")";
    auto need = [&](const std::wstring& what, const std::wstring& file) {
      if (!model.copies.count(lower(file))) {
        fault(what + L" names " + file + L", which " + who + L" does not copy");
      }
    };
    if (ini.empty()) {
      fault(who + L" copies no plug-in INI file with [OEMFiles] OEMConfigFile1");
    } else {
      for (const std::wstring& key : profileList(ini, L"OEMFiles")) {
        need(L"[OEMFiles] " + key, profileValue(ini, L"OEMFiles", key));
      }
      for (const std::wstring& key : profileList(ini, L"DependentFiles")) {
        const std::wstring value = profileValue(ini, L"DependentFiles", key);
        if (!value.empty()) need(L"[DependentFiles] " + key, value);
      }
    }
    if (ver.empty()) fault(who + L" copies no version file (.ver)");
    versionFiles_.insert(ver);
    if (cap.empty()) return fault(who + L" copies no configuration file (.cap)");
    const std::wstring section = profileValue(cap, L"Capability", name);
    if (section.empty()) return fault(L"[Capability] has no model section for \"" + name + L"\"");
    capabilityFiles_.insert(cap);
    for (const std::wstring& key : profileList(cap, section.c_str())) {
      const std::wstring value = profileValue(cap, section, key);
      if (namesFile(key, value)) need(L"[" + section + L"] " + key, value);
    }
  }

  // Every driver name of the configuration files is a model of the INF.
  void checkCapabilityNames(const Architecture& arch, const std::map<std::wstring, Model>& models) {
    for (const std::wstring& cap : capabilityFiles_) {
      for (const std::wstring& driver : profileList(cap, L"Capability")) {
        if (!models.count(driver)) {
          fault(L"[Capability] names \"" + driver + L"\", which has no " + arch.decoration +
                L" model in the INF");
        }
      }
    }
  }

  void checkNothingElse() {
    std::set<std::wstring> present;
    listFiles(dir_, L"", present);
    for (const std::wstring& file : present) {
      if (!expected_.count(file) && !endsWith(file, L".inf")) {
        fault(file + L" is in the package but the INF does not copy it");
      }
    }
  }

  void checkDriverVersion() {
    const std::optional<std::wstring> date = inf_.value(L"Version", L"DriverVer");
    std::wstring number;
    for (const InfLine& line : inf_.lines(L"Version")) {
      if (lower(line.key) == L"driverver" && line.fields.size() >= 2) number = line.fields[1];
    }
    const std::wstring driverVer = date.value_or(L"") + L"," + number;
    const auto parsed = parseVersion(number);
    if (!parsed || *parsed != version_) {
      fault(L"[Version] DriverVer \"" + driverVer + L"\" does not carry " + versionText(version_));
    }
    for (const std::wstring& ver : versionFiles_) {
      if (ver.empty()) continue;
      const std::wstring own = profileValue(ver, L"Version", L"DriverVer");
      if (own != driverVer) {
        fault(ver + L" has DriverVer \"" + own + L"\", the INF \"" + driverVer + L"\"");
      }
    }
  }

  const Inf& inf_;
  std::wstring dir_;
  std::vector<unsigned> version_;
  std::set<std::wstring> expected_;
  std::set<std::wstring> capabilityFiles_;
  std::set<std::wstring> versionFiles_;
};

std::optional<std::wstring> findInf(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(join(dir, L"*.inf").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return std::nullopt;
  std::wstring name = found.cFileName;
  const bool more = FindNextFileW(find, &found);
  FindClose(find);
  if (more) return std::nullopt;
  return join(dir, name);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: inf-check PACKAGE_DIR VERSION\n");
    return 2;
  }
  const std::wstring dir = argv[1];
  const auto version = parseVersion(argv[2]);
  if (!version) {
    std::fprintf(stderr, "inf-check: \"%s\" is not a version\n", utf8(argv[2]).c_str());
    return 2;
  }
  const std::optional<std::wstring> path = findInf(dir);
  if (!path) {
    fault(L"the package root holds no INF file or more than one");
    return 1;
  }
  UINT errorLine = 0;
  HINF handle = SetupOpenInfFileW(path->c_str(), nullptr, INF_STYLE_WIN4, &errorLine);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    wchar_t hex[16];
    swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(code));
    fault(*path + L" does not parse: error " + hex + L" at line " + std::to_wstring(errorLine));
    return 1;
  }
  Inf inf(handle);
  PackageCheck(inf, dir, *version).run();
  if (faults.empty()) std::printf("inf-check: the package and its INF agree\n");
  return faults.empty() ? 0 : 1;
}
