#include "ui/shortcut.h"

namespace ui {
namespace {

constexpr unsigned kFlagShift = 0x01;
constexpr unsigned kFlagCtrl = 0x02;
constexpr unsigned kFlagAlt = 0x04;

struct Modifier {
  unsigned flag;
  std::uint16_t bit;
};
constexpr Modifier kModifiers[] = {{kFlagShift, kShortCutShift}, {kFlagCtrl, kShortCutCtrl}, {kFlagAlt, kShortCutAlt}};

}  // namespace

std::uint16_t ShortCutFromHotKey(std::uint16_t word) {
  const unsigned flags = word >> 8;
  unsigned value = word & 0xFFu;
  for (const Modifier& m : kModifiers)
    if (flags & m.flag) value |= m.bit;
  return static_cast<std::uint16_t>(value);
}

std::uint16_t HotKeyFromShortCut(std::uint16_t value) {
  unsigned flags = 0;
  for (const Modifier& m : kModifiers)
    if (value & m.bit) flags |= m.flag;
  return static_cast<std::uint16_t>((flags << 8) | (value & 0xFFu));
}

bool IsAllowedShortCut(std::uint16_t value) {
  return value == 0 || (value >= '0' && value <= '9') || (value >= 'A' && value <= 'Z');
}

}  // namespace ui
