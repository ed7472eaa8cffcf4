#include "ui/qt/message_box.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/runtime.h"

namespace ui::qt {

MessageBox::MessageBox(const QString& text, int style, const QString& title, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      text_(new QLabel(text, this)) {
    setWindowTitle(title);
    // Not the owner's icon, which a help form has of its own.
    setWindowIcon(QApplication::windowIcon());
    setWindowModality(Qt::ApplicationModal);

    text_->setTextFormat(Qt::PlainText);
    const bool right = (style & kBoxRightAligned) != 0;
    text_->setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    // Wide enough for the title, so that a short right-aligned text visibly sits right.
    text_->setMinimumWidth(std::max(160, fontMetrics().horizontalAdvance(title) + 80));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setCenterButtons(true);
    // Some styles put a picture on the standard button; the box shows text only.
    buttons->button(QDialogButtonBox::Ok)->setIcon(QIcon());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(24, 20, 24, 12);
    layout->setSpacing(16);
    layout->addWidget(text_);
    layout->addWidget(buttons);
}

}  // namespace ui::qt
