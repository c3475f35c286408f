// Building the main window: menu, controls of every mode, settings and the
// start-up database.

#include "app/ui/main_window.h"

#include "app/ui/mode_menu_bar.h"
#include "app/ui/status_line.h"
#include "archive/ui/archive_windows.h"
#include "base/command_ids.h"
#include "base/ui/config_panel_window.h"
#include "base/ui/control_windows.h"
#include "base/ui/interface_font.h"
#include "base/ui/mode_windows.h"
#include "base/ui/print_actions.h"
#include "base/ui/qt_seams.h"
#include "base/ui/table_window.h"
#include "base/ui/window_geometry.h"
#include "base/ui_seam.h"
#include "db/db_connection.h"
#include "db/db_last.h"
#include "db/ui/db_form_windows.h"
#include "fra/ui/fra_view.h"
#include "link/discovery.h"
#include "link/link.h"
#include "review/ui/assessment_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <ctime>

namespace {

constexpr const char* MAIN_GEOMETRY_NAME = "Main";

// The windows each table's controls are created into, in creation order,
// and the main window's row whose window shows them: a row's tables are
// built when it is first shown.
struct s_table_home {
    control_table_id table;
    control_table_id parent_table;
    int parent_row;
    int main_row;
};
constexpr s_table_home table_homes[] = {
    {TABLE_CONFIG, TABLE_MAIN, ROW_CONFIG, ROW_CONFIG},
    {TABLE_FRA, TABLE_MAIN, ROW_FRA, ROW_FRA},
    {TABLE_FRA_GRAPH, TABLE_FRA, 0, ROW_FRA},
    {TABLE_LCR, TABLE_MAIN, ROW_LCR, ROW_LCR},
    {TABLE_LCR_GRAPH, TABLE_LCR, 0, ROW_LCR},
    {TABLE_CAPTURE, TABLE_MAIN, ROW_CAPTURE, ROW_CAPTURE},
    {TABLE_PIEZO, TABLE_MAIN, ROW_PIEZO, ROW_PIEZO},
    {TABLE_DB_TOOLS, TABLE_MAIN, ROW_DB_TOOLS, ROW_DB_TOOLS},
    {TABLE_DB_LISTS, TABLE_MAIN, ROW_DB_VIEW, ROW_DB_VIEW},
};

table_window* window_at(control_table_id table, int row)
{
    return static_cast<table_window*>(control_table(table)[row].window);
}

struct s_icon {
    int id;
    int resource;
    const char* tip = nullptr;
};
// The piezo graph's tick-style buttons: style 2 draws grid lines across the
// plot, 1 short ticks inside it, 0 ticks outside it.
constexpr s_icon piezo_icons[] = {
    {15254, 193, "Impedance axis: ticks outside the plot"},
    {15252, 191, "Impedance axis: grid lines"},
    {15253, 192, "Impedance axis: short ticks"},
    {15257, 196, "Phase axis: ticks outside the plot"},
    {15255, 194, "Phase axis: grid lines"},
    {15256, 195, "Phase axis: short ticks"},
};
constexpr s_icon tool_icons[] = {{15000, 138}, {15001, 140}, {15002, 145}, {15003, 155},
                                 {15004, 156}, {15005, 158}, {15006, 157}, {15007, 159},
                                 {15008, 164}, {15009, 160}, {15010, 161}, {15011, 162},
                                 {15012, 163}, {15013, 165}};

// A greyed button shows its icon faint, whatever its colours: the style's
// own greying leaves an icon drawn in greys looking as usable as before.
constexpr qreal GREYED_ICON_OPACITY = 0.3;

QIcon button_icon(int resource)
{
    const QPixmap normal(QStringLiteral(":/icons/%1.png").arg(resource));
    QPixmap faint(normal.size());
    faint.fill(Qt::transparent);
    QPainter painter(&faint);
    painter.setOpacity(GREYED_ICON_OPACITY);
    painter.drawPixmap(0, 0, normal);
    painter.end();
    QIcon icon(normal);
    icon.addPixmap(faint, QIcon::Disabled);
    return icon;
}

void set_icon(const s_icon& icon, int size)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control_by_id(icon.id))) {
        button->setIcon(button_icon(icon.resource));
        button->setIconSize(QSize(size, size));
        if (icon.tip)
            button->setToolTip(QString::fromLatin1(icon.tip));
    }
}

std::tm local_now()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

} // namespace

// The icons and bitmaps live in this library's resources.
static void init_resources()
{
    Q_INIT_RESOURCE(tarvelo_resources);
}

bool main_connected()
{
    return g_link.identified;
}

main_window::main_window(const std::string& local_data_root, const std::string& working_dir)
    : paths_(app_paths(local_data_root))
{
    init_resources();
    use_interface_font();
    setObjectName(QStringLiteral("QXTarvelo2WClass"));
    setWindowTitle(QString::fromLatin1(PROGRAM_NAME));
    setWindowIcon(QIcon(QStringLiteral(":/icons/101.png")));
    qt_set_main_window(this);
    build_menu();
    build_controls();
    status_ = new status_line(this);
    decorate_controls();
    prepare_settings();
    post_click(CMD_CONFIG_ACQU);
    post_click(CMD_MEASURE);
    show_mode();
    set_selected_font(CMD_MEASURE, CMD_MEASURE, CMD_DATABASE);
    highlight_mode();
    open_startup_database(working_dir);
    control_by_id(CMD_LOGO)->setEnabled(true);
    // The first refresh enables what may be used without an instrument
    // (DATABASE among them) and lets the mode windows set their own.
    post_command(this, CMD_MAIN_REFRESH);
}

main_window::~main_window()
{
    if (size_released_)
        window_geometry_save(this, MAIN_GEOMETRY_NAME);
    db_form_close_database();
    set_layout_reference(nullptr);
    forget_table_windows();
}

void main_window::build_menu()
{
    auto add = [this](QMenu* menu, const char* text, int id) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        a->setData(id);
        connect(a, &QAction::triggered, this, [this, id] { post_command(this, id); });
        return a;
    };
    auto top = [this](const char* text, int id) {
        QAction* a = menuBar()->addAction(QString::fromLatin1(text));
        a->setData(id);
        connect(a, &QAction::triggered, this, [this, id] { post_command(this, id); });
    };
    setMenuBar(new mode_menu_bar(this));
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    // In the order of print_action.
    static constexpr int print_commands[] = {CMD_PRINT, CMD_PRINT_PREVIEW, CMD_EXPORT_PDF};
    const auto printing = print_add_menu_items(file, [this](print_action action) {
        post_command(this, print_commands[static_cast<int>(action)]);
    });
    for (size_t i = 0; i < printing.size(); ++i)
        printing[i]->setData(print_commands[i]);
    QMenu* configure = menuBar()->addMenu(QStringLiteral("&Configure"));
    add(configure, "&Connection...", CMD_CONNECTION);
    debug_action_ = add(configure, "&Debug mode", CMD_COMMS_LOG);
    debug_action_->setCheckable(true);
    display_menu_ = menuBar()->addMenu(QStringLiteral("&Display"));
    add(display_menu_, "&Save to Bitmap", CMD_SAVE_BITMAP);
    add(display_menu_, "&Copy to Clipboard", CMD_COPY_CLIPBOARD);
    display_menu_->addSeparator();
    add(display_menu_, "Go to &Gain Crossover", CMD_FRA_GO_GAIN_CROSSOVER)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    add(display_menu_, "Go to &Phase Crossover", CMD_FRA_GO_PHASE_CROSSOVER)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    // The settings panel folds away for a taller chart on a small screen.
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction* hide = add(view, "&Hide Settings", CMD_HIDE_SETTINGS);
    hide->setCheckable(true);
    hide->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    top("&FRA", CMD_MODE_FRA);
    top("&LCR", CMD_MODE_LCR);
    top("&Piezo", CMD_MODE_PIEZO);
    top("C&apture", CMD_MODE_CAPTURE);
    // Works on the database view's session list and file in every mode.
    QMenu* archive = menuBar()->addMenu(QString::fromLatin1(ARCHIVE_MENU_TEXT));
    add(archive, ARCHIVE_PUSH_TEXT, CMD_ARCHIVE_PUSH);
    add(archive, ARCHIVE_SEARCH_TEXT, CMD_ARCHIVE_SEARCH);
    // The stored tests looked at again: a transformer's test plan swept
    // and compared with its earlier tests.
    QMenu* review = menuBar()->addMenu(QStringLiteral("&Review"));
    connect(review->addAction(QStringLiteral("Transformer &Assessment...")), &QAction::triggered,
            this, [this] {
                assessment_window_open(this,
                                       {[this] { return fra_running(); }, archive_search_and_pull});
            });
    // "&Help" stands at the right end of the bar: a menu bar of its own in
    // the bar's corner, so it keeps its place and its Alt+H in every style.
    auto* help_bar = new QMenuBar(menuBar());
    QMenu* help = help_bar->addMenu(QStringLiteral("&Help"));
    menuBar()->setCornerWidget(help_bar, Qt::TopRightCorner);
    add(help, "&About ...", CMD_ABOUT);
    add(help, "&Support ...", CMD_SUPPORT);
    add_desktop_items(file, help);
}

void main_window::build_controls()
{
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setFixedSize(MAIN_CLIENT_WIDTH, MAIN_CLIENT_HEIGHT);
    setCentralWidget(client_);
    layout_init(MAIN_CLIENT_WIDTH, MAIN_CLIENT_HEIGHT);
    create_table(client_, TABLE_MAIN);
    show_table(TABLE_MAIN);
    // The settings panel serves every mode.
    build_row(ROW_CONFIG);
    control_by_id(CMD_HIDE_SETTINGS)
        ->setToolTip(QStringLiteral("Fold the settings panel away to give the chart more room "
                                    "(View > Hide Settings, Ctrl+H)"));
    client_->installEventFilter(this);
    set_layout_reference(client_);
}

// The client keeps its design size until the window has been shown and its
// menu bar laid out; from then on the window cannot be made smaller than
// that, the client follows the window, and the window takes the size and
// place it had last time (or, the first time, a share of the screen).
void main_window::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (size_released_)
        return;
    size_released_ = true;
    QTimer::singleShot(0, this, [this] {
        layout()->activate();
        layout()->setSizeConstraint(QLayout::SetNoConstraint);
        setMinimumSize(size());
        client_->setMinimumSize(0, 0);
        client_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window_geometry_restore(this, MAIN_GEOMETRY_NAME, minimumSize());
    });
}

void main_window::build_row(int main_row)
{
    bool built = false;
    for (const s_table_home& home : table_homes) {
        if (home.main_row != main_row || built_[home.table])
            continue;
        create_table(window_at(home.parent_table, home.parent_row)->client(), home.table);
        // The database form's windows show their controls themselves.
        if (home.table != TABLE_DB_TOOLS && home.table != TABLE_DB_LISTS)
            show_table(home.table);
        built_[home.table] = built = true;
    }
    if (built)
        decorate_icons();
}

void main_window::decorate_icons()
{
    if (auto* circuit = qobject_cast<QLabel*>(control_by_id(15243)))
        circuit->setPixmap(QPixmap(QStringLiteral(":/icons/189.png")));
    for (const s_icon& i : piezo_icons)
        set_icon(i, 16);
    for (const s_icon& i : tool_icons)
        set_icon(i, 32);
}

void main_window::decorate_controls()
{
    auto* logo = qobject_cast<QPushButton*>(control_by_id(CMD_LOGO));
    logo->setIcon(QIcon(QStringLiteral(":/icons/203.png")));
    logo->setIconSize(QSize(146, 20));
    logo->setCursor(Qt::PointingHandCursor);
    logo->setFlat(true);
    logo->setToolTip(QStringLiteral("The maker's web site"));
    logo->setStyleSheet(QStringLiteral("border: none"));
}

void main_window::prepare_settings()
{
    settings_prepare(paths_, local_now());
    set_current_app_paths(paths_);
    const s_connect_defaults c = settings_connect(paths_);
    g_link.interface = c.interface;
    g_link.port_name = c.port_name;
    g_link.baud_rate = c.baud_rate;
    g_link.ip_address = c.ip_address;
    discovery_set_target(c.discovery_address);
    discovery_read_ports(paths_.settings_file);
}

void main_window::open_startup_database(const std::string& working_dir)
{
    db_set_current_path(settings_database_file(paths_));
    db_open_at_startup(working_dir, [this](const std::string& opened) {
        settings_set_database_file(paths_, opened);
    });
}

table_window* main_window::mode_window(int main_row) const
{
    return window_at(TABLE_MAIN, main_row);
}

QAction* main_window::menu_action(int id) const
{
    for (QAction* a : findChildren<QAction*>()) {
        if (a->data().toInt() == id)
            return a;
    }
    return nullptr;
}

void main_window::set_menu_item_enabled(int id, bool enabled)
{
    if (QAction* a = menu_action(id))
        a->setEnabled(enabled);
}

void main_window::set_top_menus_enabled(std::initializer_list<const char*> titles, bool enabled)
{
    for (QAction* a : menuBar()->actions()) {
        const QString title = a->text().remove(QLatin1Char('&'));
        for (const char* t : titles)
            if (title == QLatin1String(t))
                a->setEnabled(enabled);
    }
}

bool main_window::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize && !isMinimized()) {
        relayout();
        fit_settings();
        if (state_.mode == MODE_DATABASE) {
            enable_table(TABLE_DB_TOOLS, true);
            // The tool strip's own rules (Export and Graph need their entry
            // points) hold over the blanket enabling.
            mode_window(ROW_DB_TOOLS)->refresh_controls(true, main_connected(), fra_running());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

config_panel_window* main_window::config_panel() const
{
    return dynamic_cast<config_panel_window*>(mode_window(ROW_CONFIG));
}

bool main_window::fra_running() const
{
    // Any mode window that holds the instrument (an FRA or LCR sweep, series
    // or realtime run, a piezo sweep) keeps the panel and READ/SET UP HXM
    // greyed.
    for (const int row : {ROW_FRA, ROW_LCR, ROW_PIEZO})
        if (const table_window* w = mode_window(row); w && w->is_running())
            return true;
    return false;
}
