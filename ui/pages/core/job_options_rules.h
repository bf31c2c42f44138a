// The job options page's rules over plain values: the copies and scaling filters, the reading of
// a number when the page is left, the job type the page starts with, and which job-type buttons
// a refresh offers. The page's shell reads the driver and the record and shows the answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vex {

// Job types (the selection of "VXJob_Type").
inline constexpr std::uint32_t kNormalPrint = 0, kSecurePrint = 1, kStoreToSd = 2,
                               kEncryptedSecurePrint = 3;

// What the edit filters keep of a typed text: its digits, their number (saturated at `limit`),
// whether anything else was there, and whether the number was brought down to the limit.
struct DigitFilter {
  std::u16string digits;
  std::uint32_t value = 0;
  bool hadOther = false;
  bool limited = false;
};
DigitFilter filterDigits(std::u16string_view text, std::uint32_t limit);

// Copies never reach beyond what the edit holds; scaling stops at 1000 %.
inline constexpr std::uint32_t kCopiesFilterLimit = 999999;
inline constexpr std::uint32_t kScaleFilterLimit = 1000;

// The number a field holds when the page is left: digits only (blanks around them allowed),
// within 32 bits; nothing otherwise.
std::optional<std::uint32_t> readUnsigned(std::u16string_view text);

struct StartJobInputs {
  std::uint32_t jobType = 0;  // as the record brought it
  bool jobLimitMode = false;
  bool icCardMode = false;
  bool storage = false;  // "VXHDD" is "True"
  std::uint32_t encryptedPasswordLength = 0;
};
struct StartJob {
  std::uint32_t jobType = 0;
  bool askPasswordAtPrint = false;  // set cryptoFlag: no enciphered password is stored
};
// The job type when the page is created: job limitation forces encrypted secure print; in IC-card
// mode secure print and storing become the card's secure print when the printer has storage,
// and normal print when it has none.
StartJob startJobType(const StartJobInputs& in);

struct JobTypeInputs {
  std::uint32_t jobType = 0;
  bool storage = false;
  bool jobLimitMode = false;
  bool icCardMode = false;
  bool cryptoConfigured = false;  // "CryptoDll" is set
  bool standardUiQueried = false;
  bool cryptoLoads = false;  // the configured library loads
};
struct JobTypeView {
  std::uint32_t jobType = 0;  // the job type shown (and kept)
  bool enabled[4] = {};       // buttons 0 to 3; a removed button is not enabled
  bool encryptedRemoved = false;
  bool passwordEnabled = false;  // the password button
  bool copiesEnabled = false;    // copies and collation may be edited
};
// What a refresh shows. A job type the buttons cannot show (above 3, or encrypted when that
// button is gone or disabled for want of the library) is shown and kept as normal print.
JobTypeView refreshJobTypes(const JobTypeInputs& in);

}  // namespace vex
