// muranko-fuzz: drives every form of the program with random events, checks the rules after
// every event, and prints each broken rule with the shortest event list that still breaks it.
#include <fstream>
#include <iostream>
#include <sstream>

#include "tests/fuzz/fuzz.h"

int main(int argc, char** argv) {
    std::uint64_t seed = 1;
    long events = 100000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i], value = i + 1 < argc ? argv[i + 1] : "";
        const bool number = !value.empty() && value.find_first_not_of("0123456789") == value.npos;
        if (arg == "--seed" && number) {
            seed = std::stoull(argv[++i]);
        } else if (arg == "--events" && number) {
            events = std::stol(argv[++i]);
        } else if (arg == "--replay" && !value.empty()) {
            std::ifstream in(value);
            std::stringstream text;
            text << in.rdbuf();
            std::string error = "cannot be read";
            const auto list = in ? fuzz::parse(text.str(), &error) : std::nullopt;
            if (!list) return std::cerr << value << ": " << error << "\n", 2;
            const auto f = fuzz::replay(*list);
            std::cout << "replayed " << list->size() << " events: "
                      << (f ? "fault " + f->check + " after event " + std::to_string(f->event) +
                                  ": " + f->detail
                            : "no fault")
                      << "\n";
            return f ? 1 : 0;
        } else {
            std::cerr << "usage: muranko-fuzz [--seed N (1)] [--events N (100000)]\n"
                         "       muranko-fuzz --replay FILE  (an event list as a fault prints it)\n"
                         "Exits with 1 when a rule was broken, 2 on bad arguments.\n";
            return arg == "--help" ? 0 : 2;
        }
    }
    return fuzz::run(seed, events, {}, std::cout).empty() ? 0 : 1;
}
