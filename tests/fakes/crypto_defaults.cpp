// A minimal crypto library for the tests: "GetDefaultSetting" fills the settings block with
// fixed values and answers CRYPTO_ANSWER (0 leaves the block untouched, as a refusal).
#include <cstdint>
#include <cstring>

struct SettingsBlock {
  std::uint32_t settingA;
  std::uint32_t settingB;
  char password[16];
  std::uint32_t askAtPrint;
  std::uint32_t keepingTime;
};

extern "C" __declspec(dllexport) int __cdecl GetDefaultSetting(SettingsBlock* block, int mode) {
  if (CRYPTO_ANSWER == 0 || block == nullptr || mode != 1) return 0;
  block->settingA = 2;
  block->settingB = 3;
  std::strcpy(block->password, "1234");
  block->askAtPrint = 1;
  block->keepingTime = (5u << 16) | 6u;
  return 1;
}
