// Checks every dialog template of the plug-in DLLs named on the command line:
//   dialog_lint [--shots FOLDER] DLL...
// Each DLL is loaded as a data file (none of its code runs), each RT_DIALOG template is created
// hidden and checked (dialog_checks.h); with --shots, each dialog is also photographed into
// FOLDER\lint-<id>.png (lint-<id>-<language>.png when a dialog has several languages). Prints
// one line per finding and exits 1 on any finding, 2 on bad usage. Needs a display and the
// prefix's CJK font link.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialog_checks.h"
#include "lint_display.h"

namespace {

struct Template {
  std::wstring name;  // "301", or the string name; "301-0804" when 301 has several languages
  int id = 0;         // 0 for a string name
  const void* data = nullptr;
  DWORD size = 0;
};

struct Name {
  std::wstring text;
  int id = 0;
  LPCWSTR resource() const { return id != 0 ? MAKEINTRESOURCEW(id) : text.c_str(); }
};

BOOL CALLBACK collectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  Name n;
  if (IS_INTRESOURCE(name)) {
    n.id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    n.text = std::to_wstring(n.id);
  } else {
    n.text = name;
  }
  reinterpret_cast<std::vector<Name>*>(found)->push_back(std::move(n));
  return TRUE;
}

BOOL CALLBACK collectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
  return TRUE;
}

// Every RT_DIALOG template of the module, each language of a dialog on its own.
std::vector<Template> dialogTemplates(HMODULE module) {
  std::vector<Name> names;
  EnumResourceNamesW(module, RT_DIALOG, collectName, reinterpret_cast<LONG_PTR>(&names));
  std::vector<Template> templates;
  for (const Name& n : names) {
    std::vector<WORD> languages;
    EnumResourceLanguagesW(module, RT_DIALOG, n.resource(), collectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    for (WORD language : languages) {
      Template t;
      t.id = n.id;
      t.name = n.text;
      if (languages.size() > 1) {
        wchar_t suffix[8];
        swprintf(suffix, 8, L"-%04x", language);
        t.name += suffix;
      }
      HRSRC found = FindResourceExW(module, RT_DIALOG, n.resource(), language);
      HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
      t.data = loaded != nullptr ? LockResource(loaded) : nullptr;
      t.size = t.data != nullptr ? SizeofResource(module, found) : 0;
      templates.push_back(std::move(t));
    }
  }
  return templates;
}

std::wstring fileName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring shots;
  std::vector<std::wstring> dlls;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    if (arg == L"--shots" && i + 1 < argc) {
      shots = argv[++i];
    } else {
      dlls.push_back(arg);
    }
  }
  if (dlls.empty()) {
    vexlint::printLine(L"usage: dialog_lint [--shots FOLDER] DLL...");
    return 2;
  }
  if (!vexlint::haveDisplay()) {
    vexlint::printLine(L"FAIL: no DISPLAY; run under scripts/test or start Xvfb");
    return 1;
  }
  if (!vexlint::cjkFontLinked()) {
    vexlint::printLine(
        L"FAIL: the Wine prefix does not link \"MS Shell Dlg\" and Tahoma to a CJK "
        L"font: Chinese texts would be measured as boxes; run scripts/setup");
    return 1;
  }
  if (!vexlint::useOwnDesktop(L"vex-dialog-lint")) {
    vexlint::printLine(L"FAIL: no desktop of our own (error " + std::to_wstring(GetLastError()) +
                       L")");
    return 1;
  }
  if (!shots.empty()) CreateDirectoryW(shots.c_str(), nullptr);

  int findings = 0;
  int checked = 0;
  for (const std::wstring& dll : dlls) {
    std::wstring where = fileName(dll);
    std::unique_ptr<HINSTANCE__, decltype(&FreeLibrary)> loaded(
        LoadLibraryExW(dll.c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE),
        FreeLibrary);
    if (!loaded) {
      vexlint::printLine(L"FAIL " + where + L": cannot load (error " +
                         std::to_wstring(GetLastError()) + L")");
      ++findings;
      continue;
    }
    HMODULE module = loaded.get();
    std::vector<Template> templates = dialogTemplates(module);
    if (templates.empty()) {  // a DLL that lost its dialogs must not pass as clean
      vexlint::printLine(L"FAIL " + where + L": no dialog templates");
      ++findings;
    }
    for (const Template& t : templates) {
      std::wstring dialog = L"dialog " + t.name + L" in " + where;
      std::wstring shotFailure;
      std::function<void(HWND)> photograph;
      if (!shots.empty()) {
        photograph = [&](HWND window) {
          std::wstring path = shots + L"\\lint-" + t.name + L".png";
          if (vexlint::saveShot(window, path, shotFailure)) {
            vexlint::printLine(L"screenshot: " + path);
          }
        };
      }
      std::vector<vexlint::Finding> found =
          t.data == nullptr
              ? std::vector<vexlint::Finding>{{"create", {}, L"cannot load the template"}}
              : vexlint::lintTemplate(t.data, t.size, module, t.id, photograph);
      ++checked;
      for (const vexlint::Finding& f : found) {
        vexlint::printLine(L"FAIL " + dialog + L": " + std::wstring(f.rule.begin(), f.rule.end()) +
                           L": " + f.detail);
      }
      if (!shotFailure.empty()) {
        vexlint::printLine(L"FAIL " + dialog + L": screenshot: " + shotFailure);
        ++findings;
      }
      if (found.empty() && shotFailure.empty()) vexlint::printLine(L"ok " + dialog);
      findings += static_cast<int>(found.size());
    }
  }
  vexlint::printLine(std::to_wstring(checked) + L" dialogs checked, " + std::to_wstring(findings) +
                     L" findings");
  return findings == 0 ? 0 : 1;
}
