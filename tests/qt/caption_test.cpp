// Every label of every form of the program, measured with the face and size it is drawn in:
// captions fit their boxes in their face, style and alignment, and no text runs into the next
// one on its row.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QRectF>
#include <cmath>
#include <vector>

#include "app/forms.h"
#include "ui/qt/form_view.h"
#include "ui/test_runtime.h"

namespace {

TEST(Captions, FitTheirBoxesAndKeepClearOfTheirNeighboursOnEveryForm) {
    ui::TestRuntime runtime;
    app::register_forms(runtime);
    for (const std::string& name : runtime.registered_forms()) runtime.show(name);
    for (const ui::Form* form : runtime.forms()) {
        const ui::qt::FormView view(*form);
        std::vector<QRectF> shown;
        for (const ui::Control* control : form->controls()) {
            if (control->kind() != ui::ControlKind::label) continue;
            const auto& label = static_cast<const ui::Label&>(*control);
            SCOPED_TRACE(form->name() + "." + label.name());
            const auto layout = view.layout_label(label);
            if (label.style().font.family == "Sans Serif") {
                // The face itself, not one that fontconfig put in its place.
                EXPECT_EQ(QFontInfo(layout.font).family().toStdString(), ui::qt::kSansFamily);
            }
            EXPECT_EQ(QFontInfo(layout.font).bold(), label.style().font.bold);
            EXPECT_EQ(QFontInfo(layout.font).italic(), label.style().font.italic);
            // The text keeps to its side of the box as described, also when the box grows.
            const QRectF box = view.to_pixels(label.rect());
            const double off[] = {layout.text.left() - box.left(),
                                  layout.text.right() - box.right(),
                                  layout.text.center().x() - box.center().x()};
            EXPECT_NEAR(off[static_cast<int>(label.style().alignment)], 0, 1) << "alignment";
            if (!label.style().auto_size) {
                EXPECT_LE(layout.text.width(), layout.box.width()) << "too wide";
                EXPECT_LE(layout.text.height(), layout.box.height()) << "too high";
            }
            if (label.visible()) shown.push_back(layout.text);
        }
        for (const QRectF& left : shown) {
            for (const QRectF& right : shown) {
                const bool same_row = left.top() < right.bottom() && right.top() < left.bottom();
                if (&left == &right || !same_row || left.left() > right.left()) continue;
                EXPECT_LT(left.right(), right.left()) << form->name() << ": texts overlap";
            }
        }
    }
}

}  // namespace
