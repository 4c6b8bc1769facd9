// Loading, saving and deleting the option set, on every store, with the options key under
// HKEY_CURRENT_USER and in another user's hive under HKEY_USERS.
#include <gtest/gtest.h>

#include "settings/options.h"
#include "tests/support/stores.h"

namespace {

using namespace settings;
using testing_support::Dword;
using testing_support::GetRaw;
using testing_support::KeyExists;
using testing_support::PutRaw;

constexpr const char* kNames[] = {"gSaveMethod",          "gAllowBreakDCF",  "gKeepTimeStamp_Create",
                                  "gKeepTimeStamp_Write", "gAllowAdjustMCU", "gNotShowWarning",
                                  "gHotKey_90",           "gHotKey_180",     "gHotKey_270",
                                  "gAddMenu180"};

class OptionsStore : public testing_support::StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    AlsoWipe(OptionsRoot(), OptionsPath());
  }
  void PutDword(const char* name, std::uint32_t value) {
    PutRaw(Store(), OptionsRoot(), OptionsPath(), name, kRegDword, Dword(value));
  }
  LoadedOptions Load() {
    LoadedOptions loaded;
    testing_support::LoadOrRaise(Store(), OptionsAt(), loaded);
    return loaded;
  }
};

TEST_P(OptionsStore, NoKeyGivesTheDefaultsAndNoRegistration) {
  const LoadedOptions loaded = Load();
  EXPECT_EQ(loaded.options, Options{});
  EXPECT_FALSE(loaded.gRegistered);
  const Options d;
  EXPECT_EQ(d.gSaveMethod, 0);
  EXPECT_FALSE(d.gAllowBreakDCF);
  EXPECT_TRUE(d.gKeepTimeStamp_Create);
  EXPECT_TRUE(d.gKeepTimeStamp_Write);
  EXPECT_FALSE(d.gAllowAdjustMCU || d.gNotShowWarning || d.gAddMenu180);
  EXPECT_EQ(d.gHotKey_90 | d.gHotKey_180 | d.gHotKey_270, 0);
}

TEST_P(OptionsStore, AnEmptyKeyMeansRegistered) {
  PutRaw(Store(), OptionsRoot(), OptionsPath(), "unrelated", kRegSz, {'x', 0});
  const LoadedOptions loaded = Load();
  EXPECT_EQ(loaded.options, Options{});
  EXPECT_TRUE(loaded.gRegistered);
}

TEST_P(OptionsStore, StoredSaveMethodCodes) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {7, 0}, {-1, 0}};
  for (const auto& [stored, loaded] : cases) {
    PutDword("gSaveMethod", static_cast<std::uint32_t>(stored));
    EXPECT_EQ(Load().options.gSaveMethod, loaded) << stored;
  }
}

TEST_P(OptionsStore, ValuesAreTakenUncheckedAndWrittenBackNormalised) {
  PutDword("gHotKey_90", 0x10041);
  PutDword("gHotKey_180", 0xFFFFFFFF);
  PutDword("gHotKey_270", 0x70);
  PutDword("gAllowBreakDCF", 5);
  PutDword("gKeepTimeStamp_Create", 0);
  const LoadedOptions loaded = Load();
  EXPECT_EQ(loaded.options.gHotKey_90, 0x41);
  EXPECT_EQ(loaded.options.gHotKey_180, 65535);
  EXPECT_EQ(loaded.options.gHotKey_270, 0x70);
  EXPECT_TRUE(loaded.options.gAllowBreakDCF);
  EXPECT_FALSE(loaded.options.gKeepTimeStamp_Create);
  TRegistry reg(Store());
  ASSERT_TRUE(SaveOptions(reg, OptionsAt(), loaded.options));
  reg.ClosePath();
  EXPECT_EQ(GetRaw(Store(), OptionsRoot(), OptionsPath(), "gHotKey_90").data, Dword(0x41));
  EXPECT_EQ(GetRaw(Store(), OptionsRoot(), OptionsPath(), "gHotKey_180").data, Dword(65535)) << "zero-extended";
  EXPECT_EQ(GetRaw(Store(), OptionsRoot(), OptionsPath(), "gAllowBreakDCF").data, Dword(1));
}

TEST_P(OptionsStore, SaveWritesAllTenAndLoadReadsThemBack) {
  const Options options{.gSaveMethod = 4,
                        .gAllowBreakDCF = true,
                        .gKeepTimeStamp_Write = false,
                        .gAllowAdjustMCU = true,
                        .gNotShowWarning = true,
                        .gHotKey_90 = 'R',
                        .gHotKey_180 = '7',
                        .gHotKey_270 = 0x2000 | 'L',
                        .gAddMenu180 = true};
  TRegistry reg(Store());
  ASSERT_TRUE(SaveOptions(reg, OptionsAt(), options));
  EXPECT_EQ(reg.CurrentPath(), OptionsPath());
  reg.ClosePath();
  for (const char* name : kNames) {
    const auto raw = GetRaw(Store(), OptionsRoot(), OptionsPath(), name);
    EXPECT_EQ(raw.type, kRegDword) << name;
    EXPECT_EQ(raw.data.size(), 4u) << name;
  }
  EXPECT_EQ(GetRaw(Store(), OptionsRoot(), OptionsPath(), "gKeepTimeStamp_Create").data, Dword(1))
      << "defaults are written too";
  const LoadedOptions loaded = Load();
  EXPECT_EQ(loaded.options, options);
  EXPECT_TRUE(loaded.gRegistered);
}

// An unreadable value keeps its default, every other value is still read, and the first
// failure is reported after the last value.
TEST_P(OptionsStore, UnreadableValuesCostOnlyThemselves) {
  PutDword("gSaveMethod", 2);
  PutRaw(Store(), OptionsRoot(), OptionsPath(), "gAllowBreakDCF", kRegSz, {'1', 0});
  PutDword("gKeepTimeStamp_Write", 0);
  PutRaw(Store(), OptionsRoot(), OptionsPath(), "gHotKey_90", kRegBinary, {1, 2, 3, 4, 5});
  PutDword("gHotKey_270", 'Z');
  PutDword("gAddMenu180", 1);
  LoadedOptions loaded;
  try {
    testing_support::LoadOrRaise(Store(), OptionsAt(), loaded);
    ADD_FAILURE() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), "'gAllowBreakDCF' のデータ型が不正です");
  }
  Options expected;
  expected.gSaveMethod = 2;
  expected.gKeepTimeStamp_Write = false;
  expected.gHotKey_270 = 'Z';
  expected.gAddMenu180 = true;
  EXPECT_EQ(loaded.options, expected);
  EXPECT_TRUE(loaded.gRegistered);

  PutRaw(Store(), OptionsRoot(), OptionsPath(), "gAllowBreakDCF", kRegDword, Dword(1));
  testing_support::ExpectRegistryError([&] { testing_support::LoadOrRaise(Store(), OptionsAt(), loaded); },
                                       "'gHotKey_90' の取得に失敗しました");
}

TEST_P(OptionsStore, DeleteRemovesTheKeyAndKeepsItsParent) {
  PutDword("gSaveMethod", 1);
  PutRaw(Store(), OptionsRoot(), OptionsPath() + "\\below", "x", kRegDword, Dword(1));
  TRegistry reg(Store());
  DeleteOptions(reg, OptionsAt());
  EXPECT_FALSE(KeyExists(Store(), OptionsRoot(), OptionsPath()));
  EXPECT_TRUE(KeyExists(Store(), OptionsRoot(), OptionsParent()));
  DeleteOptions(reg, OptionsAt());  // nothing there: nothing reported
  EXPECT_FALSE(Load().gRegistered);
}

OPTIONS_STORE_SUITE(OptionsStore);

TEST(SaveMethod, RowsThreeAndFourSwapTheirCodes) {
  const std::pair<int, std::int32_t> rows[] = {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {4, 3}, {-1, 0}, {5, 0}};
  for (const auto& [row, code] : rows) EXPECT_EQ(SaveMethodFromRow(row), code) << row;
  for (std::int32_t code = 0; code < kSaveMethodRows; ++code)
    EXPECT_EQ(SaveMethodFromRow(*RowFromSaveMethod(code)), code);
  for (const std::int32_t code : {-1, 5, 7, INT32_MIN}) EXPECT_FALSE(RowFromSaveMethod(code)) << code;
}

}  // namespace
