// The registry operations the key cursor relies on, behind one interface, so the same cursor
// runs on Windows' registry (WinRegistryStore) or on the in-memory store of the tests. Each
// operation has the meaning, arguments and result codes of its advapi32 namesake
// (RegOpenKeyExA, ...): names and data are byte strings in the ANSI code page, 0 is success.
//
// A registry link is a key whose SymbolicLinkValue (REG_LINK) names another key. OpenKey,
// CreateKey and DeleteKey follow every link on their path; the ...NoFollow operations open the
// last key of the path itself (REG_OPTION_OPEN_LINK), and DeleteOpenKey deletes the very key a
// handle is open on (NtDeleteKey), so a link opened so is deleted and its target stays.
#pragma once

#include <cstdint>
#include <string>

#include "base/codepage.h"

namespace settings {

// A key handle: an open key, a predefined root, or 0 for none. Same bits as an HKEY.
using Key = std::uintptr_t;

// Predefined roots, sign-extended as HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, ... are.
// HKEY_USERS holds the hive of each signed-in user, named by the user's SID. HKEY_CLASSES_ROOT
// is a merged view: a key of HKEY_CURRENT_USER\Software\Classes hides the key of the same name
// in HKEY_LOCAL_MACHINE\Software\Classes.
inline constexpr Key kClassesRoot = static_cast<Key>(static_cast<std::intptr_t>(INT32_MIN));
inline constexpr Key kCurrentUser = kClassesRoot + 1;
inline constexpr Key kLocalMachine = kClassesRoot + 2;
inline constexpr Key kUsers = kClassesRoot + 3;

inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kDelete = 0x10000;        // DELETE
inline constexpr std::uint32_t kKeyRead = 0x20019;       // KEY_READ
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;  // KEY_ALL_ACCESS

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

// Result codes, as the Win32 ERROR_* values.
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kAccessDenied = 5;
inline constexpr long kInvalidHandle = 6;
inline constexpr long kInvalidParameter = 87;
inline constexpr long kBadPathName = 161;
inline constexpr long kMoreData = 234;
inline constexpr long kNoMoreItems = 259;
inline constexpr long kKeyDeleted = 1018;

// The value that makes a key a link, with type kRegLink.
inline constexpr const char* kLinkValueName = "SymbolicLinkValue";

class RegistryStore {
public:
  virtual ~RegistryStore() = default;

  virtual long OpenKey(Key base, const std::string& subPath, std::uint32_t access, Key& result) = 0;
  virtual long CreateKey(Key base, const std::string& subPath, std::uint32_t access, Key& result) = 0;
  virtual long OpenKeyNoFollow(Key base, const std::string& subPath, std::uint32_t access, Key& result) = 0;
  virtual long CreateKeyNoFollow(Key base, const std::string& subPath, std::uint32_t access, Key& result) = 0;
  virtual long CloseKey(Key key) = 0;
  // Longest sub-key name in UTF-16 units, as RegQueryInfoKeyA reports it.
  virtual long QueryInfoKey(Key key, std::uint32_t& subKeys, std::uint32_t& maxSubKeyLength) = 0;
  // nameSize: the buffer's size in bytes on entry, the name's length without its zero on success.
  virtual long EnumKey(Key key, std::uint32_t index, char* name, std::uint32_t& nameSize) = 0;
  virtual long DeleteKey(Key base, const std::string& subPath) = 0;
  // Needs kDelete on the handle; a key with sub-keys is not deleted.
  virtual long DeleteOpenKey(Key key) = 0;
  // data may be null (size and type only); size: the buffer's size on entry, the data's after.
  virtual long QueryValue(Key key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* size) = 0;
  virtual long SetValue(Key key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t size) = 0;

  // The ANSI code page the store's names and texts are in.
  virtual base::CodePage AnsiCodePage() const = 0;
};

}  // namespace settings
