// The crypto library of the sample package through its exports, as the plug-ins call them.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Crypto {
  HMODULE module = LoadLibraryW(L"vexcrypto.dll");
  ~Crypto() {
    if (module) FreeLibrary(module);
  }
  template <typename T>
  T get(const char* name) const {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  int (*getDefault)(BYTE*, int) = get<int (*)(BYTE*, int)>("GetDefaultSetting");
  int (*encrypt)(const char*, DWORD, BYTE*,
                 DWORD*) = get<int (*)(const char*, DWORD, BYTE*, DWORD*)>("EncryptPassword");
  int (*decrypt)(const BYTE*, DWORD, char*,
                 DWORD*) = get<int (*)(const BYTE*, DWORD, char*, DWORD*)>("DecryptPassword");
  void* (*create)() = get<void* (*)()>("CreateEncryption");
  int (*init)(void*, const BYTE*, const BYTE**,
              DWORD*) = get<int (*)(void*, const BYTE*, const BYTE**, DWORD*)>("InitEncryption");
  int (*initEx)(void*, const BYTE*, DWORD, const BYTE**, DWORD*) =
      get<int (*)(void*, const BYTE*, DWORD, const BYTE**, DWORD*)>("InitEncryptionEx");
  int (*initEx2)(void*, DWORD, const BYTE*, DWORD, const BYTE**, DWORD*) =
      get<int (*)(void*, DWORD, const BYTE*, DWORD, const BYTE**, DWORD*)>("InitEncryptionEx2");
  int (*update)(void*, const BYTE*, DWORD, const BYTE**, DWORD*) =
      get<int (*)(void*, const BYTE*, DWORD, const BYTE**, DWORD*)>("UpdateEncryption");
  int (*end)(void*, const BYTE**,
             DWORD*) = get<int (*)(void*, const BYTE**, DWORD*)>("EndEncryption");
  void (*destroy)(void*) = get<void (*)(void*)>("DeleteEncryption");
};

std::vector<BYTE> params(const char* secret) {
  std::vector<BYTE> p(44, 0);
  p[0] = 1;
  p[4] = 2;
  std::memcpy(p.data() + 8, secret, std::min<std::size_t>(std::strlen(secret), 36));
  return p;
}

TEST(CryptoCompanion, DefaultsAndPasswordRoundTrip) {
  Crypto c;
  ASSERT_NE(c.module, nullptr);
  BYTE block[32];
  std::memset(block, 0xCC, sizeof block);
  ASSERT_EQ(c.getDefault(block, 1), 1);
  DWORD keeping = 0;
  std::memcpy(&keeping, block + 28, 4);
  EXPECT_EQ(keeping, 2u << 16);
  EXPECT_EQ(c.getDefault(block, 2), 0);

  const struct {
    std::string password;
    DWORD capacity;
    bool ok;
  } cases[] = {{"4321", 255, true},
               {"x", 255, true},
               {std::string(32, 'p'), 255, true},
               {"", 255, false},
               {std::string(33, 'p'), 255, false},
               {"4321", 35, false}};  // output too small for 4 + 12 + 4 + 16
  for (const auto& k : cases) {
    BYTE blob[256] = {};
    DWORD length = k.capacity;
    const int ok =
        c.encrypt(k.password.c_str(), static_cast<DWORD>(k.password.size()), blob, &length);
    EXPECT_EQ(ok != 0, k.ok) << k.password;
    if (!ok) continue;
    EXPECT_EQ(length, k.password.size() + 32);
    char out[33];
    DWORD capacity = 33;
    ASSERT_EQ(c.decrypt(blob, length, out, &capacity), 1);
    EXPECT_EQ(std::string(out), k.password);
    EXPECT_EQ(capacity, k.password.size());
    // Not the password in clear (too likely by chance for the shortest), and a different blob
    // every time.
    if (k.password.size() >= 4) {
      EXPECT_EQ(std::search(blob, blob + length, k.password.begin(), k.password.end()),
                blob + length);
    }
    BYTE again[256];
    DWORD againLength = 255;
    ASSERT_EQ(
        c.encrypt(k.password.c_str(), static_cast<DWORD>(k.password.size()), again, &againLength),
        1);
    EXPECT_NE(std::memcmp(blob, again, length), 0);
  }
}

TEST(CryptoCompanion, DecryptRefusesDamagedBlobs) {
  Crypto c;
  BYTE blob[256];
  DWORD length = 255;
  ASSERT_EQ(c.encrypt("1234", 4, blob, &length), 1);
  char out[33];
  const struct {
    const char* what;
    int flip;  // byte to change, -1 none
    DWORD length;
    DWORD capacity;
  } cases[] = {{"changed tag", static_cast<int>(length) - 1, length, 33},
               {"changed magic", 0, length, 33},
               {"cut", -1, length - 1, 33},
               {"too long", -1, 200, 33},
               {"capacity without room for the zero", -1, length, 4}};
  for (const auto& k : cases) {
    BYTE copy[256];
    std::memcpy(copy, blob, sizeof copy);
    if (k.flip >= 0) copy[k.flip] ^= 1;
    DWORD capacity = k.capacity;
    EXPECT_EQ(c.decrypt(copy, k.length, out, &capacity), 0) << k.what;
  }
  DWORD capacity = 33;
  EXPECT_EQ(c.decrypt(nullptr, length, out, &capacity), 0);
  EXPECT_EQ(c.decrypt(blob, length, nullptr, &capacity), 0);
}

TEST(CryptoCompanion, StreamOutputAndOrder) {
  Crypto c;
  void* ctx = c.create();
  ASSERT_NE(ctx, nullptr);
  const BYTE* out = nullptr;
  DWORD n = 0;
  const BYTE data[4] = {1, 2, 3, 4};
  EXPECT_NE(c.update(ctx, data, 4, &out, &n), 0) << "update before init";
  c.destroy(ctx);

  ctx = c.create();
  auto p = params("4321");
  ASSERT_EQ(c.init(ctx, p.data(), &out, &n), 0);
  ASSERT_EQ(n, 28u);
  EXPECT_EQ(std::memcmp(out, "VXSJ\x01\x01\x01\x02", 8), 0);
  EXPECT_NE(c.init(ctx, p.data(), &out, &n), 0) << "a second init";
  ctx = (c.destroy(ctx), c.create());
  ASSERT_EQ(c.init(ctx, p.data(), &out, &n), 0);
  ASSERT_EQ(c.update(ctx, data, 0, &out, &n), 0);
  EXPECT_EQ(n, 0u);
  std::vector<BYTE> big(200000, 'x');
  ASSERT_EQ(c.update(ctx, big.data(), static_cast<DWORD>(big.size()), &out, &n), 0);
  EXPECT_EQ(n, big.size() + 4 * 20);  // four records of at most 64 KiB, each with length and tag
  EXPECT_EQ(std::search(out, out + n, big.begin(), big.begin() + 64) - out, n) << "in clear";
  EXPECT_NE(c.update(ctx, nullptr, 5, &out, &n), 0) << "null data with a length";
  c.destroy(ctx);

  ctx = c.create();
  ASSERT_EQ(c.init(ctx, p.data(), &out, &n), 0);
  ASSERT_EQ(c.end(ctx, &out, &n), 0);
  EXPECT_EQ(n, 36u);
  EXPECT_NE(c.update(ctx, data, 4, &out, &n), 0) << "update after end";
  EXPECT_NE(c.end(ctx, &out, &n), 0) << "a second end";
  c.destroy(ctx);
}

TEST(CryptoCompanion, RefusesBadArguments) {
  Crypto c;
  const BYTE* out = nullptr;
  DWORD n = 0;
  const auto empty = params("");
  const auto card = params("CARD-DATA");
  int local = 0;
  const struct {
    const char* what;
    int (*call)(const Crypto&, void*, const std::vector<BYTE>&, const BYTE**, DWORD*);
    const std::vector<BYTE>* p;
  } cases[] = {
      {"empty password",
       [](const Crypto& c, void* x, const std::vector<BYTE>& p, const BYTE** o, DWORD* l) {
         return c.init(x, p.data(), o, l);
       },
       &empty},
      {"card secret of 0 bytes",
       [](const Crypto& c, void* x, const std::vector<BYTE>& p, const BYTE** o, DWORD* l) {
         return c.initEx(x, p.data(), 0, o, l);
       },
       &card},
      {"card secret of 37 bytes",
       [](const Crypto& c, void* x, const std::vector<BYTE>& p, const BYTE** o, DWORD* l) {
         return c.initEx(x, p.data(), 37, o, l);
       },
       &card},
      {"variant 3",
       [](const Crypto& c, void* x, const std::vector<BYTE>& p, const BYTE** o, DWORD* l) {
         return c.initEx2(x, 3, p.data(), 9, o, l);
       },
       &card},
      {"null parameters",
       [](const Crypto& c, void* x, const std::vector<BYTE>&, const BYTE** o, DWORD* l) {
         return c.init(x, nullptr, o, l);
       },
       &card},
      {"null output",
       [](const Crypto& c, void* x, const std::vector<BYTE>& p, const BYTE**, DWORD* l) {
         return c.init(x, p.data(), nullptr, l);
       },
       &card},
  };
  for (const auto& k : cases) {
    void* ctx = c.create();
    EXPECT_NE(k.call(c, ctx, *k.p, &out, &n), 0) << k.what;
    c.destroy(ctx);
  }
  void* ctx = c.create();
  EXPECT_EQ(c.initEx2(ctx, 2, card.data(), 9, &out, &n), 0);
  EXPECT_EQ(out[5], 2) << "keyed by a card";
  c.destroy(ctx);
  // Contexts the library did not hand out, or has deleted, are refused.
  EXPECT_NE(c.update(&local, nullptr, 0, &out, &n), 0);
  EXPECT_NE(c.end(nullptr, &out, &n), 0);
  EXPECT_NE(c.update(ctx, nullptr, 0, &out, &n), 0);
  c.destroy(&local);
  c.destroy(nullptr);
}

}  // namespace
