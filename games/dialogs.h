// What the help, key-list and about forms of both games share: their window, the OK button
// that unloads its own form, key lists laid out from a table of rows, and the about form's
// texts and labels. The dialogs are shown modelessly and share no state with the game.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/types.h"

namespace games {

// Light violet blue.
inline constexpr ui::Color kDialogBackColor = 0x00FF8080;

// A dialog's window: fixed single frame, centred, scale in twips.
ui::FormDesign dialog_design(std::string caption, int client_width_twips, int client_height_twips,
                             ui::Picture icon);

// A dialog whose one focusable control, cmd_ok, unloads it. Positions are in twips as the
// form descriptions print them; they are snapped to whole pixels.
class Dialog : public ui::Form {
  public:
    void cmd_ok_Click();

    ui::Button cmd_ok;

  protected:
    Dialog(ui::Runtime& runtime, std::string name, ui::FormDesign design, ui::Rect ok);
};

// --- Key lists ----------------------------------------------------------------------------

// One label of a key list: its index in the label array, Left and Width in twips, caption.
struct KeyListCell {
    int index = -1;  // -1: no label
    int left = 0;
    int width = 0;
    const char* caption = "";
};

// A line of a key list: a key and its meaning, or a heading alone.
struct KeyListRow {
    int top = 0;
    KeyListCell key;
    KeyListCell meaning;
    bool heading() const { return meaning.index < 0; }
};

// The label of index `index` of a key list whose keys and meanings are drawn in `key_color`;
// headings keep the default black.
ui::Label key_list_label(ui::Form& form, std::span<const KeyListRow> rows, int index,
                         ui::Color key_color);

template <std::size_t N>
std::array<ui::Label, N> key_list_labels(ui::Form& form, std::span<const KeyListRow> rows,
                                         ui::Color key_color) {
    return ui::make_array<N>(
        [&](int index) { return key_list_label(form, rows, index, key_color); });
}

// --- About forms --------------------------------------------------------------------------

// Where an about form puts its labels (twips, as printed), and what sets it apart.
struct AboutLayout {
    ui::Rect ok;
    ui::Rect title;                 // lbl_text2
    std::array<ui::Rect, 3> lines;  // lbl_1(0) version, lbl_1(1) credit, lbl_1(2) date
    const char* version = "";
    ui::Alignment alignment = ui::Alignment::left;
};

// An about form: "Muranko", the version, the credit line and the date, in auto-sized labels.
class AboutForm : public Dialog {
  public:
    ui::Label lbl_text2;
    std::array<ui::Label, 3> lbl_1;

  protected:
    AboutForm(ui::Runtime& runtime, std::string name, ui::FormDesign design,
              const AboutLayout& layout);
};

}  // namespace games
