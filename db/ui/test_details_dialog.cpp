#include "db/ui/test_details_dialog.h"

#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "db/db_form.h"
#include "db/details_rules.h"
#include "db/ui/session_details_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

void (*g_session_created)(int64_t) = nullptr;
constexpr int DIALOG_MIN_WIDTH = 380;

class combo_sink : public db_text_sink {
public:
    explicit combo_sink(QComboBox* combo) : combo_(combo) {}
    void add_text(const std::string& text) override { combo_->addItem(qt_from_ansi(text)); }

private:
    QComboBox* combo_;
};

template <class W> W* tagged(W* widget, int id)
{
    widget->setProperty("control_id", id);
    return widget;
}

QLineEdit* line(QWidget* parent, int id, int limit, const char* initial = "")
{
    auto* e = tagged(new QLineEdit(initial, parent), id);
    e->setMaxLength(limit);
    return e;
}

} // namespace

void test_details_set_session_hook(void (*created)(int64_t))
{
    g_session_created = created;
}

test_details_dialog::test_details_dialog(QWidget* parent, s_test_details& out)
    : QDialog(parent), out_(out)
{
    build(true);
}

test_details_dialog::test_details_dialog(QWidget* parent, s_test_details& out,
                                         details_repeat_check check)
    : QDialog(parent), out_(out), check_(check)
{
    build(false);
}

void test_details_dialog::build(bool database)
{
    setWindowTitle("Test Details");
    // Room for a session name and a test name of ordinary length.
    setMinimumWidth(DIALOG_MIN_WIDTH);
    auto* layout = new QVBoxLayout(this);
    auto* mode = new QHBoxLayout;
    single_ = tagged(new QRadioButton("Single Test", this), 1058);
    repeating_ = tagged(new QRadioButton("Repeating Test", this), 1059);
    single_->setChecked(true);
    mode->addWidget(single_);
    mode->addWidget(repeating_);
    layout->addLayout(mode);
    build_repeat_group(layout);
    if (database)
        build_database_group(layout);

    auto* buttons = new QHBoxLayout;
    start_ = tagged(new QPushButton("Start Sweep", this), 1049);
    start_->setDefault(true);
    auto* cancel = tagged(new QPushButton("Cancel", this), 2);
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(repeating_, &QRadioButton::toggled, this, &test_details_dialog::set_repeating);
    connect(start_, &QPushButton::clicked, this, &test_details_dialog::press_start);
    connect(cancel, &QPushButton::clicked, this, &test_details_dialog::reject);
    set_repeating(false);
    if (!database)
        return;
    set_save(db_is_open());
    save_->setEnabled(db_is_open());
}

void test_details_dialog::build_repeat_group(QVBoxLayout* layout)
{
    repeat_group_ = tagged(new QGroupBox("Repeat Settings", this), 1060);
    auto* form = new QFormLayout(repeat_group_);
    interval_ = line(repeat_group_, 1062, 5, "5");
    count_ = line(repeat_group_, 1064, 3, "3");
    total_ = tagged(new QLabel(repeat_group_), 1065);
    form->addRow(tagged(new QLabel("Interval (mins):", repeat_group_), 1061), interval_);
    form->addRow(tagged(new QLabel("Tests to run:", repeat_group_), 1063), count_);
    form->addRow(total_);
    connect(interval_, &QLineEdit::textChanged, this, &test_details_dialog::update_total_time);
    connect(count_, &QLineEdit::textChanged, this, &test_details_dialog::update_total_time);
    update_total_time();
    layout->addWidget(repeat_group_);
}

void test_details_dialog::build_database_group(QVBoxLayout* layout)
{
    auto* group = new QGroupBox("Database Settings", this);
    auto* form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    save_ = tagged(new QCheckBox("Save Sweep to Database", group), 1005);
    form->addRow(save_);
    auto* row = new QHBoxLayout;
    session_ = tagged(new QComboBox(group), 1007);
    session_->setEditable(true);
    new_session_ = tagged(new QPushButton(group), 1066);
    new_session_->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    new_session_->setToolTip("New Session");
    row->addWidget(session_, 1);
    row->addWidget(new_session_);
    form->addRow("Current Session:", row);
    name_ = line(group, 1009, 50);
    winding_ = line(group, 1011, 50);
    description_ = line(group, 1013, 100);
    form->addRow("Test Name:", name_);
    form->addRow("Winding:", winding_);
    form->addRow("Test Description:", description_);
    fill_sessions(QString());
    connect(save_, &QCheckBox::toggled, this, &test_details_dialog::set_save);
    connect(new_session_, &QPushButton::clicked, this, &test_details_dialog::new_session);
    layout->addWidget(group);
}

void test_details_dialog::fill_sessions(const QString& select_prefix)
{
    session_->clear();
    combo_sink sink(session_);
    db_fill_combo(db_table::session, 1, sink);
    int index = 0;
    if (!select_prefix.isEmpty()) {
        for (int i = 0; i < session_->count(); ++i)
            if (session_->itemText(i).startsWith(select_prefix)) {
                index = i;
                break;
            }
    }
    if (session_->count() > 0)
        session_->setCurrentIndex(index);
}

void test_details_dialog::set_save(bool save)
{
    out_.save = save;
    save_->setChecked(save);
    for (QWidget* w :
         std::initializer_list<QWidget*>{session_, new_session_, name_, winding_, description_})
        w->setEnabled(save);
}

void test_details_dialog::set_repeating(bool repeating)
{
    repeating_->setChecked(repeating);
    single_->setChecked(!repeating);
    repeat_group_->setVisible(repeating);
    adjustSize();
}

void test_details_dialog::update_total_time()
{
    total_->setText(qt_from_ansi(
        details_total_time_text(qt_to_ansi(count_->text()), qt_to_ansi(interval_->text()))));
}

QString test_details_dialog::total_time_text() const
{
    return total_->text();
}

QWidget* test_details_dialog::control(int control_id) const
{
    for (QWidget* w : findChildren<QWidget*>())
        if (w->property("control_id").toInt() == control_id)
            return w;
    return nullptr;
}

void test_details_dialog::new_session()
{
    s_session session;
    if (!session_details_new(this, session, session_store_in_database))
        return;
    if (g_session_created)
        g_session_created(session.SessionNo);
    fill_sessions(qt_from_ansi(session.Name));
}

void test_details_dialog::press_start()
{
    if (out_.save) {
        const int64_t session_no = db_find_session_by_name(qt_to_ansi(session_->currentText()));
        const std::string name = qt_to_ansi(name_->text());
        const std::string winding = qt_to_ansi(winding_->text());
        if (auto m = test_details_check_names(session_no, name, winding)) {
            ui_message_box(this, m->text, m->caption, m->style);
            return;
        }
        out_.test = s_test{};
        out_.test.SessionNo = session_no;
        out_.test.Name = name;
        out_.test.Winding = winding;
        out_.test.TestDescription = qt_to_ansi(description_->text());
    }
    out_.repeating = repeating_->isChecked();
    out_.count = 0;
    out_.interval_ms = 0;
    if (out_.repeating && !check_repeat())
        return;
    done(out_.save ? TEST_DETAILS_SAVE : TEST_DETAILS_NO_SAVE);
}

bool test_details_dialog::check_repeat()
{
    const std::string count = qt_to_ansi(count_->text());
    const std::string interval = qt_to_ansi(interval_->text());
    s_repeat_settings repeat;
    std::vector<s_details_message> messages;
    if (check_)
        messages = check_(count, interval, repeat);
    else if (auto m = test_details_check_repeat(count, interval, repeat))
        messages.push_back(*m);
    for (const s_details_message& m : messages)
        ui_message_box(this, m.text, m.caption, m.style);
    if (!messages.empty())
        return false;
    out_.count = repeat.count;
    out_.interval_ms = repeat.interval_ms;
    return true;
}

void test_details_dialog::reject()
{
    done(TEST_DETAILS_CANCELLED);
}

int test_details_dialog::run()
{
    return exec();
}
