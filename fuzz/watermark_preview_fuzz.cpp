// Fuzz target: the watermark preview's geometry over any definition, form name, orientation,
// control size and measured text extent, and the watermark font file's field splitter over any
// entry. The properties: no undefined behaviour (the sanitizers stop on overflow), a page that
// is shown lies inside a control of dialog size, the font height is never 0, and the splitter's
// fields hold no separator and the preview's face fits a LOGFONT.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "watermark_dialog_rules.h"
#include "watermark_preview.h"

namespace {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  template <typename T>
  T take() {
    T value{};
    const std::size_t n = std::min(sizeof(T), size_ - at_);
    std::memcpy(&value, data_ + at_, n);
    at_ += n;
    return value;
  }
  std::u16string rest() {
    std::u16string text;
    for (; at_ + 1 < size_; at_ += 2) {
      text.push_back(static_cast<char16_t>(data_[at_] | (data_[at_ + 1] << 8)));
    }
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  vex::WatermarkDefinition d;
  d.fontSize = in.take<std::int32_t>();
  d.angle = in.take<std::int16_t>();
  d.offsetX = in.take<std::int32_t>();
  d.offsetY = in.take<std::int32_t>();
  d.position = in.take<std::int16_t>();
  d.frameStyle = in.take<std::int16_t>();
  const auto orientation = in.take<std::int16_t>();
  const auto width = in.take<std::int32_t>();
  const auto height = in.take<std::int32_t>();
  const vex::TextExtent extent{in.take<std::int32_t>(), in.take<std::int32_t>()};
  const auto nameLength = in.take<std::uint8_t>();
  const std::u16string rest = in.rest();
  const std::u16string formName = rest.substr(0, nameLength);
  d.text = rest.substr(formName.size(), 128);

  const vex::PreviewPage page =
      vex::layoutPreviewPage(vex::previewPaperSize(formName, orientation), width, height);
  // The page's 16-bit sizes and truncated scale keep it inside controls of dialog size; far
  // larger ones may show a page beyond their edges, which GDI clips.
  if (page.shown && width <= 600 && height <= 600) {
    if (page.x0 < 0 || page.y0 < 0 || page.x0 + page.pw > page.cw || page.y0 + page.ph > page.ch) {
      std::abort();
    }
  }
  const vex::WatermarkPreview preview = vex::layoutWatermarkPreview(page, d, extent);
  if (preview.font.height == 0) std::abort();  // a 16-bit result may be negative, never 0
  (void)vex::scrollPosition(d.position, d.fontSize, d.angle, 1, 600);

  // The same code units as a font entry.
  for (std::size_t n = 0; n <= 6; ++n) {
    const std::u16string_view field = vex::fontEntryField(rest, n);
    if (field.find_first_of(u",;") != std::u16string_view::npos) std::abort();
  }
  if (vex::previewFace(rest).name.size() > 31) std::abort();
  const vex::OffsetField offset = vex::filterOffsetField(rest);
  if (offset.value < -1000 || offset.value > 1000) std::abort();
  return 0;
}
