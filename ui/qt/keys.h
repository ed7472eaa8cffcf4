// Keyboard translation: the forms' key-down handlers take Windows virtual-key codes.
#pragma once

#include <Qt>

namespace ui::qt {

// The virtual-key code of a Qt key: arrows 37 to 40, Space 32, Esc 27, Enter 13, letters by
// their upper-case code 65 to 90 (Qt reports letters upper-case whatever Shift and Caps Lock
// say), digits 48 to 57, the modifiers themselves (Shift 16, Ctrl 17, Alt 18), F1 to F12 (112
// to 123) and the editing keys. 0 for a key with no such code: the forms never see it.
int virtual_key(int qt_key);

// The shift argument of a key-down: 1 Shift, 2 Ctrl, 4 Alt.
int shift_state(Qt::KeyboardModifiers modifiers);

}  // namespace ui::qt
