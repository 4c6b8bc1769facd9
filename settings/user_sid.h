// The two users the options location is chosen between (options_location.h), as string SIDs
// ("S-1-5-21-..."): the program's own, and that of the person at the desktop, the user of the
// process that owns the shell window. Each is nullopt when it cannot be found (no shell
// window, a call refused). Windows only.
#pragma once

#include <optional>
#include <string>

namespace settings {

std::optional<std::string> ProgramUserSid();
std::optional<std::string> DesktopUserSid();

}  // namespace settings
