// The modes of muranko-bench. The parent mode starts the others as child processes, each
// measuring one thing and reporting "name value" lines on standard output.
#pragma once

#include "bench/scenario.h"

namespace bench {

// A scenario on the Qt runtime (its games started, steered by the key scripts and restarted
// when they end) for `seconds`: the lateness of the games' ticks and the process's CPU time.
// With the raw timer, a precise 50 ms QTimer runs beside the games in the same event loop, its
// lateness measured alike; its wake-ups count in the CPU time, so the CPU figure comes from a
// run without it.
int run_qt_scenario(int argc, char** argv, const Scenario& scenario, double seconds,
                    bool with_raw_timer);

// A plain widget of the game's client area size that repaints all of it 20 times a second:
// background pixmap and sprites. Reports its CPU time over `seconds`.
int run_full_repaint(int argc, char** argv, double seconds);

// Start-up: shows the start form as the program does (or, bare, an empty widget of the
// game's client area size) and reports the time from the parent's clock reading in
// MURANKO_BENCH_SPAWN_NS to the end of the first paint.
int run_startup(int argc, char** argv, bool program);

// A scenario on the test runtime's virtual clock, as fast as it runs, for `seconds` of wall
// time: game time simulated per wall second.
int run_headless(const Scenario& scenario, double seconds);

// Starts the children, prints the table; see main.cpp for the options.
int run_parent(int argc, char** argv);

}  // namespace bench
