#include "registration/commit.h"

namespace registration {
namespace {

using settings::ERegistryException;
using settings::TRegistry;

std::string HandlerBelow(const std::string& typeKey) { return typeKey + "\\" + kHandlerSubPath; }

// Removes what older versions registered for the JPEG file type: the handler below the type
// key that ".jpg" names, the handler's own type key, and the handler below ".jpg". Creating
// ".jpg" when it is missing is part of the step; when it cannot be opened the step is skipped.
// Ends with no key open.
void RemoveJpegTypeEntries(TRegistry& registry) {
  registry.Root(settings::kClassesRoot);
  if (!registry.OpenPath(".jpg", true)) return;
  std::string type = registry.GetString("");
  registry.ClosePath();
  if (type.empty()) type = kHandlerName;

  // Each deletion is best-effort: a key that is not there is already as wanted.
  registry.DeletePath(HandlerBelow(type));
  registry.DeletePath(kHandlerName);
  registry.DeletePath(HandlerBelow(".jpg"));
}

[[noreturn]] void KeyFailed(const std::string& path) { throw ERegistryException(settings::WriteFailedMessage(path)); }

// Every key is opened with none open before it, so a key that cannot be opened leaves nothing
// open and the write that follows fails instead of landing in the previous key.
void Register(TRegistry& registry, const settings::OptionsLocation& optionsAt, const settings::Options& options,
              const std::string& serverPath) {
  registry.Root(settings::kClassesRoot);
  if (!registry.OpenPath("*", true)) KeyFailed("*");
  if (!registry.OpenPath(kHandlerSubPath, true)) KeyFailed(kHandlerKey);
  registry.PutString("", kClsid);
  registry.ClosePath();

  // The class and server keys' OpenPath results are not looked at: when one cannot be opened,
  // no key is open and the PutString that follows raises for it ("'' の設定に失敗しました").
  registry.OpenPath(kClassKey, true);
  registry.PutString("", kHandlerName);
  registry.ClosePath();

  registry.OpenPath(kServerKey, true);
  registry.PutString("", serverPath);
  registry.PutString("ThreadingModel", "Apartment");
  registry.ClosePath();

  if (!settings::SaveOptions(registry, optionsAt, options)) KeyFailed(optionsAt.path);
}

// Deletions report nothing: removing what was never registered ends normally.
void Unregister(TRegistry& registry, const settings::OptionsLocation& optionsAt) {
  registry.Root(settings::kClassesRoot);
  registry.DeletePath(kHandlerKey);
  registry.DeletePath(kClassKey);
  settings::DeleteOptions(registry, optionsAt);
}

}  // namespace

std::string ExecutableFolder(std::string_view executablePath, const base::CodePage& codePage) {
  std::size_t end = 0;
  for (std::size_t pos = 0; pos < executablePath.size();) {
    const std::size_t length = codePage.CharLength(executablePath, pos);
    if (length == 1 && (executablePath[pos] == '\\' || executablePath[pos] == ':')) end = pos + 1;
    pos += length;
  }
  return std::string(executablePath.substr(0, end));
}

std::string ServerPath(std::string_view executablePath, const base::CodePage& codePage) {
  return ExecutableFolder(executablePath, codePage) + kServerFileName;
}

void Commit(settings::RegistryStore& store, const settings::OptionsLocation& optionsAt, bool gRegistered,
            const settings::Options& options, const ProgramPath& executablePath) {
  if (gRegistered && !executablePath.Representable()) throw base::Exception(executablePath.Message());
  TRegistry registry(store);  // full access; its destructor closes the key on every path
  RemoveJpegTypeEntries(registry);
  if (gRegistered)
    Register(registry, optionsAt, options, ServerPath(executablePath.Ansi(), store.AnsiCodePage()));
  else
    Unregister(registry, optionsAt);
}

}  // namespace registration
