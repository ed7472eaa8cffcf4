// The child modes that run a Qt event loop: a scenario with a raw timer beside it, the full
// repaint reference, and the two start-up modes.
#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/forms.h"
#include "bench/key_script.h"
#include "bench/modes.h"
#include "bench/scenario.h"
#include "bench/stats.h"
#include "ui/controls.h"
#include "ui/qt/form_window.h"
#include "ui/qt/pictures.h"
#include "ui/qt/qt_runtime.h"

namespace bench {

namespace {

using namespace std::chrono_literals;

// Pause between the first paint and the start of a measurement, so that the start-up work
// (fonts, pixmap cache, the window manager's first events) is not counted.
constexpr auto kSettle = 300ms;
constexpr std::int64_t kTickNs = 50'000'000;
constexpr int kClientWidth = 451;  // the game's client area, 6765 x 5610 twips
constexpr int kClientHeight = 374;

// Runs `then` once, from the event loop, after the first paint event of any widget has been
// handled (the queued call comes after the rest of that paint pass and its flush).
class FirstPaint : public QObject {
  public:
    explicit FirstPaint(std::function<void()> then) : then_(std::move(then)) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType()) {
            seen_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    qApp->removeEventFilter(this);
                    then_();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    std::function<void()> then_;
    bool seen_ = false;
};

// The Qt runtime with message boxes that close at once (a box would wait for a person), so
// the game goes on: boxes pause and resume it as they would when a player closes them.
class BenchRuntime : public ui::qt::QtRuntime {
  public:
    std::function<void(const std::string& title)> on_box;

  protected:
    void show_box(const std::string& /*text*/, int /*style*/, const std::string& title) override {
        repaint_pass();
        if (on_box) on_box(title);
    }
};

int qt_key(int key_code) {
    switch (key_code) {
        case 37:
            return Qt::Key_Left;
        case 38:
            return Qt::Key_Up;
        case 39:
            return Qt::Key_Right;
        case 40:
            return Qt::Key_Down;
        default:
            break;
    }
    return key_code;  // A-Z: Qt's codes are the ASCII codes, as are the virtual-key codes
}

struct Lateness {
    double p50_us = 0;
    double p99_us = 0;
    double max_us = 0;
    double last_us = 0;
};

Lateness summarize(const std::vector<double>& late_us) {
    Lateness l;
    if (late_us.empty()) return l;
    l.p50_us = percentile(late_us, 50);
    l.p99_us = percentile(late_us, 99);
    l.max_us = *std::max_element(late_us.begin(), late_us.end());
    l.last_us = late_us.back();
    return l;
}

void report_cpu(const CpuTime& start, std::int64_t wall_ns) {
    const CpuTime now = cpu_time();
    const auto percent = [wall_ns](std::int64_t ns) {
        return 100.0 * static_cast<double>(ns) / static_cast<double>(wall_ns);
    };
    report("cpu_percent", percent(now.total() - start.total()));
    report("cpu_user_percent", percent(now.user_ns - start.user_ns));
    report("cpu_system_percent", percent(now.system_ns - start.system_ns));
    report("waits_per_s",
           static_cast<double>(now.waits - start.waits) * 1e9 / static_cast<double>(wall_ns));
}

// Counts the paint events of widgets and the rectangles of their regions.
class PaintCounter : public QObject {
  public:
    PaintCounter() = default;
    explicit PaintCounter(QWidget& widget) { watch(widget); }
    void watch(QWidget& widget) { widget.installEventFilter(this); }
    void reset() { paints_ = rects_ = 0; }
    void report_counts() const {
        report("paints", paints_);
        report("rects_per_paint", paints_ > 0 ? static_cast<double>(rects_) / paints_ : 0.0);
    }

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints_;
            rects_ += static_cast<QPaintEvent*>(event)->region().rectCount();
        }
        return false;
    }

  private:
    int paints_ = 0;
    int rects_ = 0;
};

// One measured run of a scenario, with or without the raw timer beside it.
class ScenarioRun {
  public:
    ScenarioRun(BenchRuntime& runtime, const Scenario& scenario, double seconds,
                bool with_raw_timer)
        : runtime_(runtime),
          scenario_(scenario),
          seconds_(seconds),
          with_raw_timer_(with_raw_timer),
          games_(scenario.games.size()) {
        const auto expected = static_cast<std::size_t>(seconds * 20 + 100);
        raw_late_us_.reserve(expected);
        runtime_.on_box = [this](const std::string& title) { box(title); };

        for (std::size_t g = 0; g < games_.size(); ++g) {
            const GameSetup& setup = scenario_.games[g];
            Game& game = games_[g];
            game.form = runtime_.form(setup.form);
            game.window = game.form != nullptr ? runtime_.window(*game.form) : nullptr;
            auto* timer = game.form != nullptr
                              ? dynamic_cast<ui::Timer*>(game.form->find_control(setup.tick_timer))
                              : nullptr;
            if (game.window == nullptr || timer == nullptr) continue;
            game.ticks.reserve(expected);
            // Every tick is timed against the due time it fired for.
            auto tick = timer->on_timer;
            timer->on_timer = [this, &game, tick] {
                if (measuring_) {
                    const std::int64_t now = runtime_.now_ns();
                    const std::int64_t due = runtime_.firing_due().value_or(-1);
                    game.ticks.push_back(
                        {due, static_cast<double>(now - due * 1'000'000) / 1000.0, arming_events_});
                }
                tick();
            };
            for (std::size_t p = 0; p < setup.players.size(); ++p) {
                auto player = std::make_unique<Player>(setup.players[p], 0x2545F4914F6CDD1DULL + p);
                player->window = game.window;
                player->timer.setSingleShot(true);
                Player* raw = player.get();
                QObject::connect(&player->timer, &QTimer::timeout, &context_,
                                 [raw] { press_next_key(*raw); });
                players_.push_back(std::move(player));
            }
        }
        for (ui::Form* form : runtime_.forms()) {
            if (ui::qt::FormWindow* window = runtime_.window(*form))
                paints_.watch(*window->client_area());
        }

        raw_.setTimerType(Qt::PreciseTimer);
        raw_.setInterval(std::chrono::milliseconds(kTickNs / 1'000'000));
        QObject::connect(&raw_, &QTimer::timeout, &context_, [this] {
            const std::int64_t now = monotonic_ns();
            ++raw_count_;
            raw_late_us_.push_back(static_cast<double>(now - raw_start_ns_ - raw_count_ * kTickNs) /
                                   1000.0);
        });
    }

    bool ready() const {
        return std::all_of(games_.begin(), games_.end(),
                           [](const Game& g) { return g.window != nullptr; });
    }

    void start() {
        for (std::size_t g = 0; g < games_.size(); ++g) {
            for (const char* entry : scenario_.games[g].start_entries) choose(games_[g], entry);
        }
        measuring_ = true;
        cpu_start_ = cpu_time();
        wall_start_ns_ = monotonic_ns();
        paints_.reset();
        raw_start_ns_ = monotonic_ns();
        if (with_raw_timer_) raw_.start();
        for (auto& player : players_) press_next_key(*player);
        QTimer::singleShot(std::chrono::milliseconds(static_cast<std::int64_t>(seconds_ * 1000)),
                           &context_, [this] { finish(); });
    }

  private:
    struct Tick {
        std::int64_t due_ms;
        double late_us;
        int arming_events;  // boxes and restarts so far: each re-arms the timers
    };
    struct Game {
        ui::Form* form = nullptr;
        ui::qt::FormWindow* window = nullptr;
        std::vector<Tick> ticks;
    };
    struct Player {
        Player(KeySet keys, std::uint64_t seed) : script(std::move(keys), seed) {}
        KeyScript script;
        ui::qt::FormWindow* window = nullptr;
        QTimer timer;
    };

    static void choose(const Game& game, const char* entry) {
        if (QAction* action = game.window->menu_action(entry)) action->trigger();
    }

    static void press_next_key(Player& player) {
        const KeyPress press = player.script.next();
        QKeyEvent event(QEvent::KeyPress, qt_key(press.key_code), Qt::NoModifier);
        QCoreApplication::sendEvent(player.window, &event);
        player.timer.start(std::chrono::milliseconds(press.hold_ms));
    }

    void box(const std::string& title) {
        ++boxes_;
        ++arming_events_;
        if (title.starts_with("Vorsicht")) ++warnings_;
        // A box's handler may end its game after the box; restart once it has returned.
        QMetaObject::invokeMethod(
            &context_,
            [this] {
                if (!measuring_) return;
                for (std::size_t g = 0; g < games_.size(); ++g) {
                    const GameSetup& setup = scenario_.games[g];
                    if (!setup.running(*games_[g].form)) {
                        ++restarts_;
                        ++arming_events_;
                        choose(games_[g], setup.restart_entry);
                    }
                }
            },
            Qt::QueuedConnection);
    }

    void finish() {
        measuring_ = false;
        const std::int64_t wall = monotonic_ns() - wall_start_ns_;
        report_cpu(cpu_start_, wall);
        raw_.stop();
        for (auto& player : players_) player->timer.stop();

        std::vector<double> late_us;
        double drift_us = 0;
        std::size_t tick_count = 0;
        int rebased = 0;
        for (const Game& game : games_) {
            const std::vector<Tick>& ticks = game.ticks;
            tick_count += ticks.size();
            for (std::size_t i = 0; i < ticks.size(); ++i) {
                late_us.push_back(ticks[i].late_us);
                // A tick that does not follow its predecessor by one interval with no box or
                // restart between them means the schedule was taken up from the present.
                if (i > 0 && ticks[i].due_ms - ticks[i - 1].due_ms != kTickNs / 1'000'000 &&
                    ticks[i].arming_events == ticks[i - 1].arming_events) {
                    ++rebased;
                }
            }
            // The worst game's last tick.
            if (!ticks.empty() && std::fabs(ticks.back().late_us) > std::fabs(drift_us))
                drift_us = ticks.back().late_us;
        }
        const Lateness ours = summarize(late_us);
        const Lateness raw = summarize(raw_late_us_);

        report("platform", QGuiApplication::platformName().toStdString());
        report("wall_s", static_cast<double>(wall) / 1e9);
        paints_.report_counts();
        report("ticks", static_cast<double>(tick_count));
        report("tick_p50_us", ours.p50_us);
        report("tick_p99_us", ours.p99_us);
        report("tick_max_us", ours.max_us);
        report("tick_drift_us", drift_us);
        report("tick_rebased", rebased);
        report("raw_ticks", static_cast<double>(raw_late_us_.size()));
        report("raw_p50_us", raw.p50_us);
        report("raw_p99_us", raw.p99_us);
        report("raw_max_us", raw.max_us);
        report("raw_drift_us", raw.last_us);
        report("boxes", boxes_);
        report("warnings", warnings_);
        report("restarts", restarts_);
        std::fflush(stdout);
        QCoreApplication::exit(0);  // not quit(): that would first close the windows
    }

    BenchRuntime& runtime_;
    const Scenario& scenario_;
    double seconds_;
    bool with_raw_timer_;
    QObject context_;
    QTimer raw_;
    std::vector<Game> games_;
    std::vector<std::unique_ptr<Player>> players_;
    bool measuring_ = false;
    std::vector<double> raw_late_us_;
    std::int64_t raw_start_ns_ = 0;
    std::int64_t raw_count_ = 0;
    PaintCounter paints_;
    CpuTime cpu_start_;
    std::int64_t wall_start_ns_ = 0;
    int arming_events_ = 0;
    int boxes_ = 0;
    int warnings_ = 0;
    int restarts_ = 0;
};

// The reference for the game's CPU time: everything redrawn on every frame.
class FullRepaint : public QWidget {
  public:
    FullRepaint() {
        setFixedSize(kClientWidth, kClientHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
        const qreal dpr = devicePixelRatioF();
        background_ =
            ui::qt::picture_pixmap(ui::Picture::underwater, (QSizeF(577, 485) * dpr).toSize(), dpr);
        for (std::size_t i = 0; i < sprites_.size(); ++i) {
            sprites_[i] = ui::qt::picture_pixmap(
                i % 2 == 0 ? ui::Picture::fish_purple : ui::Picture::puffer_inflated,
                (QSizeF(32, 32) * dpr).toSize(), dpr);
        }
    }
    void next_frame() {
        ++frame_;
        update();
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0, 0, 0xC0));
        painter.drawPixmap(0, 0, background_);
        // As many sprites as the game moves, each one pixel further per frame.
        for (std::size_t i = 0; i < sprites_.size(); ++i) {
            const int x = static_cast<int>((frame_ + 37 * i) % (kClientWidth - 32));
            const int y = static_cast<int>((frame_ / 2 + 53 * i) % (kClientHeight - 32));
            painter.drawPixmap(x, y, sprites_[i]);
        }
    }

  private:
    QPixmap background_;
    std::array<QPixmap, 14> sprites_;
    int frame_ = 0;
};

}  // namespace

int run_qt_scenario(int argc, char** argv, const Scenario& scenario, double seconds,
                    bool with_raw_timer) {
    ui::qt::QtRuntime::prepare_platform();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    BenchRuntime runtime;
    app::register_forms(runtime);
    for (const char* name : scenario.forms) runtime.show(name);
    ScenarioRun run(runtime, scenario, seconds, with_raw_timer);
    if (!run.ready()) {
        std::fprintf(stderr, "muranko-bench: a game form of %s did not open\n", scenario.name);
        return EXIT_FAILURE;
    }
    FirstPaint first_paint([&run] { QTimer::singleShot(kSettle, [&run] { run.start(); }); });
    return QApplication::exec();
}

int run_full_repaint(int argc, char** argv, double seconds) {
    QApplication app(argc, argv);
    FullRepaint widget;
    QTimer frames;
    frames.setTimerType(Qt::PreciseTimer);
    frames.setInterval(std::chrono::milliseconds(kTickNs / 1'000'000));
    QObject::connect(&frames, &QTimer::timeout, &widget, [&widget] { widget.next_frame(); });
    PaintCounter paints(widget);
    CpuTime cpu_start;
    std::int64_t wall_start = 0;
    const auto finish = [&] {
        const std::int64_t wall = monotonic_ns() - wall_start;
        report_cpu(cpu_start, wall);
        frames.stop();
        report("wall_s", static_cast<double>(wall) / 1e9);
        paints.report_counts();
        std::fflush(stdout);
        QCoreApplication::exit(0);  // not quit(): that would first close the windows
    };
    FirstPaint first_paint([&] {
        QTimer::singleShot(kSettle, [&] {
            cpu_start = cpu_time();
            wall_start = monotonic_ns();
            paints.reset();
            frames.start();
            QTimer::singleShot(std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000)),
                               finish);
        });
    });
    widget.show();
    return QApplication::exec();
}

int run_startup(int argc, char** argv, bool program) {
    const char* spawned = std::getenv("MURANKO_BENCH_SPAWN_NS");
    if (spawned == nullptr) {
        std::fprintf(stderr, "muranko-bench: MURANKO_BENCH_SPAWN_NS is not set\n");
        return EXIT_FAILURE;
    }
    const std::int64_t spawn_ns = std::strtoll(spawned, nullptr, 10);

    if (program) ui::qt::QtRuntime::prepare_platform();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    FirstPaint first_paint([spawn_ns] {
        report("startup_ms", static_cast<double>(monotonic_ns() - spawn_ns) / 1e6);
        report("platform", QGuiApplication::platformName().toStdString());
        std::fflush(stdout);
        QCoreApplication::exit(0);  // not quit(): that would first close the windows
    });
    if (program) {
        // As app/main.cpp starts the program.
        ui::qt::QtRuntime runtime;
        app::register_forms(runtime);
        runtime.show(app::kStartForm);
        if (runtime.forms().empty()) return EXIT_FAILURE;
        return QApplication::exec();
    }
    QWidget bare;
    bare.setFixedSize(kClientWidth, kClientHeight);
    bare.show();
    return QApplication::exec();
}

}  // namespace bench
