// muranko-bench: the program's benchmarks, each figure measured beside its reference in the
// same run. Without arguments it runs every figure for 60 s and prints a table; the modes
// after --child are the measuring processes it starts:
//   qt SCENARIO SECONDS       a scenario on the Qt runtime (qt-raw: with the raw timer)
//   headless SCENARIO SECONDS a scenario on the virtual clock
//   full-repaint SECONDS      the CPU reference
//   startup-program, startup-bare
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/modes.h"

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--child") {
        const std::string mode = argv[2];
        // Qt sees only the program's name.
        int qt_argc = 1;
        if ((mode == "qt" || mode == "qt-raw" || mode == "headless") && argc >= 5) {
            const bench::Scenario* scenario = bench::find_scenario(argv[3]);
            if (scenario == nullptr) {
                std::fprintf(stderr, "muranko-bench: unknown scenario %s\n", argv[3]);
                return 2;
            }
            const double seconds = std::strtod(argv[4], nullptr);
            if (mode == "headless") return bench::run_headless(*scenario, seconds);
            return bench::run_qt_scenario(qt_argc, argv, *scenario, seconds, mode == "qt-raw");
        }
        const double seconds = argc >= 4 ? std::strtod(argv[3], nullptr) : 0;
        if (mode == "full-repaint") return bench::run_full_repaint(qt_argc, argv, seconds);
        if (mode == "startup-program") return bench::run_startup(qt_argc, argv, true);
        if (mode == "startup-bare") return bench::run_startup(qt_argc, argv, false);
        std::fprintf(stderr, "muranko-bench: unknown mode %s\n", mode.c_str());
        return 2;
    }
    return bench::run_parent(argc, argv);
}
