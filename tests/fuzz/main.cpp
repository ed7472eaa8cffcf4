// muranko-fuzz: drives every registered form with random keys, clicks, window closes, shows,
// clock steps and message-box answers, checks the game's rules after every event, and prints
// each broken rule with the shortest event list that still breaks it.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz.h"

namespace {

constexpr const char* kUsage =
    "usage: muranko-fuzz [--seed N] [--events N] [--quiet] [--program-events N]\n"
    "                    [--hang-seconds N]\n"
    "       muranko-fuzz --replay FILE\n"
    "  --seed N            seed of the event generator (default 1)\n"
    "  --events N          events to run (default 100000)\n"
    "  --quiet             print only the faults and the summary line\n"
    "  --program-events N  end a program after N events and start a fresh one (default 20000)\n"
    "  --hang-seconds N    report a hang when no event finishes for N s (default 60)\n"
    "  --replay FILE       run the event list in FILE (as a fault report prints it)\n"
    "Exits with 1 when a rule was broken, 2 on bad arguments.\n";

bool read_number(const char* text, long& value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0) return false;
    value = v;
    return true;
}

int replay_file(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "muranko-fuzz: cannot read " << path << "\n";
        return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    const auto events = fuzz::parse(text.str(), &error);
    if (!events) {
        std::cerr << path << ": " << error << "\n";
        return 2;
    }
    const auto failure = fuzz::replay(*events);
    if (!failure) {
        std::cout << "replayed " << events->size() << " events: no fault\n";
        return 0;
    }
    std::cout << "replayed " << events->size() << " events: fault " << failure->check
              << " after event " << failure->event << ": " << failure->detail << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    fuzz::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        long value = 0;
        const bool has_value = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--replay" && has_value) {
            return replay_file(argv[++i]);
        } else if (arg == "--seed" && has_value && read_number(argv[i + 1], value)) {
            options.seed = static_cast<std::uint64_t>(value);
            ++i;
        } else if (arg == "--events" && has_value && read_number(argv[i + 1], value)) {
            options.events = value;
            ++i;
        } else if (arg == "--hang-seconds" && has_value && read_number(argv[i + 1], value) &&
                   value > 0) {
            options.hang_seconds = static_cast<int>(value);
            ++i;
        } else if (arg == "--program-events" && has_value && read_number(argv[i + 1], value) &&
                   value > 0) {
            options.program_events = value;
            ++i;
        } else {
            std::cerr << "muranko-fuzz: bad argument " << arg << "\n" << kUsage;
            return 2;
        }
    }
    const auto started = std::chrono::steady_clock::now();
    const fuzz::Summary summary = fuzz::run(options, std::cout);
    fuzz::print_summary(options, summary, std::cout);
    if (!options.quiet) {
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
        std::cout << "  took " << took.count() << " s\n";
    }
    return summary.faults.empty() ? 0 : 1;
}
