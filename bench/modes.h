// The modes of muranko-bench. The parent mode starts the others as child processes, each
// measuring one thing and reporting "name value" lines on standard output.
#pragma once

namespace bench {

// The single-player game on the Qt runtime (Freaks, steered by the key script, restarted when
// it ends) for `seconds`: the lateness of its ticks and the process's CPU time. With the raw
// timer, a precise 50 ms QTimer runs beside the game in the same event loop, its lateness
// measured alike; its wake-ups count in the CPU time, so the CPU figure comes from a run
// without it.
int run_qt_game(int argc, char** argv, double seconds, bool with_raw_timer);

// A plain widget of the game's client area size that repaints all of it 20 times a second:
// background pixmap and sprites. Reports its CPU time over `seconds`.
int run_full_repaint(int argc, char** argv, double seconds);

// Start-up: shows the game (or, bare, an empty widget of the same size) and reports the time
// from the parent's clock reading in MURANKO_BENCH_SPAWN_NS to the end of the first paint.
int run_startup(int argc, char** argv, bool game);

// The single-player game on the test runtime's virtual clock, as fast as it runs, for
// `seconds` of wall time: game time simulated per wall second.
int run_headless(double seconds);

// Starts the children, prints the table; see main.cpp for the options.
int run_parent(int argc, char** argv);

}  // namespace bench
