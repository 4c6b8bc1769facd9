// The executable's folder and the server path, in single-byte and double-byte code pages.
#include <gtest/gtest.h>

#include "registration/commit.h"

namespace {

using base::CodePage;
using registration::ExecutableFolder;
using registration::ServerPath;

// ソフト表 in Shift-JIS: ソ and 表 end in the byte of "\".
#define SOFTWARE_TABLE "\x83\x5C\x83\x74\x83\x67\x95\x5C"

struct FolderCase {
  const char* what;
  CodePage codePage;
  const char* path;
  const char* folder;
};

TEST(ExecutableFolder, EndsAfterTheLastSeparator) {
  const CodePage sjis = CodePage::ShiftJis();
  const CodePage single = CodePage::SingleByte();
  const FolderCase cases[] = {
      {"plain path", single, "C:\\Tools\\setup.exe", "C:\\Tools\\"},
      {"plain path, 932", sjis, "C:\\Tools\\setup.exe", "C:\\Tools\\"},
      {"trail bytes in the folder", sjis, "C:\\" SOFTWARE_TABLE "\\setup.exe", "C:\\" SOFTWARE_TABLE "\\"},
      {"trail byte ends the file name", sjis, "C:\\Tools\\\x95\x5C", "C:\\Tools\\"},
      {"trail byte separates in single-byte", single,
       "C:\\Tools\\\x95\x5C"
       "a.exe",
       "C:\\Tools\\\x95\x5C"},
      {"trail byte does not separate in 932", sjis,
       "C:\\Tools\\\x95\x5C"
       "a.exe",
       "C:\\Tools\\"},
      {"drive-relative", sjis, "C:setup.exe", "C:"},
      {"colon last", single, "X:\\a\\b:c.exe", "X:\\a\\b:"},
      {"cut lead byte", sjis, "C:\\Tools\\\x83", "C:\\Tools\\"},
      {"UNC", sjis, "\\\\host\\share\\" SOFTWARE_TABLE "\\setup.exe", "\\\\host\\share\\" SOFTWARE_TABLE "\\"},
      {"no separator", single, "setup.exe", ""},
      {"empty", sjis, "", ""},
  };
  for (const FolderCase& c : cases) EXPECT_EQ(ExecutableFolder(c.path, c.codePage), c.folder) << c.what;
}

TEST(ExecutableFolder, ServerPathIsTheFolderAndTheDll) {
  EXPECT_EQ(ServerPath("C:\\Tools\\setup.exe", CodePage::SingleByte()), "C:\\Tools\\vintrel_turnways.dll");
  EXPECT_EQ(ServerPath("C:\\" SOFTWARE_TABLE "\\setup.exe", CodePage::ShiftJis()),
            "C:\\" SOFTWARE_TABLE "\\vintrel_turnways.dll");
  EXPECT_EQ(ServerPath("D:setup.exe", CodePage::ShiftJis()), "D:vintrel_turnways.dll");
}

}  // namespace
