// Text converted with the C library's locale into bounded multibyte text, as driver and
// application names reach the job and the outside libraries.
#include <gtest/gtest.h>
#include <windows.h>

#include <clocale>
#include <string>

#include "text_convert.h"

namespace {

// Sets LC_CTYPE for one test and puts the previous locale back.
class CtypeLocale {
 public:
  explicit CtypeLocale(const char* name) {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    saved_ = current ? current : "C";
    ok_ = std::setlocale(LC_CTYPE, name) != nullptr;
  }
  ~CtypeLocale() { std::setlocale(LC_CTYPE, saved_.c_str()); }
  bool ok() const { return ok_; }

 private:
  std::string saved_;
  bool ok_ = false;
};

std::string inCodePage936(const std::wstring& text) {
  char bytes[1024] = "";
  const int n = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), bytes,
                                    sizeof bytes, nullptr, nullptr);
  return std::string(bytes, n > 0 ? n : 0);
}

TEST(TextConvert, PrefixesAreCutAtWholeCharacters) {
  const std::wstring ascii(230, L'd');
  const std::wstring wide = L"VE" + std::wstring(115, L'\u6587');  // 2 + 230 bytes in 936
  const struct {
    const char* name;
    std::wstring text;
    std::size_t maxBytes;
    std::size_t keptChars;
  } cases[] = {
      {"short text whole", L"VEX Demo PS", 222, 11},
      {"221 bytes whole", ascii.substr(0, 221), 222, 221},
      {"cut to 221 bytes", ascii, 222, 221},
      // 221 bytes would end inside the 110th double-byte character: 220 bytes are kept.
      {"never half a double-byte character", wide, 222, 2 + 109},
      {"double-byte text that fits", wide.substr(0, 50), 222, 50},
      {"empty", L"", 222, 0},
      {"no room", L"abc", 1, 0},
      {"ends at the text's zero", std::wstring(L"ab\0cd", 5), 222, 2},
  };
  CtypeLocale locale(".936");
  ASSERT_TRUE(locale.ok()) << "code page 936 is not available to the C library";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(vex::toLocaleMultibytePrefix(c.text, c.maxBytes),
              inCodePage936(c.text.substr(0, c.keptChars)));
  }
}

TEST(TextConvert, NothingConvertiblePassesAsEmpty) {
  CtypeLocale locale("C");
  ASSERT_TRUE(locale.ok());
  EXPECT_EQ(vex::toLocaleMultibytePrefix(L"\u6587\u6587", 222), "");
  EXPECT_EQ(vex::toLocaleMultibytePrefix(L"ab\u6587", 222), "ab");
}

}  // namespace
