#include "base/ui/control_windows.h"
#include "base/ui/display_text.h"
#include "base/ui/table_window.h"
#include "tests/support/qt_test_app.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The tables built into a bare parent, without the main window around them.
class ControlWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_qt_app();
        parent = std::make_unique<QWidget>();
        layout_init(1016, 577);
        create_table(parent.get(), TABLE_MAIN);
        const auto client = [](control_table_id t, int row) {
            return static_cast<table_window*>(control_table(t)[row].window)->client();
        };
        create_table(client(TABLE_MAIN, ROW_FRA), TABLE_FRA);
        create_table(client(TABLE_MAIN, ROW_LCR), TABLE_LCR);
        create_table(client(TABLE_LCR, 0), TABLE_LCR_GRAPH);
        create_table(client(TABLE_MAIN, ROW_PIEZO), TABLE_PIEZO);
    }
    void TearDown() override
    {
        forget_table_windows();
        parent.reset();
    }

    std::unique_ptr<QWidget> parent;
};

} // namespace

// The layout computes a window's client area from its table styles; the
// windows must have exactly that frame or anchored controls land off their
// edges.
TEST_F(ControlWindows, WindowFramesMatchTheFramesTheLayoutAssumes)
{
    const auto check = [](const s_control& row) {
        auto* w = static_cast<table_window*>(row.window);
        if (!w)
            return;
        const int f = control_frame(row);
        EXPECT_EQ(w->contentsRect(), w->rect().adjusted(f, f, -f, -f)) << row.class_name;
    };
    for (const s_control& row : control_table(TABLE_MAIN))
        check(row);
    check(control_table(TABLE_FRA)[0]);
    check(control_table(TABLE_LCR)[0]);
}

TEST_F(ControlWindows, ControlsFollowTheirStyles)
{
    // A drop-down list never shows its window text, even while empty.
    auto* tan = qobject_cast<QComboBox*>(control_by_id(14803));
    ASSERT_NE(tan, nullptr);
    EXPECT_EQ(tan->accessibleName(), QString::fromUtf8("TAN\xC3\xB0"));
    EXPECT_TRUE(tan->currentText().isEmpty());
    EXPECT_TRUE(tan->placeholderText().isEmpty());

    // Read-only result fields without a border style have no frame.
    auto* r = qobject_cast<QLineEdit*>(control_by_id(15245));
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->isReadOnly());
    EXPECT_FALSE(r->hasFrame());
    EXPECT_EQ(r->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);

    EXPECT_EQ(qobject_cast<QScrollBar*>(control_by_id(14801))->orientation(), Qt::Horizontal);

    // Only buttons and lists are tab stops.
    for (int id : {15241, 15252, 14702, 14700})
        EXPECT_TRUE(control_by_id(id)->focusPolicy() & Qt::TabFocus) << id;
    for (int id : {15245, 14803, 14801, 15244})
        EXPECT_FALSE(control_by_id(id)->focusPolicy() & Qt::TabFocus) << id;
}

TEST(DisplayText, TanDeltaReadsAsTheGreekLetterOnScreenOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Tan\xF0", "tan \u03B4"},
        {"TAN\xF0", "tan \u03B4"},
        {"Tan \xF0 / QF", "tan \u03B4 / QF"},
        {"Phase (\xB0)", "Phase (\u00B0)"},
        {"Tr\xF0", "Tr\u00F0"}, // an eth elsewhere is left alone
        {"Stan\xF0", "Stan\u00F0"},
    };
    for (const auto& [ansi, shown] : cases)
        EXPECT_EQ(qt_display_text(ansi), QString::fromUtf8(shown)) << ansi;
}
