// The program's message box: a title, a text and one OK button, no icon. Style
// ui::kBoxRightAligned aligns the text right; every other style aligns it as usual. Modal for
// the whole application; with an owner it is transient for it and centred over it. Its window
// carries the program's icon (the application's window icon). Enter, Esc and the close box
// close it.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace ui::qt {

class MessageBox : public QDialog {
    Q_OBJECT

  public:
    MessageBox(const QString& text, int style, const QString& title, QWidget* owner = nullptr);

    const QLabel& text_label() const { return *text_; }

  private:
    QLabel* text_;
};

}  // namespace ui::qt
