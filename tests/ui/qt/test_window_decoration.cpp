#include "ui/qt/window_decoration.h"

#include <gtest/gtest.h>

#include <QStyleOptionTitleBar>
#include <QTest>

#include <set>

#include "forms/dialog_form.h"
#include "forms/form1_form.h"
#include "ui/qt/form_builder.h"

namespace {

using tavrix::qt::WindowDecoration;

// The title bar a window draws itself on Wayland: across it the parts a click finds are exactly
// the window's buttons; a click on one acts, a double click on the caption does nothing.
TEST(WindowDecoration, OffersExactlyTheWindowsButtonsAndActsOnlyOnThem) {
    struct Case {
        const tavrix::forms::WindowDescription& form;
        std::set<QStyle::SubControl> parts;
    };
    const Case cases[] = {
        {tavrix::forms::dialogForm(),
         {QStyle::SC_TitleBarSysMenu, QStyle::SC_TitleBarLabel, QStyle::SC_TitleBarCloseButton}},
        {tavrix::forms::form1Form(),
         {QStyle::SC_TitleBarSysMenu, QStyle::SC_TitleBarLabel, QStyle::SC_TitleBarMinButton,
          QStyle::SC_TitleBarCloseButton}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.form.name);
        QWidget window;
        const QMargins frame = WindowDecoration::margins(window.style());
        window.setFixedSize(QSize(400, 300).grownBy(frame));
        auto* decoration = new WindowDecoration(window, frame, tavrix::qt::titleBarButtons(test.form));
        window.show();
        const int middle = frame.top() / 2 + frame.left() / 2;
        std::set<QStyle::SubControl> parts;
        QPoint minimize, close, caption(window.width() / 2, middle);
        for (int x = 0; x < window.width(); ++x) {
            const QStyle::SubControl part = decoration->partAt({x, middle});
            if (part == QStyle::SC_None) continue;
            parts.insert(part);
            if (part == QStyle::SC_TitleBarMinButton) minimize = {x, middle};
            if (part == QStyle::SC_TitleBarCloseButton) close = {x, middle};
        }
        EXPECT_EQ(parts, test.parts);

        QTest::mouseDClick(decoration, Qt::LeftButton, {}, caption);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowState(), Qt::WindowNoState);
        if (!minimize.isNull()) {
            QTest::mouseClick(decoration, Qt::LeftButton, {}, minimize);
            EXPECT_TRUE(window.isMinimized());
        }
        QTest::mouseClick(decoration, Qt::LeftButton, {}, close);
        EXPECT_FALSE(window.isVisible());
    }
}

}  // namespace
