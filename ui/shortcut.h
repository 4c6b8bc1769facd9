// Shortcut values and the hot-key control's word. A shortcut value holds the virtual-key code
// in its low byte and the modifiers as 0x2000 (Shift), 0x4000 (Ctrl) and 0x8000 (Alt); the
// control's word (HKM_GETHOTKEY / HKM_SETHOTKEY) holds the key code in its low byte and the
// flags 1 (Shift), 2 (Ctrl), 4 (Alt) and 8 (extended key) in its high byte.
#pragma once

#include <cstdint>

namespace ui {

inline constexpr std::uint16_t kShortCutShift = 0x2000;
inline constexpr std::uint16_t kShortCutCtrl = 0x4000;
inline constexpr std::uint16_t kShortCutAlt = 0x8000;

// The control's word as a shortcut value; the extended-key flag is dropped.
std::uint16_t ShortCutFromHotKey(std::uint16_t word);
// The word the control is given for a shortcut value: bits 8 to 12 of the value are lost.
std::uint16_t HotKeyFromShortCut(std::uint16_t value);

// What the user may leave in a shortcut field: nothing (0), the keys 0-9 or A-Z, without
// modifiers. Anything else becomes 0.
bool IsAllowedShortCut(std::uint16_t value);

}  // namespace ui
