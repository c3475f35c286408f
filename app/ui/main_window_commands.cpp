// The main window's commands: modes, connection, settings panel, comms log,
// pictures of the graph and the maker's web pages.

#include "app/ui/about_dialog.h"
#include "app/ui/main_window.h"
#include "app/ui/mode_menu_bar.h"
#include "app/ui/status_line.h"
#include "archive/ui/archive_windows.h"
#include "base/command_ids.h"
#include "base/export_texts.h"
#include "base/ui/config_panel_window.h"
#include "base/ui/control_windows.h"
#include "base/ui/exchange_dialog.h"
#include "base/ui/mode_windows.h"
#include "base/ui/table_window.h"
#include "base/ui_seam.h"
#include "fra/ui/fra_view.h"
#include "graph/ui/bode_plot.h"
#include "graph/ui/chart_file.h"
#include "lcr/ui/lcr_results_view.h"
#include "link/comms_log.h"
#include "link/link.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QUrl>

namespace {

// The maker's web pages.
const char* const HOME_PAGE = "https://www.quellmarsh.example/";
const char* const SUPPORT_PAGE = "https://www.quellmarsh.example/support";

constexpr int mode_rows[MODE_COUNT] = {ROW_FRA, ROW_LCR, ROW_DB_VIEW, ROW_PIEZO, ROW_CAPTURE};
constexpr int mode_menu_ids[MODE_COUNT] = {CMD_MODE_FRA, CMD_MODE_LCR, 0, CMD_MODE_PIEZO,
                                           CMD_MODE_CAPTURE};

const char* mode_name(int mode)
{
    static const char* const names[MODE_COUNT] = {"FRA", "LCR", "Database", "Piezo", "Capture"};
    return mode >= 0 && mode < MODE_COUNT ? names[mode] : "current";
}

table_window* graph_area(control_table_id table)
{
    return static_cast<table_window*>(control_table(table)[0].window);
}

// Puts the instrument into another operating mode; the line travels on a
// worker. False when the user cancelled before the line went: the mode
// stays as it was. Once it has gone the instrument may have changed, so a
// later Cancel changes the window's mode too.
bool send_mode_line(QWidget* owner, const char* line)
{
    bool sent = false;
    const exchange_outcome outcome = run_exchange(owner, "Changing the instrument's mode\x85",
                                                  [line, &sent](const std::atomic<bool>& cancel) {
                                                      const link_cancel_scope scope(g_link, cancel);
                                                      link_open(g_link);
                                                      sent = !link_cancelled(g_link);
                                                      if (sent)
                                                          link_send(g_link, line);
                                                      link_close(g_link);
                                                      return true;
                                                  });
    return sent || outcome != exchange_outcome::cancelled;
}

// A size message at the area's own size: it lays itself out and redraws.
void redraw_graph_area(control_table_id table)
{
    QWidget* area = graph_area(table);
    QResizeEvent resized(area->size(), area->size());
    QCoreApplication::sendEvent(area, &resized);
    area->update();
}

} // namespace

void main_window::on_command(int id, intptr_t)
{
    switch (id) {
    case CMD_ABOUT: show_about_box(this); break;
    case CMD_CONNECTION: connection_flow(); break;
    case CMD_MAIN_REFRESH: refresh_main(true, main_connected()); break;
    case CMD_MODE_FRA: change_fra_lcr(MODE_FRA); break;
    case CMD_MODE_LCR: change_fra_lcr(MODE_LCR); break;
    case CMD_MODE_PIEZO: change_piezo(); break;
    case CMD_MODE_CAPTURE:
        main_enter_mode(state_, MODE_CAPTURE);
        highlight_mode();
        show_mode();
        refresh_main(true, main_connected());
        break;
    case CMD_COMMS_LOG: toggle_comms_log(); break;
    case CMD_SAVE_BITMAP: graph_picture(true); break;
    case CMD_FRA_GO_GAIN_CROSSOVER:
    case CMD_FRA_GO_PHASE_CROSSOVER:
        if (table_window* view = graph_area(TABLE_FRA); view && state_.mode == MODE_FRA)
            view->on_command(id, 0);
        break;
    case CMD_COPY_CLIPBOARD: graph_picture(false); break;
    case CMD_PRINT:
    case CMD_PRINT_PREVIEW:
    case CMD_EXPORT_PDF: print_mode(id); break;
    case CMD_ARCHIVE_PUSH: archive_push_selected(this); break;
    case CMD_ARCHIVE_SEARCH: archive_search_and_pull(this); break;
    case CMD_SUPPORT: open_web_page(SUPPORT_PAGE); break;
    case CMD_MEASURE: measure(); break;
    case CMD_DATABASE: database(); break;
    case CMD_HIDE_SETTINGS: toggle_settings(); break;
    case CMD_LOGO: open_web_page(HOME_PAGE); break;
    case CMD_READ_HXM:
        if (config_panel_window* panel = config_panel())
            panel->read_instrument();
        break;
    case CMD_SET_UP_HXM:
        if (config_panel_window* panel = config_panel())
            panel->write_instrument();
        break;
    default: break;
    }
}

void main_window::show_mode()
{
    fit_settings();
    const s_mode_view v = main_mode_view(state_, main_connected());
    for (int m = 0; m < MODE_COUNT; ++m) {
        if (m != MODE_DATABASE && v.mode_window[m])
            build_row(mode_rows[m]);
    }
    if (v.database_view) {
        build_row(ROW_DB_TOOLS);
        build_row(ROW_DB_VIEW);
    }
    mode_window(ROW_CONFIG)->setVisible(v.config_panel);
    mode_window(ROW_DB_TOOLS)->setVisible(v.database_view);
    mode_window(ROW_DB_VIEW)->setVisible(v.database_view);
    for (int m = 0; m < MODE_COUNT; ++m) {
        if (m != MODE_DATABASE)
            mode_window(mode_rows[m])->setVisible(v.mode_window[m]);
    }
    control_by_id(CMD_HIDE_SETTINGS)->setEnabled(v.hide_settings);
    menu_action(CMD_HIDE_SETTINGS)->setEnabled(v.hide_settings);
    control_by_id(CMD_READ_HXM)->setEnabled(v.read_setup);
    control_by_id(CMD_SET_UP_HXM)->setEnabled(v.read_setup);
    for (int id : mode_menu_ids) {
        if (id)
            menu_action(id)->setEnabled(v.mode_menus);
    }
    display_menu_->menuAction()->setEnabled(v.mode_menus);
    for (int id : {CMD_FRA_GO_GAIN_CROSSOVER, CMD_FRA_GO_PHASE_CROSSOVER})
        menu_action(id)->setEnabled(state_.mode == MODE_FRA);
}

// The top-level item of the current mode stands out in the menu bar.
void main_window::highlight_mode()
{
    const int id = state_.mode >= 0 && state_.mode < MODE_COUNT ? mode_menu_ids[state_.mode] : 0;
    static_cast<mode_menu_bar*>(menuBar())->set_highlighted(id ? menu_action(id) : nullptr);
}

void main_window::refresh_main(bool enable, bool connected)
{
    const bool running = fra_running();
    const s_main_enable e = main_controls_enable(state_, enable, connected, running);
    const s_mode_view v = main_mode_view(state_, connected);
    enable_table(TABLE_MAIN, e.strip);
    enable_table(TABLE_CONFIG, e.strip);
    mode_window(ROW_CONFIG)->setEnabled(e.config_panel);
    control_by_id(CMD_READ_HXM)->setEnabled(e.config_panel && v.read_setup);
    control_by_id(CMD_SET_UP_HXM)->setEnabled(e.config_panel && v.read_setup);
    control_by_id(CMD_DATABASE)->setEnabled(e.database);
    control_by_id(CMD_MEASURE)->setEnabled(true);
    control_by_id(CMD_LOGO)->setEnabled(true);
    control_by_id(CMD_HIDE_SETTINGS)->setEnabled(v.hide_settings);
    menu_action(CMD_HIDE_SETTINGS)->setEnabled(v.hide_settings);
    for (int m = 0; m < MODE_COUNT; ++m)
        mode_window(mode_rows[m])->setEnabled(e.mode_window[m]);
    mode_window(ROW_DB_TOOLS)->setEnabled(e.mode_window[MODE_DATABASE]);
    for (int m = 0; m < MODE_COUNT; ++m)
        mode_window(mode_rows[m])->refresh_controls(enable, connected, running);
    mode_window(ROW_DB_TOOLS)->refresh_controls(enable, connected, running);
    // A file that failed to open, or none chosen, is not named as open.
    status_->refresh(db_is_open() ? database_path() : std::string());
}

void main_window::connection_flow()
{
    refresh_main(false, false);
    run_connection_dialog(this);
    if (main_connected()) {
        if (config_panel_window* panel = config_panel())
            panel->connection_changed();
        switch (state_.mode) {
        case MODE_FRA: send_command(this, CMD_MODE_FRA); break;
        case MODE_LCR: send_command(this, CMD_MODE_LCR); break;
        case MODE_PIEZO: send_command(this, CMD_MODE_PIEZO); break;
        default:
            if (config_panel_window* panel = config_panel())
                panel->read_instrument();
            break;
        }
        post_command(this, CMD_MAIN_REFRESH);
        if (config_panel_window* panel = config_panel())
            panel->rebuild_page();
    } else {
        ui_message_box(this, "No connection was made", PROGRAM_NAME, MB_ICONWARNING);
    }
    post_command(this, CMD_MAIN_REFRESH);
}

void main_window::change_fra_lcr(int mode)
{
    const bool connected = main_connected();
    if (connected &&
        !send_mode_line(this, mode == MODE_FRA ? "config,1,1;FRA\n" : "config,1,2;LCR\n"))
        return;
    build_row(mode == MODE_FRA ? ROW_FRA : ROW_LCR);
    mode_window(mode == MODE_FRA ? ROW_FRA : ROW_LCR)->select_graph_view();
    main_enter_mode(state_, mode);
    highlight_mode();
    show_mode();
    redraw_graph_area(mode == MODE_FRA ? TABLE_FRA : TABLE_LCR);
    after_mode_change(connected);
}

// The piezo analysis runs LCR sweeps, so the instrument goes to LCR mode.
void main_window::change_piezo()
{
    const bool connected = main_connected();
    if (connected && !send_mode_line(this, "config,1,2;LCR\n"))
        return;
    main_enter_mode(state_, MODE_PIEZO);
    highlight_mode();
    show_mode();
    after_mode_change(connected);
}

// The instrument's mode changed, so its whole configuration is read back.
void main_window::after_mode_change(bool connected)
{
    if (connected)
        send_command(this, CMD_READ_HXM);
    refresh_main(true, connected);
}

void main_window::measure()
{
    if (!main_leave_database(state_))
        return;
    show_mode();
    set_selected_font(CMD_MEASURE, CMD_MEASURE, CMD_DATABASE);
    refresh_main(true, main_connected());
}

void main_window::database()
{
    if (!main_enter_database(state_))
        return;
    show_mode();
    set_selected_font(CMD_DATABASE, CMD_MEASURE, CMD_DATABASE);
    refresh_main(true, main_connected());
}

void main_window::toggle_settings()
{
    state_.settings_chosen = true;
    show_settings_hidden(!state_.settings_hidden);
}

// Until the user chooses, the panel folds away while the LCR graph would be
// too low beside it, and comes back when the window grows or the mode
// changes.
void main_window::fit_settings()
{
    const bool hidden =
        main_settings_hidden(state_, lcr_plot_height_with_settings(state_.settings_hidden));
    if (hidden == state_.settings_hidden)
        return;
    show_settings_hidden(hidden);
    // The database view shows no panel whatever the setting.
    mode_window(ROW_CONFIG)->setVisible(main_mode_view(state_, main_connected()).config_panel);
}

void main_window::show_settings_hidden(bool hidden)
{
    state_.settings_hidden = hidden;
    auto* button = qobject_cast<QAbstractButton*>(control_by_id(CMD_HIDE_SETTINGS));
    button->setText(QString::fromLatin1(main_settings_button_text(hidden)));
    menu_action(CMD_HIDE_SETTINGS)->setChecked(hidden);
    set_settings_hidden(hidden);
}

void main_window::toggle_comms_log()
{
    if (comms_log_enabled()) {
        comms_log_toggle();
    } else {
        const QString previous = QFileInfo(QString::fromStdString(comms_log_path())).path();
        const QUrl folder = QFileDialog::getExistingDirectoryUrl(
            this, QStringLiteral("Select a folder for the COMMSLOG file to be written to"),
            QUrl::fromLocalFile(previous));
        // A chosen item without a place in the file system (a network or
        // virtual location) cannot hold the log.
        if (!folder.isEmpty() && (!folder.isLocalFile() || folder.toLocalFile().isEmpty()))
            ui_message_box(this, "Invalid Directory Selected", "Error", MB_ICONINFORMATION);
        else if (!folder.isEmpty())
            comms_log_start(folder.toLocalFile().toStdString());
    }
    debug_action_->setChecked(comms_log_enabled());
}

// The report of the current mode: the FRA test report, or the component
// report of the LCR or piezo window. Other modes, and a mode window with no
// results yet, are refused by name.
void main_window::print_mode(int command)
{
    table_window* source = state_.mode == MODE_FRA     ? graph_area(TABLE_FRA)
                           : state_.mode == MODE_LCR   ? graph_area(TABLE_LCR)
                           : state_.mode == MODE_PIEZO ? mode_window(ROW_PIEZO)
                                                       : nullptr;
    s_printout printout = source ? source->printout() : s_printout{};
    if (!printout.print && printout.refusal.empty())
        printout.refusal =
            std::string("The ") + mode_name(state_.mode) + " mode has nothing to print yet.";
    const print_action action = command == CMD_PRINT           ? print_action::print
                                : command == CMD_PRINT_PREVIEW ? print_action::preview
                                                               : print_action::export_pdf;
    print_run(this, action, printout);
}

// The picture of the current mode: the FRA graph area, the piezo window,
// the downloaded screen in capture mode, or the LCR graph area in every
// other mode. A mode whose window has nothing to picture yet is refused by
// name rather than pictured as empty controls.
void main_window::graph_picture(bool to_file)
{
    table_window* source = state_.mode == MODE_FRA       ? graph_area(TABLE_FRA)
                           : state_.mode == MODE_PIEZO   ? mode_window(ROW_PIEZO)
                           : state_.mode == MODE_CAPTURE ? mode_window(ROW_CAPTURE)
                                                         : graph_area(TABLE_LCR);
    const QImage picture = source ? source->picture() : QImage();
    if (picture.isNull()) {
        ui_message_box(this,
                       std::string("The ") + mode_name(state_.mode) +
                           " mode has no graph to picture yet.",
                       "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!to_file) {
        QApplication::clipboard()->setImage(picture);
        return;
    }
    ui_file_request request;
    request.save = true;
    request.caption = "Save to Bitmap";
    request.filters = CHART_FILE_FILTERS;
    request.start = "*.bmp";
    ui_file_choice choice;
    if (!ui_choose_file(this, request, choice))
        return;
    const chart_format format = chart_format_of(choice.path, choice.filter);
    const std::string path = chart_file_path(choice.path, format);
    if (!export_may_replace(this, path))
        return;
    const QString file = QString::fromLocal8Bit(path.c_str());
    // A window that cannot paint its graph again gives its picture to the drawing.
    chart_painter paint = source->picture_painter();
    if (!paint)
        paint = [&picture](QPainter& p, const QRect& r) { p.drawImage(r, picture); };
    // Bitmaps come from the project's own writer: the same 24-bit file as every other bitmap.
    const bool saved = format == chart_format::bmp
                           ? bode_save_bmp(picture, file) == 0
                           : chart_save(paint, picture.size(), file, format) == 0;
    if (!saved)
        ui_message_box(this, "Unable to save the chart to " + path, "Tarvelo2",
                       MB_OK | MB_ICONINFORMATION);
}
