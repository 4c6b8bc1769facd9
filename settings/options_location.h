// Whose options key the program edits. The program runs elevated. When the elevation prompt
// was answered with another account, the program runs as that account and its
// HKEY_CURRENT_USER is that account's hive, while the context-menu handler runs in the desktop
// user's Explorer and reads the desktop user's key. The options then go to the desktop user's
// hive, HKEY_USERS\<SID>\Software\Tallgrove\vintrel_turnways. In every other case they stay
// under HKEY_CURRENT_USER. Free of any window: the SIDs come in as text (user_sid.h finds them
// on Windows).
#pragma once

#include <optional>
#include <string>

#include "settings/options.h"

namespace settings {

// The desktop user's options key when the two users are known and differ, the desktop user's
// SID is fit to be a key name ("S-" and digits and dashes) and that user's hive opens;
// otherwise the key under HKEY_CURRENT_USER.
OptionsLocation ChooseOptionsLocation(const std::optional<std::string>& programUser,
                                      const std::optional<std::string>& desktopUser, bool desktopHiveOpens);

// The same choice; whether HKEY_USERS\<desktop user> opens for reading is asked of the store,
// only when the users differ.
OptionsLocation FindOptionsLocation(RegistryStore& store, const std::optional<std::string>& programUser,
                                    const std::optional<std::string>& desktopUser);

}  // namespace settings
