// The controls a form is built from. Each is a plain object owned by its form; the backend
// reads them to draw, and every property write that changes a value is reported to the form
// so that only what changed is drawn again. Positions and sizes are in the form's own units.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "ui/types.h"

namespace ui {

class Form;

enum class ControlKind { image, label, shape, timer, menu, button };

struct Rect {
    Single left = 0;
    Single top = 0;
    Single width = 0;
    Single height = 0;
};

class Control {
  public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    const std::string& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    Form& form() const { return form_; }

    // Appends " key=value ..." for the scenario dump.
    virtual void dump(std::string& out) const = 0;

  protected:
    Control(Form& form, std::string name, ControlKind kind);
    // Reports a changed property to the form (once until the backend takes the changes).
    void changed();

  private:
    friend class Form;
    Form& form_;
    std::string name_;
    ControlKind kind_;
    bool pending_change_ = false;
};

// A control with a place on the form: images, labels, shapes, buttons.
class VisualControl : public Control {
  public:
    Single left() const { return rect_.left; }
    Single top() const { return rect_.top; }
    Single width() const { return rect_.width; }
    Single height() const { return rect_.height; }
    const Rect& rect() const { return rect_; }
    bool visible() const { return visible_; }

    void set_left(Single left);
    void set_top(Single top);
    void move(Single left, Single top);
    void set_visible(bool visible);

  protected:
    VisualControl(Form& form, std::string name, ControlKind kind, Rect rect, bool visible);
    void dump_geometry(std::string& out) const;
    Rect rect_;
    bool visible_;
};

// A sprite. Images of a higher layer are drawn above the others (the players' balls).
class Image : public VisualControl {
  public:
    Image(Form& form, std::string name, Rect rect, Picture picture, bool visible = true,
          int layer = 0);
    Picture picture() const { return picture_; }
    void set_picture(Picture picture);
    int layer() const { return layer_; }
    void dump(std::string& out) const override;

  private:
    Picture picture_;
    int layer_;
};

enum class Alignment { left, right, center };

struct Font {
    std::string family = "Sans Serif";
    Single points = 8.25f;
    bool bold = false;
    bool italic = false;
};

struct LabelStyle {
    Font font;
    Color fore_color = 0x00000000;  // black
    bool transparent = true;
    Color back_color = 0x00FFFFFF;
    Alignment alignment = Alignment::left;
    bool auto_size = false;  // the box grows to the text (measured by the backend)
    bool word_wrap = false;  // wrapped within the box
};

class Label : public VisualControl {
  public:
    Label(Form& form, std::string name, Rect rect, std::string caption, LabelStyle style = {},
          bool visible = true);
    const std::string& caption() const { return caption_; }
    void set_caption(std::string caption);
    const LabelStyle& style() const { return style_; }
    void dump(std::string& out) const override;

  private:
    std::string caption_;
    LabelStyle style_;
};

enum class ShapeType { rectangle, circle };

struct ShapeStyle {
    ShapeType type = ShapeType::rectangle;
    bool filled = false;  // opaque fill in fill_color; else the fill is transparent
    Color fill_color = 0x00000000;
    bool bordered = true;
    Color border_color = 0x00000000;
};

class Shape : public VisualControl {
  public:
    Shape(Form& form, std::string name, Rect rect, ShapeStyle style, bool visible = true);
    // A negative height is refused: a strict runtime throws std::invalid_argument, any other
    // keeps 0.
    void set_height(Single height);
    const ShapeStyle& style() const { return style_; }
    void dump(std::string& out) const override;

  private:
    ShapeStyle style_;
};

// Fires its handler every interval milliseconds while enabled and interval > 0.
class Timer : public Control {
  public:
    Timer(Form& form, std::string name, int interval, bool enabled);
    ~Timer() override;

    int interval() const { return interval_; }
    bool enabled() const { return enabled_; }
    bool armed() const { return enabled_ && interval_ > 0; }
    void set_interval(int interval);
    void set_enabled(bool enabled);
    void dump(std::string& out) const override;

    std::function<void()> on_timer;

  private:
    friend class Scheduler;
    void update_arming(bool was_armed);

    int interval_;
    bool enabled_;
    // Scheduler bookkeeping, in milliseconds of the runtime's clock.
    std::uint64_t sequence_ = 0;
    std::int64_t countdown_start_ = 0;
    std::int64_t due_ = 0;
    bool scheduled_ = false;
};

// A menu entry; an entry without parent is a top-level menu of the form's menu bar. The
// caption "-" makes a separator. '&' marks the access key.
class MenuItem : public Control {
  public:
    MenuItem(Form& form, std::string name, std::string caption, MenuItem* parent = nullptr,
             bool checked = false, bool enabled = true);
    const std::string& caption() const { return caption_; }
    MenuItem* parent() const { return parent_; }
    bool is_separator() const { return caption_ == "-"; }
    bool checked() const { return checked_; }
    bool enabled() const { return enabled_; }
    void set_checked(bool checked);
    void set_enabled(bool enabled);
    void dump(std::string& out) const override;

    std::function<void()> on_click;

  private:
    std::string caption_;
    MenuItem* parent_;
    bool checked_;
    bool enabled_;
};

class Button : public VisualControl {
  public:
    Button(Form& form, std::string name, Rect rect, std::string caption);
    const std::string& caption() const { return caption_; }
    void dump(std::string& out) const override;

    std::function<void()> on_click;

  private:
    std::string caption_;
};

// Builds a control array: make_array<N>([&](int i) { return Image(...); }).
template <std::size_t N, typename Make>
auto make_array(Make&& make) {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
        return std::array<decltype(make(0)), N>{make(static_cast<int>(I))...};
    }
    (std::make_index_sequence<N>{});
}

// The name of member i of a control array: "img_feind(3)".
std::string indexed(std::string_view name, int index);

}  // namespace ui
