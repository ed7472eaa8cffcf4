#include "ui/form.h"

#include <algorithm>
#include <cmath>

#include "ui/runtime.h"

namespace ui {

namespace {
constexpr double kTwipsPerPixel = 15;

// Snaps a length of `units` from the scale's origin to the nearest whole pixel.
double snap(double units, double twips_per_unit) {
    const double pixels = std::round(units * twips_per_unit / kTwipsPerPixel);
    return pixels * kTwipsPerPixel / twips_per_unit;
}

double twips_per_unit(int client_twips, Single scale) {
    return scale > 0 ? client_twips / static_cast<double>(scale) : 1.0;
}
}  // namespace

Single FormDesign::exact_left(Single left) const {
    const double tpu = twips_per_unit(client_width_twips, scale_width);
    return static_cast<Single>(scale_left + snap(double{left} - scale_left, tpu));
}

Single FormDesign::exact_top(Single top) const {
    const double tpu = twips_per_unit(client_height_twips, scale_height);
    return static_cast<Single>(scale_top + snap(double{top} - scale_top, tpu));
}

Single FormDesign::exact_width(Single width) const {
    return static_cast<Single>(snap(width, twips_per_unit(client_width_twips, scale_width)));
}

Single FormDesign::exact_height(Single height) const {
    return static_cast<Single>(snap(height, twips_per_unit(client_height_twips, scale_height)));
}

Rect FormDesign::exact_rect(Single left, Single top, Single width, Single height) const {
    return Rect{exact_left(left), exact_top(top), exact_width(width), exact_height(height)};
}

Form::Form(Runtime& runtime, std::string name, FormDesign design)
    : runtime_(runtime), name_(std::move(name)), design_(std::move(design)) {}

Form::~Form() = default;

Single Form::scale_width() const {
    return design_.scale_width > 0 ? design_.scale_width
                                   : static_cast<Single>(design_.client_width_twips);
}

Single Form::scale_height() const {
    return design_.scale_height > 0 ? design_.scale_height
                                    : static_cast<Single>(design_.client_height_twips);
}

std::vector<const VisualControl*> Form::paint_order() const {
    std::vector<const VisualControl*> order;
    for (const ControlKind kind : {ControlKind::image, ControlKind::shape, ControlKind::label}) {
        for (const Control* control : controls_) {
            if (control->kind() == kind)
                order.push_back(static_cast<const VisualControl*>(control));
        }
        if (kind == ControlKind::image) {
            std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
                return static_cast<const Image*>(a)->layer() <
                       static_cast<const Image*>(b)->layer();
            });
        }
    }
    return order;
}

Control* Form::find_control(std::string_view name) const {
    for (Control* control : controls_) {
        if (control->name() == name) return control;
    }
    return nullptr;
}

void Form::declare(std::string name, const Integer& variable) {
    variables_.emplace_back(std::move(name), [&variable] { return text_of(variable); });
}

void Form::declare(std::string name, const Single& variable) {
    variables_.emplace_back(std::move(name), [&variable] { return format_single(variable); });
}

void Form::declare(std::string name, const std::optional<Single>& variable) {
    variables_.emplace_back(std::move(name), [&variable] {
        return variable ? format_single(*variable) : std::string("empty");
    });
}

std::vector<std::string> Form::dump_variables() const {
    std::vector<std::string> lines;
    lines.reserve(variables_.size());
    for (const auto& [name, value] : variables_) lines.push_back(name + "=" + value());
    return lines;
}

std::vector<Control*> Form::take_changes() {
    std::vector<Control*> taken;
    taken.swap(changes_);
    for (Control* control : taken) control->pending_change_ = false;
    return taken;
}

void Form::add_control(Control* control) {
    controls_.push_back(control);
}

void Form::remove_control(Control* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    changes_.erase(std::remove(changes_.begin(), changes_.end(), control), changes_.end());
}

void Form::note_change(Control* control) {
    changes_.push_back(control);
    if (changes_.size() == 1) runtime_.form_changed(*this);
}

}  // namespace ui
