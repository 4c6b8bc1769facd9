#include "settings/options_location.h"

#include <algorithm>

namespace settings {
namespace {

bool IsSid(const std::string& sid) {
  return sid.size() > 2 && sid.starts_with("S-") &&
         std::all_of(sid.begin() + 2, sid.end(), [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
}

bool OtherUser(const std::optional<std::string>& programUser, const std::optional<std::string>& desktopUser) {
  return programUser && desktopUser && *programUser != *desktopUser && IsSid(*desktopUser);
}

bool HiveOpens(RegistryStore& store, const std::string& sid) {
  Key key = 0;
  if (store.OpenKey(kUsers, sid, kKeyRead, key) != kSuccess) return false;
  store.CloseKey(key);
  return true;
}

}  // namespace

OptionsLocation ChooseOptionsLocation(const std::optional<std::string>& programUser,
                                      const std::optional<std::string>& desktopUser, bool desktopHiveOpens) {
  if (!OtherUser(programUser, desktopUser) || !desktopHiveOpens) return {};
  return {kUsers, "\\" + *desktopUser + kOptionsKey};
}

OptionsLocation FindOptionsLocation(RegistryStore& store, const std::optional<std::string>& programUser,
                                    const std::optional<std::string>& desktopUser) {
  const bool opens = OtherUser(programUser, desktopUser) && HiveOpens(store, *desktopUser);
  return ChooseOptionsLocation(programUser, desktopUser, opens);
}

}  // namespace settings
