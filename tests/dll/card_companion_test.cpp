// The simulated IC-card library: its answers for a card, no card, a failing reader and card
// data longer than the caller's buffer.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

struct CardLibrary {
  HMODULE module = LoadLibraryW(L"vexcard.dll");
  ~CardLibrary() {
    if (module) FreeLibrary(module);
  }
  int (*query)(const char*, const char*) = reinterpret_cast<int (*)(const char*, const char*)>(
      reinterpret_cast<void*>(GetProcAddress(module, "QueryCardDriver")));
  int (*read)(const char*, const char*, BYTE*, DWORD*) =
      reinterpret_cast<int (*)(const char*, const char*, BYTE*, DWORD*)>(
          reinterpret_cast<void*>(GetProcAddress(module, "GetCardData")));
};

std::string tempFolder() {
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  return std::string(path) + "vexcard-test-" + std::to_string(GetCurrentProcessId()) + "\\";
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(CardCompanion, SimulatedReader) {
  CardLibrary lib;
  ASSERT_NE(lib.module, nullptr);
  ASSERT_NE(lib.query, nullptr);
  ASSERT_NE(lib.read, nullptr);
  const std::string folder = tempFolder();
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string cap = folder + "model.cap";
  writeFile(cap,
            "[Capability]\r\nCard PS=CARD\r\nFaulty PS=FAULT\r\nLong PS=LONG\r\nEmpty PS=EMPTY\r\n"
            "Absent PS=ABSENT\r\n"
            "[CARD]\r\nCardFile=card.dat\r\n[FAULT]\r\nCardFile=card.dat\r\nCardReader=fault\r\n"
            "[LONG]\r\nCardFile=long.dat\r\n[EMPTY]\r\nCardFile=empty.dat\r\n"
            "[ABSENT]\r\nCardFile=none.dat\r\n");
  writeFile(folder + "card.dat", std::string("CARD\0\x01\xFF", 7));
  writeFile(folder + "long.dat", std::string(34, 'L'));
  writeFile(folder + "empty.dat", "");

  EXPECT_EQ(lib.query("Card PS", cap.c_str()), 1);
  EXPECT_EQ(lib.query("Unknown PS", cap.c_str()), 0);
  EXPECT_EQ(lib.query("", cap.c_str()), 0);
  EXPECT_EQ(lib.query(nullptr, cap.c_str()), 0);
  EXPECT_EQ(lib.query("Card PS", nullptr), 0);

  const struct {
    const char* driver;
    DWORD capacity;
    int result;
    std::string data;
  } cases[] = {
      {"Card PS", 33, 1, std::string("CARD\0\x01\xFF", 7)},
      {"Card PS", 7, 1, std::string("CARD\0\x01\xFF", 7)},
      {"Card PS", 6, 0, ""},  // more data than the buffer holds
      {"Faulty PS", 33, 0, ""},
      {"Long PS", 33, 0, ""},
      {"Empty PS", 33, 0, ""},
      {"Absent PS", 33, 0, ""},  // no card on the reader
      {"Unknown PS", 33, 0, ""},
  };
  for (const auto& c : cases) {
    BYTE buffer[64];
    std::memset(buffer, 0xEE, sizeof buffer);
    DWORD size = c.capacity;
    EXPECT_EQ(lib.read(c.driver, cap.c_str(), buffer, &size), c.result) << c.driver;
    if (c.result) {
      EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), c.data) << c.driver;
    }
    EXPECT_EQ(buffer[c.capacity], 0xEE) << c.driver << ": wrote beyond the capacity";
  }
  DWORD size = 33;
  EXPECT_EQ(lib.read("Card PS", cap.c_str(), nullptr, &size), 0);
  EXPECT_EQ(lib.read("Card PS", cap.c_str(), reinterpret_cast<BYTE*>(&size), nullptr), 0);
  for (const char* name : {"model.cap", "card.dat", "long.dat", "empty.dat"}) {
    DeleteFileA((folder + name).c_str());
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
