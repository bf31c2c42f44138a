// Rules of the job-information companions stated over strings: the PJL lines that the
// job-information library composes, its test switches, the two halves of the printing
// application's name, and the command line and message of the relay program.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

// Answers of "GetJobInfoCmd".
inline constexpr int kJobInfoFilled = 0;
inline constexpr int kJobInfoSizeGiven = 1;
inline constexpr int kJobInfoFailed = 2;
inline constexpr int kJobInfoVersionRefused = 3;

// Every value in a line: printable ASCII without the double quote, at most this many bytes.
inline constexpr std::size_t kJobInfoValueBytes = 64;
// Bytes read from a request string at most (61-byte field, its terminator included).
inline constexpr std::size_t kRequestTextBytes = 60;
// ExtraSize above this is ignored: a switch must not make the library claim huge buffers.
inline constexpr std::uint32_t kMaxExtraSize = 65536;

struct JobInfoValues {
  std::string computerName;
  std::string userName;
  std::string receptionTime;
  std::string applicationName;
};

// Keeps only bytes 0x20..0x7E other than '"', and at most kJobInfoValueBytes of them, so that a
// value can neither end its quoted string nor its line.
std::string sanitiseJobInfoValue(std::string_view value);

// "YYYY/MM/DD HH:MM:SS" (fields out of their range are clamped, so the width never changes).
std::string formatReceptionTime(int year, int month, int day, int hour, int minute, int second);

// The four "@PJL VEXAUXJOBINFO" lines, each ending CR LF, with sanitised values.
std::string composeJobInfoText(const JobInfoValues& values);

// The library's own test switches (file "vexjobinfo.ini" beside the library).
struct JobInfoSwitches {
  bool refuseVersion2 = false;                           // [Behaviour] Version2=refuse
  bool failSizeQuery = false;                            // [Behaviour] SizeQuery=fail
  std::uint32_t extraSize = 0;                           // [Behaviour] ExtraSize=N
  bool noTerminator = false;                             // [Behaviour] NoTerminator=1
  std::optional<std::string> computerName;               // [Values] ComputerName=
  std::optional<std::string> userName;                   // [Values] UserName=
  std::optional<std::string> receptionTime;              // [Values] ReceptionTime=
  std::optional<std::string> application;                // [Values] Application=
  std::optional<std::string> applicationSecondHalfOnly;  // [Values] ApplicationSecondHalfOnly=
};

// Value of `key` in `section`, or nothing when the key is absent.
using ProfileReader =
    std::function<std::optional<std::string>(std::string_view section, std::string_view key)>;

// Unknown or malformed values leave the normal behaviour.
JobInfoSwitches readJobInfoSwitches(const ProfileReader& read);

// Bytes that the library reports for `text`: the text, its zero and ExtraSize.
std::uint32_t jobInfoReportedSize(std::string_view text, const JobInfoSwitches& switches);

// One "GetJobInfoCmd" call once the text is known. Versions other than 0 and 2, a missing
// request or a missing size pointer answer kJobInfoFailed and write nothing.
int answerJobInfoCall(const JobInfoSwitches& switches, std::uint32_t version, bool haveRequest,
                      std::string_view text, char* buffer, std::uint32_t* size);

// "GetPrintingApplication": a 120-byte buffer in two 60-byte halves of zero-terminated text.
inline constexpr std::size_t kApplicationBufferBytes = 120;
inline constexpr std::size_t kApplicationHalfBytes = 60;

// Length of the longest prefix of multibyte `text` of at most `maxBytes` bytes that does not
// end inside a double-byte character (`isLeadByte` tells the code page's lead bytes); a lead
// byte without its trail byte at the very end is left out as well.
std::size_t multibytePrefixLength(std::string_view text, std::size_t maxBytes,
                                  const std::function<bool(unsigned char)>& isLeadByte);

// The buffer: each half holds at most 59 bytes of its text (callers cut multibyte text first)
// and zeros after it; an empty `first` leaves the first half all zeros.
std::array<char, kApplicationBufferBytes> composeApplicationHalves(std::string_view first,
                                                                   std::string_view second);

// File name of `path` without folders and without its last extension.
std::u16string executableBaseName(std::u16string_view path);

// The relay program.
inline constexpr int kRelayDelivered = 0;
inline constexpr int kRelayBadCommandLine = 2;
inline constexpr int kRelayNoPipe = 3;
inline constexpr int kRelayWriteFailed = 4;

inline constexpr std::uint32_t kRelayDefaultWaitMs = 10000;
inline constexpr std::uint32_t kRelayMaxWaitMs = 600000;
inline constexpr std::size_t kRelayNameChars = 60;
inline constexpr std::size_t kRelayMaxPipeNameChars = 1024;

struct RelayArguments {
  bool ok = false;
  std::string error;  // why the command line was refused
  std::u16string applicationName;
  std::u16string pipeName;
  std::uint32_t waitMs = kRelayDefaultWaitMs;
};

// The arguments as the C runtime splits them. The plug-in starts the program with the command
// line `0 "name" "pipe"` and no program name, so "0" may be argv[0] or argv[1]; an optional
// `--wait-ms N` follows the pipe name.
RelayArguments parseRelayArguments(const std::vector<std::u16string>& argv);

// "\\server\pipe\name" (any case of "pipe"; '/' counts as a separator, as the platform
// reads it) without empty, "." or ".." steps: the relay never opens anything but a pipe.
bool isPipeName(std::u16string_view name);

// The one message: at most 60 UTF-16 units (never half a surrogate pair) and the zero.
std::u16string relayMessage(std::u16string_view applicationName);

}  // namespace vex
