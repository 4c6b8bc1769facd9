#include <gtest/gtest.h>

#include "base/codepage.h"

using base::CodePage;

namespace {

struct LengthCase {
  const char* label;
  CodePage codePage;
  std::string text;
  std::size_t utf16;
};

TEST(CodePage, Utf16LengthCountsCharactersNotBytes) {
  const LengthCase cases[] = {
      {"ASCII", CodePage::ShiftJis(), "abc", 3},
      {"ソフト表 in 932", CodePage::ShiftJis(), "\x83\x5C\x83\x74\x83\x67\x95\x5C", 4},
      {"half-width katakana is one byte", CodePage::ShiftJis(), "\xB7\xAC", 2},
      {"a lead byte at the end", CodePage::ShiftJis(), "a\x83", 2},
      {"1252 high bytes", CodePage::SingleByte(), "\xE9\x83\x5C", 3},
      {"UTF-8 three-byte", CodePage::Utf8(), "\xE3\x82\xBD", 1},
      {"UTF-8 four-byte is a pair", CodePage::Utf8(), "\xF0\x9F\x98\x80", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(c.codePage.Utf16Length(c.text), c.utf16) << c.label;
}

TEST(CodePage, LeadBytesAndLargestCharacter) {
  const CodePage sjis = CodePage::ShiftJis();
  EXPECT_TRUE(sjis.IsLeadByte(0x81));
  EXPECT_TRUE(sjis.IsLeadByte(0x9F));
  EXPECT_TRUE(sjis.IsLeadByte(0xE0));
  EXPECT_TRUE(sjis.IsLeadByte(0xFC));
  EXPECT_FALSE(sjis.IsLeadByte(0x5C));
  EXPECT_FALSE(sjis.IsLeadByte(0xA0));  // half-width katakana range
  EXPECT_FALSE(sjis.IsLeadByte(0xB7));
  EXPECT_EQ(sjis.MaxCharSize(), 2u);
  EXPECT_EQ(CodePage::SingleByte().MaxCharSize(), 1u);
  EXPECT_EQ(CodePage::Utf8().MaxCharSize(), 4u);
  EXPECT_FALSE(CodePage::SingleByte().IsLeadByte(0x83));
}

#ifdef _WIN32
TEST(CodePage, AnsiFollowsTheSystem) {
  const CodePage ansi = CodePage::Ansi();
  std::printf("ANSI code page %u, largest character %u bytes\n", ansi.Id(), ansi.MaxCharSize());
  if (ansi.Id() == 932) {
    EXPECT_EQ(ansi.MaxCharSize(), 2u);
    EXPECT_TRUE(ansi.IsLeadByte(0x83));
    EXPECT_FALSE(ansi.IsLeadByte(0x5C));
  }
}
#endif

}  // namespace
