#include "base/ui/export_entry.h"
#include "base/ui_seam.h"
#include "db/ui/export_tests_dialog.h"
#include "review/ui/tests_export_ui.h"
#include "tests/support/qt_test_app.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

TEST(ExportTestsDialog, DefaultsAndTheRemoveZerosRule)
{
    ensure_qt_app();
    for (const int repeat : {0, 3}) {
        export_tests_dialog dialog(nullptr, repeat);
        EXPECT_EQ(dialog.windowTitle(), "Export Tests");
        EXPECT_TRUE(dialog.control(EXPORT_EXCEL)->isChecked());
        EXPECT_TRUE(dialog.control(EXPORT_STANDARD)->isChecked());
        EXPECT_FALSE(dialog.control(EXPORT_REMOVE_ZEROS)->isChecked());
        EXPECT_EQ(dialog.control(EXPORT_REMOVE_ZEROS)->isEnabled(), repeat == 0);
        dialog.control(EXPORT_CSV)->click();
        dialog.control(EXPORT_EUROPEAN)->click();
        dialog.control(EXPORT_REMOVE_ZEROS)->setChecked(true);
        const s_export_dialog_choice c = dialog.choice();
        EXPECT_FALSE(c.excel);
        EXPECT_TRUE(c.european);
        EXPECT_EQ(c.remove_zeros, repeat == 0);
    }
}

TEST(ExportTestsDialog, DatabaseFormReachesItThroughTheEntryPoint)
{
    ensure_qt_app();
    scripted_ui ui;
    ui_set_backend(&ui);
    review_register_exporters();
    ASSERT_TRUE(tests_exporter_registered());
    QTimer::singleShot(50, [] {
        auto* d = qobject_cast<export_tests_dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->control(1)->click(); // OK: an empty selection
    });
    EXPECT_TRUE(export_tests(nullptr, {}));
    ui_set_backend(nullptr);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Please add some tests to export");
}
