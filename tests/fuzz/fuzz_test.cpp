// The harness's own tests: a fault planted in the game form is found, and its run is shrunk
// to the one event that causes it.
#include "tests/fuzz/fuzz.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "single_player/frm_main.h"

namespace fuzz {
namespace {

constexpr int kEnter = 13;

// The game form with one planted fault: Enter throws the ball off the field.
class ThrowingBall : public single_player::frm_main {
  public:
    using frm_main::frm_main;
    void Form_KeyDown(ui::Integer key_code, ui::Integer shift) override {
        if (key_code == kEnter) {
            Img_ball.move(61, 0);
        } else {
            frm_main::Form_KeyDown(key_code, shift);
        }
    }
};

Config planted() {
    Config config;
    config.start_form = "frm_main";
    config.register_forms = [](ui::Runtime& rt) {
        rt.register_form("frm_main",
                         [](ui::Runtime& r) { return std::make_unique<ThrowingBall>(r); });
    };
    return config;
}

Event key(int code) {
    Event e;
    e.kind = Event::Kind::key;
    e.form = "frm_main";
    e.code = code;
    return e;
}

Event click(const char* control) {
    Event e;
    e.kind = Event::Kind::click;
    e.form = "frm_main";
    e.control = control;
    return e;
}

Event advance(std::int64_t ms) {
    Event e;
    e.kind = Event::Kind::advance;
    e.ms = ms;
    return e;
}

TEST(FuzzMinimiser, ShrinksAPlantedFaultToTheOneEventThatCausesIt) {
    // A game with steering, a pause, a box held open and a restart around the fatal Enter.
    std::vector<Event> events = {click("mnu_freak"),
                                 click("mnu_start"),
                                 key(38),
                                 advance(700),
                                 key(80),
                                 advance(3000),
                                 key(80),
                                 key(39),
                                 advance(120),
                                 click("mnu_start"),
                                 key(65),
                                 advance(2000)};
    events.back().boxes.push_back(BoxTurn{1500, {Poke{Poke::Kind::key, "frm_main", "", 40}}});
    events.insert(events.begin() + 9, key(kEnter));
    events.push_back(advance(400));
    events.push_back(click("mnu_abbrechen"));

    const auto failure = replay(events, planted());
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->check, "ball-range");
    EXPECT_EQ(failure->event, 9u);
    // The same list on the real form breaks nothing.
    EXPECT_FALSE(replay(events).has_value());

    const std::vector<Event> minimal = minimise(events, planted());
    EXPECT_EQ(minimal, std::vector<Event>{key(kEnter)}) << format(minimal);
}

TEST(FuzzRun, FindsThePlantedFaultAndReportsItsOneEvent) {
    Options options;
    options.seed = 5;
    options.events = 3000;
    options.quiet = true;
    options.config = planted();
    std::ostringstream out;
    const Summary summary = run(options, out);

    ASSERT_EQ(summary.faults.size(), 1u) << out.str();
    EXPECT_EQ(summary.faults[0].failure.check, "ball-range");
    EXPECT_EQ(summary.faults[0].events, std::vector<Event>{key(kEnter)}) << out.str();
    // The report replays as printed.
    const auto printed = parse(out.str());
    ASSERT_TRUE(printed.has_value());
    EXPECT_EQ(*printed, summary.faults[0].events);
}

TEST(FuzzEvents, ReadBackAsWritten) {
    std::vector<Event> events = {key(65535), click("mnu_Pause"), advance(10000)};
    Event show;
    show.kind = Event::Kind::show;
    show.form = "frm_hilfe";
    events.push_back(show);
    Event close;
    close.kind = Event::Kind::close;
    close.form = "frm_main";
    events.push_back(close);
    events[2].boxes = {BoxTurn{0,
                               {Poke{Poke::Kind::click, "frm_main", "mnu_start", 0},
                                Poke{Poke::Kind::close, "frm_main", "", 0}}},
                       BoxTurn{250, {}}};

    std::string error;
    const auto read = parse(format(events), &error);
    ASSERT_TRUE(read.has_value()) << error;
    EXPECT_EQ(*read, events) << format(events);
    EXPECT_FALSE(parse("advance soon\n", &error).has_value());
    EXPECT_EQ(error, "line 1: unreadable event: advance soon");
}

}  // namespace
}  // namespace fuzz
