// GetInfo: identity of the plug-in and of its private settings record.
#include <gtest/gtest.h>

#include "plugin_support.h"

namespace {

struct GetInfoCase {
  DWORD mode;
  DWORD bufferSize;
  bool nullBuffer;
  HRESULT result;
  DWORD needed;     // expected *pcbNeeded (0xFFFFFFFF: left alone)
  DWORD lastError;  // checked when the call fails with a stated error
  DWORD value;      // checked on success
};

TEST(RenderGetInfo, ModesAndBufferSizes) {
  vex::test::RenderModule module;
  IPrintOemPS2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  const DWORD untouched = 0xFFFFFFFF;
  const GetInfoCase cases[] = {
      {OEMGI_GETSIGNATURE, 4, false, S_OK, 4, 0, 0x32303030},
      {OEMGI_GETSIGNATURE, 3, false, E_FAIL, 4, ERROR_INSUFFICIENT_BUFFER, 0},
      {OEMGI_GETSIGNATURE, 4, true, E_FAIL, 4, ERROR_INSUFFICIENT_BUFFER, 0},
      {OEMGI_GETVERSION, 8, false, S_OK, 4, 0, 1},
      {OEMGI_GETVERSION, 0, false, E_FAIL, 4, ERROR_INSUFFICIENT_BUFFER, 0},
      {OEMGI_GETPUBLISHERINFO, 64, false, E_FAIL, 8, 0, 0},
      {OEMGI_GETINTERFACEVERSION, 4, false, E_FAIL, untouched, ERROR_INVALID_PARAMETER, 0},
      {5, 4, false, E_FAIL, untouched, ERROR_INVALID_PARAMETER, 0},
      {0, 4, false, E_FAIL, untouched, ERROR_INVALID_PARAMETER, 0},
  };
  for (const GetInfoCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " size " << c.bufferSize);
    BYTE buffer[8] = {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC};
    DWORD needed = untouched;
    SetLastError(0);
    EXPECT_EQ(plugin->GetInfo(c.mode, c.nullBuffer ? nullptr : buffer, c.bufferSize, &needed),
              c.result);
    EXPECT_EQ(needed, c.needed);
    if (c.lastError != 0) {
      EXPECT_EQ(GetLastError(), c.lastError);
    }
    if (c.result == S_OK) {
      DWORD value = 0;
      memcpy(&value, buffer, 4);
      EXPECT_EQ(value, c.value);
      EXPECT_EQ(buffer[4], 0xCC) << "wrote past the value";
    } else {
      EXPECT_EQ(buffer[0], 0xCC) << "failed call wrote into the buffer";
    }
  }
  SetLastError(0);
  EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, nullptr, 4, nullptr), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  BYTE signature[4];
  DWORD needed = 0;
  ASSERT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, signature, 4, &needed), S_OK);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(signature), 4), "0002");
  plugin->Release();
}

}  // namespace
