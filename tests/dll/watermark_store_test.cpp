// The watermark store on the platform's profile functions: a real INI file written and read back
// in UTF-16 (the custom-colour section has a Chinese name), the sample watermark font file, and
// the watermark templates inside vexps.dll.
#include "watermark_store.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "watermark_profile.h"

namespace {

const vex::NoWatermarkTexts kTexts{u"\u65e0", u"HeiseiMin-W3-90ms-RKSJ-H"};

class TempIni {
 public:
  TempIni() {
    wchar_t dir[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, dir);
    wchar_t file[MAX_PATH] = L"";
    GetTempFileNameW(dir, L"vwm", 0, file);
    path_ = file;
    // The profile functions keep a new file in UTF-16 when it starts with a byte-order mark.
    HANDLE h = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, "\xff\xfe", 2, &written, nullptr);
    CloseHandle(h);
  }
  ~TempIni() { DeleteFileW(path_.c_str()); }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

std::wstring fullPath(const wchar_t* relative) {
  wchar_t full[MAX_PATH] = L"";
  GetFullPathNameW(relative, MAX_PATH, full, nullptr);
  return full;
}

TEST(WatermarkIni, SaveAndReloadThroughTheProfileApi) {
  TempIni ini;
  vex::IniWatermarkProfile profile(ini.path());
  vex::WatermarkList list;
  vex::LoadWatermarkList(list, profile, kTexts, 0, 0);
  for (int n = 1; n <= 11; ++n) {
    vex::WatermarkDefinition d;
    d.text = u"\u673a\u5bc6 " + vex::decimalText16(n) + u", a;b\\c";
    d.angle = static_cast<std::int16_t>(-n);
    d.color = 0x0000FF;
    list.definitions.push_back(d);
  }
  vex::SaveWatermarkList(list, profile);
  EXPECT_EQ(profile.keys(u"Watermark").size(), 11u);
  EXPECT_EQ(profile.keys(u"Watermark")[10], u"WTMK0011");

  vex::WatermarkList again;
  vex::LoadWatermarkList(again, profile, kTexts, 0, 11);
  ASSERT_EQ(again.count(), 11u);
  for (int n = 1; n <= 11; ++n) EXPECT_EQ(again.definitions[n], list.definitions[n]) << n;

  // Saving a shorter list removes the keys of the longer one.
  list.definitions.resize(3);
  vex::SaveWatermarkList(list, profile);
  EXPECT_EQ(profile.keys(u"Watermark").size(), 2u);
}

// Definition 0 takes its text and font from vexui.dll's string table (8050, 8052).
TEST(WatermarkIni, DefinitionZeroFromTheStringTable) {
  HMODULE module = LoadLibraryExW(L"vexui.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const vex::NoWatermarkTexts texts = vex::noWatermarkTexts(module);
  EXPECT_EQ(texts.text, u"\u65e0");
  EXPECT_EQ(texts.fontName, u"HeiseiMin-W3-90ms-RKSJ-H");

  TempIni ini;
  WritePrivateProfileStringW(L"Watermark", L"WTMK001",
                             L"36,1,0,0,0,255,Draft,Times-Roman,0,0,0,3,0,0,0,0",
                             ini.path().c_str());
  vex::WatermarkList list;
  vex::LoadWatermarkList(list, ini.path(), module, 1);
  ASSERT_EQ(list.count(), 1u);
  EXPECT_EQ(list.definitions[0].text, u"\u65e0");
  EXPECT_EQ(list.definitions[0].fontName, u"HeiseiMin-W3-90ms-RKSJ-H");
  EXPECT_EQ(list.definitions[1].text, u"Draft");
  EXPECT_EQ(list.working.text, u"Draft");

  // No plug-in INI file: an empty list (the profile functions are not asked about a nameless file).
  vex::WatermarkList none;
  vex::LoadWatermarkList(none, std::wstring(), module, 3);
  EXPECT_EQ(none.count(), 0u);
  EXPECT_EQ(none.currentIndex, 0u);
  FreeLibrary(module);

  // A module without the strings leaves definition 0's texts empty rather than failing.
  const vex::NoWatermarkTexts missing = vex::noWatermarkTexts(GetModuleHandleW(nullptr));
  EXPECT_EQ(missing.text, u"");
  EXPECT_EQ(missing.fontName, u"");
}

TEST(WatermarkIni, CustomColoursInTheirSection) {
  TempIni ini;
  vex::IniWatermarkProfile profile(ini.path());
  for (std::uint32_t& c : vex::customColors()) c = 0xC0C0C0;
  vex::customColors()[3] = 0x00FF0000;
  vex::SaveCustomColors(profile);
  wchar_t value[32] = L"";
  GetPrivateProfileStringW(L"\u81ea\u5b9a\u4e49\u989c\u8272", L"Color3", L"", value, 32,
                           ini.path().c_str());
  EXPECT_STREQ(value, L"0,0,255");
  vex::customColors()[3] = 0;
  vex::LoadCustomColors(profile);
  EXPECT_EQ(vex::customColors()[3], 0x00FF0000u);
  for (std::uint32_t& c : vex::customColors()) c = 0xC0C0C0;
}

TEST(WatermarkIni, SampleFontFile) {
  const std::wstring fonts = fullPath(L"..\\package\\VEXWMFNT.INI");
  ASSERT_NE(GetFileAttributesW(fonts.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(vex::watermarkDefaultFontNumber(fonts), 3);
  const struct {
    std::int32_t fontIndex, weight;
    std::uint8_t italic;
    std::u16string name;
    std::int16_t style;
  } cases[] = {
      {0, 700, 1, u"HeiseiMin-W3-90ms-RKSJ-H", 3}, {1, 0, 0, u"HeiseiKakuGo-W5-90ms-RKSJ-H", 0},
      {2, 700, 0, u"Helvetica-Bold", 0},           {3, 0, 1, u"Times-Italic", 5},
      {4, 700, 1, u"Courier-BoldOblique", 5},      {9, 0, 0, u"", 0},  // no such entry
  };
  for (const auto& c : cases) {
    vex::WatermarkDefinition d;
    d.fontIndex = c.fontIndex;
    d.fontWeight = c.weight;
    d.italic = c.italic;
    vex::ResolveWatermarkFont(d, fonts);
    EXPECT_EQ(d.fontName, c.name) << c.fontIndex;
    EXPECT_EQ(d.styleCode, c.style) << c.fontIndex;
  }
}

TEST(WatermarkTemplates, ResourcesOfTheRenderingPlugin) {
  HMODULE module = LoadLibraryExW(L"vexps.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const char* call =
      "\r\n/DriverOps /ProcSet 2 copy resourcestatus{\r\n pop pop findresource /%s 2 copy "
      "known{get exec}{pop pop}ifelse\r\n}{pop pop}ifelse\r\n\r\n";
  auto expectedCall = [&](const char* name) {
    char text[256];
    snprintf(text, sizeof text, call, name);
    return std::string(text);
  };
  const std::string expected[] = {
      "\r\n(%1!S!) %2!d! /%2!S! %3 %4 %5!d! %6 %7 %8!d! %9!d! %9!d! %9!d! %9!d! %9!d! %9!d!\r\n"
      "/DriverOps /ProcSet 2 copy resourcestatus{\r\n pop pop findresource /init_watermark 2 "
      "copy known{get exec}{19 {pop}repeat}ifelse\r\n}{19 {pop}repeat}ifelse\r\n\r\n",
      expectedCall("draw_watermark"), expectedCall("getwmmatrix")};
  for (int id = 1; id <= 3; ++id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(20563));
    ASSERT_NE(found, nullptr) << id;
    const void* data = LockResource(LoadResource(module, found));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(data), SizeofResource(module, found)),
              expected[id - 1])
        << "template " << id;
  }
  FreeLibrary(module);
}

}  // namespace
