#include "encrypted_print.h"

#include "cipher_set.h"
#include "dialog_helpers.h"
#include "job_password_dialog.h"
#include "job_password_rules.h"
#include "job_type_flags.h"
#include "private_settings.h"

namespace vex {
namespace {

constexpr int kJobTypeSlot = 28;
constexpr int kNormalPrintRadio = 1508;
constexpr int kLastJobTypeRadio = 1511;

PrinterAndSystem pageSystem(const DocumentContext& context) {
  PrinterAndSystem system;
  system.sharedOrNetwork = printerIsSharedOrNetwork(contextPrinter(context)) != 0;
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (GetVersionExW(&version)) {
    system.majorVersion = version.dwMajorVersion;
    system.minorVersion = version.dwMinorVersion;
  }
  return system;
}

// The window was accepted: the block's settings and its password, enciphered, go into the
// record. The plain password lives only in the block, which the caller wipes.
void storeAccepted(const CCiperSet& cipher, std::uint8_t* record, const CryptoBlock& block) {
  std::uint8_t output[256] = {};
  EncipherResult enciphered;
  cipher.encipher(block, output, enciphered);
  storeAcceptedCryptoSettings(record, block, enciphered);
}

}  // namespace

bool chooseEncryptedSecurePrint(HWND page, DocumentContext& context) {
  std::uint8_t* record = context.record();
  if (record == nullptr) return false;
  CCiperSet cipher;
  cipher.Load(contextPrinter(context));
  CryptoBlock block;

  std::uint32_t result = 0;
  if (!storedEncipheredPassword(record).empty()) {
    result = cipher.decipherInto(block, record) ? 1 : 0;
  } else {
    result = getU32(record, rec::cryptoFlag);
  }
  if (!encryptedChoiceNeedsWindow(result, context.icCardMode)) return true;

  loadCryptoSettingsForChoice(block, record);
  const DWORD flags = chooseEncryptionFlags(pageSystem(context));
  JobTypeFlags& jobType = jobTypeFlags();
  jobType.idle = false;
  jobType.confirmed = false;
  const bool accepted = cipher.loaded() && cipher.showPasswordWindow(page, block, flags);
  jobType.idle = true;

  if (accepted) {
    jobType.confirmed = true;
    storeAccepted(cipher, record, block);
    return true;
  }
  if (page != nullptr) {
    HWND normal = GetDlgItem(page, kNormalPrintRadio);
    if (normal != nullptr) SetFocus(normal);
    CheckRadioButton(page, kNormalPrintRadio, kLastJobTypeRadio, kNormalPrintRadio);
  }
  context.itemValue[kJobTypeSlot] = 0;
  return false;
}

bool changeEncryptionPassword(HWND page, DocumentContext& context) {
  std::uint8_t* record = context.record();
  if (record == nullptr) return false;
  CCiperSet cipher;
  cipher.Load(contextPrinter(context));
  CryptoBlock block;
  loadCryptoSettingsForChange(block, record);
  if (!storedEncipheredPassword(record).empty()) cipher.decipherInto(block, record);

  const DWORD flags = changeEncryptionFlags(pageSystem(context), context.icCardMode);
  if (!cipher.loaded() || !cipher.showPasswordWindow(page, block, flags)) return false;
  storeAccepted(cipher, record, block);
  if (page != nullptr) notifySheetChanged(page);
  return true;
}

}  // namespace vex
