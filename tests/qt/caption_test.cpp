// Every label of every form of the program, measured with the face and size it is drawn in:
// captions fit their boxes, and no text runs into the next one on its row.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QRectF>
#include <cmath>
#include <string>
#include <vector>

#include "app/forms.h"
#include "ui/qt/form_view.h"
#include "ui/test_runtime.h"

namespace {

TEST(Captions, FitTheirBoxesAndKeepClearOfTheirNeighboursOnEveryForm) {
    ui::TestRuntime runtime;
    app::register_forms(runtime);
    for (const std::string& name : runtime.registered_forms()) runtime.show(name);
    ASSERT_FALSE(runtime.forms().empty());

    for (const ui::Form* form : runtime.forms()) {
        const ui::qt::FormView view(*form);
        struct Drawn {
            std::string name;
            QRectF text;
        };
        std::vector<Drawn> shown;
        for (const ui::Control* control : form->controls()) {
            if (control->kind() != ui::ControlKind::label) continue;
            const auto& label = static_cast<const ui::Label&>(*control);
            SCOPED_TRACE(form->name() + "." + label.name() + " \"" + label.caption() + "\"");
            const ui::qt::FormView::LabelLayout layout = view.layout_label(label);
            const ui::Font& font = label.style().font;
            if (font.family == "Sans Serif") {
                // The face itself, not one that fontconfig put in its place.
                const QFontInfo info(layout.font);
                EXPECT_EQ(info.family().toStdString(), ui::qt::kSansFamily);
                EXPECT_EQ(info.pixelSize(), std::lround(font.points * 96.0 / 72.0));
            }
            if (!label.style().auto_size) {
                EXPECT_LE(layout.text.width(), layout.box.width()) << "too wide";
                EXPECT_LE(layout.text.height(), layout.box.height()) << "too high";
            }
            if (label.visible()) shown.push_back({label.name(), layout.text});
        }
        for (const Drawn& left : shown) {
            for (const Drawn& right : shown) {
                const bool same_row =
                    left.text.top() < right.text.bottom() && right.text.top() < left.text.bottom();
                if (&left == &right || !same_row || left.text.left() > right.text.left()) continue;
                EXPECT_LT(left.text.right(), right.text.left())
                    << form->name() << ": " << left.name << " runs into " << right.name;
            }
        }
    }
}

}  // namespace
