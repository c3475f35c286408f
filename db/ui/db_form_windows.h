#pragma once
// The database form's windows: the tool strip ("QXTarvelo2DataToolsWClass")
// and the three lists ("QXTarvelo2DataViewWClass"). The lists mirror a
// db_form; the tool strip forwards its buttons to the list window.
#include "base/ui/table_window.h"
#include "db/db_form.h"

#include <vector>

class QTreeWidget;

enum : int {
    DB_CMD_CREATE_SESSION = 170,
    DB_CMD_REFRESH_SESSIONS = 171,
    DB_CMD_ADD_SELECTION = 172,
    DB_CMD_REMOVE_SELECTION = 173,
    DB_CMD_REFRESH_TESTS = 174,
    DB_CMD_DELETE_TEST = 178,
    DB_CMD_DELETE_SESSION = 179,
    DB_TOOL_NEW = 15000,
    DB_TOOL_OPEN = 15001,
    DB_TOOL_ADD = 15003,
    DB_TOOL_REMOVE = 15004,
    DB_TOOL_GRAPH = 15006,
    DB_TOOL_CREATE_SESSION = 15009,
    DB_TOOL_DELETE_SESSION = 15010,
    DB_TOOL_IMPORT = 15011,
    DB_TOOL_DELETE_TEST = 15012,
    DB_TOOL_EXPORT = 15013,
    DB_LIST_SESSIONS = 15100,
    DB_LIST_TESTS = 15101,
    DB_LIST_SELECTION = 15102,
};

class db_view_window : public table_window {
    Q_OBJECT
public:
    explicit db_view_window(QWidget* parent, int frame);
    ~db_view_window() override;

    void on_command(int id, intptr_t lparam) override;
    db_form& form() { return form_; }
    QTreeWidget* list(int id) const;
    // Rebuilds the lists whose rows changed and shows the form's selection.
    void sync();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepare_lists();
    void sync_list(QTreeWidget* list, const db_list& rows, unsigned& shown_version);
    void row_chosen(int id);
    void column_clicked(int id, int column);
    void show_sort_indicators();
    void fit_columns();
    void create_session();
    void graph();
    void database_changed(const char* what);

    db_form form_;
    bool lists_ready_ = false;
    unsigned shown_[3] = {~0u, ~0u, ~0u};
};

class db_tools_window : public table_window {
    Q_OBJECT
public:
    explicit db_tools_window(QWidget* parent, int frame);
    void on_command(int id, intptr_t lparam) override;
    void refresh_controls(bool enable, bool connected, bool running) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void prepare_buttons();
};

// Opens the graph of the selected tests; registered by the graph dialog.
using db_graph_opener = void (*)(QWidget* owner, const std::vector<int>& test_keys);
void db_set_graph_opener(db_graph_opener opener);

// The live list window, if any.
db_view_window* db_current_view();
// Empties the form's lists, then closes the database (application exit).
void db_form_close_database();
void db_register_windows();
