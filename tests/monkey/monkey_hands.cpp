// Random clicks, keys, typed text and menu choices on what a user can reach.

#include "tests/monkey/monkey_hands.h"

#include "tests/journeys/journey.h"
#include "tests/monkey/monkey_watch.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QtTest/QTest>
#include <random>

namespace {

using rng = std::mt19937_64;

size_t pick(rng& r, size_t n)
{
    return n ? r() % n : 0;
}

QString plain(QString text)
{
    return text.remove(QLatin1Char('&')).simplified();
}

// What the report calls a widget: its class, its text and its window.
std::string describe(QWidget* w)
{
    QString name;
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        name = plain(b->text());
    else if (auto* c = qobject_cast<QComboBox*>(w))
        name = plain(c->currentText());
    if (name.isEmpty() && !w->toolTip().isEmpty())
        name = plain(w->toolTip());
    if (name.isEmpty() && w->property("control_id").isValid())
        name = QStringLiteral("#") + w->property("control_id").toString();
    if (name.isEmpty())
        name = w->objectName();
    return std::string(w->metaObject()->className()) + " \"" + name.left(40).toStdString() +
           "\" in \"" + plain(w->window()->windowTitle()).toStdString() + "\"";
}

bool has_shown_children(QWidget* w)
{
    for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible())
            return true;
    return false;
}

// Screen picking grabs the pointer until a click outside the program.
bool picks_screen(QWidget* w)
{
    auto* b = qobject_cast<QAbstractButton*>(w);
    return b && plain(b->text()).contains(QStringLiteral("Screen"), Qt::CaseInsensitive) &&
           qobject_cast<QDialog*>(w->window()) && w->window()->inherits("QColorDialog");
}

bool clickable(QWidget* w)
{
    if (!w->isEnabled() || picks_screen(w))
        return false;
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
        qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w))
        return true;
    if (auto* view = qobject_cast<QAbstractItemView*>(w->parentWidget()))
        return view->viewport() == w;
    if (auto* box = qobject_cast<QGroupBox*>(w))
        return box->isCheckable();
    return !has_shown_children(w) && !qobject_cast<QLabel*>(w) && !qobject_cast<QProgressBar*>(w) &&
           !qobject_cast<QMenuBar*>(w) && !w->isWindow();
}

bool editable(QWidget* w)
{
    if (!w->isEnabled())
        return false;
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return !e->isReadOnly();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->isEditable();
    return qobject_cast<QAbstractSpinBox*>(w) != nullptr;
}

std::vector<QWidget*> reachable_where(bool (*keep)(QWidget*))
{
    std::vector<QWidget*> out;
    for (QWidget* w : journey::reachable())
        if (keep(w))
            out.push_back(w);
    return out;
}

enum class press_kind { once, twice, right };

void press(QWidget* w, QPoint at, press_kind kind = press_kind::once)
{
    w->window()->activateWindow();
    if (kind == press_kind::twice) {
        QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    } else if (kind == press_kind::right) {
        // The right button, and the context menu request that follows it.
        QPointer<QWidget> target = w;
        QTest::mouseClick(w, Qt::RightButton, {}, at);
        if (!target)
            return;
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, w->mapToGlobal(at));
        QApplication::sendEvent(w, &menu);
    } else {
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
    }
}

// The machine's own serial ports, which a port list offers, are not the
// monkey's to open: they leave the list before any action.
void keep_off_machine_ports()
{
    for (QWidget* w : journey::reachable()) {
        auto* combo = qobject_cast<QComboBox*>(w);
        for (int i = combo ? combo->count() - 1 : -1; i >= 0; --i)
            if (combo->itemText(i).startsWith(QStringLiteral("/dev/")))
                combo->removeItem(i);
    }
}

// Before each action: a popup (an open combo list or menu) goes away as it
// would on a click elsewhere.
void tidy_before_action()
{
    keep_off_machine_ports();
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

// The folder chooser of the comms log is the program's own dialog, not the
// seam's: it is answered with the test folder or cancelled, never browsed.
bool answer_folder_chooser(rng& r, const std::string& folder)
{
    auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!chooser)
        return false;
    if (pick(r, 2) == 0) {
        watch_action("folder chooser -> Cancel");
        chooser->reject();
        return true;
    }
    watch_action("folder chooser -> " + folder);
    chooser->setDirectory(QString::fromStdString(folder));
    static_cast<QDialog*>(chooser)->accept(); // as the Choose button does
    if (chooser->isVisible())
        chooser->reject();
    return true;
}

void collect_actions(const QList<QAction*>& actions, const QString& path,
                     std::vector<std::pair<QAction*, std::string>>& out);

// A menu that a button opened takes the click on one of its items.
bool choose_in_popup_menu(rng& r)
{
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    std::vector<std::pair<QAction*, std::string>> items;
    if (popup)
        collect_actions(popup->actions(), plain(popup->title()), items);
    if (items.empty())
        return false;
    const auto& [action, named] = items[pick(r, items.size())];
    watch_action("menu item " + named);
    // As the keys choose it, so a menu run with exec() returns it too.
    popup->setActiveAction(action);
    QTest::keyClick(popup, Qt::Key_Return);
    return true;
}

void click(rng r, const std::string& folder)
{
    if (answer_folder_chooser(r, folder) || choose_in_popup_menu(r))
        return;
    tidy_before_action();
    const std::vector<QWidget*> targets = reachable_where(clickable);
    if (targets.empty()) {
        watch_action("click: nothing to click");
        return;
    }
    QWidget* w = targets[pick(r, targets.size())];
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable()) {
        // A choice by keys, which the program hears as the user's choice.
        const bool down = pick(r, 2);
        const int steps = 1 + static_cast<int>(pick(r, 3));
        watch_action("choose " + std::string(down ? "down " : "up ") + std::to_string(steps) +
                     " in " + describe(w));
        w->setFocus();
        for (int i = 0; i < steps; ++i)
            QTest::keyClick(w, down ? Qt::Key_Down : Qt::Key_Up);
        return;
    }
    const QPoint at(static_cast<int>(pick(r, std::max(1, w->width()))),
                    static_cast<int>(pick(r, std::max(1, w->height()))));
    static const char* const kind_names[] = {"click ", "double-click ", "right-click "};
    const size_t kind = pick(r, 10) < 8 ? 0 : 1 + pick(r, 2);
    watch_action(kind_names[kind] + describe(w) + " at " + std::to_string(at.x()) + "," +
                 std::to_string(at.y()));
    press(w, at, static_cast<press_kind>(kind));
}

struct s_key {
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
};
const s_key keys[] = {
    {Qt::Key_Escape, {}, "Escape"},
    {Qt::Key_Return, {}, "Return"},
    {Qt::Key_Space, {}, "Space"},
    {Qt::Key_Tab, {}, "Tab"},
    {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"},
    {Qt::Key_Up, {}, "Up"},
    {Qt::Key_Down, {}, "Down"},
    {Qt::Key_Left, {}, "Left"},
    {Qt::Key_Right, {}, "Right"},
    {Qt::Key_PageDown, {}, "PageDown"},
    {Qt::Key_Home, {}, "Home"},
    {Qt::Key_End, {}, "End"},
    {Qt::Key_Delete, {}, "Delete"},
    {Qt::Key_Backspace, {}, "Backspace"},
    {Qt::Key_A, Qt::ControlModifier, "Ctrl+A"},
    {Qt::Key_C, Qt::ControlModifier, "Ctrl+C"},
    {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
    {Qt::Key_Question, Qt::AltModifier, "Alt+?"},
};

QWidget* key_target()
{
    if (QWidget* w = QApplication::focusWidget())
        return w;
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            return w;
    return nullptr;
}

void key(rng r, const std::string& folder)
{
    if (answer_folder_chooser(r, folder))
        return;
    tidy_before_action();
    QWidget* target = key_target();
    if (!target) {
        watch_action("key: no window has the focus");
        return;
    }
    // In a dialog, Escape comes often: users leave dialogs.
    const bool leave = QApplication::activeModalWidget() && pick(r, 3) == 0;
    const s_key& k = leave ? keys[0] : keys[pick(r, std::size(keys))];
    watch_action(std::string("key ") + k.name + " on " + describe(target));
    QTest::keyClick(target, static_cast<Qt::Key>(k.key), k.modifiers);
}

void collect_actions(const QList<QAction*>& actions, const QString& path,
                     std::vector<std::pair<QAction*, std::string>>& out)
{
    for (QAction* a : actions) {
        // Quit would end the run the monkey is making.
        if (a->isSeparator() || !a->isVisible() || !a->isEnabled() ||
            a->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_Q))
            continue;
        const QString named = path + (path.isEmpty() ? "" : " > ") + plain(a->text());
        if (a->menu())
            collect_actions(a->menu()->actions(), named, out);
        else
            out.emplace_back(a, named.toStdString());
    }
}

void menu(rng r, const std::string& folder)
{
    if (QApplication::activeModalWidget()) {
        click(r, folder); // the menus are out of reach behind a dialog
        return;
    }
    tidy_before_action();
    std::vector<std::pair<QAction*, std::string>> items;
    for (QWidget* w : journey::reachable())
        if (auto* bar = qobject_cast<QMenuBar*>(w))
            collect_actions(bar->actions(), "", items);
    if (items.empty()) {
        watch_action("menu: no usable item");
        return;
    }
    const auto& [action, named] = items[pick(r, items.size())];
    watch_action("menu " + named);
    action->trigger();
}

const char* const texts[] = {
    "0",
    "1",
    "5",
    "50",
    "100",
    "1000",
    "5000",
    "-1",
    "-3.5",
    "2.0000E2",
    "1e9",
    "1k",
    "0.001",
    "abc",
    "1,5",
    "12:30",
    "99999999999999999999",
    "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
    " ",
    "%s%n",
};

QWidget* reachable_id(int id)
{
    for (QWidget* w : journey::reachable())
        if (w->property("control_id").isValid() && w->property("control_id").toInt() == id)
            return w;
    return nullptr;
}

bool in_connect_dialog()
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->windowTitle() == QStringLiteral("Connect");
}

// The steps of a deliberate connection to the simulator on loopback.
void open_connect_dialog()
{
    tidy_before_action();
    if (QApplication::activeModalWidget()) {
        watch_action("connect: a dialog is open");
        return;
    }
    std::vector<std::pair<QAction*, std::string>> items;
    for (QWidget* w : journey::reachable())
        if (auto* bar = qobject_cast<QMenuBar*>(w))
            collect_actions(bar->actions(), "", items);
    for (const auto& [action, named] : items)
        if (named == "Configure > Connection...") {
            watch_action("connect: menu " + named);
            action->trigger();
            return;
        }
    watch_action("connect: the menu has no usable Connection...");
}

void choose_lan_on_loopback()
{
    tidy_before_action();
    QWidget* interface = reachable_id(113);
    if (!in_connect_dialog() || !interface)
        return;
    watch_action("connect: LAN at 127.0.0.1");
    interface->setFocus();
    QTest::keyClick(interface, Qt::Key_Home);
    QTest::keyClick(interface, Qt::Key_Down);
    if (QWidget* address = reachable_id(117)) {
        press(address, address->rect().center());
        QTest::keyClick(address, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(address, QStringLiteral("127.0.0.1"));
    }
}

void press_connect()
{
    tidy_before_action();
    QWidget* button = reachable_id(112);
    if (!in_connect_dialog() || !button || !button->isEnabled())
        return;
    watch_action("connect: Connect");
    press(button, button->rect().center());
}

// A step of a deliberate sweep: the button of that text, when it is usable.
void press_named(const QString& text)
{
    tidy_before_action();
    for (QWidget* w : journey::reachable()) {
        auto* b = qobject_cast<QAbstractButton*>(w);
        if (b && b->isEnabled() && plain(b->text()) == text) {
            watch_action("sweep: " + text.toStdString());
            press(b, b->rect().center());
            return;
        }
    }
}

} // namespace

bool monkey_dialog_open()
{
    return QApplication::activeModalWidget() != nullptr;
}

monkey_hands::monkey_hands(std::string folder, poster act)
    : folder_(std::move(folder)), act_(std::move(act))
{
}

void monkey_hands::act(monkey_action action, uint64_t draw)
{
    const std::string folder = folder_;
    switch (action) {
    case monkey_action::click: act_([draw, folder] { click(rng(draw), folder); }); break;
    case monkey_action::key: act_([draw, folder] { key(rng(draw), folder); }); break;
    case monkey_action::menu: act_([draw, folder] { menu(rng(draw), folder); }); break;
    case monkey_action::type: type(draw); break;
    case monkey_action::sweep:
        for (const char* text : {"MEASURE", "SWEEP", "Start Sweep"})
            act_([text] { press_named(QString::fromLatin1(text)); });
        break;
    case monkey_action::connect:
        for (void (*step)() : {open_connect_dialog, choose_lan_on_loopback, press_connect})
            act_(step);
        break;
    default: break;
    }
}

// A field clicked (or the one that has the focus), perhaps cleared, then
// text typed into it a key at a time, perhaps ended with Return.
void monkey_hands::type(uint64_t draw)
{
    rng r(draw);
    const std::string text = texts[pick(r, std::size(texts))];
    const bool clear = pick(r, 2), enter = pick(r, 3) == 0;
    act_([this, choice = r(), text, clear, enter, folder = folder_] {
        rng r(choice);
        field_ = nullptr;
        if (answer_folder_chooser(r, folder))
            return;
        tidy_before_action();
        QWidget* focus = QApplication::focusWidget();
        const bool in_focus = focus && editable(focus) && pick(r, 2);
        const std::vector<QWidget*> fields = reachable_where(editable);
        QWidget* field = in_focus         ? focus
                         : fields.empty() ? nullptr
                                          : fields[pick(r, fields.size())];
        if (!field) {
            watch_action("type: no field to type into");
            return;
        }
        watch_action("type \"" + text + "\"" + (clear ? " over the text" : "") +
                     (enter ? " and Return" : "") + " into " + describe(field));
        field_ = field;
        if (!in_focus)
            press(field, field->rect().center());
        if (clear && field_)
            QTest::keyClick(field_, Qt::Key_A, Qt::ControlModifier);
    });
    for (const char c : text)
        act_([this, c] {
            if (field_ && field_->isVisible() && field_->isEnabled())
                QTest::keyClick(field_, c);
        });
    if (enter)
        act_([this] {
            if (field_ && field_->isVisible() && field_->isEnabled())
                QTest::keyClick(field_, Qt::Key_Return);
        });
}

void monkey_hands::dismiss_dialog()
{
    act_([folder = folder_] {
        rng r(0);
        if (answer_folder_chooser(r, folder))
            return;
        tidy_before_action();
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            watch_action("key Escape on " + describe(dialog));
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
}
