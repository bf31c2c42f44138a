// Draws watermark previews as the dialogs do and reports them, for the comparison with printed
// pages and for the preview's benchmark.
//
//   watermark-preview-probe draw CASES OUTDIR
//     CASES: one case a line, "name|text|size|angle|position|frame|offsetX|offsetY|landscape".
//     For each case: OUTDIR\name.png (the control's pixels) and a line on standard output
//     "name x0 y0 pw ph" with the page's rectangle in the picture.
//   watermark-preview-probe metrics FACE
//     The face's cell, ascent and descent for a cell height of 1000 pixels.
//   watermark-preview-probe palette
//     Draws a preview in a colour that an 8-bit display lacks into a window, then reports
//     "palette-display 0|1 before 0|1 after 0|1 exact N nearest N": whether the system palette
//     held the colour before and after the drawing, and how many pixels show the colour itself
//     or the display's nearest colour to it.
//   watermark-preview-probe bench
//     One redraw (median of 1000) against one off-screen ExtTextOutW of the same turned text
//     plus one BitBlt of the page area, measured side by side.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "png_encoder.h"
#include "text_convert.h"
#include "watermark_preview.h"
#include "watermark_preview_draw.h"

namespace {

// The list dialog's preview control under the test display, as the control dump measures it.
constexpr int kControlWidth = 278;
constexpr int kControlHeight = 280;
constexpr int kBenchRuns = 1000;

// A 32-bit top-down DIB section in a memory DC.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<const std::uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    PatBlt(dc_, 0, 0, width, height, WHITENESS);
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }
  std::vector<std::uint8_t> rgb() const {
    GdiFlush();
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(width_) * height_ * 3);
    for (int i = 0; i < width_ * height_; ++i) {
      out.push_back(static_cast<std::uint8_t>(bits_[i] >> 16));
      out.push_back(static_cast<std::uint8_t>(bits_[i] >> 8));
      out.push_back(static_cast<std::uint8_t>(bits_[i]));
    }
    return out;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  const std::uint32_t* bits_ = nullptr;
};

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(line);
  std::string part;
  while (std::getline(stream, part, separator)) parts.push_back(part);
  return parts;
}

std::u16string utf16(const std::string& utf8) {
  const int chars =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(chars, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), chars);
  return vex::toU16(wide);
}

int toInt(const std::string& text) {
  return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

int draw(const char* casesPath, const std::string& outDir) {
  std::ifstream cases(casesPath);
  if (!cases) {
    std::fprintf(stderr, "watermark-preview-probe: cannot read %s\n", casesPath);
    return 2;
  }
  std::string line;
  while (std::getline(cases, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = split(line, '|');
    if (f.size() != 9) {
      std::fprintf(stderr, "watermark-preview-probe: bad case \"%s\"\n", line.c_str());
      return 2;
    }
    vex::WatermarkDefinition d;
    d.text = utf16(f[1]);
    d.fontSize = toInt(f[2]);
    d.angle = static_cast<std::int16_t>(toInt(f[3]));
    d.position = static_cast<std::int16_t>(toInt(f[4]));
    d.frameStyle = static_cast<std::int16_t>(toInt(f[5]));
    d.offsetX = toInt(f[6]);
    d.offsetY = toInt(f[7]);
    d.color = RGB(255, 0, 0);
    vex::PreviewSetting setting;
    setting.formName = u"A4";
    setting.orientation = static_cast<std::int16_t>(toInt(f[8]) != 0 ? 2 : 1);
    setting.face.name = u"Arial";  // the sample font file's face for Helvetica
    Canvas canvas(kControlWidth, kControlHeight);
    vex::PreviewSurface surface;
    vex::paintWatermarkPreview(canvas.dc(), kControlWidth, kControlHeight, d, setting, surface);
    const std::string png = vex::uihost::encodePng(kControlWidth, kControlHeight, canvas.rgb());
    std::ofstream(outDir + "\\" + f[0] + ".png", std::ios::binary) << png;
    const vex::PreviewPage page =
        vex::layoutPreviewPage(vex::previewPaperSize(setting.formName, setting.orientation),
                               kControlWidth, kControlHeight);
    std::printf("%s %d %d %d %d\n", f[0].c_str(), page.x0, page.y0, page.pw, page.ph);
  }
  return 0;
}

int metrics(const char* face) {
  Canvas canvas(16, 16);
  LOGFONTW font{};
  font.lfHeight = 1000;
  MultiByteToWideChar(CP_UTF8, 0, face, -1, font.lfFaceName, LF_FACESIZE);
  font.lfFaceName[LF_FACESIZE - 1] = L'\0';
  HFONT handle = CreateFontIndirectW(&font);
  HGDIOBJ old = SelectObject(canvas.dc(), handle);
  TEXTMETRICW tm{};
  GetTextMetricsW(canvas.dc(), &tm);
  wchar_t used[LF_FACESIZE] = L"";
  GetTextFaceW(canvas.dc(), LF_FACESIZE, used);
  SelectObject(canvas.dc(), old);
  DeleteObject(handle);
  std::printf("face \"%ls\" height %ld ascent %ld descent %ld internal-leading %ld\n", used,
              tm.tmHeight, tm.tmAscent, tm.tmDescent, tm.tmInternalLeading);
  return 0;
}

double medianMicroseconds(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

int bench() {
  vex::WatermarkDefinition d;
  d.text = u"CONFIDENTIAL";
  d.fontSize = 72;
  d.angle = 45;
  d.frameStyle = 3;
  vex::PreviewSetting setting;
  setting.formName = u"A4";
  setting.face.name = u"Arial";
  const vex::PreviewPage page =
      vex::layoutPreviewPage(vex::previewPaperSize(u"A4", 1), kControlWidth, kControlHeight);
  const std::wstring text = vex::toWide(d.text);
  // The target is a window's DC, as in the dialog.
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, kControlWidth,
                                kControlHeight, nullptr, nullptr, nullptr, nullptr);
  HDC target = GetDC(window);
  std::vector<double> redraws, floors;
  vex::PreviewSurface surface;
  using Clock = std::chrono::steady_clock;
  for (int run = 0; run < kBenchRuns; ++run) {
    auto start = Clock::now();
    vex::paintWatermarkPreview(target, kControlWidth, kControlHeight, d, setting, surface);
    GdiFlush();
    redraws.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());

    // The floor: one turned text into an off-screen surface made beforehand and one copy.
    HDC memory = CreateCompatibleDC(target);
    HBITMAP surface = CreateCompatibleBitmap(target, kControlWidth, kControlHeight);
    HGDIOBJ oldSurface = SelectObject(memory, surface);
    LOGFONTW logfont{};
    logfont.lfHeight = vex::previewFont(d, page).height;
    logfont.lfEscapement = 450;
    lstrcpyW(logfont.lfFaceName, L"Arial");
    HFONT font = CreateFontIndirectW(&logfont);
    HGDIOBJ oldFont = SelectObject(memory, font);
    start = Clock::now();
    ExtTextOutW(memory, page.x0 + page.pw / 4, page.y0 + page.ph * 3 / 4, 0, nullptr, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
    BitBlt(target, page.x0, page.y0, page.pw, page.ph, memory, page.x0, page.y0, SRCCOPY);
    GdiFlush();
    floors.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    SelectObject(memory, oldFont);
    DeleteObject(font);
    SelectObject(memory, oldSurface);
    DeleteObject(surface);
    DeleteDC(memory);
  }
  ReleaseDC(window, target);
  DestroyWindow(window);
  // The same redraw into a memory DC: what the drawing costs without the window's.
  std::vector<double> offscreen;
  {
    Canvas canvas(kControlWidth, kControlHeight);
    vex::PreviewSurface offscreenSurface;
    for (int run = 0; run < kBenchRuns; ++run) {
      const auto start = Clock::now();
      vex::paintWatermarkPreview(canvas.dc(), kControlWidth, kControlHeight, d, setting,
                                 offscreenSurface);
      GdiFlush();
      offscreen.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
  }
  std::printf("watermark-preview-detail redraw into a memory DC %.1f us\n",
              medianMicroseconds(offscreen));
  {
    Canvas canvas(kControlWidth, kControlHeight);
    std::vector<double> fonts, surfaces, texts;
    for (int run = 0; run < kBenchRuns; ++run) {
      auto start = Clock::now();
      LOGFONTW logfont{};
      logfont.lfHeight = vex::previewFont(d, page).height;
      logfont.lfEscapement = 450;
      lstrcpyW(logfont.lfFaceName, L"Arial");
      HFONT font = CreateFontIndirectW(&logfont);
      HGDIOBJ old = SelectObject(canvas.dc(), font);
      SIZE size{};
      GetTextExtentPoint32W(canvas.dc(), text.c_str(), static_cast<int>(text.size()), &size);
      fonts.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
      start = Clock::now();
      ExtTextOutW(canvas.dc(), 50, 200, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()),
                  nullptr);
      GdiFlush();
      texts.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
      SelectObject(canvas.dc(), old);
      DeleteObject(font);
      start = Clock::now();
      HDC memory = CreateCompatibleDC(canvas.dc());
      HBITMAP surface = CreateCompatibleBitmap(canvas.dc(), kControlWidth, kControlHeight);
      HGDIOBJ oldSurface = SelectObject(memory, surface);
      PatBlt(memory, 0, 0, kControlWidth, kControlHeight, WHITENESS);
      SelectObject(memory, oldSurface);
      DeleteObject(surface);
      DeleteDC(memory);
      surfaces.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::printf("watermark-preview-detail font %.1f us, text %.1f us, surface %.1f us\n",
                medianMicroseconds(fonts), medianMicroseconds(texts), medianMicroseconds(surfaces));
  }
  const double redraw = medianMicroseconds(redraws);
  const double floor = medianMicroseconds(floors);
  std::printf("watermark-preview redraw %.1f us floor %.1f us ratio %.2f\n", redraw, floor,
              floor > 0 ? redraw / floor : 0.0);
  return 0;
}

bool systemPaletteHolds(HDC dc, COLORREF colour) {
  PALETTEENTRY entries[256];
  const UINT count = GetSystemPaletteEntries(dc, 0, 256, entries);
  for (UINT i = 0; i < count; ++i) {
    if (RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue) == colour) return true;
  }
  return false;
}

int palette() {
  constexpr COLORREF kWanted = RGB(200, 30, 90);
  vex::WatermarkDefinition d;
  d.text = u"WWWW";
  d.fontSize = 300;
  d.color = kWanted;
  vex::PreviewSetting setting;
  setting.formName = u"A4";
  setting.face.name = u"Arial";
  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                kControlWidth, kControlHeight, nullptr, nullptr, nullptr, nullptr);
  UpdateWindow(window);
  HDC dc = GetDC(window);
  const bool paletteDisplay = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  const COLORREF nearest = GetNearestColor(dc, kWanted);
  const bool before = systemPaletteHolds(dc, kWanted);
  vex::PreviewSurface surface;
  vex::paintWatermarkPreview(dc, kControlWidth, kControlHeight, d, setting, surface);
  GdiFlush();
  const bool after = systemPaletteHolds(dc, kWanted);
  int exact = 0, nearestPixels = 0;
  for (int y = 0; y < kControlHeight; ++y) {
    for (int x = 0; x < kControlWidth; ++x) {
      const COLORREF pixel = GetPixel(dc, x, y);
      exact += pixel == kWanted ? 1 : 0;
      nearestPixels += pixel == nearest ? 1 : 0;
    }
  }
  ReleaseDC(window, dc);
  DestroyWindow(window);
  std::printf("palette-display %d before %d after %d exact %d nearest %d\n", paletteDisplay ? 1 : 0,
              before ? 1 : 0, after ? 1 : 0, exact, nearestPixels);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "draw" && argc == 4) return draw(argv[2], argv[3]);
  if (command == "metrics" && argc == 3) return metrics(argv[2]);
  if (command == "bench" && argc == 2) return bench();
  if (command == "palette" && argc == 2) return palette();
  std::fprintf(
      stderr,
      "usage: watermark-preview-probe draw CASES OUTDIR | metrics FACE | bench | palette\n");
  return 2;
}
