// muranko-bench: the program's benchmarks, each figure measured beside its reference in the
// same run. Without arguments it runs every figure for 60 s and prints a table; the modes
// after --child are the measuring processes it starts.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/modes.h"

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--child") {
        const std::string mode = argv[2];
        const double seconds = argc >= 4 ? std::strtod(argv[3], nullptr) : 0;
        // Qt sees only the program's name.
        int qt_argc = 1;
        if (mode == "qt-game" || mode == "qt-game-raw") {
            return bench::run_qt_game(qt_argc, argv, seconds, mode == "qt-game-raw");
        }
        if (mode == "full-repaint") return bench::run_full_repaint(qt_argc, argv, seconds);
        if (mode == "startup-game") return bench::run_startup(qt_argc, argv, true);
        if (mode == "startup-bare") return bench::run_startup(qt_argc, argv, false);
        if (mode == "headless") return bench::run_headless(seconds);
        std::fprintf(stderr, "muranko-bench: unknown mode %s\n", mode.c_str());
        return 2;
    }
    return bench::run_parent(argc, argv);
}
