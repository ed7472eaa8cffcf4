// muranko-scenario: runs scenario scripts on the test runtime.
//
//   muranko-scenario FILE               print what FILE does
//   muranko-scenario --check FILE ...   compare with FILE's expected output; list the difference
//   muranko-scenario --write FILE ...   (re)write FILE's expected output
//
// The expected output of NAME.script is NAME.expected beside it.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "scenario.h"

namespace {

std::string expected_path(std::string_view script) {
    constexpr std::string_view kSuffix = ".script";
    if (script.ends_with(kSuffix)) script.remove_suffix(kSuffix.size());
    return std::string(script) + ".expected";
}

// Runs one script; false (with the reason on stderr) when it cannot be read or stops on an error.
bool run_file(const std::string& path, std::ostream& out) {
    std::ifstream script(path, std::ios::binary);
    if (!script) {
        std::cerr << path << ": cannot open\n";
        return false;
    }
    return scenario::run_scenario(script, out, std::cerr, path) == 0;
}

bool run_file(const std::string& path, std::string& output) {
    std::ostringstream out;
    const bool ok = run_file(path, out);
    output = out.str();
    return ok;
}

bool check(const std::string& path) {
    std::string actual;
    if (!run_file(path, actual)) return false;
    const std::string expected_file = expected_path(path);
    std::ifstream in(expected_file, std::ios::binary);
    if (!in) {
        std::cerr << expected_file << ": cannot open (muranko-scenario --write " << path
                  << " makes it)\n";
        return false;
    }
    const std::string expected{std::istreambuf_iterator<char>(in), {}};
    const std::string diff = scenario::line_diff(expected, actual, expected_file, "actual output");
    if (diff.empty()) return true;
    std::cerr << path << ": the output differs from the expected output\n" << diff;
    return false;
}

bool write(const std::string& path) {
    std::string output;
    if (!run_file(path, output)) return false;
    const std::string expected_file = expected_path(path);
    std::ofstream file(expected_file, std::ios::binary | std::ios::trunc);
    file << output;
    if (!file.flush()) {
        std::cerr << expected_file << ": cannot write\n";
        return false;
    }
    return true;
}

int usage() {
    std::cerr << "usage: muranko-scenario FILE\n"
                 "       muranko-scenario --check FILE...\n"
                 "       muranko-scenario --write FILE...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage();
    if (args[0] == "--check" || args[0] == "--write") {
        bool ok = true;
        for (std::size_t i = 1; i < args.size(); ++i) {
            ok = (args[0] == "--check" ? check(args[i]) : write(args[i])) && ok;
        }
        return ok ? 0 : 1;
    }
    if (args.size() != 1 || args[0].starts_with("-")) return usage();
    return run_file(args[0], std::cout) ? 0 : 1;
}
