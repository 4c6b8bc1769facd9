#include <stdexcept>
#include <utility>

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

TEST(Text, Utf8FromUtf16OnEveryBuildAndBackOnWindows) {
  const std::pair<std::wstring, std::string> cases[] = {
      {L"abc", "abc"},
      {L"\u30BD\u30D5\u30C8\u8868", "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88\xE8\xA1\xA8"},  // ソフト表
      {L"\U0001F600", "\xF0\x9F\x98\x80"},  // outside the BMP: a surrogate pair in UTF-16
  };
  for (const auto& [text, utf8] : cases) {
    EXPECT_EQ(base::Narrow(text), utf8);
#ifdef _WIN32
    EXPECT_EQ(base::Widen(utf8), text);
#endif
  }
  EXPECT_EQ(base::Narrow(std::wstring(L"a") + wchar_t(0xD800)), "a\xEF\xBF\xBD") << "a lone surrogate";
  const std::string sjis = "\x83\x5C\x83\x74\x83\x67\x95\x5C";  // ソフト表 in 932, two trail bytes 0x5C
#ifdef _WIN32
  EXPECT_EQ(base::Widen(sjis, 932), L"\u30BD\u30D5\u30C8\u8868");
  EXPECT_EQ(base::Narrow(L"\u30BD\u30D5\u30C8\u8868", 932), sjis);
#else
  EXPECT_THROW(base::Narrow(L"x", 932), std::invalid_argument);
#endif
}

}  // namespace
