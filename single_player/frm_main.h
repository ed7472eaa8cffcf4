#pragma once
#include "ui/form.h"
namespace single_player {
class frm_main : public ui::Form {
public:
    explicit frm_main(ui::Runtime& runtime);
};
}  // namespace single_player
