// The job password dialog (202) and the crypto library's password window, over plain values:
// what the name and password fields accept, what the dialog shows when it opens, what OK checks
// and writes, and the settings block that carries the encryption password to and from the
// library. The dialog procedure and the library binding carry out these answers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vex {

inline constexpr std::size_t kJobPasswordChars = 4;  // exactly four digits

// A field after an update notification: what it should hold and where the caret goes.
struct FilteredField {
  std::u16string text;    // the accepted characters, in their order, at most the field's limit
  std::size_t caret = 0;  // the caret moved back by the characters taken out, never below 0
  bool removed = false;   // something was taken out: beep once and put `text` back
};

// The job name field 1006: printable ASCII without the double quote, at most 16 characters (what
// the print-time job-name dialog accepts, since the name goes into a quoted PJL line). `caret` is
// the caret as the edit left it.
FilteredField filterJobNameField(std::u16string_view text, std::size_t caret);
// The password field 1008: the digits "0" to "9", at most 4.
FilteredField filterJobPasswordField(std::u16string_view text, std::size_t caret);

// The platform facts the dialog reads when it opens.
struct PrinterAndSystem {
  bool sharedOrNetwork = false;  // the printer's attributes say shared or network
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
};

// Check box 1007, "a job name is required for every print job".
struct JobNameRequiredBox {
  bool checked = false;
  bool enabled = true;
};

// Disabled on Vista (6.0) and later; unchecked and disabled on a shared or network printer
// whatever the record says; otherwise checked when the record's value is non-zero.
JobNameRequiredBox jobNameRequiredBox(std::uint32_t jobNameRequired,
                                      const PrinterAndSystem& system);

// Whether checking 1007 shows the once-only warning 301 (version 5 with a non-zero minor
// version, where several users may be logged on at once).
bool jobNameWarningDue(bool nowChecked, const PrinterAndSystem& system);

// What dialog 202 shows when it opens. The record comes from a device mode: the fields show
// only what they would accept.
struct JobPasswordDialogState {
  std::u16string jobName;
  std::u16string jobPassword;
  JobNameRequiredBox required;
};
JobPasswordDialogState openJobPasswordDialog(const std::uint8_t* record,
                                             const PrinterAndSystem& system);

// OK's answer; the refusals are the string ids of their messages (stop icon, no caption).
enum class JobPasswordCheck : std::uint16_t {
  accepted = 0,
  invalidPassword = 8000,  // "密码无效。"
  invalidJobName = 8001,   // "作业名称无效。"
};

// OK checks the password first (exactly four digits), then the name (not empty
// unless 1007 is checked). Only when accepted are `jobName`, `jobPassword` and
// `jobNameRequired` written; both text fields are cleared before the new text goes in. The field
// texts pass the fields' own filters again, so the record holds only what the fields accept.
JobPasswordCheck acceptJobPassword(std::uint8_t* record, std::u16string_view jobNameText,
                                   std::u16string_view passwordText, bool requiredChecked);

// The crypto settings block exchanged with the crypto library: the caller reserves 40 bytes and
// zero-fills them; the library uses the first 32 (little-endian).
namespace cryptoblock {
inline constexpr std::size_t settingA = 0;  // u32, `cryptoSettingA`
inline constexpr std::size_t settingB = 4;  // u32, `cryptoSettingB`
inline constexpr std::size_t password = 8;  // ANSI text, NUL-terminated
inline constexpr std::size_t passwordBytes = 16;
inline constexpr std::size_t flag = 24;         // u32, `cryptoFlag`
inline constexpr std::size_t keepingTime = 28;  // u32, `cryptoTime`: hours << 16 | minutes
inline constexpr std::size_t usedBytes = 32;
inline constexpr std::size_t reservedBytes = 40;
inline constexpr std::size_t decipherCapacity = 13;  // the output capacity "DecryptPassword" gets
}  // namespace cryptoblock

struct CryptoSettings {
  std::uint32_t settingA = 0;
  std::uint32_t settingB = 0;
  std::uint32_t flag = 0;
  std::uint32_t keepingTime = 0;
  bool operator==(const CryptoSettings&) const = default;
};

// The block for one operation. It holds the plain password, so it cannot be copied and wipes all
// 40 bytes when it goes out of scope, whichever way the operation ends.
class CryptoBlock {
 public:
  CryptoBlock() = default;  // zero-filled
  ~CryptoBlock() { wipe(); }
  CryptoBlock(const CryptoBlock&) = delete;
  CryptoBlock& operator=(const CryptoBlock&) = delete;

  // The bytes handed to the library.
  std::uint8_t* data() { return bytes_.data(); }
  const std::uint8_t* data() const { return bytes_.data(); }

  CryptoSettings settings() const;
  void setSettings(const CryptoSettings& settings);

  // The password field, for the library to fill or to read.
  char* passwordField();
  const char* passwordField() const;
  // Bytes before the first NUL, at most the field's 16 (a library that leaves no NUL gives 16).
  std::size_t passwordLength() const;
  // False (and the field left empty) for a password of more than 15 bytes.
  bool setPassword(std::string_view ansi);
  void clearPassword();

  // Zeroes every byte; the writes are not optimised away.
  void wipe();

 private:
  std::array<std::uint8_t, cryptoblock::reservedBytes> bytes_{};
};

// The settings the password windows start from. Choosing encrypted secure print starts with the
// record's settings, flag 0 and no password; changing the password keeps the record's flag.
void loadCryptoSettingsForChoice(CryptoBlock& block, const std::uint8_t* record);
void loadCryptoSettingsForChange(CryptoBlock& block, const std::uint8_t* record);

// The record's enciphered password: empty when there is none or when the stored length is not
// 1..255 (a hostile length must not make the library read past the 256-byte field).
std::span<const std::uint8_t> storedEncipheredPassword(const std::uint8_t* record);

// After "DecryptPassword" wrote into a cleared password field: the password stands when the
// export returned non-zero and the text ends with a NUL within the 13 bytes it was given; any
// other answer, a missing NUL or a byte written past the capacity leaves the field wiped.
bool takeDecipheredPassword(CryptoBlock& block, int exportResult);

// Choosing encrypted secure print opens no window when the stored password deciphered (or, with
// none stored, `cryptoFlag` is set: asked at print time), and never in IC-card mode.
bool encryptedChoiceNeedsWindow(std::uint32_t decipherOrFlagResult, bool icCardMode);

// The flags of "DispCryptoUIEx": 4, plus 1 on a shared or network printer or Vista and later;
// changing the password in IC-card mode adds 2 instead.
std::uint32_t chooseEncryptionFlags(const PrinterAndSystem& system);
std::uint32_t changeEncryptionFlags(const PrinterAndSystem& system, bool icCardMode);

// What "EncryptPassword" answered: its return value and the length it reported for the bytes it
// wrote into a 256-byte scratch output (preset to 255).
struct EncipherResult {
  bool exported = false;
  int returned = 0;
  std::uint32_t length = 0;
  std::span<const std::uint8_t> output;  // the scratch output
};

// The password window was accepted: the block's settings go into `cryptoSettingA`,
// `cryptoSettingB`, `cryptoFlag` and `cryptoTime`. The enciphered password is stored only when
// the export exists, returned non-zero and reported 1..255 bytes that lie in its output;
// otherwise no password stays stored (length 0, the field zeroed), so that the next job asks
// for it instead of deciphering stale bytes. Bytes past the length are zeroed.
void storeAcceptedCryptoSettings(std::uint8_t* record, const CryptoBlock& block,
                                 const EncipherResult& enciphered);

}  // namespace vex
