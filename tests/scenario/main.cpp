// muranko-scenario FILE: runs a scenario script (commands show, close, key, click, random (V*N
// for N draws of V), advance, hold, dump; '#' starts a comment) on the test runtime with the
// program's forms and prints what happened, one line per event, for the golden-file tests. A
// mistake in the script, an exception from a handler or a breach of the runtime's rules stops it
// with "FILE:LINE: message".
#include <algorithm>
#include <charconv>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/forms.h"
#include "ui/test_runtime.h"

namespace {

using Words = std::vector<std::string>;

template <typename T>
T number(const std::string& word) {
    T value{};
    const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || ptr != word.data() + word.size() || value < 0) {
        throw std::runtime_error("bad number \"" + word + "\"");
    }
    return value;
}

// "img_feind(3)" is ("img_feind", 3), "Img_ball" is ("Img_ball", -1).
std::pair<std::string, long> name_parts(const std::string& name) {
    const std::size_t open = name.rfind('(');
    if (open == std::string::npos || name.back() != ')') return {name, -1};
    return {name.substr(0, open), std::stol(name.substr(open + 1))};
}

class Runner {
  public:
    Runner() {
        app::register_forms(rt_);
        rt_.on_log = [](const std::string& line) { std::cout << line << '\n'; };
        // The clock moves on while a held box is open; no timer fires until it is answered.
        rt_.on_box = [this](const ui::BoxRecord&) {
            if (const auto ms = std::exchange(hold_, std::nullopt)) rt_.advance(*ms);
        };
    }

    void run(const Words& w) {
        const std::string& c = w[0];
        const std::size_t arguments = c == "random" ? std::max<std::size_t>(w.size() - 1, 1)
                                      : c == "key" || c == "click" ? 2
                                                                   : 1;
        if (w.size() != arguments + 1) throw std::runtime_error("wrong arguments for " + c);
        if (c == "show") {
            if (!rt_.knows_form(w[1])) throw std::runtime_error("unknown form " + w[1]);
            rt_.show(w[1]);
        } else if (c == "close") {
            rt_.close(form(w[1]));
        } else if (c == "key") {
            rt_.key_down(form(w[1]), number<int>(w[2]));
        } else if (c == "click") {
            ui::Form& f = form(w[1]);
            if (f.find_control(w[2]) == nullptr) {
                throw std::runtime_error("unknown control " + w[1] + "." + w[2]);
            }
            rt_.click(f, w[2]);  // a refused click does nothing
        } else if (c == "random") {
            std::vector<ui::Single> values;
            // "0.3*20" stands for twenty draws of 0.3.
            for (std::size_t i = 1; i < w.size(); ++i) {
                const std::size_t star = w[i].find('*');
                const auto times =
                    star == std::string::npos ? 1 : number<int>(w[i].substr(star + 1));
                values.insert(values.end(), times, number<ui::Single>(w[i].substr(0, star)));
            }
            if (std::any_of(values.begin(), values.end(), [](ui::Single v) { return v >= 1; })) {
                throw std::runtime_error("a random value lies in [0, 1)");
            }
            rt_.queue_random(values);
        } else if (c == "advance") {
            rt_.advance(number<std::int64_t>(w[1]));
        } else if (c == "hold") {
            hold_ = number<std::int64_t>(w[1]);
        } else if (c == "dump") {
            dump(form(w[1]));
        } else {
            throw std::runtime_error("unknown command \"" + c + "\"");
        }
        if (!rt_.faults().empty()) throw std::runtime_error("runtime fault: " + rt_.faults()[0]);
    }

  private:
    ui::Form& form(const std::string& name) const {
        ui::Form* f = rt_.form(name);
        if (f == nullptr) throw std::runtime_error("form " + name + " is not loaded");
        return *f;
    }

    void dump(const ui::Form& form) {
        const ui::FormDesign& d = form.design();
        static constexpr const char* kBorders[] = {"none", "fixed_single", "fixed_dialog"};
        std::cout << form.name() << " form caption=" << ui::quoted(d.caption)
                  << " border=" << kBorders[static_cast<int>(d.border)]
                  << " client=" << d.client_width_twips << "x" << d.client_height_twips
                  << " background=" << ui::picture_name(d.background)
                  << " icon=" << ui::picture_name(d.icon) << " taskbar=" << d.show_in_taskbar
                  << '\n';
        // Where two drawn controls overlap, the one with the higher z lies on top.
        const auto order = form.paint_order();
        std::vector<const ui::Control*> controls(form.controls().begin(), form.controls().end());
        std::sort(controls.begin(), controls.end(), [](const ui::Control* a, const ui::Control* b) {
            return name_parts(a->name()) < name_parts(b->name());
        });
        for (const ui::Control* control : controls) {
            std::string line = form.name() + "." + control->name();
            control->dump(line);
            const auto z = std::find(order.begin(), order.end(), control);
            if (z != order.end()) line += " z=" + std::to_string(z - order.begin());
            std::cout << line << '\n';
        }
        for (const std::string& variable : form.dump_variables()) {
            std::cout << form.name() << '.' << variable << '\n';
        }
    }

    ui::TestRuntime rt_;
    std::optional<std::int64_t> hold_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: muranko-scenario FILE\n";
        return 2;
    }
    std::ifstream script(argv[1]);
    if (!script) {
        std::cerr << argv[1] << ": cannot open\n";
        return 1;
    }
    Runner runner;
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        try {
            std::istringstream in(line.substr(0, line.find('#')));
            const Words words{std::istream_iterator<std::string>(in), {}};
            if (!words.empty()) runner.run(words);
        } catch (const std::exception& e) {
            std::cout.flush();
            std::cerr << argv[1] << ':' << number << ": " << e.what() << '\n';
            return 1;
        }
    }
    return 0;
}
