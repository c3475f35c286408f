#include "base/off_window.h"
#include "base/sweep_numbers.h"
#include "base/ui_seam.h"
#include "db/sweep_file.h"
#include "lcr/lcr_export.h"
#include "lcr/lcr_layouts.h"
#include "office/excel_session.h"

#include <algorithm>

namespace {

constexpr int32_t BAND_COLOUR = ole_rgb(238, 236, 225);
constexpr int32_t TITLE_COLOUR = ole_rgb(219, 238, 243);
constexpr int32_t LABEL_COLOUR = ole_rgb(242, 242, 242);
constexpr const char* SCIENTIFIC_FORMAT = "0.00000E+00";

// Whether "%.5f" holds a value to six significant digits, or to no fewer
// than the scientific form does (0.16 as 0.16000).
bool fixed_keeps_digits(double value)
{
    const std::string fixed = sweep_format_fixed5(value);
    double shown = 0.0, kept = 0.0;
    if (sweep_parse_number(fixed, shown) &&
        sweep_parse_number(sweep_format_scientific5(value), kept) && shown == kept)
        return true;
    const size_t first = fixed.find_first_of("123456789");
    return first != std::string::npos &&
           std::count_if(fixed.begin() + static_cast<long>(first), fixed.end(),
                         [](char c) { return c >= '0' && c <= '9'; }) >= 6;
}

// Which value columns of a single-sweep sheet are written "%.5E" rather
// than "%.5f": inductances, capacitances and admittances always, any other
// column when "%.5f" would lose digits of one of its values (a tan delta of
// 1.5708E-05 is no 0.00002). A column keeps one form, so it reads evenly.
std::vector<bool> scientific_columns(const LcrResults& results, int count)
{
    const int n = lcr_layout(results.layout).values;
    std::vector<bool> scientific(static_cast<size_t>(n));
    for (int v = 0; v < n; ++v) {
        bool sci = lcr_export_scientific(results.layout, v);
        for (int i = 0; i < count && !sci; ++i)
            sci = !fixed_keeps_digits(results.points[static_cast<size_t>(i)].v[v]);
        scientific[static_cast<size_t>(v)] = sci;
    }
    return scientific;
}

// A single-sweep cell: "%.5f" or "%.5E" (a text cell in European numbers,
// where the first "." becomes ","). "Remove trailing zeros" trims the
// mantissa in either form.
std::string cell_text(double value, bool scientific, bool european, bool remove_zeros)
{
    std::string text = scientific ? sweep_format_scientific5(value) : sweep_format_fixed5(value);
    if (european) {
        if (const size_t dot = text.find('.'); dot != std::string::npos)
            text[dot] = ',';
        if (scientific)
            text.insert(0, 1, '\'');
    }
    return remove_zeros ? sweep_remove_mantissa_zeros(text) : text;
}

std::string join_row(const std::vector<std::string>& cells)
{
    std::string row;
    for (size_t i = 0; i < cells.size(); ++i)
        row += (i ? "\t" : "") + cells[i];
    return row;
}

void single_sheet_format(ole_object* sheet, const std::vector<bool>& scientific, int last_row,
                         bool text_cells, bool european)
{
    const int columns = static_cast<int>(scientific.size()) + 1;
    on_range(sheet, 2, 3, columns, last_row,
             [&](ole_object* r) { range_number_format(r, text_cells ? "@" : "#,##0.00000"); });
    for (int c = 2; c <= columns && !european; ++c)
        if (scientific[static_cast<size_t>(c - 2)])
            on_range(sheet, c, 3, c, last_row,
                     [](ole_object* r) { range_number_format(r, SCIENTIFIC_FORMAT); });
    on_range(sheet, 2, 3, columns, last_row, [](ole_object* r) { range_halign(r, XL_RIGHT); });
}

} // namespace

namespace {

// The sweep's cells, their formats and widths on the sheet.
void single_sheet(ole_object* sheet, const LcrResults& results, bool european, bool remove_zeros)
{
    const int layout = results.layout;
    const int n = lcr_layout(layout).values;
    const int count = std::min(results.count, MAX_SWEEP_POINTS);
    const std::vector<bool> scientific = scientific_columns(results, count);
    std::vector<std::string> headings = lcr_list_headings(layout);
    headings.front() = "Step";
    std::string block = "LCR Sweep\n" + join_row(headings);
    for (int i = 0; i < count; ++i) {
        const LcrPoint& p = results.points[static_cast<size_t>(i)];
        block += "\n" + std::to_string(i + 1);
        for (int v = 0; v < n; ++v)
            block += "\t" +
                     cell_text(p.v[v], scientific[static_cast<size_t>(v)], european, remove_zeros);
    }
    const int last_row = count + 2;
    single_sheet_format(sheet, scientific, last_row, european || remove_zeros, european);
    on_range(sheet, 1, 1, n + 1, last_row, [&](ole_object* r) {
        range_set_block(r, n + 1, last_row, block);
        range_border_weight_all(r, XL_THIN);
    });
    single_sweep_headings(sheet, n + 1);
    on_range(sheet, 1, 1, n + 1, last_row, [](ole_object* r) { range_autofit(r); });
}

} // namespace

int lcr_single_workbook(const LcrResults& results, bool european, bool remove_zeros)
{
    s_excel_session excel;
    if (excel.start_for_points(results.count) != 0)
        return -1;
    // Cancel while the cells are built leaves no file: the session lets go
    // of the workbook unwritten.
    const exchange_outcome built =
        run_off_window("Building the workbook\x85", [&](const std::atomic<bool>&) {
            single_sheet(excel.sheet, results, european, remove_zeros);
            return true;
        });
    return built == exchange_outcome::done ? excel.finish() : -1;
}

namespace {

struct s_block_place {
    ole_object* sheet;
    int first; // the block's first column
    int n;     // values per point: data columns n + 1, then one gap column
};

void block_widths(const s_block_place& b)
{
    set_column_width(b.sheet, 40, b.first, b.first);
    set_column_width(b.sheet, 95, b.first + 1, b.first + 1);
    if (b.n >= 2)
        set_column_width(b.sheet, 68, b.first + 2, b.first + b.n);
    set_column_width(b.sheet, 5, b.first + b.n + 1, b.first + b.n + 1);
}

void band_row(const s_block_place& b, int k, int total, const std::string& date_line)
{
    const int last = b.first + b.n;
    const int half = (b.n + 2) / 2;
    on_range(b.sheet, b.first, 1, last, 1, [](ole_object* r) {
        range_fill(r, BAND_COLOUR);
        range_border_weight_all(r, XL_MEDIUM);
        range_border_line_style(r, XL_INSIDE_VERTICAL, XL_LINE_NONE);
        range_border_line_style(r, XL_INSIDE_HORIZONTAL, XL_LINE_NONE);
    });
    on_range(b.sheet, b.first, 1, b.first + half - 1, 1, [&](ole_object* r) {
        range_merge(r);
        range_halign(r, XL_LEFT);
    });
    range_set_text(b.sheet, b.first, 1, b.first, 1,
                   "Sweep No.: " + std::to_string(k) + "/" + std::to_string(total));
    on_range(b.sheet, b.first + half, 1, last, 1, [&](ole_object* r) {
        range_merge(r);
        range_halign(r, XL_RIGHT);
    });
    range_set_text(b.sheet, b.first + half, 1, b.first + half, 1, date_line);
}

void title_rows(const s_block_place& b, int layout)
{
    const int last = b.first + b.n;
    range_set_text(b.sheet, b.first, 2, b.first, 2, "QXL HXM Comm LCR Sweep");
    on_range(b.sheet, b.first, 2, last, 2, [](ole_object* r) {
        range_merge(r);
        range_fill(r, TITLE_COLOUR);
        range_align(r, XL_CENTER, XL_CENTER);
        range_bold(r);
        range_font_size(r, 10);
        range_border_weight_all(r, XL_MEDIUM);
    });
    const std::vector<std::string> headings = lcr_list_headings(layout);
    for (int c = 0; c <= b.n; ++c)
        on_range(b.sheet, b.first + c, 3, b.first + c, 3, [&](ole_object* r) {
            range_merge(r);
            range_fill(r, LABEL_COLOUR);
            range_set_value(r, headings[static_cast<size_t>(c)]);
            range_halign(r, XL_LEFT);
            range_border_weight_all(r, XL_THIN);
        });
}

// A sweep file's row as written into the sheet: as the file holds it, or
// in European numbers "%.5E" with a decimal comma, the digits of the text
// exports.
std::string data_row(const std::vector<double>& row, bool european)
{
    if (!european)
        return sweep_file_row(static_cast<int>(std::clamp(row[0], -1e9, 1e9)),
                              std::span(row).subspan(1));
    std::string text = std::to_string(static_cast<long>(std::clamp(row[0], -1e9, 1e9)));
    for (size_t f = 1; f < row.size(); ++f)
        text += "\t" + sweep_format_scientific5(row[f]);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// The rows of the sweep file under the headings: one block write, every
// cell with thin dashed borders (text cells in European numbers).
void data_rows(const s_block_place& b, const sweep_file_contents& sweep, bool european)
{
    if (sweep.rows.empty())
        return;
    std::string block;
    for (const auto& row : sweep.rows)
        block += (block.empty() ? "" : "\n") + data_row(row, european);
    const int rows = static_cast<int>(sweep.rows.size());
    on_range(b.sheet, b.first, 4, b.first + b.n, 3 + rows, [&](ole_object* r) {
        if (european)
            range_number_format(r, "@");
        range_set_block(r, b.n + 1, rows, block);
        range_border_weight_all(r, XL_THIN);
        range_line_style(r, XL_DASH);
    });
}

// One sweep's block; false when its file cannot be read as the layout's.
bool series_block(const s_block_place& b, int layout, int k, int total, const std::string& folder,
                  bool european)
{
    sweep_file_contents sweep;
    const bool read = sweep_file_read(sweep_file_path(folder, k), sweep) == sweep_file_status::ok &&
                      (sweep.rows.empty() || sweep.rows.front().size() == size_t(b.n) + 1);
    if (!read) {
        range_set_text(b.sheet, b.first, 1, b.first, 1, "Error");
        on_range(b.sheet, b.first, 1, b.first + 5, 1, [](ole_object* r) { range_merge(r); });
        return false;
    }
    block_widths(b);
    band_row(b, k, total, sweep.date_line);
    title_rows(b, layout);
    data_rows(b, sweep, european);
    const int last_row = 3 + static_cast<int>(sweep.rows.size());
    on_range(b.sheet, b.first, 1, b.first + b.n, last_row,
             [](ole_object* r) { range_outline(r, XL_MEDIUM); });
    return true;
}

} // namespace

int lcr_series_workbook(const std::string& data_folder, int done, int total, bool european)
{
    const int layout = lcr_series_layout(data_folder);
    const int n = layout == 0 ? 0 : lcr_layout(layout).values;
    return series_workbook(total > 0 && done == total && layout != 0, "LCR Sweep data", total,
                           [&](ole_object* sheet, int k) {
                               return series_block({sheet, (n + 2) * (k - 1) + 1, n}, layout, k,
                                                   total, data_folder, european);
                           });
}
