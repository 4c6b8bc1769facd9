#include "registration/commit.h"

namespace registration {
namespace {

using settings::ERegistryException;
using settings::TRegistry;

std::string HandlerBelow(const std::string& typeKey) { return typeKey + "\\" + kHandlerSubPath; }

// The machine's classes key, HKEY_LOCAL_MACHINE\Software\Classes in the program's own registry
// view: the keys HKEY_CLASSES_ROOT reaches when the account has no per-user key of the same
// name. HKEY_CLASSES_ROOT itself would write into that per-user key when there is one. Opened
// following links: that key and the keys above it are the system's, which only administrators
// change. When it does not open, the handle is 0 and every step below fails as for a key that
// cannot be opened.
class MachineClasses {
public:
  explicit MachineClasses(settings::RegistryStore& store) : store_(store) {
    store_.OpenKey(settings::kLocalMachine, "Software\\Classes", settings::kKeyRead | settings::kKeyCreateSubKey, key_);
  }
  ~MachineClasses() {
    if (key_ != 0) store_.CloseKey(key_);
  }
  MachineClasses(const MachineClasses&) = delete;
  MachineClasses& operator=(const MachineClasses&) = delete;
  settings::Key Key() const { return key_; }

private:
  settings::RegistryStore& store_;
  settings::Key key_ = 0;
};

// Removes what older versions registered for the JPEG file type: the handler below the type
// key that ".jpg" names, the handler's own type key, and the handler below ".jpg". Creating
// ".jpg" when it is missing is part of the step; when it cannot be opened the step is skipped.
// The type's name is read from the machine's ".jpg", the key those versions wrote beside: a
// per-user ".jpg" is the account's to shape, and would only name its own per-user type.
// Ends with no key open.
void RemoveJpegTypeEntries(TRegistry& registry, settings::Key classes) {
  registry.Root(classes);
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
void Register(TRegistry& registry, settings::Key classes, const settings::OptionsLocation& optionsAt,
              const settings::Options& options, const std::string& serverPath) {
  registry.Root(classes);
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
void Unregister(TRegistry& registry, settings::Key classes, const settings::OptionsLocation& optionsAt) {
  registry.Root(classes);
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
  const MachineClasses classes(store);
  TRegistry registry(store);  // full access; its destructor closes the key on every path
  RemoveJpegTypeEntries(registry, classes.Key());
  if (gRegistered)
    Register(registry, classes.Key(), optionsAt, options, ServerPath(executablePath.Ansi(), store.AnsiCodePage()));
  else
    Unregister(registry, classes.Key(), optionsAt);
}

}  // namespace registration
