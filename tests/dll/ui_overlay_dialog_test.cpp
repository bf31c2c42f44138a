// The overlay dialog and the overlay store on a real plug-in INI file through the profile API:
// what a user without write permission and one without permission to change the settings see
// and what OK leaves behind, the commit of the sheet's Apply with its report to the sheet, and
// a hostile INI file read within the slots. The dialogs' resources come from vexui.dll (loaded
// as a data file); the dialog is driven from a timer of its own modal loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "driver_tree_support.h"
#include "overlay_dialog.h"
#include "overlay_profile.h"
#include "private_settings.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"

namespace {

using vex::test::DriverTree;
using vex::test::TreeItem;

bool haveDisplay() {
  wchar_t display[8] = L"";
  return GetEnvironmentVariableW(L"DISPLAY", display, 8) > 0 || std::getenv("DISPLAY") != nullptr;
}

// The plug-in's resources and the process-wide flags this test changes, restored afterwards.
class PluginResources {
 public:
  PluginResources() : module_(LoadLibraryExW(L"vexui.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    saved_ = vex::uiModuleState().moduleInstance;
    savedWrite_ = vex::uiModuleState().canWritePrinterData;
    vex::uiModuleState().moduleInstance = module_;
  }
  ~PluginResources() {
    vex::uiModuleState().moduleInstance = saved_;
    vex::uiModuleState().canWritePrinterData = savedWrite_;
    if (module_ != nullptr) FreeLibrary(module_);
  }
  PluginResources(const PluginResources&) = delete;
  PluginResources& operator=(const PluginResources&) = delete;
  bool loaded() const { return module_ != nullptr; }

 private:
  HINSTANCE module_;
  HINSTANCE saved_ = nullptr;
  bool savedWrite_ = false;
};

// A plug-in INI file of the test's own in the temporary folder.
class IniFile {
 public:
  explicit IniFile(const std::string& text) {
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    wchar_t name[MAX_PATH] = L"";
    GetTempFileNameW(folder, L"ovl", 0, name);
    path_ = name;
    std::ofstream(std::filesystem::path(path_), std::ios::binary) << text;
  }
  ~IniFile() { DeleteFileW(path_.c_str()); }
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring read(const wchar_t* section, const wchar_t* key) const {
    wchar_t value[512] = L"";
    GetPrivateProfileStringW(section, key, L"<none>", value, 512, path_.c_str());
    return value;
  }
  std::string bytes() const {
    std::ifstream in(std::filesystem::path(path_), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::wstring path_;
};

std::wstring textOf(HWND window) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  return text;
}

// The enabled visible dialog of this thread that is in front (a nested dialog disables its
// owner).
BOOL CALLBACK findFront(HWND window, LPARAM param) {
  wchar_t name[16] = L"";
  GetClassNameW(window, name, 16);
  if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

// Plays steps against the dialog in front, one per timer tick of the modal loop.
class DialogSteps {
 public:
  explicit DialogSteps(std::deque<std::function<void(HWND)>> steps) : steps_(std::move(steps)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 20, tick);
  }
  ~DialogSteps() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  DialogSteps(const DialogSteps&) = delete;
  DialogSteps& operator=(const DialogSteps&) = delete;
  bool done() const { return steps_.empty(); }

 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogSteps* self = current_;
    if (self == nullptr || self->steps_.empty()) return;
    HWND front = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findFront, reinterpret_cast<LPARAM>(&front));
    if (front == nullptr) return;
    auto step = std::move(self->steps_.front());
    self->steps_.pop_front();
    step(front);
  }
  static inline DialogSteps* current_ = nullptr;
  std::deque<std::function<void(HWND)>> steps_;
  UINT_PTR timer_ = 0;
};

void press(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

std::vector<std::wstring> comboRows(HWND combo) {
  std::vector<std::wstring> rows;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT k = 0; k < count && k < 16; ++k) {
    wchar_t text[128] = L"";
    SendMessageW(combo, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(text));
    rows.emplace_back(text);
  }
  return rows;
}

std::vector<std::uint16_t> overlayList(const std::vector<BYTE>& record) {
  std::vector<std::uint16_t> words;
  for (int k = 0; k < 4; ++k)
    words.push_back(vex::getU16(record.data(), vex::rec::overlayList + 2 * k));
  return words;
}

const char kTwoOverlays[] =
    "[OverlaySetting]\r\nOverlay_Num=2\r\nHistory_Num=1\r\nHistory 0=FORM1\r\n"
    "[Overlay_Info 0]\r\nOverlay_Name=Letter\r\nPageMode=1\r\nCustomPage=\r\nForm_Num=1\r\n"
    "Form_Name 0=FORM1\r\n"
    "[Overlay_Info 1]\r\nOverlay_Name=Order\r\nPageMode=4\r\nCustomPage=2-3\r\nForm_Num=1\r\n"
    "Form_Name 0=FORM2\r\n";

// One sheet's context over a tree whose only item is "VXOverlay" (Off, Print, Store).
struct Sheet {
  DriverTree tree{{TreeItem{
      0, "VXOverlay", 100, L"Overlay", 0, {L"Off", L"Print Overlays", L"Store Forms"}, 1}}};
  OEMUIPSPARAM ui{};
  vex::DocumentContext context;

  Sheet(const IniFile& ini, DWORD flags) {
    context.cuiParam = &tree.param(nullptr, L"VEX Overlay Test");
    ui.cbSize = sizeof(ui);
    ui.dwFlags = flags;
    context.uiParam = &ui;
    context.itemIndex[vex::kOverlaySlot] = 0;
    context.itemValue[vex::kOverlaySlot] = 1;
    lstrcpynW(context.iniPath, ini.path().c_str(), vex::kPathChars);
    for (int k = 0; k < 4; ++k) {
      vex::setU16(tree.record().data(), vex::rec::overlayList + 2 * k, k == 0 ? 1 : 255);
    }
  }
};

void onOwnThread(const std::function<void()>& work) { std::thread(work).join(); }

TEST(OverlayDialog, WithoutWritePermission) {
  if (!haveDisplay()) GTEST_SKIP() << "needs an X display (DISPLAY)";
  PluginResources resources;
  ASSERT_TRUE(resources.loaded());
  IniFile ini(kTwoOverlays);
  const std::string before = ini.bytes();
  Sheet sheet(ini, 0);
  vex::uiModuleState().canWritePrinterData = false;
  std::vector<std::wstring> modes;
  bool newExists = true, editExists = true, deleteExists = true;
  std::wstring chosenLimit, definedLimit, caption, message;
  int chosenRows = -1, definedRows = -1, chosenSelected = -1;
  bool result = false, finished = false, removeEnabled = false, removeAfterFocus = true;
  onOwnThread([&] {
    DialogSteps steps({[&](HWND d) {
                         modes = comboRows(GetDlgItem(d, IDC_OVERLAY_MODE));
                         newExists = GetDlgItem(d, IDC_OVERLAY_NEW) != nullptr;
                         editExists = GetDlgItem(d, IDC_OVERLAY_EDIT) != nullptr;
                         deleteExists = GetDlgItem(d, IDC_OVERLAY_DELETE) != nullptr;
                         chosenLimit = textOf(GetDlgItem(d, IDC_OVERLAY_CHOSEN_LIMIT));
                         definedLimit = textOf(GetDlgItem(d, IDC_OVERLAY_DEFINED_LIMIT));
                         chosenRows = static_cast<int>(
                             SendDlgItemMessageW(d, IDC_OVERLAY_CHOSEN, LVM_GETITEMCOUNT, 0, 0));
                         definedRows = static_cast<int>(
                             SendDlgItemMessageW(d, IDC_OVERLAY_DEFINED, LVM_GETITEMCOUNT, 0, 0));
                         // Choose "Letter" too, then OK.
                         LVITEMW item{};
                         item.stateMask = item.state = LVIS_SELECTED;
                         SendDlgItemMessageW(d, IDC_OVERLAY_DEFINED, LVM_SETITEMSTATE, 0,
                                             reinterpret_cast<LPARAM>(&item));
                         press(d, IDC_OVERLAY_ADD);
                         // Option 2 explains itself.
                         SendDlgItemMessageW(d, IDC_OVERLAY_MODE, CB_SETCURSEL, 2, 0);
                         PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_OVERLAY_MODE, CBN_SELCHANGE),
                                      reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_OVERLAY_MODE)));
                       },
                       [&](HWND box) {
                         caption = textOf(box);
                         message = textOf(GetDlgItem(box, 0xFFFF));
                         press(box, IDOK);
                       },
                       [&](HWND d) {
                         // The focus in one list clears the other's selection.
                         LVITEMW item{};
                         item.stateMask = item.state = LVIS_SELECTED;
                         SendDlgItemMessageW(d, IDC_OVERLAY_CHOSEN, LVM_SETITEMSTATE, 1,
                                             reinterpret_cast<LPARAM>(&item));
                         removeEnabled = IsWindowEnabled(GetDlgItem(d, IDC_OVERLAY_REMOVE));
                         SetFocus(GetDlgItem(d, IDC_OVERLAY_DEFINED));
                         chosenSelected = static_cast<int>(SendDlgItemMessageW(
                             d, IDC_OVERLAY_CHOSEN, LVM_GETSELECTEDCOUNT, 0, 0));
                         removeAfterFocus = IsWindowEnabled(GetDlgItem(d, IDC_OVERLAY_REMOVE));
                         press(d, IDOK);
                       }});
    result = vex::showOverlayDialog(nullptr, sheet.context);
    finished = steps.done();
  });
  EXPECT_TRUE(finished);
  EXPECT_TRUE(result);
  EXPECT_TRUE(removeEnabled) << "a chosen row selected";
  EXPECT_EQ(chosenSelected, 0);
  EXPECT_FALSE(removeAfterFocus);
  EXPECT_EQ(modes, (std::vector<std::wstring>{L"Off", L"Print Overlays", L"Store Forms"}))
      << "every option";
  EXPECT_FALSE(newExists || editExists || deleteExists) << "define, edit and delete removed";
  EXPECT_EQ(chosenLimit, L"(最多4)");
  EXPECT_EQ(definedLimit, L"(最多32)");
  EXPECT_EQ(caption, L"信息");
  EXPECT_EQ(message.substr(0, 14), L"当选定“创建格式”时，在准备");
  EXPECT_EQ(chosenRows, 1);
  EXPECT_EQ(definedRows, 2);
  EXPECT_EQ(overlayList(sheet.tree.record()), (std::vector<std::uint16_t>{1, 0, 255, 255}));
  EXPECT_EQ(sheet.context.itemValue[vex::kOverlaySlot], 2u) << "the mode chosen";
  EXPECT_EQ(sheet.context.overlays.savedCopyState, vex::SavedCopyState::valid);
  EXPECT_EQ(sheet.context.overlays.store, nullptr) << "released";
  EXPECT_EQ(ini.bytes(), before) << "nothing written";
  vex::commitOverlaySettings(sheet.context);
  EXPECT_EQ(ini.bytes(), before) << "nor at apply";
}

TEST(OverlayDialog, NoPermissionToChangeTheSettingsDisablesEveryControl) {
  if (!haveDisplay()) GTEST_SKIP() << "needs an X display (DISPLAY)";
  PluginResources resources;
  ASSERT_TRUE(resources.loaded());
  IniFile ini(kTwoOverlays);
  Sheet sheet(ini, DM_NOPERMISSION);
  vex::uiModuleState().canWritePrinterData = true;
  std::vector<int> enabled;
  std::vector<std::wstring> modes;
  bool result = true;
  onOwnThread([&] {
    DialogSteps steps({[&](HWND d) {
      modes = comboRows(GetDlgItem(d, IDC_OVERLAY_MODE));
      for (int id = IDC_OVERLAY_MODE; id <= IDC_OVERLAY_DELETE; ++id) {
        if (HWND c = GetDlgItem(d, id)) {
          if (IsWindowEnabled(c)) enabled.push_back(id);
        }
      }
      press(d, IDCANCEL);
    }});
    result = vex::showOverlayDialog(nullptr, sheet.context);
  });
  EXPECT_FALSE(result);
  EXPECT_TRUE(enabled.empty()) << "first enabled: " << (enabled.empty() ? 0 : enabled.front());
  EXPECT_EQ(modes, (std::vector<std::wstring>{L"Off", L"Print Overlays"}))
      << "the last option is left out for a user who may change the printer's data";
  EXPECT_EQ(overlayList(sheet.tree.record()), (std::vector<std::uint16_t>{1, 255, 255, 255}))
      << "Cancel leaves the record";
  EXPECT_EQ(sheet.context.overlays.savedCopyState, vex::SavedCopyState::notToUse)
      << "opened from 0 (1), cancelled back";
}

// The sheet's callback, as the common property sheet answers it.
struct SheetCalls {
  static inline std::vector<std::pair<UINT, LPARAM>> seen;
  static inline LPARAM page = 0;
  static LONG_PTR CALLBACK call(HANDLE, UINT function, LPARAM first, LPARAM second) {
    seen.emplace_back(function, second);
    page = first;
    return 1;
  }
};

TEST(OverlayStoreFile, ApplyCopiesTheSavedCopyAndReportsToTheSheet) {
  IniFile ini(std::string(kTwoOverlays) +
              "[OverlaySetting_Sv]\r\nOverlay_Num=1\r\nHistory_Num=0\r\n"
              "[Overlay_Info_Sv 0]\r\nOverlay_Name=Saved\r\nPageMode=2\r\nCustomPage=\r\n"
              "Form_Num=2\r\nForm_Name 0=A\r\nForm_Name 1=B\r\n");
  PluginResources resources;
  vex::uiModuleState().canWritePrinterData = true;
  vex::DocumentContext context;
  lstrcpynW(context.iniPath, ini.path().c_str(), vex::kPathChars);
  context.comPropSheet = &SheetCalls::call;
  context.pageHandles[0] = reinterpret_cast<HANDLE>(0x1234);
  SheetCalls::seen.clear();

  vex::commitOverlaySettings(context);  // state 0: nothing
  EXPECT_TRUE(SheetCalls::seen.empty());
  EXPECT_EQ(ini.read(L"OverlaySetting", L"Overlay_Num"), L"2");

  context.overlays.savedCopyState = vex::SavedCopyState::valid;
  vex::commitOverlaySettings(context);
  ASSERT_EQ(SheetCalls::seen.size(), 1u);
  EXPECT_EQ(SheetCalls::seen[0].first, static_cast<UINT>(CPSFUNC_SET_RESULT));
  EXPECT_EQ(SheetCalls::seen[0].second, CPSUI_OK);
  EXPECT_EQ(SheetCalls::page, 0x1234);
  EXPECT_EQ(context.overlays.savedCopyState, vex::SavedCopyState::notToUse);
  EXPECT_EQ(ini.read(L"OverlaySetting", L"Overlay_Num"), L"1");
  EXPECT_EQ(ini.read(L"Overlay_Info 0", L"Overlay_Name"), L"Saved");
  EXPECT_EQ(ini.read(L"Overlay_Info 0", L"Form_Name 1"), L"B");
  EXPECT_EQ(ini.read(L"Overlay_Info 1", L"Overlay_Name"), L"Order") << "beyond the count: kept";
  EXPECT_EQ(context.overlays.store, nullptr);
}

TEST(OverlayStoreFile, AHostileFileIsReadWithinTheSlots) {
  const std::string longName(10000, 'N');
  IniFile ini(
      "[OverlaySetting]\r\nOverlay_Num=100000\r\nHistory_Num=-3\r\n"
      "[Overlay_Info 0]\r\nOverlay_Name=" +
      longName + "\r\nPageMode=x\r\nForm_Num=3\r\nCustomPage=" + std::string(600, '1') +
      "\r\n[Overlay_Info 1]\r\nOverlay_Name=Two\r\nForm_Num=99999999999\r\n");
  vex::IniOverlayProfile profile(ini.path());
  vex::OverlayWorkspace workspace;
  vex::loadOverlaysForDialog(workspace, profile, nullptr);
  ASSERT_NE(workspace.store, nullptr);
  EXPECT_EQ(workspace.store->overlayCount, 32);
  EXPECT_EQ(workspace.store->historyCount, 0);
  EXPECT_EQ(vex::slotText(workspace.definitions[0]->name).size(), 63u);
  EXPECT_EQ(vex::slotText(workspace.definitions[0]->customPages).size(), 254u);
  EXPECT_EQ(workspace.definitions[0]->formCount, 3);
  EXPECT_TRUE(vex::slotText(workspace.definitions[0]->formNames[0]).empty()) << "missing keys";
  EXPECT_LE(workspace.definitions[1]->formCount, 3);
  EXPECT_TRUE(vex::slotText(workspace.definitions[31]->name).empty()) << "missing section";
  // Saved back as "%d" numbers and bounded texts.
  workspace.savedCopyState = vex::SavedCopyState::notToUse;
  vex::saveOverlays(workspace, profile);
  EXPECT_EQ(ini.read(L"OverlaySetting", L"Overlay_Num"), L"32");
  EXPECT_EQ(ini.read(L"Overlay_Info 0", L"Overlay_Name"), std::wstring(63, L'N'));
  EXPECT_EQ(ini.read(L"Overlay_Info 0", L"PageMode"), L"0");
}

}  // namespace
