// A form: one window of the program with its controls, its handlers and its form-level
// variables. Each form class derives from Form, holds its controls as members and registers
// its variables so that the scenario dump can print them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/controls.h"
#include "ui/types.h"

namespace ui {

class Runtime;

enum class BorderStyle {
    none,          // no frame, no title bar, not in the task bar (splash forms)
    fixed_single,  // title bar with caption, icon and close box; not resizable
    fixed_dialog,  // dialog frame with close box; not resizable
};

struct FormDesign {
    std::string caption;
    BorderStyle border = BorderStyle::fixed_single;
    int client_width_twips = 0;
    int client_height_twips = 0;
    Color back_color = 0x00FFFFFF;
    Picture background = Picture::none;  // drawn unscaled from the top-left corner
    Picture icon = Picture::none;
    bool show_in_taskbar = true;
    // The user scale: the client area spans scale_width x scale_height units starting at
    // (scale_left, scale_top). Forms that work in twips leave these at their defaults.
    Single scale_left = 0;
    Single scale_top = 0;
    Single scale_width = 0;   // 0: twips (client_width_twips)
    Single scale_height = 0;  // 0: twips (client_height_twips)

    // Exact design positions. A form description stores whole pixels (15 twips each); a value
    // written in form units rounded to two decimals stands for the nearest whole pixel, and
    // these return that pixel's exact value in form units (single precision).
    Single exact_left(Single left) const;
    Single exact_top(Single top) const;
    Single exact_width(Single width) const;
    Single exact_height(Single height) const;
    Rect exact_rect(Single left, Single top, Single width, Single height) const;
};

class Form {
  public:
    Form(Runtime& runtime, std::string name, FormDesign design);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    const std::string& name() const { return name_; }
    const FormDesign& design() const { return design_; }
    Runtime& runtime() const { return runtime_; }

    // Events; a form overrides the ones it handles.
    virtual void Form_Load() {}
    virtual void Form_KeyDown(Integer key_code, Integer shift) {
        (void)key_code;
        (void)shift;
    }

    // Whether the form's key-down handler gets every key pressed while it is active.
    bool key_preview() const { return key_preview_; }
    void set_key_preview(bool on) { key_preview_ = on; }

    // Client area in units of the form's scale.
    Single scale_left() const { return design_.scale_left; }
    Single scale_top() const { return design_.scale_top; }
    Single scale_width() const;
    Single scale_height() const;

    // Controls in the order they were created.
    const std::vector<Control*>& controls() const { return controls_; }
    // The drawn controls, bottom first: the sprites (a higher layer above a lower one), then the
    // shapes, then the labels; within each, in the order they were created.
    std::vector<const VisualControl*> paint_order() const;
    Control* find_control(std::string_view name) const;

    // Form-level variables for the scenario dump.
    void declare(std::string name, const Integer& variable);
    void declare(std::string name, const Single& variable);
    void declare(std::string name, const std::optional<Single>& variable);
    template <typename T, std::size_t N>
    void declare(const std::string& name, const std::array<T, N>& variables) {
        for (std::size_t i = 0; i < N; ++i)
            declare(indexed(name, static_cast<int>(i)), variables[i]);
    }
    // "NAME=VALUE" lines, in declaration order.
    std::vector<std::string> dump_variables() const;

    // Controls changed since the last call, each once, in the order of their first change.
    std::vector<Control*> take_changes();
    bool has_changes() const { return !changes_.empty(); }

    // True once the form was unloaded; it lives on only until the running handler returns.
    bool unloaded() const { return unloaded_; }

  private:
    friend class Control;
    friend class Runtime;
    void add_control(Control* control);
    void remove_control(Control* control);
    void note_change(Control* control);

    Runtime& runtime_;
    std::string name_;
    FormDesign design_;
    bool key_preview_ = false;
    bool unloaded_ = false;
    std::vector<Control*> controls_;
    std::vector<Control*> changes_;
    std::vector<std::pair<std::string, std::function<std::string()>>> variables_;
};

}  // namespace ui
