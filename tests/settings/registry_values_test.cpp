// The cursor's value reads and writes against stored data of every shape, on every store.
// Reads go through a store wrapper that fills each buffer with a sentinel first.
#include <gtest/gtest.h>

#include <optional>
#include <variant>

#include "settings/registry.h"
#include "tests/support/sentinel_store.h"
#include "tests/support/stores.h"

namespace {

using namespace settings;
using testing_support::ExpectRegistryError;
using testing_support::GetRaw;
using testing_support::PutRaw;
using Bytes = std::vector<std::uint8_t>;

Bytes B(std::string_view text) { return Bytes(text.begin(), text.end()); }

enum class Error { ReadFailed, BadType };
std::string MessageFor(Error error, const std::string& name) {
  return error == Error::ReadFailed ? ReadFailedMessage(name) : BadTypeMessage(name);
}

struct Stored {
  const char* label;
  std::uint32_t type;
  Bytes data;
};

class Values : public testing_support::StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    sentinel_.emplace(Store());
  }
  // A cursor, through the sentinel wrapper, with the scratch key open.
  std::unique_ptr<TRegistry> Open() {
    auto reg = std::make_unique<TRegistry>(*sentinel_);
    EXPECT_TRUE(reg->OpenPath(UserScratch(), true));
    return reg;
  }
  void Put(const Stored& stored) { PutRaw(Store(), kCurrentUser, UserScratch(), "v", stored.type, stored.data); }

  std::optional<testing_support::SentinelStore> sentinel_;
};

TEST_P(Values, GetIntegerOfEveryShape) {
  const std::pair<Stored, std::variant<std::int32_t, Error>> cases[] = {
      {{"DWORD", kRegDword, {0x78, 0x56, 0x34, 0x12}}, 0x12345678},
      {{"DWORD -1", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}, -1},
      {{"DWORD of 0 bytes", kRegDword, {}}, Error::BadType},
      {{"DWORD of 2 bytes", kRegDword, {1, 2}}, Error::BadType},
      {{"DWORD of 8 bytes", kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}}, Error::ReadFailed},
      {{"SZ '12'", kRegSz, B({"12\0", 3})}, Error::BadType},
      {{"SZ '12345'", kRegSz, B({"12345\0", 6})}, Error::ReadFailed},
      {{"EXPAND_SZ '%A%'", kRegExpandSz, B({"%A%\0", 4})}, Error::BadType},
      {{"BINARY 0", kRegBinary, {}}, Error::BadType},
      {{"BINARY 3", kRegBinary, {1, 2, 3}}, Error::BadType},
      {{"BINARY 4", kRegBinary, {1, 0, 0, 0}}, Error::BadType},
      {{"BINARY 5", kRegBinary, {1, 2, 3, 4, 5}}, Error::ReadFailed},
      {{"BINARY 100", kRegBinary, Bytes(100, 7)}, Error::ReadFailed},
      {{"MULTI_SZ", kRegMultiSz, B({"a\0\0", 3})}, Error::BadType},
      {{"QWORD", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}}, Error::ReadFailed},
  };
  for (const auto& [stored, expected] : cases) {
    SCOPED_TRACE(stored.label);
    Put(stored);
    auto reg = Open();
    if (const auto* value = std::get_if<std::int32_t>(&expected)) {
      EXPECT_EQ(reg->GetInteger("v"), *value);
      EXPECT_EQ(reg->GetBool("V"), *value != 0);
    } else {
      ExpectRegistryError([&] { reg->GetInteger("v"); }, MessageFor(std::get<Error>(expected), "v"));
      ExpectRegistryError([&] { reg->GetBool("v"); }, MessageFor(std::get<Error>(expected), "v"));
    }
    EXPECT_TRUE(reg->HasValue("v")) << "any type and size counts, zero included";
  }
}

TEST_P(Values, GetStringOfEveryShape) {
  const std::pair<Stored, std::variant<std::string, Error>> cases[] = {
      {{"SZ", kRegSz, B({"abc\0", 4})}, "abc"},
      {{"SZ of zero length", kRegSz, {}}, ""},
      {{"SZ holding only its zero", kRegSz, {0}}, ""},
      {{"SZ without its zero", kRegSz, B("abc")}, "abc"},
      {{"SZ with a zero inside", kRegSz, B({"ab\0cd\0", 6})}, "ab"},
      {{"EXPAND_SZ stays unexpanded", kRegExpandSz, B({"%SystemRoot%\\x\0", 15})}, "%SystemRoot%\\x"},
      {{"BINARY of zero length", kRegBinary, {}}, ""},
      {{"DWORD of zero length", kRegDword, {}}, ""},
      {{"BINARY 3", kRegBinary, {'a', 'b', 'c'}}, Error::BadType},
      {{"DWORD", kRegDword, {1, 0, 0, 0}}, Error::BadType},
      {{"MULTI_SZ", kRegMultiSz, B({"a\0b\0\0", 5})}, Error::BadType},
  };
  for (const auto& [stored, expected] : cases) {
    SCOPED_TRACE(stored.label);
    Put(stored);
    auto reg = Open();
    if (const auto* text = std::get_if<std::string>(&expected))
      EXPECT_EQ(reg->GetString("v"), *text);
    else
      ExpectRegistryError([&] { reg->GetString("v"); }, MessageFor(std::get<Error>(expected), "v"));
  }
}

TEST_P(Values, MissingValues) {
  auto reg = Open();
  EXPECT_FALSE(reg->HasValue("missing"));
  EXPECT_EQ(reg->GetString("missing"), "");
  EXPECT_EQ(reg->GetString(""), "") << "a default value never set";
  ExpectRegistryError([&] { reg->GetInteger("missing"); }, "'missing' の取得に失敗しました");
  ExpectRegistryError([&] { reg->GetBool(""); }, "'' の取得に失敗しました");
}

TEST_P(Values, WritesStoreWhatTheyShould) {
  auto reg = Open();
  reg->PutString("abc", "abc");
  reg->PutString("empty", "");
  reg->PutString("", "default");
  reg->PutBool("yes", true);
  reg->PutBool("no", false);
  reg->PutInteger("neg", -2);
  reg->PutInteger("neg", 5);  // replaces
  reg->PutString("retyped", "x");
  reg->PutInteger("retyped", 9);  // whatever its former type
  const std::pair<const char*, std::pair<std::uint32_t, Bytes>> expected[] = {
      {"abc", {kRegSz, B({"abc\0", 4})}},     {"empty", {kRegSz, {0}}},          {"", {kRegSz, B({"default\0", 8})}},
      {"yes", {kRegDword, {1, 0, 0, 0}}},     {"no", {kRegDword, {0, 0, 0, 0}}}, {"neg", {kRegDword, {5, 0, 0, 0}}},
      {"retyped", {kRegDword, {9, 0, 0, 0}}},
  };
  for (const auto& [name, value] : expected) {
    const auto raw = GetRaw(Store(), kCurrentUser, UserScratch(), name);
    EXPECT_TRUE(raw.exists) << name;
    EXPECT_EQ(raw.type, value.first) << name;
    EXPECT_EQ(raw.data, value.second) << name;
  }
  EXPECT_EQ(reg->GetString(""), "default");
  EXPECT_EQ(reg->GetString("EMPTY"), "");
  EXPECT_EQ(reg->GetInteger("neg"), 5);
}

TEST_P(Values, BooleansAreAnyNonZeroInteger) {
  const std::pair<std::int32_t, bool> cases[] = {{0, false}, {1, true}, {2, true}, {-1, true}};
  auto reg = Open();
  for (const auto& [stored, expected] : cases) {
    reg->PutInteger("b", stored);
    EXPECT_EQ(reg->GetBool("b"), expected) << stored;
  }
}

TEST_P(Values, MessagesCarryTheNameAsGiven) {
  TRegistry reg(Store());  // no key open
  const std::pair<std::string, std::string> cases[] = {
      {"gSaveMethod", "'gSaveMethod' の設定に失敗しました"},
      {"", "'' の設定に失敗しました"},
      {"Mixed Case", "'Mixed Case' の設定に失敗しました"},
  };
  for (const auto& [name, message] : cases) {
    ExpectRegistryError([&] { reg.PutString(name, "x"); }, message);
    ExpectRegistryError([&] { reg.PutInteger(name, 1); }, message);
    ExpectRegistryError([&] { reg.PutBool(name, true); }, message);
  }
  // The exact bytes, so an encoding slip shows.
  EXPECT_EQ(ReadFailedMessage("n"),
            "'n' \xE3\x81\xAE\xE5\x8F\x96\xE5\xBE\x97\xE3\x81\xAB\xE5\xA4\xB1\xE6\x95\x97"
            "\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F");
  EXPECT_EQ(BadTypeMessage("n"),
            "'n' \xE3\x81\xAE\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\xE5\x9E\x8B\xE3\x81\x8C"
            "\xE4\xB8\x8D\xE6\xAD\xA3\xE3\x81\xA7\xE3\x81\x99");
}

STORE_SUITE(Values);

}  // namespace
