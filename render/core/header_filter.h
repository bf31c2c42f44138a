// Buffers the start of an encrypted secure job until the job-information lines have been seen,
// and composes the cleartext header the printer gets ahead of the encrypted frames.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line_marker.h"

namespace vex {

class HeaderFilter {
 public:
  enum State : int { kCollecting = 1, kHeaderComplete = 4, kGiveUp = 8 };
  enum Found : std::uint32_t {
    kJobName = 0x1,
    kComputerName = 0x2,
    kUserName = 0x4,
    kReceptionTime = 0x8,
    kDeviceName = 0x10,
    kVersion = 0x20,
  };
  // Beyond this many buffered bytes without the three job-information lines, collecting stops.
  static constexpr std::size_t kGiveUpBytes = 0x7FFF;
  static constexpr std::size_t kLineCapacity = 256;

  // keepingTime: hours in the high 16 bits, minutes in the low 16 bits. icCardPrinter adds the
  // device-name and version lines to what is captured and composed.
  HeaderFilter(std::uint32_t keepingTime, bool icCardPrinter);

  int feed(const std::uint8_t* bytes, std::size_t length);
  int state() const { return state_; }
  std::uint32_t found() const { return found_; }

  // The cleartext header; only in the header-complete state.
  std::optional<std::string> compose() const;

  // Every byte of the job seen so far.
  const std::vector<std::uint8_t>& data() const { return data_; }

 private:
  enum Line { kJobLine, kComputerLine, kUserLine, kReceptionLine, kDeviceLine, kVersionLine };
  void capture(Line line, std::size_t at);
  std::string_view line(Line line) const;

  std::vector<std::uint8_t> data_;
  std::uint32_t keepingTime_;
  bool icCardPrinter_;
  int state_ = kCollecting;
  std::uint32_t found_ = 0;
  std::array<std::array<char, kLineCapacity>, 6> lines_{};
  std::array<std::size_t, 6> lengths_{};
};

// Watches the stream for the plug-in's own job trailer (exit sequence, "@PJL EOJ", CR LF) once
// it has been written: text inside the document never ends a job, so the detector is made only
// after the trailer went out. The window keeps the last 256 bytes of the stream in front of the
// start of the next chunk, so a trailer split across two chunks is found.
class EndOfJobDetector {
 public:
  EndOfJobDetector();
  bool check(const std::uint8_t* chunk, std::size_t length);

 private:
  static constexpr std::size_t kTail = 256;
  std::array<std::uint8_t, 2 * kTail> window_{};
  std::size_t held_ = 0;  // bytes of the window that came from the stream
  LineMarker trailer_;
};

}  // namespace vex
