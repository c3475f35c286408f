// The journey harness: the program, the simulator and the user's hands.

#include "tests/journeys/journey.h"

#include "app/ui/app_startup.h"
#include "base/timer_service.h"
#include "base/ui/off_window_dialog.h"
#include "link/discovery.h"
#include "link/link.h"
#include "tests/journeys/loop_probe.h"
#include "tests/support/build_path.h"
#include "tests/support/chart_read.h"
#include "tests/support/pdf_tools.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <climits>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr int FRA_WINDOW_SWEEP = 14507;

// The progress dialog of an instrument exchange is the open modal dialog
// (a box the exchange asks is not).
bool exchange_on_top()
{
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->property("exchange").toBool();
}

// Runs f on the window thread and returns its result; the caller waits.
template <class F> auto on_window_thread(F&& f)
{
    using result = decltype(f());
    if constexpr (std::is_void_v<result>) {
        QMetaObject::invokeMethod(qApp, std::forward<F>(f), Qt::BlockingQueuedConnection);
    } else {
        result r{};
        QMetaObject::invokeMethod(
            qApp, [&] { r = f(); }, Qt::BlockingQueuedConnection);
        return r;
    }
}

// Runs f on the window thread later: an action that may open a modal dialog
// must not keep the steps waiting for it to close.
template <class F> void post_to_window_thread(F&& f)
{
    QMetaObject::invokeMethod(qApp, std::forward<F>(f), Qt::QueuedConnection);
}

QString plain(QString text)
{
    return text.remove(QLatin1Char('&')).trimmed();
}

// What a user can reach: the open modal dialog, or else every window shown.
std::vector<QWidget*> reachable_widgets()
{
    std::vector<QWidget*> out;
    QWidget* modal = QApplication::activeModalWidget();
    const QWidgetList roots = modal ? QWidgetList{modal} : QApplication::topLevelWidgets();
    for (QWidget* root : roots) {
        if (!root->isVisible())
            continue;
        out.push_back(root);
        for (QWidget* w : root->findChildren<QWidget*>())
            if (w->isVisible())
                out.push_back(w);
    }
    return out;
}

bool names(QWidget* w, const QString& wanted)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && plain(b->text()) == wanted)
        return true;
    if (!w->toolTip().isEmpty() && plain(w->toolTip()) == wanted)
        return true;
    bool number = false;
    const int id = wanted.toInt(&number);
    return number && w->property("control_id").isValid() && w->property("control_id").toInt() == id;
}

bool is_input(QWidget* w)
{
    return qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w);
}

// The input on the label's row: the nearest one to its right.
QWidget* input_beside(QLabel* label)
{
    if (label->buddy())
        return label->buddy();
    const QRect at = label->geometry();
    QWidget* best = nullptr;
    for (QWidget* w : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!w->isVisible() || !is_input(w) || w->geometry().left() < at.right() ||
            std::abs(w->geometry().center().y() - at.center().y()) > at.height())
            continue;
        if (!best || w->geometry().left() < best->geometry().left())
            best = w;
    }
    return best;
}

// Where a user clicks a control: a check box or radio button on its
// indicator (a wide one takes no click beyond its text), others mid-way.
QPoint click_point(QWidget* w)
{
    const bool check = qobject_cast<QCheckBox*>(w) != nullptr;
    if (!check && !qobject_cast<QRadioButton*>(w))
        return w->rect().center();
    QStyleOptionButton option;
    option.initFrom(w);
    return w->style()
        ->subElementRect(check ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator,
                         &option, w)
        .center();
}

// A click with the left button; the window clicked into becomes the active one.
void press(QWidget* w, QPoint at = {})
{
    w->window()->activateWindow();
    QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? click_point(w) : at);
}

std::string shots_folder()
{
    const char* test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return std::string(JOURNEY_SHOTS) + "/" + test;
}

// The window may stand still this long before the journey counts it frozen.
constexpr int64_t FREEZE_MS = 1000;

void report_gap(int64_t gap_ms)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::printf("event-loop gap\t%s.%s\t%lld\n", test->test_suite_name(), test->name(),
                static_cast<long long>(gap_ms));
    std::fflush(stdout);
    EXPECT_LT(gap_ms, FREEZE_MS) << "the window stood still for " << gap_ms << " ms";
}

} // namespace

// Shows message boxes as the program does and records them; everything else
// goes to the scripted seam.
class live_boxes : public ui_backend {
public:
    int message_box(ui_owner owner, const std::string& text, const std::string& caption,
                    unsigned style) override
    {
        size_t at = 0;
        {
            std::lock_guard lock(mutex_);
            at = shown_.size();
            shown_.push_back({text, caption, style, 0}); // listed while it is open
        }
        const int answer = shown_live_.message_box(owner, text, caption, style);
        std::lock_guard lock(mutex_);
        shown_[at].answer = answer;
        return answer;
    }
    void set_wait_cursor(bool on) override { test_ui().set_wait_cursor(on); }
    bool choose_file(ui_owner owner, const ui_file_request& request,
                     ui_file_choice& choice) override
    {
        return test_ui().choose_file(owner, request, choice);
    }
    std::vector<ui_shown_box> shown() const
    {
        std::lock_guard lock(mutex_);
        return shown_;
    }

private:
    qt_ui_backend shown_live_; // made on the window thread, where it shows its boxes
    mutable std::mutex mutex_;
    std::vector<ui_shown_box> shown_;
};

journey::journey() : dir_("tarvelo_journey")
{
    ensure_qt_app();
    test_ui().clear();
}

journey::~journey()
{
    window_.reset();
    ui_set_backend(&test_ui());
    live_.reset();
    timer_set_speed(1);
    link_set_tcp_port(LINK_DEFAULT_TCP_PORT);
}

void journey::run(const std::string& model, const std::function<void()>& steps,
                  std::vector<std::string> sim_options)
{
    start_instrument(model, sim_options);
    ASSERT_GT(sim_->tcp_port(), 0) << "the simulator did not start";
    discovery_set_target("127.255.255.255");
    g_link = s_link{}; // as a fresh process has it: no instrument identified yet

    const std::string data_root = (dir_ / "data").string();
    prepare_test_settings(data_root);
    const s_app_paths paths = app_paths(data_root);
    profile_write(paths.settings_file, "Connect", "Interface", "2");
    profile_write(paths.settings_file, "Connect", "IPAddr", "127.0.0.1");
    window_ = app_start(data_root, dir_.str());
    pump();

    fs::remove_all(shots_folder());
    probe_ = std::make_unique<loop_probe>();
    QEventLoop loop;
    std::thread script([&] {
        try {
            steps();
        } catch (const journey_stopped&) {
        }
        // Dialogs left open end with the journey, so the loop can return. A
        // dialog may close only after its work has seen the cancel: the loop
        // runs between tries, for up to a minute on a busy machine.
        for (int tries = 0; tries < 600; ++tries) {
            const bool open = on_window_thread([] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (dialog)
                    dialog->reject();
                return dialog != nullptr;
            });
            if (!open)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    script.join();
    pump();
    report_gap(probe_->longest());
}

std::vector<ui_shown_box> journey::boxes() const
{
    std::vector<ui_shown_box> all = test_ui().shown();
    if (live_)
        for (const ui_shown_box& box : live_->shown())
            all.push_back(box);
    return all;
}

void journey::show_boxes_live()
{
    on_window_thread([this] {
        live_ = std::make_unique<live_boxes>();
        ui_set_backend(live_.get());
    });
}

void journey::start_instrument(const std::string& model, const std::vector<std::string>& options)
{
    std::vector<std::string> args{
        "--tcp",        "127.0.0.1:0", "--model", model,
        "--time-scale", "0",           "--log",   (dir_ / "instrument.log").string()};
    args.insert(args.end(), options.begin(), options.end());
    sim_ = std::make_unique<sim_process>(args);
    link_set_tcp_port(sim_->tcp_port());
}

void journey::restart_instrument(const std::string& model, const std::vector<std::string>& options)
{
    sim_.reset();
    start_instrument(model, options);
}

void journey::stop_instrument()
{
    sim_.reset();
}

void journey::stop(const std::string& why)
{
    ADD_FAILURE() << why;
    screenshot("failed");
    throw journey_stopped{};
}

QWidget* journey::find_control(const std::string& text_or_tip, bool must_be_usable)
{
    await_window_free();
    const QString wanted = QString::fromStdString(text_or_tip);
    const auto look_for = [&] {
        return on_window_thread([&]() -> QWidget* {
            for (QWidget* w : reachable_widgets())
                if (names(w, wanted))
                    return w;
            return nullptr;
        });
    };
    QWidget* found = look_for();
    // An exchange the last step started (the configuration read after a
    // connection) may put its busy window on top a moment later: a user
    // waits for it to go before looking for the control again.
    if (!found && must_be_usable && !watch_exchanges_) {
        wait_for([] { return !on_window_thread(exchange_on_top); }, 60000);
        await_window_free();
        found = look_for();
    }
    if (!must_be_usable)
        return found;
    if (!found)
        stop("no control \"" + text_or_tip + "\" is shown");
    if (!on_window_thread([found] { return found->isEnabled(); }))
        stop("\"" + text_or_tip + "\" is greyed");
    return found;
}

QWidget* journey::find_field(const std::string& label)
{
    await_window_free();
    const QString wanted = QString::fromStdString(label);
    QWidget* field = on_window_thread([&]() -> QWidget* {
        for (QWidget* w : reachable_widgets()) {
            auto* l = qobject_cast<QLabel*>(w);
            if (l && plain(l->text()).remove(QRegularExpression(QStringLiteral(":$"))) == wanted)
                return input_beside(l);
        }
        return nullptr;
    });
    if (!field)
        stop("no field labelled \"" + label + "\" is shown");
    return field;
}

void journey::click(const std::string& text_or_tip)
{
    QWidget* w = find_control(text_or_tip, true);
    post_to_window_thread([w] { press(w); });
    settle();
}

void journey::click_id(int control_id)
{
    click(std::to_string(control_id));
}

void journey::menu(const std::vector<std::string>& path, const std::string& window_title)
{
    QAction* chosen = on_window_thread([&]() -> QAction* {
        QMainWindow* window = window_.get();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!window_title.empty() && w->isVisible() &&
                w->windowTitle() == QString::fromStdString(window_title))
                window = qobject_cast<QMainWindow*>(w);
        if (!window)
            return nullptr;
        QList<QAction*> actions = window->menuBar()->actions();
        QAction* at = nullptr;
        for (const std::string& step : path) {
            at = nullptr;
            for (QAction* a : actions)
                if (plain(a->text()) == QString::fromStdString(step) && a->isVisible())
                    at = a;
            if (!at || !at->isEnabled())
                return nullptr;
            actions = at->menu() ? at->menu()->actions() : QList<QAction*>{};
        }
        return at;
    });
    std::string named;
    for (const std::string& step : path)
        named += (named.empty() ? "" : " > ") + step;
    if (!chosen)
        stop("the menu has no usable item " + named);
    post_to_window_thread([chosen] { chosen->trigger(); });
    settle();
}

void journey::click_row(const std::string& list, const std::string& row)
{
    auto* tree = qobject_cast<QTreeWidget*>(find_control(list, true));
    if (!tree)
        stop("no list \"" + list + "\" is shown");
    const QRect at = on_window_thread([&] {
        const auto items = tree->findItems(QString::fromStdString(row), Qt::MatchExactly);
        return items.isEmpty() ? QRect() : tree->visualItemRect(items.front());
    });
    if (at.isEmpty())
        stop("the list \"" + list + "\" has no row \"" + row + "\"");
    post_to_window_thread(
        [tree, at] { QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at.center()); });
    settle();
}

void journey::click_field(const std::string& label)
{
    QWidget* field = find_field(label);
    if (!on_window_thread([field] { return field->isEnabled(); }))
        stop("the field \"" + label + "\" is greyed");
    post_to_window_thread([field] { press(field); });
    settle();
}

void journey::type(const std::string& text)
{
    // One key at a time, each handled before the next, as a user types.
    for (const char c : text) {
        QWidget* focus = on_window_thread([] {
            QWidget* w = QApplication::focusWidget();
            return w && w->isVisible() && w->isEnabled() ? w : nullptr;
        });
        if (!focus)
            stop("no field has the focus to type \"" + text + "\" into");
        post_to_window_thread([focus, c] { QTest::keyClick(focus, c); });
        settle();
    }
}

void journey::key(int qt_key, int modifiers)
{
    const bool pressed = on_window_thread([&] {
        QWidget* focus = QApplication::focusWidget();
        if (!focus)
            return false;
        post_to_window_thread([focus, qt_key, modifiers] {
            QTest::keyClick(focus, static_cast<Qt::Key>(qt_key),
                            static_cast<Qt::KeyboardModifiers>(modifiers));
        });
        return true;
    });
    if (!pressed)
        stop("no control has the focus for a key");
    settle();
}

void journey::choose(const std::string& label, const std::string& item)
{
    auto* combo = qobject_cast<QComboBox*>(find_field(label));
    if (!combo || !on_window_thread([combo] { return combo->isEnabled(); }))
        stop("no usable drop-down list \"" + label + "\"");
    post_to_window_thread([combo] { press(combo); });
    settle();
    // In the open list the user moves to the item with the arrow keys.
    const int moves = on_window_thread([&] {
        const int row = combo->findText(QString::fromStdString(item));
        return row < 0 || !combo->view()->isVisible() ? INT_MIN : row - combo->currentIndex();
    });
    if (moves == INT_MIN)
        stop("the list \"" + label + "\" shows no item \"" + item + "\"");
    for (int i = 0; i < std::abs(moves); ++i) {
        post_to_window_thread([combo, moves] {
            QTest::keyClick(combo->view(), moves < 0 ? Qt::Key_Up : Qt::Key_Down);
        });
        settle();
    }
    post_to_window_thread([combo] { QTest::keyClick(combo->view(), Qt::Key_Return); });
    settle();
}

void journey::connect_to_instrument()
{
    menu({"Configure", "Connection..."});
    await_dialog("Connect");
    click("Connect");
    await_dialog("");
}

void journey::fill_new_session(const std::string& contract)
{
    type(contract);
    for (const char* field : {"Unit", "Location", "Performed By"}) {
        click_field(field);
        type(std::string(field) == "Unit" ? "U1" : "Bench");
    }
    click("Create Session");
}

std::string journey::status(const char* name)
{
    std::string text;
    look([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<QMainWindow*>(w))
                if (auto* label = m->findChild<QLabel*>(QString::fromLatin1(name)))
                    text = label->text().toStdString();
    });
    return text;
}

std::string journey::main_title()
{
    std::string text;
    look([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("QXTarvelo2WClass"))
                text = w->windowTitle().toStdString();
    });
    return text;
}

void journey::fill_sweep_details(const std::string& session, const std::string& test,
                                 const std::string& winding)
{
    click_id(FRA_WINDOW_SWEEP);
    await_dialog("Test Details");
    if (!checked("Save Sweep to Database"))
        click("Save Sweep to Database");
    click("New Session");
    await_dialog("Add Session");
    fill_new_session(session);
    await_dialog("Test Details");
    click_field("Test Name");
    type(test);
    click_field("Winding");
    type(winding);
}

bool journey::enabled(const std::string& text_or_tip)
{
    QWidget* w = find_control(text_or_tip, false);
    return w && on_window_thread([w] { return w->isEnabled(); });
}

bool journey::shown(const std::string& text_or_tip)
{
    return find_control(text_or_tip, false) != nullptr;
}

bool journey::checked(const std::string& text_or_tip)
{
    auto* b = qobject_cast<QAbstractButton*>(find_control(text_or_tip, false));
    return b && on_window_thread([b] { return b->isChecked(); });
}

std::string journey::field_text(const std::string& label)
{
    QWidget* field = find_field(label);
    return on_window_thread([field] {
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            return edit->text().toStdString();
        return static_cast<QComboBox*>(field)->currentText().toStdString();
    });
}

std::vector<std::string> journey::list_rows(const std::string& list)
{
    auto* tree = qobject_cast<QTreeWidget*>(find_control(list, false));
    if (!tree)
        stop("no list \"" + list + "\" is shown");
    return on_window_thread([tree] {
        std::vector<std::string> rows;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            rows.push_back(tree->topLevelItem(i)->text(0).toStdString());
        return rows;
    });
}

std::vector<std::vector<std::string>> journey::list_cells(const std::string& list)
{
    auto* tree = qobject_cast<QTreeWidget*>(find_control(list, false));
    if (!tree)
        stop("no list \"" + list + "\" is shown");
    return on_window_thread([tree] {
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            rows.emplace_back();
            for (int c = 0; c < tree->columnCount(); ++c)
                rows.back().push_back(tree->topLevelItem(i)->text(c).toStdString());
        }
        return rows;
    });
}

std::string journey::text_of(const std::string& text_or_tip)
{
    QWidget* w = find_control(text_or_tip, false);
    if (!w)
        stop("no control \"" + text_or_tip + "\" is shown");
    return on_window_thread([w] {
        if (auto* label = qobject_cast<QLabel*>(w))
            return label->text().toStdString();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            return plain(button->text()).toStdString();
        return std::string();
    });
}

std::vector<s_chart_text> journey::painted_during(const std::function<void()>& action)
{
    std::vector<s_chart_text> texts;
    on_window_thread([&] { chart_record_texts(&texts); });
    action();
    on_window_thread([] { chart_record_texts(nullptr); });
    return texts;
}

QWidget* journey::find_named(const std::string& class_name)
{
    const QString wanted = QString::fromStdString(class_name);
    QWidget* w = on_window_thread([&]() -> QWidget* {
        for (QWidget* c : reachable_widgets())
            if (c->objectName() == wanted)
                return c;
        return nullptr;
    });
    if (!w)
        stop("no " + class_name + " is shown");
    return w;
}

std::vector<std::string> journey::unreadable_texts(const std::string& class_name)
{
    QWidget* w = find_named(class_name);
    return on_window_thread([this, w] {
        probe_->pause();
        std::vector<std::string> faults = chart_read_faults([w] { return w->grab().toImage(); });
        probe_->resume();
        return faults;
    });
}

std::pair<int, int> journey::size_of(const std::string& class_name)
{
    QWidget* w = find_named(class_name);
    return on_window_thread([w] { return std::pair(w->width(), w->height()); });
}

std::vector<s_chart_text> journey::painted_texts(const std::string& class_name)
{
    QWidget* w = find_named(class_name);
    return on_window_thread([this, w] {
        std::vector<s_chart_text> texts;
        probe_->pause();
        chart_record_texts(&texts);
        w->grab();
        chart_record_texts(nullptr);
        probe_->resume();
        return texts;
    });
}

std::string journey::modal_title()
{
    return on_window_thread([] {
        QWidget* modal = QApplication::activeModalWidget();
        return modal ? modal->windowTitle().toStdString() : std::string();
    });
}

void journey::await_dialog(const std::string& title)
{
    const QString wanted = QString::fromStdString(title);
    const bool open = wait_for([&] {
        return on_window_thread([&] {
            QWidget* modal = QApplication::activeModalWidget();
            return modal ? modal->windowTitle() == wanted : wanted.isEmpty();
        });
    });
    if (!open)
        stop(title.empty() ? "a dialog stays open" : "the dialog \"" + title + "\" is not open");
}

void journey::await_window(const std::string& title)
{
    const QString wanted = QString::fromStdString(title);
    const bool shown = wait_for([&] {
        return on_window_thread([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->windowTitle() == wanted)
                    return true;
            return false;
        });
    });
    if (!shown)
        stop("no window \"" + title + "\" is shown");
}

std::vector<QWidget*> journey::reachable()
{
    return reachable_widgets();
}

void journey::look(const std::function<void()>& f)
{
    on_window_thread(f);
}

void journey::act(const std::function<void()>& f)
{
    post_to_window_thread(f);
    settle();
}

bool journey::wait_for(const std::function<bool()>& cond, int ms)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void journey::settle()
{
    // Each empty call returns once everything posted before it has run (or
    // a modal dialog's own loop runs it); commands a handler posts come next.
    for (int i = 0; i < 10; ++i) {
        on_window_thread([] {});
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // An instrument exchange runs on a worker behind its progress dialog:
    // the next step meets what it left behind, unless the journey watches it.
    if (!watch_exchanges_)
        wait_for([] { return !on_window_thread(exchange_on_top); }, 60000);
    await_window_free();
}

// Work moved off the window thread (a store, a deletion, a workbook) holds
// the user's clicks back: a step looks once it has ended, as a user would.
void journey::await_window_free()
{
    wait_for([] { return !on_window_thread(off_window_busy); }, 60000);
}

int64_t journey::longest_gap_in_a_second()
{
    look([this] { probe_->mark(); });
    int64_t watched = 0, gap = 0;
    wait_for([&] {
        look([&] {
            watched = probe_->since_mark_ms();
            gap = probe_->longest_since_mark();
        });
        return watched >= 1000;
    });
    return gap;
}

void journey::watch_exchanges(bool watch)
{
    watch_exchanges_ = watch;
}

void journey::timers_faster(int factor)
{
    timer_set_speed(factor);
}

void journey::screenshot(const std::string& step)
{
    const std::string folder = shots_folder();
    fs::create_directories(folder);
    const std::vector<std::string> written = on_window_thread([&] {
        if (probe_)
            probe_->pause();
        std::vector<std::string> paths;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || !w->isWindow())
                continue;
            // The main window's picture is the step's; another window's adds its title.
            QString title = w == window_.get() ? QString() : QStringLiteral("_") + w->windowTitle();
            title.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
            const std::string path = folder + "/" + step + title.toStdString() + ".png";
            if (w->grab().save(QString::fromStdString(path)))
                paths.push_back(path);
        }
        if (probe_)
            probe_->resume();
        return paths;
    });
    for (const std::string& path : written)
        std::printf("screenshot %s\n", path.c_str());
}

void journey::page_picture(const std::string& pdf, int page, const std::string& step)
{
    const std::string folder = shots_folder();
    fs::create_directories(folder);
    const std::string png = folder + "/" + step + ".png";
    EXPECT_TRUE(pdf_page_png(pdf, page, 80, png)) << pdf;
    std::printf("screenshot %s\n", png.c_str());
}

std::vector<std::string> journey::instrument_log() const
{
    std::vector<std::string> lines;
    std::ifstream log(dir_ / "instrument.log");
    std::string line;
    while (std::getline(log, line))
        lines.push_back(line);
    return lines;
}

std::vector<std::string> journey::instrument_received() const
{
    std::vector<std::string> lines;
    std::ifstream log(dir_ / "instrument.log");
    std::string line;
    while (std::getline(log, line)) {
        const size_t at = line.find(" > ");
        if (at != std::string::npos)
            lines.push_back(line.substr(at + 3));
    }
    return lines;
}
