#include "header_filter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vex {

namespace {

struct CaptureMarker {
  std::string_view pattern;
  std::uint32_t flag;
  int line;
  bool icCardOnly;
};

// In the order they are searched.
constexpr CaptureMarker kCaptures[] = {
    {"@PJL JOB NAME", HeaderFilter::kJobName, 0, false},
    {"@PJL VEXAUXJOBINFO DATA=\"ComputerName=", HeaderFilter::kComputerName, 1, false},
    {"@PJL VEXAUXJOBINFO DATA=\"UserName=", HeaderFilter::kUserName, 2, false},
    {"@PJL VEXAUXJOBINFO DATA=\"ReceptionTime=", HeaderFilter::kReceptionTime, 3, false},
    {"@PJL COMMENT Device Name", HeaderFilter::kDeviceName, 4, true},
    {"@PJL COMMENT Version", HeaderFilter::kVersion, 5, true},
};

const LineMarker& captureMarker(std::size_t i) {
  static const LineMarker markers[] = {
      LineMarker(kCaptures[0].pattern), LineMarker(kCaptures[1].pattern),
      LineMarker(kCaptures[2].pattern), LineMarker(kCaptures[3].pattern),
      LineMarker(kCaptures[4].pattern), LineMarker(kCaptures[5].pattern),
  };
  return markers[i];
}

const LineMarker& languageSwitch() {
  static const LineMarker marker("@PJL ENTER LANGUAGE");
  return marker;
}

const LineMarker& postScriptStart() {
  static const LineMarker marker("%%!PS-Adobe");
  return marker;
}

constexpr std::string_view kExit = "\x1b%-12345X";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::uint32_t kNeeded =
    HeaderFilter::kComputerName | HeaderFilter::kUserName | HeaderFilter::kReceptionTime;

}  // namespace

HeaderFilter::HeaderFilter(std::uint32_t keepingTime, bool icCardPrinter)
    : keepingTime_(keepingTime), icCardPrinter_(icCardPrinter) {}

int HeaderFilter::feed(const std::uint8_t* bytes, std::size_t length) {
  if (length > 0 && bytes != nullptr) data_.insert(data_.end(), bytes, bytes + length);
  // Only the PJL header is searched: what follows "@PJL ENTER LANGUAGE" is the document, whose
  // lines must never be taken for the header's and sent in clear.
  const std::ptrdiff_t enter = languageSwitch().find(data_.data(), data_.size());
  const std::size_t header = enter >= 0 ? static_cast<std::size_t>(enter) : data_.size();
  for (std::size_t i = 0; i < std::size(kCaptures); ++i) {
    const CaptureMarker& c = kCaptures[i];
    if ((found_ & c.flag) != 0 || (c.icCardOnly && !icCardPrinter_)) continue;
    const std::ptrdiff_t at = captureMarker(i).find(data_.data(), header);
    if (at < 0) continue;
    capture(static_cast<Line>(c.line), static_cast<std::size_t>(at));
    found_ |= c.flag;
  }
  if ((found_ & kNeeded) == kNeeded) {
    state_ = kHeaderComplete;
  } else {
    if (enter >= 0 || postScriptStart().find(data_.data(), data_.size()) >= 0) {
      state_ = kGiveUp;
    }
    if (data_.size() > kGiveUpBytes) state_ = kGiveUp;
  }
  return state_;
}

// The line at `at`, up to its CR, LF or zero byte. A line that does not end within 255 bytes of
// the buffered data is captured empty rather than cut.
void HeaderFilter::capture(Line line, std::size_t at) {
  auto& out = lines_[line];
  const std::size_t limit = std::min<std::size_t>(data_.size() - at, kLineCapacity - 1);
  std::size_t n = 0;
  bool ended = false;
  for (; n < limit; ++n) {
    const std::uint8_t b = data_[at + n];
    if (b == '\r' || b == '\n' || b == 0) {
      ended = true;
      break;
    }
    out[n] = static_cast<char>(b);
  }
  out[n] = '\0';
  lengths_[line] = ended ? n : 0;
}

std::string_view HeaderFilter::line(Line which) const {
  return std::string_view(lines_[which].data(), lengths_[which]);
}

std::optional<std::string> HeaderFilter::compose() const {
  if (state_ != kHeaderComplete) return std::nullopt;
  char keeping[64];
  std::snprintf(keeping, sizeof keeping, "@PJL VEXAUXJOBINFO DATA=\"KeepingTime=%02u:%02u\"",
                static_cast<unsigned>(keepingTime_ >> 16),
                static_cast<unsigned>(keepingTime_ & 0xFFFF));
  std::string text(kExit);
  auto add = [&text](std::string_view s) {
    text += s;
    text += kLineEnd;
  };
  add((found_ & kJobName) != 0 ? line(kJobLine) : std::string_view("@PJL JOB"));
  if (icCardPrinter_) {
    add(line(kDeviceLine));
    add(line(kVersionLine));
  }
  add(line(kComputerLine));
  add(line(kUserLine));
  add(line(kReceptionLine));
  add(keeping);
  return text;
}

EndOfJobDetector::EndOfJobDetector() : trailer_("\x1b%-12345X@PJL EOJ\r\n") {}

bool EndOfJobDetector::check(const std::uint8_t* chunk, std::size_t length) {
  if (chunk == nullptr) length = 0;
  const std::size_t head = std::min(length, kTail);
  if (head > 0) std::memcpy(window_.data() + kTail, chunk, head);
  // Only bytes of the stream count: the window's unused start never completes a trailer.
  const std::uint8_t* window = window_.data() + kTail - held_;
  if (trailer_.find(window, held_ + head) >= 0 || trailer_.find(chunk, length) >= 0) return true;
  // The new tail: the last 256 bytes of (previous tail, chunk).
  if (length >= kTail) {
    std::memcpy(window_.data(), chunk + length - kTail, kTail);
  } else if (length > 0) {
    std::memmove(window_.data(), window_.data() + length, kTail - length);
    std::memcpy(window_.data() + kTail - length, chunk, length);
  }
  held_ = std::min(kTail, held_ + length);
  return false;
}

}  // namespace vex
