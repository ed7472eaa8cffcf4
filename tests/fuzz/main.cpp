// muranko-fuzz: drives every form of the program with random events from its own controls,
// checks the rules after every event, and prints each broken rule with the shortest event list
// that still breaks it.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tests/fuzz/fuzz.h"

int main(int argc, char** argv) {
    fuzz::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::string value = i + 1 < argc ? argv[i + 1] : "";
        const bool numeric =
            !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
        if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--seed" && numeric) {
            options.seed = std::stoull(argv[++i]);
        } else if (arg == "--events" && numeric) {
            options.events = std::stol(argv[++i]);
        } else if (arg == "--replay" && !value.empty()) {
            std::ifstream in(value);
            std::stringstream text;
            text << in.rdbuf();
            std::string error = "cannot be read";
            const auto events = in ? fuzz::parse(text.str(), &error) : std::nullopt;
            if (!events) {
                std::cerr << value << ": " << error << "\n";
                return 2;
            }
            const auto failure = fuzz::replay(*events);
            std::cout << "replayed " << events->size() << " events: "
                      << (failure ? "fault " + failure->check + " after event " +
                                        std::to_string(failure->event) + ": " + failure->detail
                                  : "no fault")
                      << "\n";
            return failure ? 1 : 0;
        } else {
            std::cerr
                << "usage: muranko-fuzz [--seed N] [--events N] [--quiet]\n"
                   "       muranko-fuzz --replay FILE\n"
                   "  --seed N       seed of the event generator (default 1)\n"
                   "  --events N     events to run (default 100000)\n"
                   "  --quiet        print only the faults and the summary line\n"
                   "  --replay FILE  run the event list in FILE (as a fault report prints it)\n"
                   "Exits with 1 when a rule was broken, 2 on bad arguments.\n";
            return arg == "--help" ? 0 : 2;
        }
    }
    return fuzz::run(options, std::cout).faults.empty() ? 0 : 1;
}
