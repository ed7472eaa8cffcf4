// The parent mode: starts each measuring child, gathers their reports and their resource
// usage, and prints the table of figures beside their references.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/modes.h"
#include "bench/stats.h"

namespace bench {

namespace {

constexpr int kStartupRuns = 5;

struct Options {
    double seconds = 60;           // each timed Qt figure
    double headless_seconds = 10;  // wall time of the headless run
    bool fail_on_miss = false;
};

std::string self_path() {
    std::vector<char> buffer(4096);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

// What a child printed, and what it used.
struct Outcome {
    bool ok = false;
    std::map<std::string, std::string> values;
    double max_rss_mib = 0;
    std::string error;

    double number(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? std::nan("") : std::strtod(it->second.c_str(), nullptr);
    }
    std::string text(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    }
};

class Child {
  public:
    // Starts this program as `muranko-bench --child MODE ARGS...`. With `spawn_env`, the
    // child finds the monotonic clock's reading taken just before the fork in
    // MURANKO_BENCH_SPAWN_NS.
    Child(const std::string& self, const std::vector<std::string>& args, bool spawn_env) {
        std::vector<std::string> all = {self, "--child"};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);

        int out[2];
        if (pipe(out) != 0) {
            error_ = std::strerror(errno);
            return;
        }
        char err_path[] = "/tmp/muranko-bench-XXXXXX";
        const int err = mkstemp(err_path);
        if (err < 0) {
            error_ = std::strerror(errno);
            return;
        }
        err_path_ = err_path;

        const std::int64_t spawn_ns = monotonic_ns();
        const std::string spawn_text = std::to_string(spawn_ns);
        pid_ = fork();
        if (pid_ == 0) {
            if (spawn_env) setenv("MURANKO_BENCH_SPAWN_NS", spawn_text.c_str(), 1);
            dup2(out[1], STDOUT_FILENO);
            dup2(err, STDERR_FILENO);
            close(out[0]);
            close(out[1]);
            close(err);
            execv(self.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err);
        out_ = out[0];
        if (pid_ < 0) error_ = std::strerror(errno);
    }

    // Reads the child's report until it exits, and reaps it.
    Outcome wait() {
        Outcome outcome;
        if (pid_ <= 0) {
            outcome.error = "could not start: " + error_;
            return outcome;
        }
        std::string text;
        char buffer[4096];
        for (;;) {
            const ssize_t n = read(out_, buffer, sizeof buffer);
            if (n > 0) {
                text.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                break;
            }
        }
        close(out_);
        int status = 0;
        rusage usage{};
        while (wait4(pid_, &status, 0, &usage) < 0 && errno == EINTR) {
        }
        // ru_maxrss is in KiB on Linux.
        outcome.max_rss_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;

        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            const std::string line = text.substr(start, end - start);
            const std::size_t space = line.find(' ');
            if (space != std::string::npos) {
                outcome.values[line.substr(0, space)] = line.substr(space + 1);
            }
            start = end + 1;
        }
        outcome.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (!outcome.ok) {
            outcome.error = WIFSIGNALED(status)
                                ? "killed by signal " + std::to_string(WTERMSIG(status))
                                : "exit status " + std::to_string(WEXITSTATUS(status));
            if (FILE* f = std::fopen(err_path_.c_str(), "r")) {
                char line[512];
                while (std::fgets(line, sizeof line, f) != nullptr)
                    outcome.error += "\n    " + std::string(line);
                std::fclose(f);
            }
        }
        unlink(err_path_.c_str());
        return outcome;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string err_path_;
    std::string error_;
};

struct Row {
    std::string figure;
    double ours;
    double reference;
    std::string reference_name;
    bool ratio_shown;
    std::string goal;
    // -1: no goal; 0: missed; 1: met.
    int met;
};

std::string format_value(double v) {
    if (std::isnan(v)) return "n/a";
    char text[64];
    if (std::fabs(v) >= 10000) {
        std::snprintf(text, sizeof text, "%.0f", v);
    } else if (std::fabs(v) >= 100) {
        std::snprintf(text, sizeof text, "%.1f", v);
    } else {
        std::snprintf(text, sizeof text, "%.2f", v);
    }
    return text;
}

void print_table(const std::vector<Row>& rows) {
    std::printf("%-46s %10s %10s  %-14s %7s  %-12s %s\n", "figure", "ours", "reference", "",
                "ratio", "goal", "result");
    for (const Row& r : rows) {
        const std::string ratio =
            r.ratio_shown && r.reference != 0 && !std::isnan(r.ours) && !std::isnan(r.reference)
                ? format_value(r.ours / r.reference)
                : "";
        const char* result = r.met < 0 ? "" : (r.met > 0 ? "PASS" : "MISS");
        std::printf("%-46s %10s %10s  %-14s %7s  %-12s %s\n", r.figure.c_str(),
                    format_value(r.ours).c_str(), format_value(r.reference).c_str(),
                    r.reference_name.c_str(), ratio.c_str(), r.goal.c_str(), result);
    }
}

// Runs xvfb-run around this program when there is no display, else falls back to offscreen.
// Returns only when no exec happened.
void ensure_display(int argc, char** argv) {
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    if (set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM")) return;
    if (!set("MURANKO_BENCH_IN_XVFB") && std::system("command -v xvfb-run >/dev/null 2>&1") == 0) {
        setenv("MURANKO_BENCH_IN_XVFB", "1", 1);
        const std::string self = self_path();
        std::vector<std::string> all = {"xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", self};
        for (int i = 1; i < argc; ++i) all.emplace_back(argv[i]);
        std::vector<char*> args;
        for (std::string& a : all) args.push_back(a.data());
        args.push_back(nullptr);
        std::fflush(stdout);
        execvp("xvfb-run", args.data());
        std::perror("muranko-bench: xvfb-run");
    }
    std::fprintf(stderr, "muranko-bench: no display; using the offscreen platform\n");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

bool parse_options(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quick") {
            options.seconds = 4;
            options.headless_seconds = 1;
        } else if (arg == "--seconds" && i + 1 < argc) {
            options.seconds = std::strtod(argv[++i], nullptr);
            if (!(options.seconds > 0)) return false;
            options.headless_seconds = std::min(10.0, options.seconds);
        } else if (arg == "--fail-on-miss") {
            options.fail_on_miss = true;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int run_parent(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: muranko-bench [--quick | --seconds N] [--fail-on-miss]\n"
                     "  --quick         a short smoke run (4 s per timed figure)\n"
                     "  --seconds N     N seconds per timed figure (default 60)\n"
                     "  --fail-on-miss  exit 1 when a figure misses its goal\n");
        return 2;
    }
    ensure_display(argc, argv);
    const std::string self = self_path();
    const std::string seconds = std::to_string(options.seconds);
    bool failed = false;
    const auto check = [&failed](const Outcome& o, const std::string& what) {
        if (!o.ok) {
            std::fprintf(stderr, "muranko-bench: %s failed: %s\n", what.c_str(), o.error.c_str());
            failed = true;
        }
    };

    std::printf("muranko-bench: %g s per timed figure, %u CPUs\n", options.seconds,
                std::thread::hardware_concurrency());
    std::fflush(stdout);

    // Start-up and peak memory: the program (on its start form) and the bare widget, taking
    // turns.
    std::vector<double> startup_program, startup_bare, rss_bare;
    std::string platform;
    for (int i = 0; i < kStartupRuns; ++i) {
        const Outcome program = Child(self, {"startup-program"}, true).wait();
        const Outcome bare = Child(self, {"startup-bare"}, true).wait();
        check(program, "start-up of the program");
        check(bare, "start-up of the bare widget");
        startup_program.push_back(program.number("startup_ms"));
        startup_bare.push_back(bare.number("startup_ms"));
        rss_bare.push_back(bare.max_rss_mib);
        platform = program.text("platform");
    }

    // At the same time: each game with the raw timer beside it (ticks), each game alone (CPU
    // time), everything open, and the full repaint.
    std::printf(
        "platform %s; running the games, everything open and the full repaint for %g s...\n",
        platform.c_str(), options.seconds);
    std::fflush(stdout);
    const std::vector<std::string> games = {"single", "two"};
    std::vector<Child> raw_children, cpu_children;
    for (const std::string& game : games) {
        raw_children.emplace_back(self, std::vector<std::string>{"qt-raw", game, seconds}, false);
        cpu_children.emplace_back(self, std::vector<std::string>{"qt", game, seconds}, false);
    }
    Child all_child(self, {"qt", "all", seconds}, false);
    Child repaint_child(self, {"full-repaint", seconds}, false);
    std::vector<Outcome> raw_runs, cpu_runs;
    for (std::size_t g = 0; g < games.size(); ++g) {
        raw_runs.push_back(raw_children[g].wait());
        cpu_runs.push_back(cpu_children[g].wait());
        check(raw_runs.back(), games[g] + " game with the raw timer");
        check(cpu_runs.back(), games[g] + " game");
    }
    const Outcome all = all_child.wait();
    const Outcome repaint = repaint_child.wait();
    check(all, "everything open");
    check(repaint, "the full repaint");

    std::vector<Outcome> headless_runs;
    for (const std::string& game : games) {
        headless_runs.push_back(
            Child(self, {"headless", game, std::to_string(options.headless_seconds)}, false)
                .wait());
        check(headless_runs.back(), "the headless " + game + " game");
    }

    std::vector<Row> rows;
    const auto goal = [](bool met) { return met ? 1 : 0; };
    const double cpu_ref = repaint.number("cpu_percent");
    const double waits_ref = repaint.number("waits_per_s");
    const char* names[] = {"single-player", "two-player"};
    for (std::size_t g = 0; g < games.size(); ++g) {
        const Outcome& game = raw_runs[g];
        const Outcome& cpu_game = cpu_runs[g];
        const std::string name = names[g];
        const double p99 = game.number("tick_p99_us");
        const double raw_p99 = game.number("raw_p99_us");
        const double drift = game.number("tick_drift_us");
        rows.push_back({name + ": tick lateness p50 (us)", game.number("tick_p50_us"),
                        game.number("raw_p50_us"), "raw QTimer", true, "", -1});
        rows.push_back({name + ": tick lateness p99 (us)", p99, raw_p99, "raw QTimer", true,
                        "<= 0.6 x", goal(p99 <= 0.6 * raw_p99)});
        rows.push_back({name + ": tick lateness max (us)", game.number("tick_max_us"),
                        game.number("raw_max_us"), "raw QTimer", true, "", -1});
        char drift_name[64];
        std::snprintf(drift_name, sizeof drift_name, ": drift after %g s (us)", options.seconds);
        rows.push_back({name + drift_name, drift, game.number("raw_drift_us"), "raw QTimer", false,
                        "<= 2000 us", goal(std::fabs(drift) <= 2000)});
        const double cpu = cpu_game.number("cpu_percent");
        rows.push_back({name + ": CPU (% of one core)", cpu, cpu_ref, "full repaint", true,
                        "<= 0.8 x", goal(cpu <= 0.8 * cpu_ref)});
        const double waits = cpu_game.number("waits_per_s");
        rows.push_back({name + ": sleeps per second", waits, waits_ref, "full repaint", true,
                        "<= 1.2 x", goal(waits <= 1.2 * waits_ref)});
        const double speed = headless_runs[g].number("speed");
        rows.push_back({name + ": headless speed (x real time)", speed, 1, "real time", false,
                        ">= 20000 x", goal(speed >= 20000)});
    }
    const double rss_ref = median(rss_bare);
    rows.push_back({"everything open: CPU (% of one core)", all.number("cpu_percent"), cpu_ref,
                    "full repaint", true, "", -1});
    rows.push_back({"everything open: sleeps per second", all.number("waits_per_s"), waits_ref,
                    "full repaint", true, "", -1});
    rows.push_back({"everything open: peak RSS (MiB)", all.max_rss_mib, rss_ref, "bare widget",
                    true, "<= 1.2 x", goal(all.max_rss_mib <= 1.2 * rss_ref)});
    const double start = median(startup_program);
    const double start_ref = median(startup_bare);
    rows.push_back({"start-up to first paint (ms)", start, start_ref, "bare widget", true,
                    "<= 1.2 x", goal(start <= 1.2 * start_ref)});

    std::printf("\n");
    print_table(rows);
    const auto integer = [](const Outcome& o, const char* name) {
        return static_cast<long long>(std::llround(o.number(name)));
    };
    for (std::size_t g = 0; g < games.size(); ++g) {
        const Outcome& game = raw_runs[g];
        const Outcome& cpu_game = cpu_runs[g];
        std::printf(
            "\n%s: %lld ticks (%lld rebased), %lld boxes (%lld warnings), %lld restarts; raw timer "
            "%lld ticks; CPU %% user/system %.2f/%.2f (%.2f with the raw timer); %lld paints "
            "(%.1f rectangles each); peak RSS %.1f MiB",
            names[g], integer(game, "ticks"), integer(game, "tick_rebased"), integer(game, "boxes"),
            integer(game, "warnings"), integer(game, "restarts"), integer(game, "raw_ticks"),
            cpu_game.number("cpu_user_percent"), cpu_game.number("cpu_system_percent"),
            game.number("cpu_percent"), integer(cpu_game, "paints"),
            cpu_game.number("rects_per_paint"), cpu_game.max_rss_mib);
        const Outcome& headless = headless_runs[g];
        std::printf("\n  headless: %.0f s of game in %.1f s, %lld ticks, %lld restarts, %lld boxes",
                    headless.number("game_s"), headless.number("wall_s"),
                    integer(headless, "ticks"), integer(headless, "restarts"),
                    integer(headless, "boxes"));
    }
    std::printf(
        "\neverything open: %lld paints, %lld boxes, %lld restarts; full repaint: CPU %% "
        "user/system %.2f/%.2f, %lld paints\n",
        integer(all, "paints"), integer(all, "boxes"), integer(all, "restarts"),
        repaint.number("cpu_user_percent"), repaint.number("cpu_system_percent"),
        integer(repaint, "paints"));
    std::printf("start-up (ms): program");
    for (double v : startup_program) std::printf(" %.1f", v);
    std::printf("; bare");
    for (double v : startup_bare) std::printf(" %.1f", v);
    std::printf("\n");

    bool missed = false;
    for (const Row& r : rows) missed = missed || r.met == 0;
    if (failed) return 1;
    return options.fail_on_miss && missed ? 1 : 0;
}

}  // namespace bench
