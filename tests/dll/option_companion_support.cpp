#include "option_companion_support.h"

#include <gtest/gtest.h>

#include "host_files.h"
#include "printer_setup.h"

namespace vex::test {

TempFolder::TempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  path_ = joinPath(temp, name);
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW((path_ + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(file(data.cFileName).c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(path_.c_str());
}

std::wstring companionIni(const wchar_t* iniName) { return joinPath(programDirectory(), iniName); }

SimulatedPrinter::SimulatedPrinter(const wchar_t* iniName, const std::wstring& printerName,
                                   const TempFolder& folder, const std::string& deviceText)
    : ini_(companionIni(iniName)), printer_(printerName) {
  // A file name of its own each time: the profile API caches files by name and notices a
  // rewritten file only by its time stamp, which two quick writes can share.
  static unsigned serial = 0;
  const std::wstring device = folder.file(L"device" + std::to_wstring(++serial) + L".ini");
  writeTextFile(device, deviceText);
  EXPECT_TRUE(
      WritePrivateProfileStringW(L"Printers", printer_.c_str(), device.c_str(), ini_.c_str()));
}

SimulatedPrinter::~SimulatedPrinter() {
  WritePrivateProfileStringW(L"Printers", printer_.c_str(), nullptr, ini_.c_str());
}

void writeTextFile(const std::wstring& path, const std::string& text) {
  bool written = false;
  DWORD code = 0;
  DeleteFileW(path.c_str());
  EXPECT_TRUE(writeFileIfDifferent(path, text, &written, &code)) << "error " << code;
}

std::string readTextFile(const std::wstring& path) {
  std::string bytes;
  DWORD code = 0;
  if (!readWholeFile(path, 1 << 20, &bytes, &code)) return {};
  return bytes;
}

DriverItems::DriverItems(const std::vector<const wchar_t*>& texts) {
  storage_.reserve(texts.size());
  for (const wchar_t* text : texts) {
    OPTPARAM param{};
    param.cbSize = sizeof(OPTPARAM);
    if (IS_INTRESOURCE(text)) {
      param.pData = const_cast<wchar_t*>(text);  // null, or a resource number: not a text
    } else {
      storage_.emplace_back(text);
      param.pData = storage_.back().data();
    }
    params_.push_back(param);
  }
  type_.cbSize = sizeof(OPTTYPE);
  type_.Type = TVOT_LISTBOX;
  type_.Count = static_cast<WORD>(params_.size());
  type_.pOptParam = params_.empty() ? nullptr : params_.data();
  items_.resize(3);
  for (OPTITEM& item : items_) item.cbSize = sizeof(OPTITEM);
  items_[0].UserItemID = 6;  // the tray item: not the memory item
  items_[0].pOptType = nullptr;
  items_[1].UserItemID = 7;
  items_[1].pOptType = &type_;
  items_[2].UserItemID = 7;  // a second memory item is not looked at
  items_[2].pOptType = nullptr;
}

OEMCUIPPARAM cuiParam(const wchar_t* printerName, DriverItems* items) {
  OEMCUIPPARAM param{};
  param.cbSize = sizeof(param);
  param.pPrinterName = const_cast<wchar_t*>(printerName);
  if (items != nullptr) {
    param.pDrvOptItems = items->items();
    param.cDrvOptItems = items->count();
  }
  return param;
}

}  // namespace vex::test
