#include "settings/options.h"

#include <exception>

namespace settings {
namespace {

// Every value, in the order it is read and written.
enum class Kind { SaveMethod, Bool, ShortCut };
struct Field {
  const char* name;
  Kind kind;
  std::int32_t Options::*integer;
  bool Options::*flag;
  std::uint16_t Options::*shortcut;
};
constexpr Field kFields[] = {
    {"gSaveMethod", Kind::SaveMethod, &Options::gSaveMethod, nullptr, nullptr},
    {"gAllowBreakDCF", Kind::Bool, nullptr, &Options::gAllowBreakDCF, nullptr},
    {"gKeepTimeStamp_Create", Kind::Bool, nullptr, &Options::gKeepTimeStamp_Create, nullptr},
    {"gKeepTimeStamp_Write", Kind::Bool, nullptr, &Options::gKeepTimeStamp_Write, nullptr},
    {"gAllowAdjustMCU", Kind::Bool, nullptr, &Options::gAllowAdjustMCU, nullptr},
    {"gNotShowWarning", Kind::Bool, nullptr, &Options::gNotShowWarning, nullptr},
    {"gHotKey_90", Kind::ShortCut, nullptr, nullptr, &Options::gHotKey_90},
    {"gHotKey_180", Kind::ShortCut, nullptr, nullptr, &Options::gHotKey_180},
    {"gHotKey_270", Kind::ShortCut, nullptr, nullptr, &Options::gHotKey_270},
    {"gAddMenu180", Kind::Bool, nullptr, &Options::gAddMenu180, nullptr},
};

void ReadField(TRegistry& registry, const Field& field, Options& options) {
  switch (field.kind) {
    case Kind::SaveMethod: {
      const std::int32_t code = registry.GetInteger(field.name);
      if (RowFromSaveMethod(code)) options.*field.integer = code;
      break;
    }
    case Kind::Bool: options.*field.flag = registry.GetBool(field.name); break;
    case Kind::ShortCut:  // taken unchecked, cut to 16 bits
      options.*field.shortcut = static_cast<std::uint16_t>(registry.GetInteger(field.name));
      break;
  }
}

}  // namespace

LoadedOptions LoadOptions(RegistryStore& store, const OptionsLocation& location) {
  LoadedOptions loaded;
  TRegistry registry(store);
  registry.AccessMask(kKeyRead);
  registry.Root(location.root);
  if (!registry.OpenPath(location.path, false)) return loaded;
  loaded.gRegistered = true;
  for (const Field& field : kFields) {
    if (!registry.HasValue(field.name)) continue;
    try {
      ReadField(registry, field, loaded.options);
    } catch (const ERegistryException&) {
      // One unreadable value must not cost the readable ones: they would be overwritten with
      // defaults at the next OK.
      if (!loaded.failure) loaded.failure = std::current_exception();
    }
  }
  return loaded;
}

bool SaveOptions(TRegistry& registry, const OptionsLocation& location, const Options& options) {
  registry.Root(location.root);
  // An options key that is a link goes, its target untouched, and a real key takes its place.
  // Through a link above it the cursor opens and creates nothing.
  if (registry.IsLink(location.path)) registry.DeletePath(location.path);
  if (!registry.OpenPath(location.path, true)) return false;
  for (const Field& field : kFields) {
    switch (field.kind) {
      case Kind::SaveMethod: registry.PutInteger(field.name, options.*field.integer); break;
      case Kind::Bool: registry.PutBool(field.name, options.*field.flag); break;
      case Kind::ShortCut:  // zero-extended
        registry.PutInteger(field.name, static_cast<std::int32_t>(options.*field.shortcut));
        break;
    }
  }
  return true;
}

void DeleteOptions(TRegistry& registry, const OptionsLocation& location) {
  registry.Root(location.root);
  registry.DeletePath(location.path);  // nothing is reported: a missing key is already gone
}

std::int32_t SaveMethodFromRow(int row) {
  switch (row) {
    case 0:
    case 1:
    case 2: return row;
    case 3: return 4;
    case 4: return 3;
    default: return 0;
  }
}

std::optional<int> RowFromSaveMethod(std::int32_t code) {
  switch (code) {
    case 0:
    case 1:
    case 2: return code;
    case 3: return 4;
    case 4: return 3;
    default: return std::nullopt;
  }
}

}  // namespace settings
