#include "fra/fra_export_workbook.h"

#include "base/sweep_numbers.h"
#include "base/ui_seam.h"
#include "db/sweep_file.h"
#include "fra/fra_export.h"
#include "office/excel_session.h"

#include <cmath>

namespace {

constexpr int32_t BAND_COLOUR = ole_rgb(238, 235, 225);
constexpr int32_t TITLE_COLOUR = ole_rgb(219, 239, 243);

// European numbers keep the digits of the standard ones: the decimal mark
// becomes a comma and a scientific text's exponent takes two digits where
// they suffice ("5,59720E+01"). "Remove trailing zeros" trims every value
// column alike, the mantissa of a scientific text included.
std::string value_text(double value, bool european, bool remove_zeros, bool scientific)
{
    std::string text = scientific ? sweep_format_scientific5(value) : sweep_format_fixed5(value);
    if (european) {
        for (char& c : text)
            if (c == '.')
                c = ',';
        if (const size_t e = text.find('E');
            e != std::string::npos && text.size() - e == 5 && text[e + 2] == '0')
            text.erase(e + 2, 1);
    }
    return remove_zeros ? sweep_remove_mantissa_zeros(text) : text;
}

} // namespace

int fra_single_workbook(const FraResults& results, bool european, bool remove_zeros)
{
    s_excel_session excel;
    if (excel.start_for_points(results.count) != 0)
        return -1;
    std::string block = "FRA Sweep\n";
    const char* const names[][2] = {{"Step", nullptr},    {"Frequency", "Hz"}, {"Magnitude 1", "V"},
                                    {"Magnitude 2", "V"}, {"Gain", "dB"},      {"Phase", "\xB0"},
                                    {"Delay", "s"}};
    for (int c = 0; c < 7; ++c)
        block +=
            (c ? "\t" : "") + (names[c][1] ? std::string(names[c][0]) + " (" + names[c][1] + ")"
                                           : std::string(names[c][0]));
    for (int i = 0; i < results.count; ++i) {
        block += "\n" + std::to_string(i + 1);
        for (int p = 0; p < FRA_VALUES_USUAL; ++p) {
            // Delay and magnitudes reach microseconds and microvolts.
            const bool scientific = p == FRA_DELAY || p == FRA_MAGNITUDE1 || p == FRA_MAGNITUDE2;
            block += "\t" + value_text(results.points[i].v[p], european, remove_zeros, scientific);
        }
    }
    const int last_row = results.count + 2;
    const bool text_cells = european || remove_zeros;
    on_range(excel.sheet, 2, 3, 7, last_row, [&](ole_object* r) {
        range_number_format(r, text_cells ? "@" : "#,##0.00000");
        range_halign(r, XL_RIGHT);
    });
    if (!text_cells)
        for (const int column : {3, 4, 7})
            on_range(excel.sheet, column, 3, column, last_row,
                     [](ole_object* r) { range_number_format(r, "0.00000E+00"); });
    range_set_text(excel.sheet, 1, 1, 7, last_row, block);
    on_range(excel.sheet, 1, 1, 7, last_row,
             [](ole_object* r) { range_border_weight_all(r, XL_THIN); });
    single_sweep_headings(excel.sheet, 7);
    on_range(excel.sheet, 1, 1, 7, last_row, [](ole_object* r) { range_autofit(r); });
    return excel.finish();
}

namespace {

void series_block_frame(ole_object* sheet, int first, int last_row)
{
    on_range(sheet, first, 1, first + 5, 1, [](ole_object* r) {
        range_fill(r, BAND_COLOUR);
        range_border_weight_all(r, XL_MEDIUM);
        range_border_line_style(r, XL_INSIDE_VERTICAL, XL_LINE_NONE);
        range_border_line_style(r, XL_INSIDE_HORIZONTAL, XL_LINE_NONE);
    });
    on_range(sheet, first, 2, first + 5, 2, [](ole_object* r) {
        range_merge(r);
        range_halign(r, XL_CENTER);
        range_font_size(r, 10);
        range_fill(r, TITLE_COLOUR);
        range_border_weight_all(r, XL_MEDIUM);
        range_bold(r);
    });
    if (last_row > 3)
        on_range(sheet, first, 4, first + 5, last_row, [](ole_object* r) {
            range_border_weight_all(r, XL_THIN);
            range_line_style(r, XL_DASH);
        });
    on_range(sheet, first, 1, first + 5, last_row,
             [](ole_object* r) { range_outline(r, XL_MEDIUM); });
    set_column_width(sheet, 104, first + 1, first + 5);
    set_column_width(sheet, 5, first + 6, first + 6);
}

// Rows 2 onward of a sweep's block: the title, the headings and one row
// per point of the sweep file. Standard numbers are number cells holding the
// values as the sweep file's text shows them; European numbers take the
// short form of the text exports ("1,50E+00    ") as text cells, the step
// number too. The step number stays whole.
std::shared_ptr<const ole_cells> series_cells(const sweep_file_contents& sweep, bool european)
{
    auto cells = std::make_shared<ole_cells>(6, static_cast<int>(sweep.rows.size()) + 2);
    cells->add_text("QXL HXM Comm FRA Sweep");
    cells->end_row();
    for (const char* heading : {"Step No.", "Frequency(Hz)", "Magnitude 1(V)", "Magnitude 2(V)",
                                "Gain(dB)", "Phase(\xB0)"})
        cells->add_text(heading);
    cells->end_row();
    for (const auto& row : sweep.rows) {
        const double step = std::trunc(row[0]) + 0.0; // whole, and never -0
        if (european) // text, as the whole row's cells are formatted
            cells->add_text(sweep_format_fixed(step, 0));
        else
            cells->add_number(step);
        for (size_t f = 1; f < 6; ++f) {
            if (european)
                cells->add_text(sweep_format_european(row[f]));
            else
                cells->add_number(f == 1 ? sweep_round_fixed(row[f], 4)
                                         : sweep_round_scientific(row[f], 5));
        }
        cells->end_row();
    }
    return cells;
}

// One sweep's block from column first; false when its file cannot be read.
bool series_block(ole_object* sheet, int first, int k, int total, const std::string& folder,
                  bool european)
{
    sweep_file_contents sweep;
    const bool read = sweep_file_read(sweep_file_path(folder, k), sweep) == sweep_file_status::ok &&
                      (sweep.rows.empty() || sweep.rows.front().size() >= 6);
    const std::string number = "Sweep No.: " + std::to_string(k) + "/" + std::to_string(total);
    range_set_text(sheet, first, 1, first + 5, 1, read ? number : "Error");
    on_range(sheet, first, 1, first + (read ? 2 : 5), 1, [](ole_object* r) {
        range_merge(r);
        range_halign(r, XL_LEFT);
    });
    if (read) {
        range_set_text(sheet, first + 3, 1, first + 5, 1, sweep.date_line);
        on_range(sheet, first + 3, 1, first + 5, 1, [](ole_object* r) {
            range_merge(r);
            range_halign(r, XL_RIGHT);
        });
    } else {
        sweep.rows.clear();
    }
    const int last_row = 3 + static_cast<int>(sweep.rows.size());
    if (european && last_row > 3)
        on_range(sheet, first, 4, first + 5, last_row,
                 [](ole_object* r) { range_number_format(r, "@"); });
    range_set_cells(sheet, first, 2, series_cells(sweep, european));
    series_block_frame(sheet, first, last_row);
    return read;
}

} // namespace

int fra_series_workbook(const std::string& data_folder, int done, int total, bool european)
{
    return series_workbook(fra_series_exportable(data_folder, done, total), "FRA Sweep data", total,
                           [&](ole_object* sheet, int k) {
                               return series_block(sheet, 7 * (k - 1) + 1, k, total, data_folder,
                                                   european);
                           });
}
