// The configuration panel's pages: building, refreshing and placing the
// rows, and storing what the user edits into the model.

#include "config/ui/config_window.h"

#include "base/command_ids.h"
#include "base/ui/control_windows.h"
#include "base/ui/display_text.h"
#include "base/ui/eliding_combo.h"
#include "base/ui/fit_font.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "base/ui_status.h"
#include "config/config_current.h"
#include "config/param_table.h"
#include "config/ui/config_pages.h"
#include "config/ui/config_transfer_ui.h"
#include "link/link.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int EXTRA_BUTTON = 13014;
constexpr int TITLE = 13001;
constexpr int FIRST_BUTTON = 13002;
constexpr int LAST_BUTTON = 13013;

// The page area's grid: 15 cells of a label and a control, five to a
// column, beside the page buttons.
constexpr int GRID_X = 258;
constexpr int GRID_Y = 28;
constexpr int CELL_WIDTH = 244;
constexpr int CELL_HEIGHT = 27;
constexpr int ROWS_PER_COLUMN = 5;
constexpr int LABEL_WIDTH = 104;
constexpr int INPUT_WIDTH = 130;

QRect label_cell(int cell)
{
    return QRect(GRID_X + cell / ROWS_PER_COLUMN * CELL_WIDTH,
                 GRID_Y + cell % ROWS_PER_COLUMN * CELL_HEIGHT + 3, LABEL_WIDTH, 20);
}

QRect input_cell(int cell)
{
    return QRect(GRID_X + cell / ROWS_PER_COLUMN * CELL_WIDTH + LABEL_WIDTH + 4,
                 GRID_Y + cell % ROWS_PER_COLUMN * CELL_HEIGHT, INPUT_WIDTH, 23);
}

caps_param_names panel_names(int model)
{
    return model == PANEL_THREE_CHANNEL ? caps_param_names::hxm_6300 : caps_param_names::hxm_4100;
}

bool is_list(const instrument_config& cfg, int id)
{
    const s_config_param* rec = cfg.record(id);
    return rec && !rec->options.empty() && id != 18;
}

QWidget* make_input(QWidget* parent, const instrument_config& cfg, int id)
{
    if (is_list(cfg, id)) {
        auto* combo = new eliding_combo(parent);
        for (const std::string& option : cfg.record(id)->options)
            combo->addItem(qt_display_text(option));
        return combo;
    }
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(PARAM_TEXT_MAX);
    return edit;
}

} // namespace

config_window::config_window(QWidget* parent, const s_control& row)
    : config_panel_window(parent, row.class_name, control_frame(row))
{
}

int config_window::model() const
{
    return g_link.caps.config_model == caps_config_model::three_channel ? PANEL_THREE_CHANNEL
                                                                        : PANEL_TWO_CHANNEL;
}

void config_window::on_command(int id, intptr_t lparam)
{
    const int page = config_page_of_button(id);
    if (page >= 0) {
        show_page(page);
        return;
    }
    if (id == EXTRA_BUTTON) {
        const int next[] = {PAGE_ADVANCED, PAGE_ACQUISITION, PAGE_INPUT3, PAGE_INPUT2};
        const int from[] = {PAGE_ACQUISITION, PAGE_ADVANCED, PAGE_INPUT2, PAGE_INPUT3};
        for (int i = 0; i < 4; ++i) {
            if (page_ == from[i] && model() == PANEL_THREE_CHANNEL) {
                show_page(next[i]);
                return;
            }
        }
        return;
    }
    if (lparam == NOTIFY_SELECT_OK) {
        selection_accepted(id);
        return;
    }
    if (lparam == NOTIFY_EDIT_CHANGE) {
        const s_row_set* set = shown_rows();
        const int index = set ? id - set->base : -1;
        if (index >= 0 && index < static_cast<int>(set->rows.size()))
            edit_changed(set->rows[index]);
    }
}

void config_window::connection_changed()
{
    config_select(g_link.caps);
}

void config_window::read_instrument()
{
    const exchange_outcome outcome = config_transfer(this, config_transfer_kind::read);
    if (outcome == exchange_outcome::cancelled)
        return; // the fields keep what they show
    rebuild_page();
    ui_status(outcome == exchange_outcome::done ? "Configuration read"
                                                : "Configuration not read in full");
}

void config_window::write_instrument()
{
    // A field still being edited shows what is written, not what was typed.
    if (const s_row_set* set = shown_rows())
        refresh_rows(*set);
    const exchange_outcome outcome = config_transfer(this, config_transfer_kind::write);
    if (outcome == exchange_outcome::cancelled)
        ui_status("Configuration not written: cancelled");
    else
        ui_status(outcome == exchange_outcome::done ? "Configuration written"
                                                    : "Configuration not written in full");
}

// The page buttons carry short names; their tooltips give the pages' titles.
void config_window::name_page_buttons()
{
    for (int id = FIRST_BUTTON; id <= LAST_BUTTON; ++id) {
        const int page = config_page_of_button(id);
        QWidget* button = control_by_id(id);
        if (page < 0 || !button)
            continue;
        const char* title = config_page(model(), page).title;
        button->setToolTip(QString::fromLatin1(title ? title : "Operating Mode"));
    }
}

void config_window::rebuild_page()
{
    show_page(page_);
}

// The page number is kept as asked for: the two-channel model shows its
// Acquisition Control and Input 2 for the three-channel Advanced
// Acquisition and Input 3, and the three-channel pages come back after a
// connection to that model again.
void config_window::show_page(int number)
{
    page_ = number;
    set_selected_font(config_button_of_page(page_), FIRST_BUTTON, LAST_BUTTON);
    name_page_buttons();
    if (auto* title = qobject_cast<QLabel*>(control_by_id(TITLE))) {
        title->setText(QStringLiteral("Configuration: ") + page_title());
        fit_label_font(title, table_font(FONT_NORMAL));
    }
    update_extra_button();
    if (page_ == PAGE_MODE)
        build_mode_sets();
    s_row_set& set = current_rows();
    hide_all_rows();
    refresh_rows(set);
    place_rows(set);
    enable_page_buttons();
}

QString config_window::page_title() const
{
    const s_config_page& p = config_page(model(), page_);
    if (p.title)
        return QString::fromLatin1(p.title);
    int32_t mode = 0;
    config_current().get_int(PARAM_OPERATING_MODE, mode);
    return QString::fromLatin1(config_mode_title(model(), mode));
}

void config_window::update_extra_button()
{
    auto* extra = qobject_cast<QAbstractButton*>(control_by_id(EXTRA_BUTTON));
    if (!extra)
        return;
    const char* text = nullptr;
    if (model() == PANEL_THREE_CHANNEL) {
        switch (page_) {
        case PAGE_ACQUISITION: text = "Advanced >"; break;
        case PAGE_ADVANCED: text = "< Acquisition"; break;
        case PAGE_INPUT2: text = "Channel 3 >"; break;
        case PAGE_INPUT3: text = "< Channel 2"; break;
        default: break;
        }
    }
    extra->setText(text ? QString::fromLatin1(text) : QString());
    extra->setVisible(text != nullptr);
}

// The page buttons follow the panel; COMMS, ALARM and PROG have no page.
void config_window::enable_page_buttons()
{
    const bool on = isEnabled();
    for (int id = FIRST_BUTTON; id <= LAST_BUTTON; ++id) {
        if (QWidget* b = control_by_id(id))
            b->setEnabled(on && id != 13005 && id != 13006 && id != 13013);
    }
    if (QWidget* extra = control_by_id(EXTRA_BUTTON))
        extra->setEnabled(on);
}

config_window::s_row_set& config_window::rows_for(int base, std::span<const int> params)
{
    s_row_set& set = built_[{model(), base}];
    if (!set.rows.empty() || params.empty())
        return set;
    set.base = base;
    const instrument_config& cfg = config_current();
    for (size_t i = 0; i < params.size(); ++i) {
        s_row row;
        row.id = params[i];
        const char* name = config_param_name(panel_names(model()), row.id);
        row.label = new QLabel(QString::fromLatin1(name ? name : ""), client());
        row.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.input = make_input(client(), cfg, row.id);
        const int control_id = base + static_cast<int>(i);
        row.input->setProperty("control_id", control_id);
        if (auto* combo = qobject_cast<QComboBox*>(row.input))
            connect(combo, &QComboBox::activated, this,
                    [this, control_id] { post_command(this, control_id, NOTIFY_SELECT_OK); });
        if (auto* edit = qobject_cast<QLineEdit*>(row.input)) {
            connect(edit, &QLineEdit::textEdited, this,
                    [this, control_id] { post_command(this, control_id, NOTIFY_EDIT_CHANGE); });
            connect(edit, &QLineEdit::editingFinished, this,
                    [this, control_id] { edit_finished(control_id); });
        }
        // Every cell has the same size: a name is fitted to it once.
        row.label->setGeometry(label_cell(0));
        row.input->setGeometry(input_cell(0));
        for (QWidget* w : {static_cast<QWidget*>(row.label), row.input}) {
            w->setFont(table_font(FONT_NORMAL));
            w->hide();
        }
        fit_label_font(row.label, table_font(FONT_NORMAL));
        set.rows.push_back(row);
    }
    return set;
}

// The mode page creates the controls of every operating mode at once.
void config_window::build_mode_sets()
{
    for (int m = 0; m < config_mode_count(model()); ++m) {
        const s_mode_set& set = config_mode_set(model(), m);
        rows_for(set.base, set.params);
    }
}

config_window::s_row_set& config_window::current_rows()
{
    if (page_ == PAGE_MODE) {
        int32_t mode = 0;
        config_current().get_int(PARAM_OPERATING_MODE, mode);
        const s_mode_set& set = config_mode_set(model(), mode);
        return rows_for(set.base, set.params);
    }
    const s_config_page& p = config_page(model(), page_);
    return rows_for(p.base, p.params);
}

const config_window::s_row_set* config_window::shown_rows() const
{
    const auto it = built_.find({shown_model_, shown_base_});
    return it == built_.end() ? nullptr : &it->second;
}

void config_window::refresh_rows(const s_row_set& set)
{
    for (const s_row& row : set.rows)
        refresh_row(row);
}

// The row shows the model's value: what SET UP HXM writes.
void config_window::refresh_row(const s_row& row)
{
    const instrument_config& cfg = config_current();
    int32_t value = 0;
    cfg.get_int(row.id, value);
    if (auto* combo = qobject_cast<QComboBox*>(row.input)) {
        combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
        return;
    }
    std::string text;
    cfg.get_text(row.id, text);
    if (row.id == 18)
        text = std::to_string(value);
    const char* fallback = config_default_text(page_, row.id);
    if (text.empty() && fallback)
        text = fallback;
    auto* edit = static_cast<QLineEdit*>(row.input);
    if (edit->text() != qt_from_ansi(text))
        edit->setText(qt_from_ansi(text));
}

void config_window::place_rows(s_row_set& set)
{
    for (s_row& row : set.rows) {
        row.label->hide();
        row.input->hide();
    }
    const std::vector<int> visible = config_visible_rows(model(), page_, config_current());
    int cell = 0;
    for (int index : visible) {
        if (index < 0 || index >= static_cast<int>(set.rows.size()) || cell >= PAGE_ROWS)
            continue;
        s_row& row = set.rows[index];
        row.label->setGeometry(label_cell(cell));
        row.input->setGeometry(input_cell(cell));
        row.label->show();
        row.input->show();
        ++cell;
    }
    shown_model_ = model();
    shown_base_ = set.base;
}

void config_window::hide_all_rows()
{
    for (auto& [key, set] : built_) {
        for (s_row& row : set.rows) {
            row.label->hide();
            row.input->hide();
        }
    }
}

void config_window::edit_changed(const s_row& row)
{
    const std::string text = qt_to_ansi(static_cast<QLineEdit*>(row.input)->text());
    const s_edit_check check = config_check_edit(row.id, text.c_str());
    instrument_config& cfg = config_current();
    switch (check.action) {
    case edit_action::store_text: cfg.set_text(row.id, text); break;
    case edit_action::store_int: cfg.set_int(row.id, check.value); break;
    case edit_action::refuse:
        refresh_row(row); // the refused text is not kept on screen
        ui_message_box(this, check.message, "Incorrect Value", MB_ICONINFORMATION);
        break;
    case edit_action::ignore: break;
    }
}

// When editing ends, what was typed last is taken (its change may still be
// queued) and the field shows the model's value: a steps count out of range
// or an emptied field is not left on screen as if it would be written.
void config_window::edit_finished(int control_id)
{
    const s_row_set* set = shown_rows();
    const int index = set ? control_id - set->base : -1;
    if (index < 0 || index >= static_cast<int>(set->rows.size()))
        return;
    const s_row& row = set->rows[index];
    edit_changed(row);
    refresh_row(row);
}

// Every list of the page is compared with the model; a change of a
// parameter that decides which rows show lays the page out again.
void config_window::selection_accepted(int control_id)
{
    const s_row_set* set = shown_rows();
    if (!set)
        return;
    instrument_config& cfg = config_current();
    bool relayout_page = false;
    // A page may list one parameter in two rows, one for each fixture; only
    // the row the user can see is taken, and its hidden twin follows it.
    for (const s_row& row : set->rows) {
        auto* combo = qobject_cast<QComboBox*>(row.input);
        int32_t value = 0;
        cfg.get_int(row.id, value);
        if (!combo || combo->isHidden() || combo->currentIndex() < 0 ||
            combo->currentIndex() == value)
            continue;
        cfg.set_int(row.id, combo->currentIndex());
        relayout_page = relayout_page || config_is_controlling(model(), page_, row.id);
    }
    for (const s_row& row : set->rows)
        if (auto* combo = qobject_cast<QComboBox*>(row.input); combo && combo->isHidden()) {
            int32_t value = 0;
            cfg.get_int(row.id, value);
            combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
        }
    if (!relayout_page)
        return;
    show_page(page_);
    if (QWidget* used = page_control(control_id))
        used->setFocus();
}

QWidget* config_window::page_control(int id) const
{
    const s_row_set* set = shown_rows();
    const int index = set ? id - set->base : -1;
    if (index < 0 || index >= static_cast<int>(set->rows.size()))
        return nullptr;
    return set->rows[index].input;
}

QLabel* config_window::page_label(int id) const
{
    const s_row_set* set = shown_rows();
    const int index = set ? id - set->base : -1;
    if (index < 0 || index >= static_cast<int>(set->rows.size()))
        return nullptr;
    return set->rows[index].label;
}

table_window* make_config_window(QWidget* parent, const s_control& row)
{
    return new config_window(parent, row);
}
