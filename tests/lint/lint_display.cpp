#include "lint_display.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace vexlint {
namespace {

// Runs the thread's messages for a while, so that shown windows get painted.
void pumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    DWORD spent = GetTickCount() - start;
    if (spent >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
  }
}

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void putChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
  putBig32(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putBig32(out, crc32(out.data() + start, out.size() - start));
}

// An RGB PNG whose zlib stream keeps the rows in stored (uncompressed) blocks: no library needed.
std::vector<uint8_t> encodePng(int width, int height, const uint32_t* bgrx) {
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < width; ++x) {
      uint32_t p = bgrx[static_cast<size_t>(y) * width + x];
      raw.push_back(static_cast<uint8_t>(p >> 16));
      raw.push_back(static_cast<uint8_t>(p >> 8));
      raw.push_back(static_cast<uint8_t>(p));
    }
  }
  std::vector<uint8_t> zlib = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size(); at += 65535) {
    size_t n = std::min<size_t>(65535, raw.size() - at);
    zlib.push_back(at + n >= raw.size() ? 1 : 0);
    zlib.push_back(static_cast<uint8_t>(n));
    zlib.push_back(static_cast<uint8_t>(n >> 8));
    zlib.push_back(static_cast<uint8_t>(~n));
    zlib.push_back(static_cast<uint8_t>(~n >> 8));
    zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + n);
  }
  putBig32(zlib, (b << 16) | a);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  putBig32(header, static_cast<uint32_t>(width));
  putBig32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", zlib);
  putChunk(png, "IEND", {});
  return png;
}

// The pixels of a shown window with its frame, top-down, 0x00RRGGBB; empty when they could
// not be copied.
std::vector<uint32_t> copyWindow(HWND window, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  auto releaseDc = [window](HDC dc) { ReleaseDC(window, dc); };
  std::unique_ptr<HDC__, decltype(releaseDc)> source(GetWindowDC(window), releaseDc);
  std::unique_ptr<HDC__, decltype(&DeleteDC)> memory(CreateCompatibleDC(source.get()), DeleteDC);
  void* bits = nullptr;
  std::unique_ptr<HBITMAP__, decltype(&DeleteObject)> bitmap(
      CreateDIBSection(source.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0), DeleteObject);
  if (!source || !memory || !bitmap) return {};
  HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
  bool copied = BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY) != FALSE;
  GdiFlush();
  SelectObject(memory.get(), old);
  if (!copied) return {};
  const uint32_t* pixels = static_cast<const uint32_t*>(bits);
  return std::vector<uint32_t>(pixels, pixels + static_cast<size_t>(width) * height);
}

}  // namespace

bool haveDisplay() {
  wchar_t value[8] = {};
  return GetEnvironmentVariableW(L"DISPLAY", value, 8) > 0;
}

bool cjkFontLinked() {
  const wchar_t* key = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink";
  for (const wchar_t* font : {L"MS Shell Dlg", L"Tahoma"}) {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, font, RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS ||
        bytes <= 2 * sizeof(wchar_t)) {
      return false;
    }
  }
  return true;
}

bool useOwnDesktop(const wchar_t* name) {
  HDESK desktop = CreateDesktopW(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  return desktop != nullptr && SetThreadDesktop(desktop);
}

std::string utf8(const std::wstring& text) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                  0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), bytes,
                      nullptr, nullptr);
  return out;
}

void printLine(const std::wstring& line) {
  std::string bytes = utf8(line + L"\n");
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

bool saveShot(HWND dialog, const std::wstring& path, std::wstring& why) {
  HWND top = GetAncestor(dialog, GA_ROOT);
  RECT frame;
  GetWindowRect(dialog, &frame);
  if (top != dialog) {  // a page: its host window is sized to it and photographed
    SetWindowPos(top, HWND_TOP, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  } else {
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  pumpFor(300);
  RedrawWindow(top, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  pumpFor(100);
  RECT r;
  GetWindowRect(top, &r);
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  std::vector<uint32_t> pixels;
  if (width > 0 && height > 0) pixels = copyWindow(top, width, height);
  ShowWindow(top, SW_HIDE);
  if (pixels.empty()) {
    why = L"the window could not be copied";
    return false;
  }

  std::vector<uint8_t> png = encodePng(width, height, pixels.data());
  std::unique_ptr<FILE, decltype(&fclose)> file(_wfopen(path.c_str(), L"wb"), fclose);
  if (!file || fwrite(png.data(), 1, png.size(), file.get()) != png.size() ||
      fclose(file.release()) != 0) {
    why = L"cannot write " + path;
    return false;
  }
  for (uint32_t p : pixels) {
    if ((p & 0xFFFFFF) != (pixels[0] & 0xFFFFFF)) return true;
  }
  why = L"the picture is one colour: nothing was drawn";
  return false;
}

}  // namespace vexlint
