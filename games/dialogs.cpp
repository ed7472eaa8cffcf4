#include "games/dialogs.h"

#include <algorithm>
#include <stdexcept>

#include "ui/runtime.h"

namespace games {

namespace {
constexpr int kKeyListLabelHeight = 252;
// The key lists and the about forms' smaller lines.
constexpr ui::Single kTextPoints = 9.75f;

ui::Rect exact(const ui::Form& form, const ui::Rect& twips) {
    return form.design().exact_rect(twips.left, twips.top, twips.width, twips.height);
}

ui::LabelStyle bold(ui::Single points) {
    ui::LabelStyle style;
    style.font.points = points;
    style.font.bold = true;
    return style;
}

ui::LabelStyle about_style(ui::Single points, ui::Alignment alignment) {
    ui::LabelStyle style = bold(points);
    style.alignment = alignment;
    style.auto_size = true;
    return style;
}
}  // namespace

ui::FormDesign dialog_design(std::string caption, int client_width_twips, int client_height_twips,
                             ui::Picture icon) {
    ui::FormDesign design;
    design.caption = std::move(caption);
    design.border = ui::BorderStyle::fixed_single;
    design.client_width_twips = client_width_twips;
    design.client_height_twips = client_height_twips;
    design.back_color = kDialogBackColor;
    design.icon = icon;
    return design;
}

Dialog::Dialog(ui::Runtime& runtime, std::string name, ui::FormDesign design, ui::Rect ok)
    : ui::Form(runtime, std::move(name), std::move(design)),
      cmd_ok(*this, "cmd_ok", exact(*this, ok), "OK") {
    cmd_ok.on_click = [this] { cmd_ok_Click(); };
}

void Dialog::cmd_ok_Click() {
    runtime().unload(*this);
}

ui::Label key_list_label(ui::Form& form, std::span<const KeyListRow> rows, int index,
                         ui::Color key_color) {
    for (const KeyListRow& row : rows) {
        for (const KeyListCell* cell : {&row.key, &row.meaning}) {
            if (cell->index != index) continue;
            ui::LabelStyle style = bold(kTextPoints);
            if (!row.heading()) style.fore_color = key_color;
            const ui::Rect twips{static_cast<ui::Single>(cell->left),
                                 static_cast<ui::Single>(row.top),
                                 static_cast<ui::Single>(cell->width), kKeyListLabelHeight};
            return ui::Label(form, ui::indexed("Label1", index), exact(form, twips), cell->caption,
                             style);
        }
    }
    throw std::logic_error("a key list has no label " + ui::indexed("Label1", index));
}

AboutForm::AboutForm(ui::Runtime& runtime, std::string name, ui::FormDesign design,
                     const AboutLayout& layout)
    : Dialog(runtime, std::move(name), std::move(design), layout.ok),
      lbl_text2(*this, "lbl_text2", exact(*this, layout.title), "Muranko",
                about_style(13.5f, layout.alignment)),
      lbl_1(ui::make_array<3>([&](int i) {
          static constexpr std::array<const char*, 3> kLines = {"", "Das Muranko-Team",
                                                                "August 2001"};
          const auto at = static_cast<std::size_t>(i);
          return ui::Label(*this, ui::indexed("lbl_1", i), exact(*this, layout.lines[at]),
                           i == 0 ? layout.version : kLines[at],
                           about_style(kTextPoints, layout.alignment));
      })) {}

}  // namespace games
