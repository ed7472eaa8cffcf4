// Started where no display can be had, the program says so in one line on stderr and exits
// with code 1, instead of Qt's advice to reinstall it and an abort. Platforms that need no
// display (QT_QPA_PLATFORM=offscreen for the tests) are left alone.
#pragma once

namespace ui::qt {

// Construct before the QApplication, destroy once it stands. Exits at once when the platform
// needs a display and neither DISPLAY nor WAYLAND_DISPLAY names one; while it lives, a platform
// that cannot reach the named display exits the same way. The platform's warnings are held
// meanwhile and passed on only if it starts.
class DisplayCheck {
  public:
    DisplayCheck(const char* program, int argc, char** argv);
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;
};

}  // namespace ui::qt
