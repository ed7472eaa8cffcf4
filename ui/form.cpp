#include "ui/form.h"

#include <algorithm>

#include "ui/runtime.h"

namespace ui {

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
