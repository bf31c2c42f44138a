// The resources that vexui.dll's pages and dialogs share: every string of the string table against
// the texts the pages quote (one row per id), and the bitmaps and icons with their sizes, depths
// and transparent colour. The DLL is loaded as a data file, as a resource reader would.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui_resource_ids.h"

namespace {

class VexUiResources {
 public:
  VexUiResources() : module_(LoadLibraryExW(L"vexui.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~VexUiResources() {
    if (module_) FreeLibrary(module_);
  }
  VexUiResources(const VexUiResources&) = delete;
  VexUiResources& operator=(const VexUiResources&) = delete;
  HMODULE get() const { return module_; }

  // The bytes of resource `id` of `type`, empty when it is missing.
  std::vector<std::uint8_t> bytes(UINT id, LPCWSTR type) const {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module_, found)));
    return data ? std::vector<std::uint8_t>(data, data + SizeofResource(module_, found))
                : std::vector<std::uint8_t>();
  }

 private:
  HMODULE module_;
};

// The strings of one string-table block: 16 counted texts, the block of id n being n / 16 + 1.
// A text read past the block's end counts as missing.
std::map<UINT, std::wstring> blockStrings(const std::vector<std::uint8_t>& block, UINT blockId) {
  std::map<UINT, std::wstring> out;
  std::size_t at = 0;
  for (UINT i = 0; i < 16 && at + 2 <= block.size(); ++i) {
    const std::size_t length = block[at] | block[at + 1] << 8;
    at += 2;
    if (at + length * 2 > block.size()) break;
    std::wstring text(length, L'\0');
    for (std::size_t k = 0; k < length; ++k) {
      text[k] = static_cast<wchar_t>(block[at + 2 * k] | block[at + 2 * k + 1] << 8);
    }
    out[(blockId - 1) * 16 + i] = text;
    at += length * 2;
  }
  return out;
}

// The text of string `id`, or nothing when its block is missing. (Inside a present block an
// empty text and a missing one are the same thing.)
std::optional<std::wstring> tableString(const VexUiResources& module, UINT id) {
  const auto block = module.bytes(id / 16 + 1, RT_STRING);
  if (block.empty()) return std::nullopt;
  const auto strings = blockStrings(block, id / 16 + 1);
  const auto found = strings.find(id);
  return found == strings.end() ? std::optional<std::wstring>() : found->second;
}

struct StringRow {
  UINT id;
  const wchar_t* text;
};

// The texts as the pages, dialogs and stores quote them ("\n" a line break).
const StringRow kStrings[] = {
    // Compression levels of the advanced dialog.
    {6001, L"无"},
    {6002, L"快速"},
    {6003, L"普通"},
    {6004, L"最佳压缩"},
    // Job options page: the scale range and the IC-card caption of 1511.
    {7001, L"(%d-%d%%)"},
    {7010, L"IC卡安全打印"},
    // Job password dialog.
    {8000, L"密码无效。"},
    {8001, L"作业名称无效。"},
    // Overlay dialogs.
    {8010, L"叠加打印"},
    {8011, L"页面"},
    {8012, L"(最多%d)"},
    {8030, L"所有页"},
    {8031, L"首页"},
    {8032, L"奇数页"},
    {8033, L"偶数页"},
    {8034, L"自定义"},
    {8035, L"新建叠加打印"},
    // Watermark store and dialogs.
    {8050, L"无"},
    {8051, L"Watermark"},
    {8052, L"HeiseiMin-W3-90ms-RKSJ-H"},
    {8053, L"自定义颜色"},
    {8054, L"左上"},
    {8055, L"中上"},
    {8056, L"右上"},
    {8057, L"居中"},
    {8058, L"左下"},
    {8059, L"中下"},
    {8060, L"右下"},
    {8061, L"8"},
    {8062, L"9"},
    {8063, L"10"},
    {8064, L"11"},
    {8065, L"12"},
    {8066, L"14"},
    {8067, L"16"},
    {8068, L"18"},
    {8069, L"20"},
    {8070, L"22"},
    {8071, L"24"},
    {8072, L"26"},
    {8073, L"28"},
    {8074, L"36"},
    {8075, L"48"},
    {8076, L"72"},
    {8077, L"常规"},
    {8078, L"斜体"},
    {8079, L"粗体"},
    {8080, L"粗斜体"},
    // Messages and captions.
    {10020, L"存在同名的叠加打印。\n请改为另一个名称。"},
    {10021, L"输入格式名称，并将其添加到已定义的格式列表。"},
    {10022,
     L"当选定“创建格式”时，在准备EPS时自动设置一个“PostScript输出选项”。\n当您取消“创建格式”时，"
     L"也应该改变PostScript输出选项。"},
    {10023, L"请输入叠加打印名称。"},
    {10024, L"请不要在末尾使用“.”字符。"},
    {10040, L"注册的数量超出限制，最多为16个。"},
    {10041, L"警告"},
    {10050, L"您的一个或多个设置无效。"},
    {10054,
     L"此选项将打印作业作为一部分进行保存。可通过打印机的操作面板在安全打印和存储到SD中指定两份或"
     L"更多份数。\n无法通过打印机的操作面板在加密安全打印中指定两份或更多份数。"},
    {10060, L"本操作需要颜色样本打印工具。请安装颜色样本打印工具后进行此操作。"},
    {10061, L"错误"},
    // Printer initialisation's empty text, and the information caption.
    {30000, L""},
    {30010, L"信息"},
};

// Named by the printer items without a quoted text: present and not empty is all that is known.
const UINT kUnquotedStrings[] = {IDS_GET_PRINTER_OPTIONS};

TEST(UiStringTable, EveryIdWithItsText) {
  VexUiResources module;
  ASSERT_NE(module.get(), nullptr);
  for (const StringRow& row : kStrings) {
    const std::optional<std::wstring> text = tableString(module, row.id);
    ASSERT_TRUE(text.has_value()) << "string " << row.id << " is missing";
    EXPECT_EQ(*text, row.text) << "string " << row.id;
  }
  for (UINT id : kUnquotedStrings) {
    const std::optional<std::wstring> text = tableString(module, id);
    EXPECT_TRUE(text && !text->empty()) << "string " << id;
  }
}

// LoadStringW, the way the pages read the table, gives the same texts, the line breaks included.
TEST(UiStringTable, LoadStringReadsTheSameTexts) {
  VexUiResources module;
  ASSERT_NE(module.get(), nullptr);
  for (const StringRow& row : kStrings) {
    wchar_t text[600] = L"unchanged";
    const int length = LoadStringW(module.get(), row.id, text, 600);
    EXPECT_EQ(length, static_cast<int>(wcslen(row.text))) << "string " << row.id;
    EXPECT_STREQ(text, row.text) << "string " << row.id;
  }
}

BOOL CALLBACK collectBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) {
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<UINT>*>(list)->push_back(
        static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
  }
  return TRUE;
}

// The table holds no text that the rows above do not know of.
TEST(UiStringTable, NoOtherStrings) {
  VexUiResources module;
  ASSERT_NE(module.get(), nullptr);
  std::vector<UINT> blocks;
  EnumResourceNamesW(module.get(), RT_STRING, collectBlock, reinterpret_cast<LONG_PTR>(&blocks));
  ASSERT_FALSE(blocks.empty());
  std::map<UINT, bool> known;
  for (const StringRow& row : kStrings) known[row.id] = true;
  for (UINT id : kUnquotedStrings) known[id] = true;
  for (UINT block : blocks) {
    for (const auto& [id, text] : blockStrings(module.bytes(block, RT_STRING), block)) {
      if (!text.empty()) {
        EXPECT_TRUE(known.count(id)) << "string " << id << " is not in the rows";
      }
    }
  }
}

// ---- Bitmaps and icons ----

struct BitmapRow {
  UINT id;
  const char* shows;
  LONG width, height;
  WORD bits;
  bool transparent;  // drawn with magenta as the transparent colour
};

const BitmapRow kBitmaps[] = {
    {IDB_COLOUR_SETTINGS, "office colour details", 80, 60, 8, false},
    {IDB_COLOUR_SETTINGS_GREY, "office colour details, greyscale", 80, 60, 8, false},
    {IDB_LINK, "link", 16, 16, 24, false},
    {IDB_QUALITY_HIGH, "quality 0", 64, 48, 24, false},
    {IDB_QUALITY_NORMAL, "quality 1", 64, 48, 24, false},
    {IDB_QUALITY_LOW, "quality 2", 64, 48, 24, false},
    {IDB_ABOUT, "about box", 48, 48, 24, true},
    {IDB_MODE_AUTO, "colour mode 0", 48, 40, 24, true},
    {IDB_MODE_GREYSCALE, "colour mode 4", 48, 40, 24, true},
    {IDB_MODE_NO_MATCHING, "colour mode 3", 48, 40, 24, true},
    {IDB_MODE_ADVANCED_PICTURE, "colour mode 2", 48, 40, 24, true},
    {IDB_MODE_OFFICE, "colour mode 1", 48, 40, 24, true},
    {IDB_FLOW_PROFILE, "flow, profile", 48, 24, 24, true},
    {IDB_FLOW_SIMULATION, "flow, simulation", 48, 24, 24, true},
    {IDB_FLOW_LINK_PROFILE, "flow, link profile", 48, 24, 24, true},
};

// Counts of magenta and of other pixels of a packed DIB (24 or 8 bits, bottom-up or top-down).
struct PixelCounts {
  std::size_t magenta = 0, other = 0;
  bool complete = false;  // every row lay inside the resource
};

PixelCounts countPixels(const std::vector<std::uint8_t>& dib) {
  PixelCounts counts;
  if (dib.size() < sizeof(BITMAPINFOHEADER)) return counts;
  BITMAPINFOHEADER header;
  memcpy(&header, dib.data(), sizeof header);
  const LONG width = header.biWidth,
             height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  const std::size_t colours =
      header.biBitCount <= 8 ? (header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount) : 0;
  const std::size_t table = header.biSize;
  const std::size_t bits = table + colours * 4;
  const std::size_t stride = (static_cast<std::size_t>(width) * header.biBitCount + 31) / 32 * 4;
  if (bits + stride * height > dib.size()) return counts;
  for (LONG y = 0; y < height; ++y) {
    const std::uint8_t* row = dib.data() + bits + stride * y;
    for (LONG x = 0; x < width; ++x) {
      const std::uint8_t* bgr = row + 3 * x;
      if (header.biBitCount == 8) {
        if (row[x] >= colours) return counts;
        bgr = dib.data() + table + 4 * row[x];
      }
      const bool magenta = bgr[0] == 0xFF && bgr[1] == 0 && bgr[2] == 0xFF;
      ++(magenta ? counts.magenta : counts.other);
    }
  }
  counts.complete = true;
  return counts;
}

TEST(UiPictures, BitmapsWithTheirSizeDepthAndTransparentColour) {
  VexUiResources module;
  ASSERT_NE(module.get(), nullptr);
  for (const BitmapRow& row : kBitmaps) {
    SCOPED_TRACE(testing::Message() << "bitmap " << row.id << " (" << row.shows << ")");
    const std::vector<std::uint8_t> dib = module.bytes(row.id, RT_BITMAP);
    ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    memcpy(&header, dib.data(), sizeof header);
    EXPECT_EQ(header.biWidth, row.width);
    EXPECT_EQ(header.biHeight, row.height);
    EXPECT_EQ(header.biBitCount, row.bits);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    // The palette drawing realises the colour table: an 8-bit picture brings one of its own.
    if (row.bits == 8) {
      EXPECT_GT(header.biClrUsed, 1u);
      EXPECT_LE(header.biClrUsed, 256u);
    }
    const PixelCounts pixels = countPixels(dib);
    ASSERT_TRUE(pixels.complete);
    EXPECT_GT(pixels.other, 0u);
    if (row.transparent) {
      EXPECT_GT(pixels.magenta, 0u) << "no transparent pixel";
    } else {
      EXPECT_EQ(pixels.magenta, 0u) << "magenta would show";
    }

    // The system's loader agrees.
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageW(module.get(), MAKEINTRESOURCEW(row.id),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(loaded, nullptr);
    DIBSECTION section = {};
    ASSERT_EQ(GetObjectW(loaded, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, row.width);
    EXPECT_EQ(section.dsBm.bmHeight, row.height);
    EXPECT_EQ(section.dsBm.bmBitsPixel, row.bits);
    DeleteObject(loaded);
  }
}

// Icons 7001 to 7004: the advanced dialog's mirror and negative combinations, each at 32 and 16
// pixels with an alpha channel, and the four of them different pictures.
TEST(UiPictures, CombinationIcons) {
  VexUiResources module;
  ASSERT_NE(module.get(), nullptr);
  std::vector<std::vector<std::uint32_t>> seen;
  for (UINT id = IDI_PRINT_NORMAL; id <= IDI_PRINT_MIRROR_NEGATIVE; ++id) {
    for (int size : {32, 16}) {
      SCOPED_TRACE(testing::Message() << "icon " << id << " at " << size);
      HICON icon = static_cast<HICON>(
          LoadImageW(module.get(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
      ASSERT_NE(icon, nullptr);
      ICONINFO info = {};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP colour = {};
      ASSERT_NE(info.hbmColor, nullptr);
      GetObjectW(info.hbmColor, sizeof colour, &colour);
      EXPECT_EQ(colour.bmWidth, size);
      EXPECT_EQ(colour.bmHeight, size);
      if (size == 32) {
        BITMAPINFO request = {};
        request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        request.bmiHeader.biWidth = size;
        request.bmiHeader.biHeight = -size;  // top-down
        request.bmiHeader.biPlanes = 1;
        request.bmiHeader.biBitCount = 32;
        request.bmiHeader.biCompression = BI_RGB;
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
        HDC memory = CreateCompatibleDC(nullptr);
        EXPECT_EQ(
            GetDIBits(memory, info.hbmColor, 0, size, pixels.data(), &request, DIB_RGB_COLORS),
            size);
        DeleteDC(memory);
        for (const auto& other : seen) EXPECT_NE(pixels, other) << "same picture twice";
        seen.push_back(pixels);
      }
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
  }
  // The group resource holds both sizes in 32 bits.
  for (UINT id = IDI_PRINT_NORMAL; id <= IDI_PRINT_MIRROR_NEGATIVE; ++id) {
    const std::vector<std::uint8_t> group = module.bytes(id, RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u + 2 * 14u) << id;
    EXPECT_EQ(group[4] | group[5] << 8, 2) << id;
    for (int entry = 0; entry < 2; ++entry) {
      const std::uint8_t* e = group.data() + 6 + 14 * entry;
      EXPECT_EQ(e[0], entry == 0 ? 32 : 16) << id;
      EXPECT_EQ(e[6] | e[7] << 8, 32) << id;  // bits per pixel
    }
  }
}

}  // namespace
