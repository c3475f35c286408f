#include "base/ui_seam.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/ui/session_details_dialog.h"
#include "db/ui/test_details_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// One application for the program, never destroyed: Qt's own objects
// must not be torn down by the exit handlers after the platform is gone.
QApplication& app()
{
    static int argc = 1;
    static char name[] = "details_dialogs_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

class DetailsDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        ui_set_backend(&ui_);
        ASSERT_TRUE(dir_.isValid());
        bool is_new = false;
        ASSERT_TRUE(db_open(dir_.filePath("t.db").toStdString(), DB_OPEN_OR_CREATE, &is_new));
        s_session s;
        s.Name = "Alpha";
        s.Unit = "T1";
        s.day = s.month = 1;
        s.year = 2024;
        ASSERT_EQ(db_save_session(s, false), 0);
        alpha_ = s.SessionNo;
    }
    void TearDown() override
    {
        db_close();
        ui_set_backend(nullptr);
    }
    template <class W> W* ctl(test_details_dialog& d, int id)
    {
        return qobject_cast<W*>(d.control(id));
    }

    scripted_ui ui_;
    QTemporaryDir dir_;
    int64_t alpha_ = 0;
};

} // namespace

TEST_F(DetailsDialogs, SessionDialogKeepsEntriesOnlyWhenValid)
{
    s_session s;
    s.day = 2;
    s.month = 3;
    s.year = 2025;
    session_details_dialog d(nullptr, s);
    EXPECT_EQ(d.windowTitle(), "Add Session");
    EXPECT_EQ(d.field(1037)->text(), "2/3/2025");
    d.field(1033)->setText("X");
    d.press_ok();
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(s.Name, ""); // nothing copied while a rule fails
    d.field(1033)->setText("Contract 9");
    d.field(1034)->setText("U");
    d.field(1037)->setText("29/2/2024");
    d.field(1039)->setText("Site");
    d.field(1043)->setText("Me");
    d.press_ok();
    EXPECT_EQ(d.result(), SESSION_DETAILS_OK);
    EXPECT_EQ(s.Name, "Contract 9");
    EXPECT_EQ(s.day, 29);
    EXPECT_EQ(s.month, 2);
}

TEST_F(DetailsDialogs, TestDialogPreparesThePendingTest)
{
    s_test_details out;
    test_details_dialog d(nullptr, out);
    auto* save = ctl<QCheckBox>(d, 1005);
    ASSERT_TRUE(save);
    EXPECT_TRUE(save->isChecked());
    EXPECT_EQ(ctl<QComboBox>(d, 1007)->currentText(), "Alpha");
    d.press_start();
    EXPECT_EQ(ui_.shown().back().text, "You need to give this test a title");
    ctl<QLineEdit>(d, 1009)->setText("Run A");
    ctl<QLineEdit>(d, 1011)->setText("HV");
    d.set_repeating(true);
    EXPECT_EQ(d.total_time_text(), "Total Test Time: 0 days, 00 hours, 10 minutes");
    ctl<QLineEdit>(d, 1064)->setText("100");
    d.press_start();
    EXPECT_EQ(ui_.shown().back().text, "Repeating tests must have less than 99 sweeps");
    ctl<QLineEdit>(d, 1064)->setText("4");
    d.press_start();
    EXPECT_EQ(d.result(), TEST_DETAILS_SAVE);
    EXPECT_TRUE(out.save);
    EXPECT_EQ(out.test.SessionNo, alpha_);
    EXPECT_EQ(out.test.Name, "Run A");
    EXPECT_EQ(out.test.TestNo, 0);
    EXPECT_TRUE(out.repeating);
    EXPECT_EQ(out.count, 4);
    EXPECT_EQ(out.interval_ms, 300000u);
}

TEST_F(DetailsDialogs, WithoutSavingOrDatabase)
{
    s_test_details out;
    {
        test_details_dialog d(nullptr, out);
        ctl<QCheckBox>(d, 1005)->setChecked(false);
        EXPECT_FALSE(ctl<QLineEdit>(d, 1009)->isEnabled());
        d.press_start();
        EXPECT_EQ(d.result(), TEST_DETAILS_NO_SAVE);
        EXPECT_FALSE(out.save);
        EXPECT_FALSE(out.repeating);
        d.reject();
        EXPECT_EQ(d.result(), TEST_DETAILS_CANCELLED);
    }
    db_close();
    test_details_dialog d(nullptr, out);
    EXPECT_FALSE(ctl<QCheckBox>(d, 1005)->isEnabled());
    EXPECT_FALSE(ctl<QCheckBox>(d, 1005)->isChecked());
}
