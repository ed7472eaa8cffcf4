#include "ui/controls.h"

#include <cstdio>
#include <stdexcept>

#include "ui/form.h"
#include "ui/runtime.h"

namespace ui {

namespace {
void put(std::string& out, std::string_view key, Single value) {
    out += ' ';
    out += key;
    out += '=';
    out += format_single(value);
}
void put(std::string& out, std::string_view key, bool value) {
    out += ' ';
    out += key;
    out += value ? "=1" : "=0";
}
void put_text(std::string& out, std::string_view key, std::string_view text) {
    out += ' ';
    out += key;
    out += '=';
    out += quoted(text);
}
// A colour as 0xBBGGRR, or "none" where nothing is drawn in it.
void put_color(std::string& out, std::string_view key, Color color, bool drawn = true) {
    char text[16] = "none";
    if (drawn) std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(color));
    out += ' ';
    out += key;
    out += '=';
    out += text;
}
}  // namespace

std::string indexed(std::string_view name, int index) {
    return std::string(name) + "(" + std::to_string(index) + ")";
}

Control::Control(Form& form, std::string name, ControlKind kind)
    : form_(form), name_(std::move(name)), kind_(kind) {
    form_.add_control(this);
}

Control::~Control() {
    form_.remove_control(this);
}

void Control::changed() {
    if (!pending_change_) {
        pending_change_ = true;
        form_.note_change(this);
    }
}

VisualControl::VisualControl(Form& form, std::string name, ControlKind kind, Rect rect,
                             bool visible)
    : Control(form, std::move(name), kind), rect_(rect), visible_(visible) {}

void VisualControl::set_left(Single left) {
    if (rect_.left != left) {
        rect_.left = left;
        changed();
    }
}

void VisualControl::set_top(Single top) {
    if (rect_.top != top) {
        rect_.top = top;
        changed();
    }
}

void VisualControl::move(Single left, Single top) {
    set_left(left);
    set_top(top);
}

void VisualControl::set_visible(bool visible) {
    if (visible_ != visible) {
        visible_ = visible;
        changed();
    }
}

void VisualControl::dump_geometry(std::string& out) const {
    put(out, "left", rect_.left);
    put(out, "top", rect_.top);
    put(out, "width", rect_.width);
    put(out, "height", rect_.height);
    put(out, "visible", visible_);
}

Image::Image(Form& form, std::string name, Rect rect, Picture picture, bool visible, int layer)
    : VisualControl(form, std::move(name), ControlKind::image, rect, visible),
      picture_(picture),
      layer_(layer) {}

void Image::set_picture(Picture picture) {
    if (picture_ != picture) {
        picture_ = picture;
        changed();
    }
}

void Image::dump(std::string& out) const {
    out += " image";
    dump_geometry(out);
    out += " picture=";
    out += picture_name(picture_);
}

Label::Label(Form& form, std::string name, Rect rect, std::string caption, LabelStyle style,
             bool visible)
    : VisualControl(form, std::move(name), ControlKind::label, rect, visible),
      caption_(std::move(caption)),
      style_(std::move(style)) {}

void Label::set_caption(std::string caption) {
    if (caption_ != caption) {
        caption_ = std::move(caption);
        changed();
    }
}

void Label::dump(std::string& out) const {
    out += " label";
    dump_geometry(out);
    put_text(out, "caption", caption_);
    const Font& font = style_.font;
    put_text(out, "font", font.family);
    out += ' ' + format_single(font.points) + (font.bold ? " bold" : "") +
           (font.italic ? " italic" : "");
    put_color(out, "color", style_.fore_color);
    put_color(out, "back", style_.back_color, !style_.transparent);
    static constexpr const char* kAlignments[] = {"left", "right", "center"};
    out += std::string(" align=") + kAlignments[static_cast<int>(style_.alignment)];
    if (style_.auto_size) out += " autosize";
    if (style_.word_wrap) out += " wrap";
}

Shape::Shape(Form& form, std::string name, Rect rect, ShapeStyle style, bool visible)
    : VisualControl(form, std::move(name), ControlKind::shape, rect, visible), style_(style) {}

void Shape::set_height(Single height) {
    if (height < 0) {
        if (form().runtime().strict()) {
            throw std::invalid_argument("negative Height for " + name());
        }
        height = 0;
    }
    if (rect_.height != height) {
        rect_.height = height;
        changed();
    }
}

void Shape::dump(std::string& out) const {
    out += " shape";
    dump_geometry(out);
    out += style_.type == ShapeType::circle ? " circle" : " rectangle";
    put_color(out, "fill", style_.fill_color, style_.filled);
    put_color(out, "border", style_.border_color, style_.bordered);
}

Timer::Timer(Form& form, std::string name, int interval, bool enabled)
    : Control(form, std::move(name), ControlKind::timer),
      interval_(interval < 0 ? 0 : interval),
      enabled_(enabled) {
    form.runtime().scheduler().add(*this);
}

Timer::~Timer() {
    form().runtime().scheduler().remove(*this);
}

void Timer::set_interval(int interval) {
    const bool was_armed = armed();
    interval_ = interval < 0 ? 0 : interval;
    update_arming(was_armed);
}

void Timer::set_enabled(bool enabled) {
    const bool was_armed = armed();
    enabled_ = enabled;
    update_arming(was_armed);
}

void Timer::update_arming(bool was_armed) {
    Scheduler& scheduler = form().runtime().scheduler();
    if (!armed() || form().unloaded()) {
        scheduler.disarm(*this);
    } else if (!was_armed) {
        scheduler.arm(*this);
    } else {
        scheduler.retime(*this);
    }
}

void Timer::dump(std::string& out) const {
    out += " timer interval=";
    out += std::to_string(interval_);
    put(out, "enabled", enabled_);
}

MenuItem::MenuItem(Form& form, std::string name, std::string caption, MenuItem* parent,
                   bool checked, bool enabled)
    : Control(form, std::move(name), ControlKind::menu),
      caption_(std::move(caption)),
      parent_(parent),
      checked_(checked),
      enabled_(enabled) {}

void MenuItem::set_checked(bool checked) {
    if (checked_ != checked) {
        checked_ = checked;
        changed();
    }
}

void MenuItem::set_enabled(bool enabled) {
    if (enabled_ != enabled) {
        enabled_ = enabled;
        changed();
    }
}

void MenuItem::dump(std::string& out) const {
    out += " menu";
    put_text(out, "caption", caption_);
    put(out, "checked", checked_);
    put(out, "enabled", enabled_);
}

Button::Button(Form& form, std::string name, Rect rect, std::string caption)
    : VisualControl(form, std::move(name), ControlKind::button, rect, true),
      caption_(std::move(caption)) {}

void Button::dump(std::string& out) const {
    out += " button";
    dump_geometry(out);
    put_text(out, "caption", caption_);
}

}  // namespace ui
