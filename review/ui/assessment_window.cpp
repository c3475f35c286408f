#include "review/ui/assessment_window.h"

#include "base/off_window.h"
#include "base/ui/eliding_combo.h"
#include "base/ui/qt_seams.h"
#include "base/ui/window_geometry.h"
#include "base/ui_seam.h"
#include "db/db_access.h"
#include "db/db_error.h"
#include "db/db_form.h"
#include "db/ui/db_form_windows.h"
#include "db/ui/session_details_dialog.h"
#include "review/assessment_view.h"
#include "review/ui/assessment_sweep.h"
#include "review/ui/assessment_terminals.h"
#include "review/ui/assessment_write.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const char* const CLASS_NAME = "QXTarvelo2AssessmentWClass";
const char* const CAPTION = "Transformer Assessment";
constexpr const char* GEOMETRY_NAME = "Assessment";
constexpr int MIN_WIDTH = 1340;
constexpr int MIN_HEIGHT = 900;
constexpr int LEFT_WIDTH = 420;

// The vector groups the list offers; any other can be typed.
const char* const COMMON_GROUPS[] = {"Dyn11", "Dyn1", "Dyn5", "YNyn0", "YNd11",
                                     "YNd1",  "Yyn0", "Yd11", "Dd0",   "YNyn0d11"};

assessment_window* g_current = nullptr;

// The sessions of the open database in the list's order, each with the
// details that tell it from a session of the same name.
class session_rows : public db_row_sink {
public:
    void add_row(const std::string& text, int64_t key) override
    {
        std::vector<std::string> cells;
        for (size_t from = 0;;) {
            const size_t tab = text.find('\t', from);
            cells.push_back(text.substr(from, tab - from));
            if (tab == std::string::npos)
                break;
            from = tab + 1;
        }
        cells.resize(4);
        rows.push_back(
            {key, cells[0], cells[0] + " (" + cells[1] + ", " + cells[3] + ", " + cells[2] + ")"});
    }
    std::vector<s_session_choice> rows;
};

class test_names : public db_row_sink {
public:
    void add_row(const std::string& text, int64_t) override
    {
        names.push_back(text.substr(0, text.find('\t')));
    }
    std::vector<std::string> names;
};

QLabel* buddy_label(const char* text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

assessment_window::assessment_window(QWidget* parent, s_assessment_hooks hooks)
    : QMainWindow(parent), hooks_(std::move(hooks)),
      sweeper_(std::make_unique<assessment_sweeper>(this))
{
    setObjectName(QString::fromLatin1(CLASS_NAME));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    setWindowTitle(QString::fromLatin1(CAPTION));
    setMinimumSize(MIN_WIDTH, MIN_HEIGHT);

    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    auto* left = new QVBoxLayout;
    left->addWidget(build_unit(central));
    left->addWidget(build_plan(central), 1);
    columns->addLayout(left);
    auto* right = new QVBoxLayout;
    results_ = new assessment_results(central);
    right->addWidget(results_, 1);
    right->addWidget(build_report(central));
    columns->addLayout(right, 1);
    setCentralWidget(central);
    connect(results_, &assessment_results::compare_requested, this, &assessment_window::compare);
    connect(results_->archive_button(), &QPushButton::clicked, this,
            &assessment_window::pull_from_archive);
    results_->archive_button()->setEnabled(static_cast<bool>(hooks_.archive_pull));
    vector_group_changed();
    window_geometry_restore(this, GEOMETRY_NAME, minimumSize(),
                            parent ? parent->window() : nullptr);
    g_current = this;
}

assessment_window::~assessment_window()
{
    window_geometry_save(this, GEOMETRY_NAME);
    if (g_current == this)
        g_current = nullptr;
}

assessment_window* assessment_window::current()
{
    return g_current;
}

QWidget* assessment_window::build_unit(QWidget* parent)
{
    auto* group = new QGroupBox(QStringLiteral("Unit"), parent);
    group->setFixedWidth(LEFT_WIDTH);
    auto* form = new QFormLayout(group);
    vector_group_ = new QComboBox(group);
    vector_group_->setEditable(true);
    for (const char* g : COMMON_GROUPS)
        vector_group_->addItem(QString::fromLatin1(g));
    vector_group_->setCurrentIndex(0);
    tap_ = new QLineEdit(group);
    tap_->setMaxLength(20);
    session_ = new eliding_combo(group);
    auto* add = new QPushButton(QStringLiteral("New Session..."), group);
    auto* row = new QHBoxLayout;
    row->addWidget(session_, 1);
    row->addWidget(add);
    form->addRow(buddy_label("Vector group:", vector_group_, group), vector_group_);
    form->addRow(buddy_label("Tap position:", tap_, group), tap_);
    form->addRow(buddy_label("Session:", session_, group), row);
    connect(vector_group_, &QComboBox::currentTextChanged, this,
            &assessment_window::vector_group_changed);
    connect(tap_, &QLineEdit::textChanged, this,
            [this](const QString& tap) { unit_.tap = qt_to_ansi(tap.trimmed()); });
    connect(session_, &QComboBox::activated, this, &assessment_window::session_chosen);
    connect(add, &QPushButton::clicked, this, &assessment_window::new_session);
    return group;
}

QWidget* assessment_window::build_plan(QWidget* parent)
{
    auto* group = new QGroupBox(QStringLiteral("Test Plan"), parent);
    group->setFixedWidth(LEFT_WIDTH);
    auto* layout = new QVBoxLayout(group);
    plan_list_ = new QTreeWidget(group);
    plan_list_->setToolTip(QStringLiteral("Test Plan"));
    plan_list_->setRootIsDecorated(false);
    plan_list_->setHeaderLabels({"Measurement", "Winding", "State"});
    plan_list_->header()->setStretchLastSection(false);
    plan_list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(plan_list_, 1);
    connections_ = new QLabel(group);
    connections_->setToolTip(QStringLiteral("Connections"));
    connections_->setWordWrap(true);
    connections_->setMinimumHeight(4 * connections_->fontMetrics().lineSpacing());
    connections_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(connections_);
    drawing_ = new painted_view(group, "QXTarvelo2AssessmentTerminals",
                                QSize(TERMINALS_MIN_WIDTH, 2 * TERMINALS_ROW_HEIGHT));
    layout->addWidget(drawing_);
    sweep_ = new QPushButton(QStringLiteral("Sweep Step"), group);
    sweep_->setToolTip(QStringLiteral("An FRA sweep with the FRA mode's settings, stored in the "
                                      "unit's session as a test named after the step"));
    layout->addWidget(sweep_);
    connect(plan_list_, &QTreeWidget::currentItemChanged, this,
            [this] { show_step(selected_step()); });
    connect(sweep_, &QPushButton::clicked, this, &assessment_window::sweep_step);
    return group;
}

QWidget* assessment_window::build_report(QWidget* parent)
{
    auto* group = new QGroupBox(QStringLiteral("Report"), parent);
    auto* form = new QFormLayout(group);
    conclusion_ = new QPlainTextEdit(group);
    conclusion_->setFixedHeight(4 * conclusion_->fontMetrics().lineSpacing());
    conclusion_->setTabChangesFocus(true);
    assessed_by_ = new QLineEdit(group);
    assessed_by_->setMaxLength(70);
    write_ = new QPushButton(QStringLiteral("Write Report..."), group);
    form->addRow(buddy_label("Conclusion:", conclusion_, group), conclusion_);
    auto* row = new QHBoxLayout;
    row->addWidget(assessed_by_, 1);
    row->addWidget(write_);
    form->addRow(buddy_label("Assessed by:", assessed_by_, group), row);
    connect(write_, &QPushButton::clicked, this, &assessment_window::write_report);
    return group;
}

void assessment_window::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The sessions are read once the window stands on the screen.
    QTimer::singleShot(0, this, &assessment_window::read_sessions);
}

void assessment_window::vector_group_changed()
{
    std::string error;
    const std::optional<s_transformer> unit =
        transformer_parse(qt_to_ansi(vector_group_->currentText().trimmed()), error);
    unit_ = unit.value_or(s_transformer{});
    unit_.tap = qt_to_ansi(tap_->text().trimmed());
    plan_ = unit ? assessment_plan(*unit) : std::vector<s_plan_step>{};
    fill_plan();
    if (!unit)
        connections_->setText(qt_from_ansi(error));
}

void assessment_window::read_sessions()
{
    session_rows sessions;
    run_off_window("Reading the sessions\x85", [&](const std::atomic<bool>&) {
        return db_list_sessions(sessions, 0, true) == 0;
    });
    const qint64 chosen = session_->currentData().toLongLong();
    session_->clear();
    for (const s_session_choice& s : sessions.rows) {
        session_->addItem(qt_from_ansi(s.text), qint64(s.session_no));
        session_->setItemData(session_->count() - 1, qt_from_ansi(s.name), Qt::UserRole + 1);
    }
    session_->setCurrentIndex(session_->findData(chosen));
    results_->set_sessions(sessions.rows);
    session_chosen();
}

void assessment_window::new_session()
{
    s_session session;
    if (!session_details_new(this, session, session_store_in_database))
        return;
    // The database view lists it too.
    if (db_view_window* view = db_current_view()) {
        view->form().list_new_session(session.SessionNo);
        view->sync();
    }
    session_->addItem(qt_from_ansi(session.Name), qint64(session.SessionNo));
    session_->setCurrentIndex(session_->count() - 1);
    read_sessions();
}

std::string assessment_window::session_name() const
{
    return qt_to_ansi(session_->currentData(Qt::UserRole + 1).toString());
}

int64_t assessment_window::session_no() const
{
    return session_->currentIndex() < 0 ? 0 : session_->currentData().toLongLong();
}

void assessment_window::session_chosen()
{
    read_swept();
    fill_plan();
    results_->show_nothing(QStringLiteral("Choose the fingerprint (and a sister unit), or press "
                                          "Compare for the phases alone."));
}

void assessment_window::read_swept()
{
    test_names tests;
    if (const int64_t key = session_no(); key > 0)
        run_off_window("Reading the session's tests\x85", [&](const std::atomic<bool>&) {
            return db_list_tests(tests, key, true) == 0;
        });
    session_tests_ = std::move(tests.names);
}

void assessment_window::fill_plan()
{
    const int selected = selected_step();
    swept_ = assessment_swept(plan_, session_tests_);
    const QSignalBlocker quiet(plan_list_);
    plan_list_->clear();
    for (size_t i = 0; i < plan_.size(); ++i)
        plan_list_->addTopLevelItem(
            new QTreeWidgetItem({qt_from_ansi(plan_[i].name), qt_from_ansi(plan_[i].winding),
                                 swept_[i] ? QStringLiteral("swept") : QStringLiteral("not yet")}));
    assessment_fit_columns(plan_list_, 1, 3);
    const int next =
        selected >= 0 && selected < int(plan_.size()) ? selected : assessment_next_step(swept_, -1);
    if (!plan_.empty())
        plan_list_->setCurrentItem(plan_list_->topLevelItem(std::max(0, next)));
    show_step(selected_step());
}

int assessment_window::selected_step() const
{
    QTreeWidgetItem* item = plan_list_->currentItem();
    return item ? plan_list_->indexOfTopLevelItem(item) : -1;
}

void assessment_window::show_step(int index)
{
    sweep_->setEnabled(index >= 0);
    if (index < 0 || index >= int(plan_.size())) {
        drawing_->set_painter({});
        connections_->clear();
        return;
    }
    const s_plan_step& step = plan_[size_t(index)];
    connections_->setText(qt_from_ansi(plan_step_text(step)));
    drawing_->setMinimumHeight(TERMINALS_ROW_HEIGHT * int(unit_.windings.size()));
    drawing_->set_painter([unit = unit_, step](QPainter& p, const QRect& r) {
        assessment_paint_terminals(p, r, unit, step);
    });
}

void assessment_window::sweep_step()
{
    const int index = selected_step();
    if (index < 0)
        return;
    if (const char* why = sweep_refusal()) {
        ui_message_box(this, why, CAPTION, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const s_plan_step& step = plan_[size_t(index)];
    if (swept_[size_t(index)] &&
        ui_message_box(this,
                       "The session holds a test of \"" + step.name +
                           "\" already. Sweep it again and replace that test?",
                       CAPTION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    std::string description = "Vector group " + unit_.vector_group;
    if (!unit_.tap.empty())
        description += ", tap " + unit_.tap;
    if (!sweeper_->sweep({&step, session_no(), description, index + 1}))
        return;
    if (db_view_window* view = db_current_view())
        post_command(view, DB_CMD_REFRESH_TESTS);
    read_swept();
    swept_ = assessment_swept(plan_, session_tests_);
    const int next = assessment_next_step(swept_, index);
    if (next >= 0)
        plan_list_->setCurrentItem(plan_list_->topLevelItem(next));
    fill_plan();
}

const char* assessment_window::sweep_refusal()
{
    if (session_no() <= 0)
        return "Choose the unit's session, or make one with New Session..., first.";
    if (hooks_.instrument_busy && hooks_.instrument_busy())
        return "The instrument is busy in the main window. Stop its sweep or realtime readings "
               "first.";
    // The session may have gone from the database view meanwhile.
    s_session session;
    session.SessionNo = session_no();
    int rc = 0;
    run_off_window("Reading the session\x85", [&](const std::atomic<bool>&) {
        rc = db_get_session(session);
        return true;
    });
    if (rc != 0)
        return "The unit's session could not be read.";
    if (session.SessionNo != DB_NO_SUCH_ROW)
        return nullptr;
    read_sessions();
    return "The unit's session is no longer in the database. Choose it again.";
}

const char* assessment_window::not_comparable() const
{
    if (session_no() <= 0 || plan_.empty())
        return "Choose the unit's vector group and session first.";
    if (results_->fingerprint() == session_no() || results_->sister() == session_no())
        return "The fingerprint and the sister unit are other sessions than the unit's.";
    return nullptr;
}

void assessment_window::compare()
{
    if (const char* why = not_comparable()) {
        results_->show_nothing(QString::fromLatin1(why));
        return;
    }
    s_assessment_inputs inputs;
    int rc = 0;
    const exchange_outcome read =
        run_off_window("Comparing the tests\x85", [&](const std::atomic<bool>&) {
            rc = assessment_gather(unit_, session_no(), results_->fingerprint(), results_->sister(),
                                   inputs);
            return true;
        });
    if (read != exchange_outcome::done || rc != 0) {
        if (rc != 0)
            db_report_error_code(rc);
        results_->show_nothing(QStringLiteral("The tests could not be read."));
        return;
    }
    if (const char* gone =
            assessment_gone_session(inputs, results_->fingerprint(), results_->sister())) {
        results_->show_nothing(QString::fromLatin1(gone));
        read_sessions();
        return;
    }
    results_->show_inputs(inputs);
}

void assessment_window::pull_from_archive()
{
    hooks_.archive_pull(this);
    read_sessions();
}

void assessment_window::write_report()
{
    const char* why = not_comparable();
    if (!why && std::find(swept_.begin(), swept_.end(), true) == swept_.end())
        why = "The unit's session holds no test of the plan yet.";
    if (why) {
        ui_message_box(this, why, CAPTION, MB_OK | MB_ICONINFORMATION);
        return;
    }
    s_assessment_request request{unit_,
                                 session_no(),
                                 results_->fingerprint(),
                                 results_->sister(),
                                 session_name(),
                                 {conclusion_->toPlainText(), assessed_by_->text()}};
    assessment_write_report(this, request);
}

void assessment_window_open(QWidget* owner, const s_assessment_hooks& hooks)
{
    assessment_window* window = assessment_window::current();
    if (!window)
        window = new assessment_window(owner, hooks);
    else
        window->read_sessions(); // another database may be open now
    window->show();
    window->raise();
    window->activateWindow();
}
