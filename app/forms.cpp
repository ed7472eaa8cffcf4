#include "app/forms.h"

#include "launcher/frm_menu.h"
#include "single_player/frm_hilfe.h"
#include "single_player/frm_main.h"
#include "single_player/frm_start.h"
#include "single_player/frm_tastatur.h"
#include "single_player/frm_ueber.h"
#include "two_player/frm_main2.h"
#include "two_player/frm_start2.h"
#include "two_player/frm_tastatur2.h"
#include "two_player/frm_ueber2.h"

namespace app {

void register_forms(ui::Runtime& runtime) {
    runtime.register_form<launcher::frm_menu>();
    runtime.register_form<single_player::frm_start>();
    runtime.register_form<single_player::frm_main>();
    runtime.register_form<single_player::frm_hilfe>();
    runtime.register_form<single_player::frm_Tastatur>();
    runtime.register_form<single_player::frm_ueber>();
    // The two-player game's help form is the same form under its own name.
    runtime.register_form<single_player::frm_hilfe>("frm_hilfe2");
    runtime.register_form<two_player::frm_Tastatur2>();
    runtime.register_form<two_player::frm_ueber2>();
    runtime.register_form<two_player::frm_main2>();
    runtime.register_form<two_player::frm_start2>();
}

}  // namespace app
