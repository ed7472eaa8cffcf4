#include "single_player/frm_main.h"
namespace single_player {
frm_main::frm_main(ui::Runtime& runtime) : ui::Form(runtime, "frm_main", {}) {}
}  // namespace single_player
