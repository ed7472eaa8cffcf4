// The virtual-key codes that reach a form's key-down handler.
#pragma once

#include "ui/types.h"

namespace ui::keys {

inline constexpr Integer kEnter = 13;
inline constexpr Integer kEsc = 27;
inline constexpr Integer kSpace = 32;
inline constexpr Integer kLeft = 37;
inline constexpr Integer kUp = 38;
inline constexpr Integer kRight = 39;
inline constexpr Integer kDown = 40;
// Letters by their upper-case character code.
inline constexpr Integer kA = 'A';
inline constexpr Integer kD = 'D';
inline constexpr Integer kP = 'P';
inline constexpr Integer kS = 'S';
inline constexpr Integer kW = 'W';

}  // namespace ui::keys
