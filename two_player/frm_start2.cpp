#include "two_player/frm_start2.h"

#include "two_player/frm_main2.h"

namespace two_player {

namespace {
struct Line {
    ui::Rect rect;  // twips
    const char* caption;
};
constexpr std::array<Line, 3> kLines = {{
    {{720, 960, 2376, 240}, "Multiplayer Version 2.1.0"},
    {{1080, 1920, 1704, 240}, "Das Muranko-Team"},
    {{1320, 1320, 1236, 240}, "August 2001"},
}};

struct Fish {
    ui::Rect rect;  // twips
    ui::Picture picture;
    int layer;
};
constexpr std::array<Fish, 2> kFish = {{
    {{720, 240, 480, 480}, ui::Picture::puffer_inflated, 1},
    {{480, 360, 480, 480}, ui::Picture::puffer_deflated, 0},
}};
}  // namespace

// The splash's timer never fires by its design Interval of 0; Form_Load arms it.
frm_start2::frm_start2(ui::Runtime& runtime)
    : games::Splash(runtime, kName, frm_main2::kName, 0),
      img_fisch(ui::make_array<2>([this](int i) {
          const Fish& fish = kFish[static_cast<std::size_t>(i)];
          return ui::Image(*this, ui::indexed("img_fisch", i), fish.rect, fish.picture, true,
                           fish.layer);
      })),
      lbl_text2(*this, "lbl_text2", {1200, 360, 1968, 348}, "Muranko",
                games::splash_label_style(13.5f, ui::Alignment::left)),
      lbl_1(ui::make_array<3>([this](int i) {
          const Line& line = kLines[static_cast<std::size_t>(i)];
          return ui::Label(*this, ui::indexed("lbl_1", i), line.rect, line.caption,
                           games::splash_label_style(9.75f, ui::Alignment::left));
      })) {}

}  // namespace two_player
