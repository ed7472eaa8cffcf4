#include "app/forms.h"

#include "single_player/frm_main.h"

namespace app {

void register_forms(ui::Runtime& runtime) {
    runtime.register_form<single_player::frm_main>();
}

}  // namespace app
