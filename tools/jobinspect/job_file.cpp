#include "job_file.h"

#include <charconv>

namespace jobinspect {

namespace {

constexpr std::string_view kExit = "\x1b%-12345X";
constexpr std::string_view kFrameHead = "@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:";
constexpr std::string_view kSecureEnd = "@PJL EOJ NAME = \"END\"\n";
constexpr std::string_view kEnter = "@PJL ENTER LANGUAGE=POSTSCRIPT";
constexpr std::size_t kMaxSize = 0x7FFFFFFF;

bool startsWith(std::string_view s, std::size_t at, std::string_view prefix) {
  return s.size() - at >= prefix.size() && s.compare(at, prefix.size(), prefix) == 0;
}

std::string where(std::size_t at) { return " at byte " + std::to_string(at); }

// `"X" SIZE=N\n` after the common head; false when it is not exactly that.
bool parseHead(std::string_view bytes, std::size_t& at, Frame& frame, std::string& error) {
  const std::size_t start = at;
  const std::size_t lf = bytes.find('\n', at);
  if (lf == std::string_view::npos || lf - at > 256) {
    error = "frame head without its line end" + where(start);
    return false;
  }
  std::string_view line = bytes.substr(at + kFrameHead.size(), lf - at - kFrameHead.size());
  const std::size_t quote = line.find('"');
  if (quote == std::string_view::npos) {
    error = "frame head without its closing quote" + where(start);
    return false;
  }
  frame.location = std::string(line.substr(0, quote));
  if (frame.location != "write_start" && frame.location != "write" &&
      frame.location != "write_end") {
    error = "unknown frame location \"" + frame.location + "\"" + where(start);
    return false;
  }
  std::string_view rest = line.substr(quote + 1);
  if (rest.substr(0, 6) != " SIZE=" || rest.size() == 6 || rest.size() > 26) {
    error = "frame head without a SIZE" + where(start);
    return false;
  }
  rest.remove_prefix(6);
  std::uint64_t size = 0;
  const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), size);
  if (ec != std::errc() || end != rest.data() + rest.size() || rest[0] == '+' || size > kMaxSize) {
    error = "bad SIZE \"" + std::string(rest) + "\"" + where(start);
    return false;
  }
  at = lf + 1;
  if (bytes.size() - at < size) {
    error = "truncated stream: frame " + frame.location + " announces " + std::to_string(size) +
            " bytes, " + std::to_string(bytes.size() - at) + " follow" + where(start);
    return false;
  }
  frame.offset = start;
  frame.payload = bytes.substr(at, size);
  at += size;
  if (!startsWith(bytes, at, kExit)) {
    error = (bytes.size() - at < kExit.size() ? "truncated stream: " : "") + std::string("frame ") +
            frame.location + " not closed by the exit sequence" + where(at);
    return false;
  }
  at += kExit.size();
  return true;
}

}  // namespace

bool parseJobFile(std::string_view bytes, JobFile& job, std::string& error) {
  job = JobFile{};
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (startsWith(bytes, at, kExit)) {
      at += kExit.size();
      continue;
    }
    if (startsWith(bytes, at, kFrameHead)) {
      Frame frame;
      if (!parseHead(bytes, at, frame, error)) return false;
      const bool first = job.frames.empty();
      if (first != (frame.location == "write_start")) {
        error = "frame " + frame.location + " out of order" + where(frame.offset);
        return false;
      }
      if (!first && job.frames.back().location == "write_end") {
        error = "frame after the end frame" + where(frame.offset);
        return false;
      }
      job.secure = true;
      job.frames.push_back(frame);
      if (frame.location == "write_end") {
        if (!startsWith(bytes, at, kSecureEnd)) {
          error = "end frame not followed by the end-of-job line" + where(at);
          return false;
        }
        at += kSecureEnd.size();
        if (!startsWith(bytes, at, kExit)) {
          error = "end-of-job line not closed by the exit sequence" + where(at);
          return false;
        }
        at += kExit.size();
        job.endOfJobLine = true;
        if (at != bytes.size()) {
          error = "bytes after the end of the secure job" + where(at);
          return false;
        }
      }
      continue;
    }
    if (job.secure) {
      const std::string_view rest = bytes.substr(at);
      const bool cut = rest.size() < kFrameHead.size() && kFrameHead.substr(0, rest.size()) == rest;
      error = (cut ? "truncated stream: cut in a frame head" : "unexpected bytes between frames") +
              where(at);
      return false;
    }
    if (startsWith(bytes, at, "@PJL")) {
      std::size_t lf = bytes.find('\n', at);
      if (lf == std::string_view::npos) lf = bytes.size();
      std::string_view line = bytes.substr(at, lf - at);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      job.pjlLines.emplace_back(line);
      at = lf + (lf < bytes.size() ? 1 : 0);
      if (line.substr(0, kEnter.size()) == kEnter) {
        // A plain job: PostScript up to the trailer's exit sequence.
        std::size_t end = bytes.rfind(kExit);
        if (end == std::string_view::npos || end < at) end = bytes.size();
        job.payload = bytes.substr(at, end - at);
        at = end;
      }
      continue;
    }
    // PostScript without a language switch (EPS output): all of it is the payload.
    job.payload = bytes.substr(at);
    break;
  }
  if (job.secure && !job.endOfJobLine) {
    error = "truncated stream: no end frame after " + std::to_string(job.frames.size()) + " frames";
    return false;
  }
  return true;
}

}  // namespace jobinspect
