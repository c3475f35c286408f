#pragma once
// The configuration panel: twelve page buttons, the extra button 13014 and
// the page area, in which each page shows a label and an input control per
// parameter of the current configuration model. It edits only the model;
// READ HXM and SET UP HXM move the whole configuration.

#include "base/control_table.h"
#include "base/ui/config_panel_window.h"

#include <map>
#include <span>
#include <vector>

class QLabel;
class instrument_config;

class config_window : public config_panel_window {
    Q_OBJECT
public:
    explicit config_window(QWidget* parent, const s_control& row);

    void on_command(int id, intptr_t lparam) override;
    void connection_changed() override;
    void read_instrument() override;
    void write_instrument() override;
    void rebuild_page() override;

    int page() const { return page_; }
    // The input control of a page control id on the page now shown.
    QWidget* page_control(int id) const;
    QLabel* page_label(int id) const;

private:
    struct s_row {
        int id = 0;
        QLabel* label = nullptr;
        QWidget* input = nullptr;
    };
    struct s_row_set {
        int base = 0;
        std::vector<s_row> rows;
    };

    int model() const;
    void show_page(int number);
    void name_page_buttons();
    void update_extra_button();
    void enable_page_buttons();
    s_row_set& rows_for(int base, std::span<const int> params);
    void build_mode_sets();
    s_row_set& current_rows();
    const s_row_set* shown_rows() const;
    void refresh_rows(const s_row_set& set);
    void refresh_row(const s_row& row);
    void place_rows(s_row_set& set);
    void hide_all_rows();
    void edit_changed(const s_row& row);
    void edit_finished(int control_id);
    void selection_accepted(int control_id);
    QString page_title() const;

    int page_ = 0;
    std::map<std::pair<int, int>, s_row_set> built_; // (model, base) -> rows
    int shown_model_ = -1;
    int shown_base_ = -1;
};

// The factory the main window uses for the "QXTarvelo2ConfigWClass" row.
table_window* make_config_window(QWidget* parent, const s_control& row);
