// Every form of the program, registered with a runtime under its name.
#pragma once

#include "ui/runtime.h"

namespace app {

// The form the program starts on.
inline constexpr const char* kStartForm = "frm_menu";

void register_forms(ui::Runtime& runtime);

}  // namespace app
