#include "db/ui/db_form_windows.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/ui/control_windows.h"
#include "base/ui/export_entry.h"
#include "base/ui/mode_windows.h"
#include "base/ui/qt_seams.h"
#include "base/ui_status.h"
#include "db/db_connection.h"
#include "db/ui/session_details_dialog.h"
#include "db/ui/test_details_dialog.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeWidget>
#include <numeric>

namespace {

const char* const VIEW_CLASS = "QXTarvelo2DataViewWClass";
const char* const TOOLS_CLASS = "QXTarvelo2DataToolsWClass";

struct s_tool_tip {
    int id;
    const char* text;
};

constexpr s_tool_tip TOOL_TIPS[] = {
    {DB_TOOL_NEW, "New Database"},
    {DB_TOOL_OPEN, "Open Database"},
    {DB_TOOL_ADD, "Add Test to Selection"},
    {DB_TOOL_REMOVE, "Remove Test from Selection"},
    {DB_TOOL_GRAPH, "Graph Selected Tests"},
    {DB_TOOL_CREATE_SESSION, "Create Session"},
    {DB_TOOL_DELETE_SESSION, "Delete Session"},
    {DB_TOOL_DELETE_TEST, "Delete Test"},
    {DB_TOOL_EXPORT, "Export Selected Tests"},
    {DB_TOOL_IMPORT, "Import Sweep File as a Test"},
};

// Buttons of the strip that have no action: shown greyed, not live-looking.
constexpr int IDLE_TOOLS[] = {15002, 15005, 15007, 15008};

// Buttons that work on the open database: greyed while none is open.
constexpr int DATABASE_TOOLS[] = {DB_TOOL_ADD,
                                  DB_TOOL_REMOVE,
                                  DB_TOOL_GRAPH,
                                  DB_TOOL_CREATE_SESSION,
                                  DB_TOOL_DELETE_SESSION,
                                  DB_TOOL_IMPORT,
                                  DB_TOOL_DELETE_TEST,
                                  DB_TOOL_EXPORT};

// The test list shows each test's number last: the list sorts on it until
// another column is clicked.
const QStringList HEADERS[3] = {
    {"Session Name", "Unit", "Test Date", "Location"},
    {"Test Name", "Winding", "No."},
    {"Session Name", "Unit", "Date of Test", "Location", "Test Name", "Winding"},
};
// The share of its list's width each column takes.
const std::vector<int> COLUMN_SHARES[3] = {{1, 1, 1, 1}, {4, 3, 1}, {1, 1, 1, 1, 1, 1}};

// A row of a list keeps at most 60 columns of 127 characters.
constexpr int MAX_COLUMNS = 60;
constexpr int MAX_COLUMN_TEXT = 127;

db_view_window* g_view = nullptr;
db_graph_opener g_graph_opener = nullptr;

QTreeWidgetItem* make_item(const db_list_row& row, bool with_key)
{
    auto* item = new QTreeWidgetItem;
    QStringList columns = qt_from_ansi(row.text).split(QLatin1Char('\t'));
    if (with_key)
        columns.append(QString::number(row.key));
    for (int c = 0; c < columns.size() && c < MAX_COLUMNS; ++c)
        item->setText(c, columns[c].left(MAX_COLUMN_TEXT));
    return item;
}

// A list shown one change before the rows' last, which was of one row,
// takes that change alone; false when the list must be filled again.
bool follow_one_row(QTreeWidget* list, const db_list& rows, unsigned shown_version, bool with_key)
{
    const db_row_change& one = rows.last;
    if (one.index < 0 || one.version != rows.version || shown_version != rows.version - 1)
        return false;
    if (one.inserted)
        list->insertTopLevelItem(one.index, make_item(rows.rows[size_t(one.index)], with_key));
    else
        delete list->takeTopLevelItem(one.index);
    return true;
}

// The chooser gives file names as UTF-8; the database keeps Windows-1252.
bool file_name_to_ansi(const std::string& name, std::string& ansi)
{
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    ansi = qt_to_ansi(text);
    return qt_from_ansi(ansi) == text;
}

void remember_database(const std::string& path)
{
    settings_set_database_file(current_app_paths(), path);
}

void session_created(int64_t session_no)
{
    if (!g_view)
        return;
    g_view->form().list_new_session(session_no);
    g_view->form().select_session_by_key(session_no);
    g_view->sync();
}

void focus(int id)
{
    if (QWidget* w = control_by_id(id))
        w->setFocus();
}

table_window* make_view(QWidget* parent, const s_control& row)
{
    auto* w = new db_view_window(parent, control_frame(row));
    w->setGeometry(row.x, row.y, row.width, row.height);
    return w;
}

table_window* make_tools(QWidget* parent, const s_control& row)
{
    auto* w = new db_tools_window(parent, control_frame(row));
    w->setGeometry(row.x, row.y, row.width, row.height);
    return w;
}

} // namespace

db_view_window::db_view_window(QWidget* parent, int frame)
    : table_window(parent, VIEW_CLASS, frame), form_(static_cast<QWidget*>(this))
{
    g_view = this;
    test_details_set_session_hook(session_created);
}

db_view_window::~db_view_window()
{
    if (g_view == this)
        g_view = nullptr;
}

QTreeWidget* db_view_window::list(int id) const
{
    return qobject_cast<QTreeWidget*>(control_by_id(id));
}

void db_view_window::prepare_lists()
{
    if (lists_ready_ || !list(DB_LIST_SESSIONS))
        return;
    lists_ready_ = true;
    show_table(TABLE_DB_LISTS); // the shell leaves the form's controls to the form
    for (int i = 0; i < 3; ++i) {
        QTreeWidget* l = list(DB_LIST_SESSIONS + i);
        l->setHeaderLabels(HEADERS[i]);
        l->setStyleSheet(l->styleSheet() +
                         QStringLiteral(" QTreeView::item:selected { color: white; "
                                        "background: rgb(192, 0, 0); }"));
        l->header()->setSectionsClickable(i < 2);
        l->header()->setStretchLastSection(false);
        l->header()->setSectionResizeMode(QHeaderView::Fixed);
        l->installEventFilter(this); // the layout resizes the lists themselves
        l->viewport()->installEventFilter(this);
        connect(l, &QTreeWidget::itemSelectionChanged, this,
                [this, id = DB_LIST_SESSIONS + i] { row_chosen(id); });
        if (i < 2)
            connect(l->header(), &QHeaderView::sectionClicked, this,
                    [this, id = DB_LIST_SESSIONS + i](int c) { column_clicked(id, c); });
    }
    show_sort_indicators();
    fit_columns();
}

void db_view_window::fit_columns()
{
    if (!lists_ready_)
        return;
    for (int i = 0; i < 3; ++i) {
        // The columns share the viewport's width (refitted whenever it
        // changes, as when a vertical scroll bar comes or goes), the last
        // taking what the others leave: no horizontal scroll bar.
        QTreeWidget* l = list(DB_LIST_SESSIONS + i);
        const int room = l->viewport()->width();
        const std::vector<int>& shares = COLUMN_SHARES[i];
        const int total = std::accumulate(shares.begin(), shares.end(), 0);
        int left = room;
        for (int c = 0; c < l->columnCount() && c < int(shares.size()); ++c) {
            const int width = c + 1 == l->columnCount() ? left : room * shares[size_t(c)] / total;
            l->setColumnWidth(c, width);
            left -= width;
        }
    }
}

void db_view_window::show_sort_indicators()
{
    QHeaderView* sessions = list(DB_LIST_SESSIONS)->header();
    sessions->setSortIndicatorShown(true);
    sessions->setSortIndicator(form_.session_column,
                               form_.session_ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    QHeaderView* tests = list(DB_LIST_TESTS)->header();
    tests->setSortIndicatorShown(true);
    tests->setSortIndicator(form_.tests_column,
                            form_.tests_ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void db_view_window::sync_list(QTreeWidget* l, const db_list& rows, unsigned& shown_version)
{
    const QSignalBlocker quiet(l);
    const bool with_key = l == list(DB_LIST_TESTS);
    if (follow_one_row(l, rows, shown_version, with_key)) {
        shown_version = rows.version;
    } else if (shown_version != rows.version) {
        shown_version = rows.version;
        l->setUpdatesEnabled(false);
        l->clear();
        QList<QTreeWidgetItem*> items;
        items.reserve(int(rows.rows.size()));
        for (const db_list_row& r : rows.rows)
            items.append(make_item(r, with_key));
        l->addTopLevelItems(items);
        l->setUpdatesEnabled(true);
    }
    QTreeWidgetItem* chosen = rows.selected >= 0 ? l->topLevelItem(rows.selected) : nullptr;
    l->setCurrentItem(chosen);
    if (chosen)
        l->scrollToItem(chosen);
    else
        l->clearSelection();
}

void db_view_window::sync()
{
    prepare_lists();
    if (!lists_ready_)
        return;
    fit_columns();
    sync_list(list(DB_LIST_SESSIONS), form_.sessions, shown_[0]);
    sync_list(list(DB_LIST_TESTS), form_.tests, shown_[1]);
    sync_list(list(DB_LIST_SELECTION), form_.selection, shown_[2]);
}

void db_view_window::row_chosen(int id)
{
    QTreeWidget* l = list(id);
    const QList<QTreeWidgetItem*> chosen = l->selectedItems();
    const int row = chosen.isEmpty() ? -1 : l->indexOfTopLevelItem(chosen.first());
    if (id == DB_LIST_SESSIONS)
        form_.select_session(row);
    else if (id == DB_LIST_TESTS)
        form_.tests.selected = row;
    else
        form_.selection.selected = row;
    sync();
}

void db_view_window::column_clicked(int id, int column)
{
    if (id == DB_LIST_SESSIONS)
        form_.click_session_column(column);
    else
        form_.click_test_column(column);
    show_sort_indicators();
    sync();
}

void db_view_window::create_session()
{
    s_session session;
    session_details_new(this, session,
                        [this](s_session& typed) { return form_.store_new_session(typed); });
}

void db_view_window::graph()
{
    const std::vector<int> keys = form_.graph_keys();
    if (!keys.empty() && g_graph_opener)
        g_graph_opener(this, keys);
}

// The main window names the open database in its title and status line,
// or none after a file that did not open; the tools follow.
void db_view_window::database_changed(const char* what)
{
    if (what)
        ui_status(what + db_current_path());
    if (auto* main = dynamic_cast<command_target*>(window()); main && main != this)
        post_command(main, CMD_MAIN_REFRESH);
}

void db_view_window::on_command(int id, intptr_t lparam)
{
    prepare_lists();
    switch (id) {
    case DB_CMD_CREATE_SESSION: create_session(); break;
    case DB_CMD_REFRESH_SESSIONS: form_.refresh_sessions(lparam == 1); break;
    case DB_CMD_ADD_SELECTION: form_.add_to_selection(); break;
    case DB_CMD_REMOVE_SELECTION: form_.remove_from_selection(); break;
    case DB_CMD_REFRESH_TESTS: form_.refresh_tests(); break;
    case DB_CMD_DELETE_TEST:
        form_.delete_test();
        focus(DB_TOOL_DELETE_TEST);
        break;
    case DB_CMD_DELETE_SESSION:
        form_.delete_session();
        focus(DB_TOOL_DELETE_SESSION);
        break;
    case DB_TOOL_NEW:
        database_changed(form_.new_database() ? "Database created: " : nullptr);
        break;
    case DB_TOOL_OPEN:
        database_changed(form_.open_database(remember_database) ? "Database opened: " : nullptr);
        break;
    case DB_TOOL_IMPORT: form_.import_sweep(file_name_to_ansi); break;
    case DB_TOOL_GRAPH: graph(); break;
    case DB_TOOL_EXPORT:
        if (const std::vector<int> keys = form_.export_keys(); !keys.empty())
            export_tests(this, keys);
        break;
    default: table_window::on_command(id, lparam); return;
    }
    sync();
}

void db_view_window::showEvent(QShowEvent* event)
{
    table_window::showEvent(event);
    prepare_lists();
    on_command(DB_CMD_REFRESH_SESSIONS, 0);
}

void db_view_window::resizeEvent(QResizeEvent* event)
{
    table_window::resizeEvent(event);
    fit_columns();
}

bool db_view_window::eventFilter(QObject* watched, QEvent* event)
{
    // Sizes and frames settle when a list is resized, polished or shown.
    const QEvent::Type t = event->type();
    if (t == QEvent::Resize || t == QEvent::Show || t == QEvent::Polish || t == QEvent::StyleChange)
        fit_columns();
    return table_window::eventFilter(watched, event);
}

db_tools_window::db_tools_window(QWidget* parent, int frame)
    : table_window(parent, TOOLS_CLASS, frame)
{
}

void db_tools_window::prepare_buttons()
{
    show_table(TABLE_DB_TOOLS);
    for (const s_tool_tip& t : TOOL_TIPS)
        if (QWidget* w = control_by_id(t.id))
            w->setToolTip(QString::fromLatin1(t.text));
    for (const int id : IDLE_TOOLS)
        if (QWidget* w = control_by_id(id))
            w->setEnabled(false);
    for (const int id : DATABASE_TOOLS)
        if (QWidget* w = control_by_id(id))
            w->setEnabled(db_is_open());
    if (QWidget* w = control_by_id(DB_TOOL_EXPORT))
        w->setEnabled(db_is_open() && tests_exporter_registered());
    if (QWidget* w = control_by_id(DB_TOOL_GRAPH))
        w->setEnabled(db_is_open() && g_graph_opener != nullptr);
}

void db_tools_window::showEvent(QShowEvent* event)
{
    table_window::showEvent(event);
    prepare_buttons();
}

void db_tools_window::refresh_controls(bool enable, bool connected, bool running)
{
    table_window::refresh_controls(enable, connected, running);
    prepare_buttons();
}

void db_tools_window::on_command(int id, intptr_t lparam)
{
    static constexpr std::pair<int, int> VIEW_COMMANDS[] = {
        {DB_TOOL_ADD, DB_CMD_ADD_SELECTION},
        {DB_TOOL_REMOVE, DB_CMD_REMOVE_SELECTION},
        {DB_TOOL_CREATE_SESSION, DB_CMD_CREATE_SESSION},
        {DB_TOOL_DELETE_SESSION, DB_CMD_DELETE_SESSION},
        {DB_TOOL_DELETE_TEST, DB_CMD_DELETE_TEST},
        {DB_TOOL_NEW, DB_TOOL_NEW},
        {DB_TOOL_OPEN, DB_TOOL_OPEN},
        {DB_TOOL_IMPORT, DB_TOOL_IMPORT},
        {DB_TOOL_GRAPH, DB_TOOL_GRAPH},
        {DB_TOOL_EXPORT, DB_TOOL_EXPORT},
    };
    for (const auto& [tool, command] : VIEW_COMMANDS) {
        if (id == tool) {
            if (g_view)
                send_command(g_view, command, 0);
            return;
        }
    }
    table_window::on_command(id, lparam);
}

void db_set_graph_opener(db_graph_opener opener)
{
    g_graph_opener = opener;
}

db_view_window* db_current_view()
{
    return g_view;
}

void db_form_close_database()
{
    if (g_view) {
        g_view->form().close_database();
        g_view->sync();
    } else {
        db_close();
    }
}

void db_register_windows()
{
    set_mode_window_factory(VIEW_CLASS, make_view);
    set_mode_window_factory(TOOLS_CLASS, make_tools);
}
