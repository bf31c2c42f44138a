#include "job_password_rules.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "job_name_filter.h"
#include "private_settings.h"

namespace vex {

namespace {

static_assert(offsetof(CryptoSettingsBlock, settingA) == cryptoblock::settingA);
static_assert(offsetof(CryptoSettingsBlock, settingB) == cryptoblock::settingB);
static_assert(offsetof(CryptoSettingsBlock, password) == cryptoblock::password);
static_assert(sizeof(CryptoSettingsBlock::password) == cryptoblock::passwordBytes);
static_assert(offsetof(CryptoSettingsBlock, askAtPrint) == cryptoblock::flag);
static_assert(offsetof(CryptoSettingsBlock, keepingTime) == cryptoblock::keepingTime);
static_assert(sizeof(CryptoSettingsBlock) == cryptoblock::usedBytes);
static_assert(sizeof(CryptoBlock) == cryptoblock::reservedBytes);

constexpr std::size_t kMaxEncipheredBytes = 255;

bool isPasswordCharacter(char16_t c) { return c >= u'0' && c <= u'9'; }

// The dialog reads at most `limit` characters, so whatever lies beyond is taken out as well.
template <typename Accepts>
FilteredField filterField(std::u16string_view text, std::size_t caret, std::size_t limit,
                          Accepts accepts) {
  FilteredField field;
  std::size_t removed = text.size() > limit ? text.size() - limit : 0;
  for (const char16_t c : text.substr(0, limit)) {
    if (accepts(c)) {
      field.text.push_back(c);
    } else {
      ++removed;
    }
  }
  field.removed = removed != 0;
  field.caret = std::min(caret > removed ? caret - removed : 0, field.text.size());
  return field;
}

void storeWide(std::uint8_t* record, std::size_t offset, std::size_t chars,
               std::u16string_view text) {
  std::memset(record + offset, 0, chars * 2);
  setWide(record, offset, chars, text);
}

bool vistaOrLater(const PrinterAndSystem& system) { return system.majorVersion >= 6; }

}  // namespace

FilteredField filterJobNameField(std::u16string_view text, std::size_t caret) {
  return filterField(text, caret, kJobNameMaxChars, isJobNameCharacter);
}

FilteredField filterJobPasswordField(std::u16string_view text, std::size_t caret) {
  return filterField(text, caret, kJobPasswordChars, isPasswordCharacter);
}

JobNameRequiredBox jobNameRequiredBox(std::uint32_t jobNameRequired,
                                      const PrinterAndSystem& system) {
  if (system.sharedOrNetwork) return {false, false};
  return {jobNameRequired != 0, !vistaOrLater(system)};
}

bool jobNameWarningDue(bool nowChecked, const PrinterAndSystem& system) {
  return nowChecked && system.majorVersion == 5 && system.minorVersion != 0;
}

JobPasswordDialogState openJobPasswordDialog(const std::uint8_t* record,
                                             const PrinterAndSystem& system) {
  JobPasswordDialogState state;
  state.jobName = filterJobNameField(getWide(record, rec::jobName, rec::jobNameChars), 0).text;
  state.jobPassword =
      filterJobPasswordField(getWide(record, rec::jobPassword, rec::jobPasswordChars), 0).text;
  state.required = jobNameRequiredBox(getU32(record, rec::jobNameRequired), system);
  return state;
}

JobPasswordCheck acceptJobPassword(std::uint8_t* record, std::u16string_view jobNameText,
                                   std::u16string_view passwordText, bool requiredChecked) {
  const std::u16string password = filterJobPasswordField(passwordText, 0).text;
  if (password.size() != kJobPasswordChars) return JobPasswordCheck::invalidPassword;
  const std::u16string name = filterJobNameField(jobNameText, 0).text;
  if (!requiredChecked && name.empty()) return JobPasswordCheck::invalidJobName;
  storeWide(record, rec::jobName, rec::jobNameChars, name);
  storeWide(record, rec::jobPassword, rec::jobPasswordChars, password);
  setU32(record, rec::jobNameRequired, requiredChecked ? 1 : 0);
  return JobPasswordCheck::accepted;
}

CryptoSettings CryptoBlock::settings() const {
  return {getU32(data(), cryptoblock::settingA), getU32(data(), cryptoblock::settingB),
          getU32(data(), cryptoblock::flag), getU32(data(), cryptoblock::keepingTime)};
}

void CryptoBlock::setSettings(const CryptoSettings& settings) {
  setU32(data(), cryptoblock::settingA, settings.settingA);
  setU32(data(), cryptoblock::settingB, settings.settingB);
  setU32(data(), cryptoblock::flag, settings.flag);
  setU32(data(), cryptoblock::keepingTime, settings.keepingTime);
}

char* CryptoBlock::passwordField() {
  return reinterpret_cast<char*>(bytes_.data() + cryptoblock::password);
}

const char* CryptoBlock::passwordField() const {
  return reinterpret_cast<const char*>(bytes_.data() + cryptoblock::password);
}

std::size_t CryptoBlock::passwordLength() const {
  const auto* first = bytes_.data() + cryptoblock::password;
  return static_cast<std::size_t>(std::find(first, first + cryptoblock::passwordBytes, 0) - first);
}

bool CryptoBlock::setPassword(std::string_view ansi) {
  clearPassword();
  if (ansi.size() >= cryptoblock::passwordBytes) return false;
  std::memcpy(passwordField(), ansi.data(), ansi.size());
  return true;
}

void CryptoBlock::clearPassword() {
  volatile std::uint8_t* p = bytes_.data() + cryptoblock::password;
  for (std::size_t i = 0; i < cryptoblock::passwordBytes; ++i) p[i] = 0;
}

void CryptoBlock::wipe() {
  volatile std::uint8_t* p = bytes_.data();
  for (std::size_t i = 0; i < bytes_.size(); ++i) p[i] = 0;
}

void loadCryptoSettingsForChoice(CryptoBlock& block, const std::uint8_t* record) {
  block.wipe();
  block.setSettings({getU32(record, rec::cryptoSettingA), getU32(record, rec::cryptoSettingB), 0,
                     getU32(record, rec::cryptoTime)});
}

void loadCryptoSettingsForChange(CryptoBlock& block, const std::uint8_t* record) {
  loadCryptoSettingsForChoice(block, record);
  CryptoSettings settings = block.settings();
  settings.flag = getU32(record, rec::cryptoFlag);
  block.setSettings(settings);
}

std::span<const std::uint8_t> storedEncipheredPassword(const std::uint8_t* record) {
  const std::uint32_t length = getU32(record, rec::encryptedPasswordLength);
  if (length == 0 || length > kMaxEncipheredBytes) return {};
  return {record + rec::encryptedPassword, length};
}

bool takeDecipheredPassword(CryptoBlock& block, int exportResult) {
  const std::uint8_t* field = block.data() + cryptoblock::password;
  const bool terminated = std::find(field, field + cryptoblock::decipherCapacity, 0) !=
                          field + cryptoblock::decipherCapacity;
  const bool withinCapacity =
      std::all_of(field + cryptoblock::decipherCapacity, field + cryptoblock::passwordBytes,
                  [](std::uint8_t b) { return b == 0; });
  if (exportResult != 0 && terminated && withinCapacity) return true;
  block.clearPassword();
  return false;
}

bool encryptedChoiceNeedsWindow(std::uint32_t decipherOrFlagResult, bool icCardMode) {
  return !icCardMode && decipherOrFlagResult == 0;
}

std::uint32_t chooseEncryptionFlags(const PrinterAndSystem& system) {
  return 4u | (system.sharedOrNetwork || vistaOrLater(system) ? 1u : 0u);
}

std::uint32_t changeEncryptionFlags(const PrinterAndSystem& system, bool icCardMode) {
  return icCardMode ? 4u | 2u : chooseEncryptionFlags(system);
}

void storeAcceptedCryptoSettings(std::uint8_t* record, const CryptoBlock& block,
                                 const EncipherResult& enciphered) {
  const CryptoSettings settings = block.settings();
  setU32(record, rec::cryptoSettingA, settings.settingA);
  setU32(record, rec::cryptoSettingB, settings.settingB);
  setU32(record, rec::cryptoFlag, settings.flag);
  setU32(record, rec::cryptoTime, settings.keepingTime);

  const bool usable = enciphered.exported && enciphered.returned != 0 && enciphered.length != 0 &&
                      enciphered.length <= kMaxEncipheredBytes &&
                      enciphered.length <= enciphered.output.size();
  const std::uint32_t length = usable ? enciphered.length : 0;
  // The output may be the record's own field: take the bytes before the field is cleared.
  std::array<std::uint8_t, rec::encryptedPasswordCapacity> cipher{};
  if (length != 0) std::memcpy(cipher.data(), enciphered.output.data(), length);
  std::memcpy(record + rec::encryptedPassword, cipher.data(), cipher.size());
  setU32(record, rec::encryptedPasswordLength, length);
}

}  // namespace vex
