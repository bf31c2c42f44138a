#include "document_writer.h"

#include <windows.h>

#include <algorithm>

#include "report.h"

namespace vex::host {
namespace {

// DSC text lines stay printable 7-bit ASCII and short.
std::string cleanTitle(const std::string& title) {
  std::string clean = title.substr(0, 200);
  for (char& c : clean) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7f) c = '?';
  }
  return clean;
}

void put(PrintTarget& target, const std::string& text) { target.write(text.data(), text.size()); }

// The body file in chunks as it is read, with a line end after a last line without one.
void putBodyFile(PrintTarget& target, const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    failWith(ExitCode::kBadInput, L"cannot read the body " + path + L" while printing");
  }
  char chunk[kChunkBytes];
  char last = '\n';
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file, chunk, sizeof chunk, &read, nullptr)) {
      CloseHandle(file);
      failWith(ExitCode::kBadInput, L"cannot read the body " + path + L" while printing");
    }
    if (read == 0) break;
    target.write(chunk, read);
    last = chunk[read - 1];
  }
  CloseHandle(file);
  if (last != '\n') put(target, "\n");
}

// Comment lines of exactly kChunkBytes bytes.
std::string fillerChunk() {
  std::string line = "% pass-through filler: the printer reads and ignores this line.";
  line.resize(63, '.');
  line += '\n';
  std::string chunk;
  while (chunk.size() < kChunkBytes) chunk += line;
  chunk.resize(kChunkBytes);
  chunk.back() = '\n';
  return chunk;
}

void putFiller(PrintTarget& target, std::uint64_t total) {
  static const std::string chunk = fillerChunk();
  std::uint64_t left = total;
  while (left >= kChunkBytes) {
    target.write(chunk.data(), kChunkBytes);
    left -= kChunkBytes;
  }
  if (left > 0) {
    std::string tail = chunk.substr(0, static_cast<std::size_t>(left));
    tail.back() = '\n';
    target.write(tail.data(), tail.size());
  }
}

std::string builtInPage(int page, int pages, int width, int height) {
  auto n = [](int v) { return std::to_string(v); };
  return "0.15 0.35 0.75 setrgbcolor\n"
         "72 " +
         n(height - 380) + " " + n(width - 144) +
         " 200 rectfill\n"
         "0.85 0.2 0.1 setrgbcolor\n" +
         n(width / 2) + " " + n(height - 500) +
         " 60 0 360 arc fill\n"
         "0 setgray\n"
         "/Helvetica-Bold findfont 28 scalefont setfont\n"
         "72 " +
         n(height - 100) +
         " moveto (VEX demo document) show\n"
         "/Helvetica findfont 16 scalefont setfont\n"
         "72 " +
         n(height - 130) + " moveto (Page " + n(page) + " of " + n(pages) + ") show\n";
}

std::string documentHeader(const DocumentPlan& plan, bool builtIn) {
  const PageGeometry& g = plan.geometry;
  std::string text = "%!PS-Adobe-3.0\n";
  text += "%%Title: " + cleanTitle(plan.title) + "\n";
  text += "%%Creator: render-host\n";
  text += "%%Pages: " + std::to_string(plan.pages) + "\n";
  text += "%%PageOrder: Ascend\n";
  text += "%%BoundingBox: 0 0 " + std::to_string(g.width) + " " + std::to_string(g.height) + "\n";
  text += std::string("%%Orientation: ") + (g.landscape ? "Landscape" : "Portrait") + "\n";
  if (builtIn) text += "%%DocumentNeededResources: font Helvetica Helvetica-Bold\n";
  text += "%%LanguageLevel: 2\n";
  text += "%%EndComments\n";
  text += "%%BeginProlog\n";
  return text;
}

}  // namespace

void writeDocument(const DocumentPlan& plan, PrintTarget& target) {
  const PageGeometry& g = plan.geometry;
  const bool builtIn = plan.bodyPath == nullptr && plan.fillerBytes == 0;
  const int pages = plan.fillerBytes ? 1 : plan.pages;
  const int pageWidth = g.landscape ? g.height : g.width;
  const int pageHeight = g.landscape ? g.width : g.height;
  DocumentPlan counted = plan;
  counted.pages = pages;

  for (int page = 1; page <= pages; ++page) {
    // The driver writes the document's head when the first page starts.
    target.startPage();
    if (page == 1) {
      target.inject(PSINJECT_BEGINSTREAM);
      put(target, documentHeader(counted, builtIn));
      target.inject(PSINJECT_BEGINPROLOG);
      put(target,
          "%%EndProlog\n"
          "%%BeginSetup\n");
      target.inject(PSINJECT_BEGINSETUP);
      if (!plan.documentFeatures.empty()) put(target, plan.documentFeatures);
      put(target, "<< /PageSize [" + std::to_string(g.width) + " " + std::to_string(g.height) +
                      "] >> setpagedevice\n"
                      "%%EndSetup\n");
    }
    std::string setup = "%%Page: " + std::to_string(page) + " " + std::to_string(page) + "\n" +
                        "%%BeginPageSetup\n" + plan.pageFeatures + "/VXHsave save def\n";
    if (g.landscape) setup += "90 rotate 0 -" + std::to_string(g.width) + " translate\n";
    put(target, setup);
    target.inject(PSINJECT_ENDPAGESETUP);
    put(target, "%%EndPageSetup\n");
    target.textOut();
    if (plan.fillerBytes) {
      putFiller(target, plan.fillerBytes);
    } else if (plan.bodyPath) {
      putBodyFile(target, *plan.bodyPath);
    } else {
      put(target, builtInPage(page, pages, pageWidth, pageHeight));
    }
    target.sendPage();
    put(target,
        "VXHsave restore\n"
        "showpage\n"
        "%%PageTrailer\n");
  }
  put(target,
      "%%Trailer\n"
      "%%EOF\n");
  target.inject(PSINJECT_ENDSTREAM);
}

}  // namespace vex::host
