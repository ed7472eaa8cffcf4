#include "app/forms.h"

#include "single_player/frm_main.h"

namespace app {

void register_forms(ui::Runtime& runtime) {
    runtime.register_form(
        "frm_main", [](ui::Runtime& rt) { return std::make_unique<single_player::frm_main>(rt); });
}

}  // namespace app
