#include "scenario.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <istream>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "app/forms.h"
#include "ui/test_runtime.h"

namespace scenario {

namespace {

// A mistake in the script; the message goes out with the line number.
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<std::string> words_of(std::string_view line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (true) {
        pos = line.find_first_not_of(" \t\r", pos);
        if (pos == std::string_view::npos) break;
        const std::size_t end = std::min(line.find_first_of(" \t\r", pos), line.size());
        words.emplace_back(line.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

template <typename T>
T number(const std::string& word, std::string_view what) {
    T value{};
    const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || ptr != word.data() + word.size()) {
        throw ScriptError("bad " + std::string(what) + " \"" + word + "\"");
    }
    return value;
}

// Parts of a control's name: "img_feind(3)" is ("img_feind", 3), "Img_ball" is ("Img_ball", -1).
std::pair<std::string_view, long> name_parts(std::string_view name) {
    const std::size_t open = name.rfind('(');
    if (open == std::string_view::npos || name.size() < open + 3 || name.back() != ')') {
        return {name, -1};
    }
    const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    long index = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (ec != std::errc() || ptr != digits.data() + digits.size() || index < 0) return {name, -1};
    return {name.substr(0, open), index};
}

class Runner {
  public:
    Runner(std::ostream& out, const Registrar& register_forms) : out_(out) {
        // The clock moves on while the held box is open; no timer fires until it is answered.
        // (A registrar of test forms may put its own box handler in place of this one.)
        rt_.on_box = [this](const ui::BoxRecord&) {
            if (!hold_) return;
            const std::int64_t ms = *hold_;
            hold_.reset();
            rt_.advance(ms);
        };
        if (register_forms) {
            register_forms(rt_);
        } else {
            app::register_forms(rt_);
        }
        rt_.on_log = [this](const std::string& line) { out_ << line << '\n'; };
    }

    const ui::TestRuntime& runtime() const { return rt_; }

    void run(const std::vector<std::string>& words) {
        const std::string& command = words[0];
        if (command == "show") {
            expect_arguments(words, 1, "show FORM");
            known_form(words[1]);
            rt_.show(words[1]);
        } else if (command == "close") {
            expect_arguments(words, 1, "close FORM");
            rt_.close(loaded_form(words[1]));
        } else if (command == "key") {
            expect_arguments(words, 2, "key FORM CODE");
            ui::Form& form = loaded_form(words[1]);
            const int code = number<int>(words[2], "key code");
            if (code < 0 || code > 0xFFFF) throw ScriptError("key code out of range: " + words[2]);
            rt_.key_down(form, code);
        } else if (command == "click") {
            expect_arguments(words, 2, "click FORM CONTROL");
            ui::Form& form = loaded_form(words[1]);
            const ui::Control* control = form.find_control(words[2]);
            if (control == nullptr) {
                throw ScriptError("unknown control " + words[1] + "." + words[2]);
            }
            if (control->kind() != ui::ControlKind::menu &&
                control->kind() != ui::ControlKind::button) {
                throw ScriptError(words[1] + "." + words[2] +
                                  " is neither a menu entry nor a button");
            }
            // A refused click (a greyed entry, a box open, the program ended) does nothing.
            rt_.click(form, words[2]);
        } else if (command == "random") {
            if (words.size() < 2) throw ScriptError("usage: random V ...");
            std::vector<ui::Single> values;
            for (std::size_t i = 1; i < words.size(); ++i) {
                const auto value = number<ui::Single>(words[i], "random value");
                if (!(value >= 0 && value < 1)) {
                    throw ScriptError("random value out of [0, 1): " + words[i]);
                }
                values.push_back(value);
            }
            rt_.queue_random(std::move(values));
        } else if (command == "advance") {
            expect_arguments(words, 1, "advance MS");
            const auto ms = number<std::int64_t>(words[1], "number of milliseconds");
            if (ms < 0) throw ScriptError("the clock cannot go back: " + words[1]);
            rt_.advance(ms);
        } else if (command == "hold") {
            expect_arguments(words, 1, "hold MS");
            const auto ms = number<std::int64_t>(words[1], "number of milliseconds");
            if (ms < 0) throw ScriptError("a box cannot be held for " + words[1]);
            hold_ = ms;
        } else if (command == "dump") {
            expect_arguments(words, 1, "dump FORM");
            dump(loaded_form(words[1]));
        } else {
            throw ScriptError("unknown command \"" + command + "\"");
        }
    }

  private:
    static void expect_arguments(const std::vector<std::string>& words, std::size_t count,
                                 std::string_view usage) {
        if (words.size() != count + 1) throw ScriptError("usage: " + std::string(usage));
    }

    void known_form(const std::string& name) const {
        if (!rt_.knows_form(name)) throw ScriptError("unknown form " + name);
    }

    ui::Form& loaded_form(const std::string& name) const {
        known_form(name);
        ui::Form* form = rt_.form(name);
        if (form == nullptr) throw ScriptError("form " + name + " is not loaded");
        return *form;
    }

    void dump(const ui::Form& form) {
        std::vector<const ui::Control*> controls(form.controls().begin(), form.controls().end());
        std::sort(controls.begin(), controls.end(), [](const ui::Control* a, const ui::Control* b) {
            return dump_order(a->name(), b->name());
        });
        for (const ui::Control* control : controls) {
            std::string line = form.name() + "." + control->name();
            control->dump(line);
            out_ << line << '\n';
        }
        for (const std::string& variable : form.dump_variables()) {
            out_ << form.name() << '.' << variable << '\n';
        }
    }

    std::ostream& out_;
    ui::TestRuntime rt_;
    std::optional<std::int64_t> hold_;  // for the next message box
};

}  // namespace

bool dump_order(std::string_view a, std::string_view b) {
    return name_parts(a) < name_parts(b);
}

int run_scenario(std::istream& script, std::ostream& out, std::ostream& err,
                 std::string_view source, const Registrar& register_forms) {
    Runner runner(out, register_forms);
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        try {
            const std::vector<std::string> words = words_of(line);
            if (words.empty()) continue;
            runner.run(words);
            // The run stops at the first fault, so any fault is new.
            const auto& faults = runner.runtime().faults();
            if (!faults.empty()) throw ScriptError("runtime fault: " + faults.front());
        } catch (const std::exception& e) {
            out.flush();
            err << source << ':' << number << ": " << e.what() << '\n';
            return 1;
        }
    }
    return 0;
}

}  // namespace scenario
