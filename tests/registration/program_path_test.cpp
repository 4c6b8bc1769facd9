// The program path the server path is built from, decided from the UTF-16 path: exact ANSI
// bytes, else the short form, else an error, and a register commit that then writes nothing.
#include <map>

#include <gtest/gtest.h>

#include "registration/commit.h"
#include "registration/program_path.h"
#include "tests/registration/commit_fixture.h"

namespace {

using namespace settings;
using base::CodePage;
using base::Exception;
using registration::ChooseProgramPath;
using registration::ProgramPath;

#ifdef _WIN32
std::optional<std::string> Exact(const CodePage& codePage, std::wstring_view text) { return codePage.ExactBytes(text); }
#else
// The characters of the table below as Windows converts them exactly (the Windows build runs
// the same table on the system's conversion); any other non-ASCII character has no exact form.
std::optional<std::string> Exact(const CodePage& codePage, std::wstring_view text) {
  static const std::map<std::pair<unsigned, wchar_t>, std::string> known = {
      {{932, L'\u30BD'}, "\x83\x5C"},       {{932, L'\u30D5'}, "\x83\x74"}, {{932, L'\u30C8'}, "\x83\x67"},
      {{932, L'\u8868'}, "\x95\x5C"},       {{1252, L'\u00EB'}, "\xEB"},    {{65001, L'\uD55C'}, "\xED\x95\x9C"},
      {{65001, L'\uAE00'}, "\xEA\xB8\x80"},
  };
  std::string bytes;
  for (const wchar_t c : text) {
    if (c < 0x80) {
      bytes += static_cast<char>(c);
      continue;
    }
    const auto found = known.find({codePage.Id(), c});
    if (found == known.end()) return std::nullopt;
    bytes += found->second;
  }
  return bytes;
}
#endif

// ソフト表, vt_Zoë, vt_한글 (한글 is no character of 932 or 1252; ë is one of 1252 only).
#define SOFTWARE_TABLE_W L"\u30BD\u30D5\u30C8\u8868"
#define SOFTWARE_TABLE "\x83\x5C\x83\x74\x83\x67\x95\x5C"
#define ZOE_W L"vt_Zo\u00EB"
#define HANGUL_W L"vt_\uD55C\uAE00"

struct PathCase {
  const char* what;
  CodePage codePage;
  const wchar_t* path;
  const wchar_t* shortForm;  // of the folder; null: the system gives none
  const char* server;        // null: no server path
  const char* message = "'C:\\vt_한글' はこのシステムの文字コードで表せない名前を含むため登録できません";
};

TEST(ProgramPath, ExactBytesElseTheShortFormElseNone) {
  const CodePage sjis = CodePage::ShiftJis();
  const CodePage single = CodePage::SingleByte();
  // Server paths of 259 and 260 UTF-16 characters (more in bytes), and 273 from a folder 253 deep.
  const std::wstring edge = L"C:\\" SOFTWARE_TABLE_W L"\\" + std::wstring(230, L'd');
  const std::wstring deep = L"C:\\" + std::wstring(249, L'd') + L"\\";
  const std::wstring edgeExe = edge + L"\\v.exe", overExe = edge + L"d\\v.exe", deepExe = deep + L"v.exe";
  const std::string edgeServer = "C:\\" SOFTWARE_TABLE "\\" + std::string(230, 'd') + "\\vintrel_turnways.dll";
  const std::string tooLong = "'C:\\" + std::string(249, 'd') + "' はパスが長すぎるため登録できません";
  const PathCase cases[] = {
      {"ASCII", single, L"C:\\Tools\\setup.exe", L"C:\\TOOLS~1\\", "C:\\Tools\\vintrel_turnways.dll"},
      {"ASCII, 932", sjis, L"C:\\Tools\\setup.exe", L"C:\\TOOLS~1\\", "C:\\Tools\\vintrel_turnways.dll"},
      {"ソフト表 in 932: its bytes, trail bytes 5C kept", sjis, L"C:\\" SOFTWARE_TABLE_W L"\\setup.exe",
       L"C:\\5D8F~1\\", "C:\\" SOFTWARE_TABLE "\\vintrel_turnways.dll"},
      {"Zoë in 1252 holds ë", single, L"C:\\" ZOE_W L"\\setup.exe", L"C:\\VT_Z~XVL\\",
       "C:\\vt_Zo\xEB\\vintrel_turnways.dll"},
      {"Zoë in 932: no best-fit e, the short form", sjis, L"C:\\" ZOE_W L"\\setup.exe", L"C:\\VT_Z~XVL",
       "C:\\VT_Z~XVL\\vintrel_turnways.dll"},
      {"한글 in 932: no ?, the short form", sjis, L"C:\\" HANGUL_W L"\\setup.exe", L"C:\\VT_~1\\",
       "C:\\VT_~1\\vintrel_turnways.dll"},
      {"한글 in UTF-8", CodePage::Utf8(), L"C:\\" HANGUL_W L"\\setup.exe", nullptr,
       "C:\\vt_\xED\x95\x9C\xEA\xB8\x80\\vintrel_turnways.dll"},
      {"한글 in 932, no short form", sjis, L"C:\\" HANGUL_W L"\\setup.exe", nullptr, nullptr},
      {"한글 in 932, short form as long", sjis, L"C:\\" HANGUL_W L"\\setup.exe", L"C:\\" HANGUL_W L"\\", nullptr},
      {"only the file name outside 932", sjis, L"C:\\Tools\\\uD55C.exe", nullptr, "C:\\Tools\\vintrel_turnways.dll"},
      {"259, more bytes: exact", sjis, edgeExe.c_str(), L"C:\\5D8F~1\\", edgeServer.c_str()},
      {"260: short", sjis, overExe.c_str(), L"C:\\5D8F~1\\DDDDDD~1", "C:\\5D8F~1\\DDDDDD~1\\vintrel_turnways.dll"},
      {"253 deep: short", single, deepExe.c_str(), L"C:\\DDDDDD~1\\", "C:\\DDDDDD~1\\vintrel_turnways.dll"},
      {"253 deep, short as long", single, deepExe.c_str(), deep.c_str(), nullptr, tooLong.c_str()},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.what);
    const auto shortPath = [&](const std::wstring&) -> std::optional<std::wstring> {
      if (!c.shortForm) return std::nullopt;
      return c.shortForm;
    };
    const ProgramPath path = ChooseProgramPath(c.path, c.codePage, &Exact, shortPath);
    ASSERT_EQ(path.Representable(), c.server != nullptr) << path.Message();
    if (c.server) {
      EXPECT_EQ(registration::ServerPath(path.Ansi(), c.codePage), c.server);
    } else {
      EXPECT_EQ(path.Message(), c.message);
    }
  }
}

TEST(ProgramPath, MessageNamesTheFolderAsShown) {
  EXPECT_EQ(registration::UnrepresentableFolderMessage(L"C:\\" ZOE_W L"\\"),
            "'C:\\vt_Zoë' はこのシステムの文字コードで表せない名前を含むため登録できません");
  EXPECT_EQ(registration::UnrepresentableFolderMessage(L"D:\\"),
            "'D:\\' はこのシステムの文字コードで表せない名前を含むため登録できません");
}

using registration_tests::CommitTest;

// No short form: registering raises the message before anything is written, the JPEG-type
// cleanup included; removing goes on as always.
TEST_P(CommitTest, FolderWithoutAnAnsiFormRegistersNothing) {
  const auto none = [](const std::wstring&) -> std::optional<std::wstring> { return std::nullopt; };
  const ProgramPath path = ChooseProgramPath(L"C:\\" HANGUL_W L"\\setup.exe", CodePage::ShiftJis(), &Exact, none);
  ASSERT_FALSE(path.Representable());
  const auto before = Snapshot();
  try {
    registration::Commit(Store(), OptionsAt(), true, Chosen(), path);
    ADD_FAILURE() << "no error";
  } catch (const ERegistryException&) {
    ADD_FAILURE() << "a registry error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), path.Message());
  }
  EXPECT_EQ(Snapshot(), before);
  EXPECT_FALSE(testing_support::KeyExists(Store(), kClassesRoot, ".jpg"));

  Run(true);
  EXPECT_NO_THROW(registration::Commit(Store(), OptionsAt(), false, Chosen(), path));
  EXPECT_FALSE(testing_support::KeyExists(Store(), kClassesRoot, registration::kClassKey));
  EXPECT_FALSE(testing_support::KeyExists(Store(), OptionsRoot(), OptionsPath()));
}

}  // namespace
