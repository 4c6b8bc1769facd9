// The option values the context-menu handler reads from the options key, with their registry
// names, defaults, and how they are loaded, saved and deleted. Free of any window: the main
// window moves these values between its controls and an Options.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "settings/registry.h"

namespace settings {

// The per-user options key, absolute so it resolves from the root whatever is open.
inline constexpr const char* kOptionsKey = "\\Software\\Tallgrove\\vintrel_turnways";

// Where the options key is: a root and an absolute path below it. The default is the key
// under HKEY_CURRENT_USER; options_location.h says when it is another user's, under HKEY_USERS.
struct OptionsLocation {
  Key root = kCurrentUser;
  std::string path = kOptionsKey;

  friend bool operator==(const OptionsLocation&, const OptionsLocation&) = default;
};

// One member per stored value, named as the value; initialised to the defaults used when a
// value is absent.
struct Options {
  std::int32_t gSaveMethod = 0;  // stored save-method code, 0..4
  bool gAllowBreakDCF = false;
  bool gKeepTimeStamp_Create = true;
  bool gKeepTimeStamp_Write = true;
  bool gAllowAdjustMCU = false;
  bool gNotShowWarning = false;
  std::uint16_t gHotKey_90 = 0;  // shortcut values: key code in the low byte, modifier bits above
  std::uint16_t gHotKey_180 = 0;
  std::uint16_t gHotKey_270 = 0;
  bool gAddMenu180 = false;

  friend bool operator==(const Options&, const Options&) = default;
};

// What loading gives: the values, and whether the user wants the handler registered (true
// exactly when the options key opens for reading).
struct LoadedOptions {
  Options options;
  bool gRegistered = false;
  std::exception_ptr failure;  // the first read that failed (an ERegistryException), or none
};

// Reads the options key at `location` read-only; a key that is a registry link, or lies below
// one, counts as missing. Every value is read; one that is absent or
// cannot be read keeps its default, and a save-method code outside 0..4 leaves 0. When a read
// failed, the result still holds everything else and, in `failure`, the first failure; the key
// is closed.
LoadedOptions LoadOptions(RegistryStore& store, const OptionsLocation& location);

// Opens (creating) the options key at `location` and writes all ten values in their order; an
// options key that is a registry link is replaced by a real key first. Answers false, having
// written nothing, when the key cannot be opened or created (a link above it included); a
// refused write throws ERegistryException.
bool SaveOptions(TRegistry& registry, const OptionsLocation& location, const Options& options);

// Deletes the options key at `location` with everything below it, a registry link itself
// rather than its target; nothing through a link above it. Its parent "...\Software\Tallgrove"
// stays.
void DeleteOptions(TRegistry& registry, const OptionsLocation& location);

// Save-method combo rows and stored codes: rows 3 and 4 are stored with each other's code.
inline constexpr int kSaveMethodRows = 5;
std::int32_t SaveMethodFromRow(int row);                  // an unknown row (-1 included) gives 0
std::optional<int> RowFromSaveMethod(std::int32_t code);  // none for an unknown code

}  // namespace settings
