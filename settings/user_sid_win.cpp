#include "settings/user_sid.h"

#include <windows.h>

#include <sddl.h>

#include <vector>

#include "base/handle.h"

namespace settings {
namespace {

using KernelHandle = base::UniqueHandle<HANDLE, &CloseHandle>;
using LocalText = base::UniqueHandle<char*, &LocalFree>;

// The token's user as a string SID.
std::optional<std::string> TokenUserSid(HANDLE process) {
  KernelHandle token;
  if (!OpenProcessToken(process, TOKEN_QUERY, token.put())) return std::nullopt;
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);  // asks for the size only
  if (size < sizeof(TOKEN_USER)) return std::nullopt;
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return std::nullopt;
  LocalText text;
  if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, text.put())) return std::nullopt;
  return std::string(text.get());
}

}  // namespace

std::optional<std::string> ProgramUserSid() { return TokenUserSid(GetCurrentProcess()); }

std::optional<std::string> DesktopUserSid() {
  HWND shell = GetShellWindow();
  if (!shell) return std::nullopt;
  DWORD processId = 0;
  if (!GetWindowThreadProcessId(shell, &processId) || processId == 0) return std::nullopt;
  const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return std::nullopt;
  return TokenUserSid(process.get());
}

}  // namespace settings
