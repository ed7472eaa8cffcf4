// The window of one form: a fixed-size top-level window whose client area (twips / 15 logical
// pixels) lies below the menu bar built from the form's menu entries. It draws the model
// through FormView, places the form's buttons as push buttons, and passes the close box,
// keys, menu choices and button clicks to the runtime. It holds no rule of the game.
#pragma once

#include <QRegion>
#include <QWidget>
#include <map>
#include <string_view>
#include <vector>

#include "ui/form.h"

class QAction;
class QMenu;
class QMenuBar;
class QPushButton;

namespace ui::qt {

class ClientArea;

class FormWindow : public QWidget {
    Q_OBJECT

  public:
    explicit FormWindow(Form& form);
    ~FormWindow() override;

    // nullptr once detached.
    Form* form() const { return form_; }
    // The form is about to be destroyed: forget it. The window only waits to be deleted.
    void detach();

    // Shows the window (centred on its screen the first time; restored if minimised), raises and
    // activates it.
    void present();
    // Gives the keys back to the form: the focus goes to the window itself, or to the form's
    // first button on a form that has one, unless a button has it or a menu is open. Done
    // whenever the window is activated, after a message box, and on a click on the client area.
    void take_keys();

    // Redraws at once, for each changed control, what it covered before and what it covers
    // now, and brings its button or menu action up to date.
    void apply_changes(const std::vector<Control*>& changed);

    QWidget* client_area() const;
    // nullptr when the form has no menu entries.
    QMenuBar* menu_bar() const { return menu_bar_; }
    // The action of a menu entry (a menu's own action for a top-level entry), or nullptr.
    QAction* menu_action(std::string_view item_name) const;
    // The region, in client-area pixels, that the last apply_changes asked to redraw.
    const QRegion& last_update_region() const { return last_update_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void build_menus();
    void build_buttons();
    void sync_action(const MenuItem& item);
    void place_button(const Button& button);
    void menu_chosen(const MenuItem& item);
    // Hands a key to the form's key-down handler; false when the form does not take it.
    bool deliver_key(const QKeyEvent& event);
    // Where the keys belong while no menu is open: the first visible button, else the window.
    QWidget* key_owner();
    bool is_button(const QWidget* widget) const;
    // The menu bar moves through its menus by the keyboard, or one of its menus is open.
    bool menu_in_use() const;
    // The last painted rectangle of every visual control, from the model as it is now.
    void remember_all_rects();

    Form* form_;
    ClientArea* client_;
    QMenuBar* menu_bar_ = nullptr;
    std::map<const MenuItem*, QAction*> actions_;
    std::map<const Button*, QPushButton*> buttons_;
    std::map<const Control*, QRect> painted_;
    QRegion last_update_;
    bool shown_before_ = false;
};

}  // namespace ui::qt
