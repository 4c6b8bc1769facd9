// The commit that OK performs: brings the shell registration of the context-menu handler and
// the options key in line with the user's wish, through one full-access key cursor that is
// closed on every path.
#pragma once

#include <string>
#include <string_view>

#include "registration/program_path.h"
#include "settings/options.h"

namespace registration {

// The names are spelled once, as literals, so that the key paths below stay constants.
#define VT_HANDLER_NAME "vintrel_turnways"
#define VT_CLSID "{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}"
#define VT_HANDLER_SUB_PATH "shellex\\ContextMenuHandlers\\" VT_HANDLER_NAME

inline constexpr const char* kHandlerName = VT_HANDLER_NAME;
inline constexpr const char* kClsid = VT_CLSID;
inline constexpr const char* kServerFileName = VT_HANDLER_NAME ".dll";

// The handler's key below a file type's key.
inline constexpr const char* kHandlerSubPath = VT_HANDLER_SUB_PATH;
// The keys the commit writes below HKEY_LOCAL_MACHINE\Software\Classes, which HKEY_CLASSES_ROOT
// shows when the account has no per-user key of the same name.
inline constexpr const char* kHandlerKey = "*\\" VT_HANDLER_SUB_PATH;
inline constexpr const char* kClassKey = "CLSID\\" VT_CLSID;
inline constexpr const char* kServerKey = "CLSID\\" VT_CLSID "\\InProcServer32";

#undef VT_HANDLER_SUB_PATH
#undef VT_CLSID
#undef VT_HANDLER_NAME

// The executable's folder: everything up to and including its last "\" or ":". A "\" byte
// that is the second byte of a double-byte character of `codePage` is no separator.
std::string ExecutableFolder(std::string_view executablePath, const base::CodePage& codePage);

// The handler DLL's path as registered: the executable's folder followed by kServerFileName.
std::string ServerPath(std::string_view executablePath, const base::CodePage& codePage);

// Every key is written and deleted below HKEY_LOCAL_MACHINE\Software\Classes, in the program's
// own registry view, and per-user class keys of the account are left alone. No registry link
// is followed on the options key's path or in a deleted subtree (TRegistry says how).
// Removes the handler's keys under the JPEG file type, then registers the handler for all
// files and saves the options at `optionsAt` (gRegistered true), or removes the registration
// and that options key (false). executablePath is the running program's path in the ANSI code
// page (its folder is what counts), as AnsiProgramPath gives it. Throws ERegistryException when
// a key that must be written cannot be opened or created ("'<key path>' の設定に失敗しました"
// for "*", kHandlerKey and the options key's path), or a write is refused; what was done before
// stays, and a second commit finishes it.
// Registering with a program path that has no ANSI form writes nothing at all and throws
// base::Exception with its message; removing needs no path.
void Commit(settings::RegistryStore& store, const settings::OptionsLocation& optionsAt, bool gRegistered,
            const settings::Options& options, const ProgramPath& executablePath);

}  // namespace registration
