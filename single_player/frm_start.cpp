#include "single_player/frm_start.h"

#include "single_player/frm_main.h"

namespace single_player {

namespace {
struct Line {
    ui::Rect rect;  // twips
    const char* caption;
};
constexpr std::array<Line, 3> kLines = {{
    {{600, 840, 2532, 240}, "Singleplayer Version 2.1.0"},
    {{960, 1800, 1716, 240}, "Das Muranko-Team"},
    {{1200, 1440, 1260, 240}, "August 2001"},
}};
}  // namespace

frm_start::frm_start(ui::Runtime& runtime)
    : games::Splash(runtime, kName, frm_main::kName, 2000),
      lbl_text2(*this, "lbl_text2", {1080, 240, 1980, 348}, "Muranko",
                games::splash_label_style(13.5f, ui::Alignment::center)),
      lbl_1(ui::make_array<3>([this](int i) {
          const Line& line = kLines[static_cast<std::size_t>(i)];
          return ui::Label(*this, ui::indexed("lbl_1", i), line.rect, line.caption,
                           games::splash_label_style(9.75f, ui::Alignment::center));
      })),
      img_Fisch(*this, "img_Fisch", {480, 240, 480, 480}, ui::Picture::puffer_inflated) {}

}  // namespace single_player
