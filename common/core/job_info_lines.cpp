#include "job_info_lines.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vex {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A decimal number of at most `max`, digits only.
std::optional<std::uint32_t> parseBounded(std::string_view text, std::uint32_t max) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + std::uint64_t(c - '0');
  }
  if (value > max) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> parseBounded(std::u16string_view text, std::uint32_t max) {
  std::string narrow;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    narrow.push_back(static_cast<char>(c));
  }
  return parseBounded(narrow, max);
}

std::string narrowAscii(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

}  // namespace

std::string sanitiseJobInfoValue(std::string_view value) {
  std::string out;
  for (char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || c == '"') continue;
    out.push_back(c);
    if (out.size() == kJobInfoValueBytes) break;
  }
  return out;
}

std::string formatReceptionTime(int year, int month, int day, int hour, int minute, int second) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", std::clamp(year, 0, 9999),
                std::clamp(month, 0, 99), std::clamp(day, 0, 99), std::clamp(hour, 0, 99),
                std::clamp(minute, 0, 99), std::clamp(second, 0, 99));
  return text;
}

std::string composeJobInfoText(const JobInfoValues& values) {
  const std::pair<const char*, const std::string*> lines[] = {
      {"ComputerName", &values.computerName},
      {"UserName", &values.userName},
      {"ReceptionTime", &values.receptionTime},
      {"ApplicationName", &values.applicationName},
  };
  std::string text;
  for (const auto& [key, value] : lines) {
    text += "@PJL VEXAUXJOBINFO DATA=\"";
    text += key;
    text += '=';
    text += sanitiseJobInfoValue(*value);
    text += "\"\r\n";
  }
  return text;
}

JobInfoSwitches readJobInfoSwitches(const ProfileReader& read) {
  JobInfoSwitches s;
  if (!read) return s;
  if (auto v = read("Behaviour", "Version2")) s.refuseVersion2 = equalsIgnoringCase(*v, "refuse");
  if (auto v = read("Behaviour", "SizeQuery")) s.failSizeQuery = equalsIgnoringCase(*v, "fail");
  if (auto v = read("Behaviour", "ExtraSize"))
    s.extraSize = parseBounded(*v, kMaxExtraSize).value_or(0);
  if (auto v = read("Behaviour", "NoTerminator")) s.noTerminator = (*v == "1");
  s.computerName = read("Values", "ComputerName");
  s.userName = read("Values", "UserName");
  s.receptionTime = read("Values", "ReceptionTime");
  s.application = read("Values", "Application");
  s.applicationSecondHalfOnly = read("Values", "ApplicationSecondHalfOnly");
  return s;
}

std::uint32_t jobInfoReportedSize(std::string_view text, const JobInfoSwitches& switches) {
  return static_cast<std::uint32_t>(text.size() + 1) + std::min(switches.extraSize, kMaxExtraSize);
}

int answerJobInfoCall(const JobInfoSwitches& switches, std::uint32_t version, bool haveRequest,
                      std::string_view text, char* buffer, std::uint32_t* size) {
  if (version != 0 && version != 2) return kJobInfoFailed;
  if (version == 2 && switches.refuseVersion2) return kJobInfoVersionRefused;
  if (!haveRequest || size == nullptr) return kJobInfoFailed;

  const std::uint32_t reported = jobInfoReportedSize(text, switches);
  if (buffer == nullptr) {
    if (switches.failSizeQuery) return kJobInfoFailed;
    *size = reported;
    return kJobInfoSizeGiven;
  }
  if (*size < reported) {
    *size = reported;
    return kJobInfoFailed;
  }
  if (switches.noTerminator && !text.empty()) {
    // Hostile on purpose: every reported byte is text, none is zero.
    for (std::uint32_t i = 0; i < reported; ++i) buffer[i] = text[i % text.size()];
  } else {
    std::memcpy(buffer, text.data(), text.size());
    std::memset(buffer + text.size(), 0, reported - text.size());
  }
  *size = reported;
  return kJobInfoFilled;
}

std::size_t multibytePrefixLength(std::string_view text, std::size_t maxBytes,
                                  const std::function<bool(unsigned char)>& isLeadByte) {
  std::size_t length = 0;
  while (length < text.size()) {
    const bool lead = isLeadByte && isLeadByte(static_cast<unsigned char>(text[length]));
    if (lead && length + 1 == text.size()) break;  // a lead byte without its trail byte
    const std::size_t step = lead ? 2 : 1;
    if (length + step > maxBytes) break;
    length += step;
  }
  return length;
}

std::array<char, kApplicationBufferBytes> composeApplicationHalves(std::string_view first,
                                                                   std::string_view second) {
  std::array<char, kApplicationBufferBytes> buffer{};
  const auto put = [&buffer](std::size_t offset, std::string_view text) {
    const std::size_t n = std::min(text.size(), kApplicationHalfBytes - 1);
    std::memcpy(buffer.data() + offset, text.data(), n);
  };
  put(0, first);
  put(kApplicationHalfBytes, second);
  return buffer;
}

std::u16string executableBaseName(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"\\/:");
  std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of(u'.');
  if (dot != std::u16string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::u16string(name);
}

bool isPipeName(std::u16string_view name) {
  if (name.size() < 2 || name[0] != u'\\' || name[1] != u'\\') return false;
  if (name.find(u'\0') != std::u16string_view::npos) return false;
  // The platform reads '/' as a separator too and resolves "." and ".." steps: a name that
  // could step out of the pipe namespace is refused.
  std::vector<std::u16string_view> segments;
  std::size_t begin = 2;
  for (;;) {
    const std::size_t end = name.find_first_of(u"\\/", begin);
    segments.push_back(name.substr(begin, end == std::u16string_view::npos ? end : end - begin));
    if (end == std::u16string_view::npos) break;
    begin = end + 1;
  }
  if (segments.size() < 3) return false;
  const std::u16string_view server = segments[0];
  if (server.empty() || server.find_first_of(u":*?\"<>|") != std::u16string_view::npos) {
    return false;
  }
  const auto onlyDots = [](std::u16string_view s) {
    return s.find_first_not_of(u". ") == std::u16string_view::npos;
  };
  if (server != u"." && onlyDots(server)) return false;
  const std::u16string_view word = segments[1];
  const char16_t* pipe = u"pipe";
  if (word.size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    const char16_t c = (word[i] >= u'A' && word[i] <= u'Z') ? char16_t(word[i] + 32) : word[i];
    if (c != pipe[i]) return false;
  }
  for (std::size_t i = 2; i < segments.size(); ++i) {
    if (segments[i].empty() || onlyDots(segments[i])) return false;
  }
  return true;
}

RelayArguments parseRelayArguments(const std::vector<std::u16string>& argv) {
  RelayArguments result;
  // Started by the plug-in, "0" is argv[0]; started with a program name, it is argv[1]. The two
  // forms differ in the parity of the count.
  std::size_t first;
  if (argv.size() == 4 || argv.size() == 6) {
    first = 1;
  } else if (argv.size() == 3 || argv.size() == 5) {
    first = 0;
  } else {
    result.error = "expected: 0 \"<application name>\" \"<pipe name>\" [--wait-ms N]";
    return result;
  }
  if (argv[first] != u"0") {
    result.error = "the first argument must be 0";
    return result;
  }
  const std::u16string& pipe = argv[first + 2];
  if (pipe.size() > kRelayMaxPipeNameChars || !isPipeName(pipe)) {
    result.error = "not a pipe name: " + narrowAscii(pipe.substr(0, 80));
    return result;
  }
  if (argv.size() - first == 5) {
    if (argv[first + 3] != u"--wait-ms") {
      result.error = "unknown option " + narrowAscii(argv[first + 3].substr(0, 40));
      return result;
    }
    const auto wait = parseBounded(argv[first + 4], kRelayMaxWaitMs);
    if (!wait) {
      result.error = "--wait-ms takes a number of milliseconds up to 600000";
      return result;
    }
    result.waitMs = *wait;
  }
  result.applicationName = argv[first + 1];
  result.pipeName = pipe;
  result.ok = true;
  return result;
}

std::u16string relayMessage(std::u16string_view applicationName) {
  const std::size_t end = applicationName.find(u'\0');
  std::u16string_view name = applicationName.substr(0, end);
  if (name.size() > kRelayNameChars) {
    std::size_t n = kRelayNameChars;
    const char16_t last = name[n - 1];
    if (last >= 0xD800 && last <= 0xDBFF) --n;  // keep a surrogate pair whole or drop it
    name = name.substr(0, n);
  }
  std::u16string message(name);
  message.push_back(u'\0');
  return message;
}

}  // namespace vex
