// The program's message box: a title, a text and one OK button, no icon. Style
// ui::kBoxRightAligned aligns the text right; every other style aligns it as usual.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace ui::qt {

class MessageBox : public QDialog {
    Q_OBJECT

  public:
    MessageBox(const QString& text, int style, const QString& title);

    const QLabel& text_label() const { return *text_; }

  private:
    QLabel* text_;
};

}  // namespace ui::qt
