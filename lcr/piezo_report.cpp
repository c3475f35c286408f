#include "lcr/piezo_report.h"

#include "base/export_texts.h"
#include "base/sweep_numbers.h"
#include "base/time_text.h"
#include "base/ui_seam.h"
#include "lcr/lcr_layouts.h"
#include "office/excel_session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

constexpr int32_t BAND_COLOUR = ole_rgb(238, 236, 225);
constexpr int32_t TITLE_COLOUR = ole_rgb(128, 0, 32);
constexpr int32_t SECTION_COLOUR = ole_rgb(219, 238, 243);
constexpr int32_t LABEL_COLOUR = ole_rgb(242, 242, 242);
constexpr int32_t WHITE = ole_rgb(255, 255, 255);
constexpr int LAST_COLUMN = 9; // A to I

const char* const MONTHS[] = {"January",   "February", "March",    "April",
                              "May",       "June",     "July",     "August",
                              "September", "October",  "November", "December"};

std::string printed(const char* format, int a, int b, int c = 0)
{
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string dashed(std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '/' || c == ':'; }, '-');
    return text;
}

void cell(ole_object* sheet, int column, int row, const std::string& text)
{
    range_set_text(sheet, column, row, column, row, text);
}

// Row 1 of every sheet: the sweep number left, the analysis date right.
void band_row(ole_object* sheet, const s_piezo_stamp& stamp)
{
    on_range(sheet, 1, 1, LAST_COLUMN, 1, [](ole_object* r) {
        range_fill(r, BAND_COLOUR);
        range_border_weight_all(r, XL_MEDIUM);
        range_border_line_style(r, XL_INSIDE_VERTICAL, XL_LINE_NONE);
        range_border_line_style(r, XL_INSIDE_HORIZONTAL, XL_LINE_NONE);
    });
    cell(sheet, 1, 1, "Sweep No. 1/1");
    on_range(sheet, 1, 1, 4, 1, [](ole_object* r) {
        range_merge(r);
        range_halign(r, XL_LEFT);
    });
    cell(sheet, 5, 1, piezo_long_date(stamp) + " - " + piezo_long_time(stamp));
    on_range(sheet, 5, 1, LAST_COLUMN, 1, [](ole_object* r) {
        range_merge(r);
        range_halign(r, XL_RIGHT);
    });
}

// A merged row across A:I: a section header (size 10 on the section colour)
// or the report title (size 12, white on the title colour).
void section_row(ole_object* sheet, int row, const std::string& text, bool title = false)
{
    cell(sheet, 1, row, text);
    on_range(sheet, 1, row, LAST_COLUMN, row, [&](ole_object* r) {
        range_merge(r);
        range_fill(r, title ? TITLE_COLOUR : SECTION_COLOUR);
        range_align(r, XL_CENTER, XL_CENTER);
        range_bold(r);
        range_font_size(r, title ? 12 : 10);
        if (title)
            range_font_color(r, WHITE);
        range_border_weight_all(r, XL_MEDIUM);
    });
}

void value_row(ole_object* sheet, int row, const std::string& label, const std::string& value)
{
    cell(sheet, 1, row, label);
    on_range(sheet, 1, row, 3, row, [](ole_object* r) {
        range_merge(r);
        range_fill(r, LABEL_COLOUR);
        range_halign(r, XL_LEFT);
        range_border_weight_all(r, XL_THIN);
    });
    // The value is the report's "%E" text (European texts carry their "'"
    // already): a text cell, which the spreadsheet shows as written rather
    // than as a number in its own General form.
    cell(sheet, 4, row, value.starts_with('\'') ? value : "'" + value);
    on_range(sheet, 4, row, LAST_COLUMN, row, [](ole_object* r) {
        range_merge(r);
        range_halign(r, XL_CENTER);
        range_border_weight_all(r, XL_THIN);
        range_line_style(r, XL_DOT);
    });
}

void outline(ole_object* sheet, int last_row)
{
    on_range(sheet, 1, 1, LAST_COLUMN, last_row,
             [](ole_object* r) { range_outline(r, XL_MEDIUM); });
}

void report_sheet(ole_object* sheet, const s_piezo_report_input& in, const std::string& circuit,
                  bool european)
{
    const s_piezo_values& v = *in.values;
    band_row(sheet, in.stamp);
    section_row(sheet, 2, "QXL Tarvelo Piezo Circuit Impedance", true);
    section_row(sheet, 3, "Measured Values");
    const auto text = [european](double x) { return piezo_report_value(x, european, false); };
    value_row(sheet, 4, "Minimum Impedance", piezo_report_value(v.zmin, european, true));
    value_row(sheet, 5, "Maximum Impedance", text(v.zmax));
    value_row(sheet, 6, "Anti Resonant", text(piezo_angular(v.fa)));
    value_row(sheet, 7, "Resonant", text(piezo_angular(v.fr)));
    section_row(sheet, 8, "Calculated Values");
    value_row(sheet, 9, "L", text(v.l));
    value_row(sheet, 10, "R", text(v.r));
    value_row(sheet, 11, "C", text(v.c));
    value_row(sheet, 12, "Cp", text(v.cp));
    section_row(sheet, 13, "Circuit Diagram");
    on_range(sheet, 1, 14, LAST_COLUMN, 27, [](ole_object* r) { range_merge(r); });
    sheet_add_picture(sheet, circuit, 2, 203, 428, 206);
    outline(sheet, 27);
}

std::string sweep_value(double value, bool european)
{
    return european ? sweep_european_short("'" + sweep_format_scientific(value, 2))
                    : sweep_format_scientific5(value);
}

void sweep_sheet(ole_object* sheet, const s_piezo_report_input& in, bool european)
{
    const int widths[] = {33, 87, 70, 70, 72, 70, 70, 70, 70, 5};
    for (int c = 0; c < 10; ++c)
        set_column_width(sheet, widths[c], c + 1, c + 1);
    band_row(sheet, in.stamp);
    section_row(sheet, 2, "QXL Tarvelo LCR Piezo Sweep");
    // A sweep of the three-channel model holds Z real and quadrature where
    // the two-channel one holds Q and tan delta, and nothing after the
    // phase: its table has six columns (as the importer reads them back).
    const bool impedance = in.results->layout == LCR_LAYOUT_IMPEDANCE;
    const std::vector<const char*> headings =
        impedance ? std::vector<const char*>{"Step",          "Freq. (Hz)", "Z Real (ohm)",
                                             "Z Quad. (ohm)", "Imp. (ohm)", "Phase (\xB0)"}
                  : std::vector<const char*>{"Step",    "Freq. (Hz)", "Q",
                                             "Tan\xF0", "Imp. (ohm)", "Phase (\xB0)",
                                             "L (H)",   "C (F)",      "R (ohm)"};
    const int columns = static_cast<int>(headings.size());
    for (int c = 0; c < columns; ++c) {
        cell(sheet, c + 1, 3, headings[static_cast<size_t>(c)]);
        on_range(sheet, c + 1, 3, c + 1, 3, [](ole_object* r) {
            range_merge(r);
            range_fill(r, LABEL_COLOUR);
            range_halign(r, XL_LEFT);
            range_border_weight_all(r, XL_THIN);
        });
    }
    const int count = std::clamp(in.results->count, 0, MAX_SWEEP_POINTS);
    std::string block;
    for (int i = 0; i < count; ++i) {
        const LcrPoint& p = in.results->points[static_cast<size_t>(i)];
        block += (i ? "\n" : "") + std::to_string(i + 1) + "\t" + sweep_format_fixed4(p.v[0]);
        for (int v = 1; v <= columns - 2; ++v)
            block += "\t" + sweep_value(p.v[v], european);
    }
    if (count > 0)
        on_range(sheet, 1, 4, columns, 3 + count, [&](ole_object* r) {
            range_set_block(r, columns, count, block);
            range_border_weight_all(r, XL_THIN);
            range_line_style(r, XL_DASH);
        });
    outline(sheet, 3 + count);
}

void graph_sheet(ole_object* sheet, const s_piezo_report_input& in, const std::string& graph)
{
    band_row(sheet, in.stamp);
    section_row(sheet, 2, "QXL Piezo Graph");
    on_range(sheet, 1, 3, LAST_COLUMN, 50, [](ole_object* r) { range_merge(r); });
    sheet_add_picture(sheet, graph, 3, 33, 425, 716);
    outline(sheet, 50);
}

void tell(void* owner, const std::string& text, const char* caption)
{
    ui_message_box(owner, text, caption, MB_OK | MB_ICONINFORMATION);
}

// Both pictures on disk, or a message naming what could not be written
// (and neither file left behind).
void remove_pictures(const std::string& circuit, const std::string& graph)
{
    std::error_code error;
    for (const std::string& file : {circuit, graph})
        if (std::filesystem::is_regular_file(file, error))
            std::filesystem::remove(file, error);
}

bool write_pictures(void* owner, const s_piezo_report_input& in, piezo_report_painter& painter,
                    std::string& circuit, std::string& graph)
{
    std::error_code error;
    std::filesystem::create_directories(in.pictures_folder, error);
    if (!std::filesystem::is_directory(in.pictures_folder, error)) {
        tell(owner, "Unable to create the pictures folder " + in.pictures_folder,
             EXPORT_ERROR_CAPTION);
        return false;
    }
    circuit = piezo_picture_path(in.pictures_folder, "circuit", in.stamp);
    graph = piezo_picture_path(in.pictures_folder, "graph", in.stamp);
    // A picture that fails part-way is removed with the one before it.
    const auto written = [&](const std::string& path, const s_bmp_image& image) {
        if (bmp_write_file(path, image) == 0)
            return true;
        remove_pictures(circuit, graph);
        tell(owner, "Unable to write the picture " + path, EXPORT_ERROR_CAPTION);
        return false;
    };
    return written(circuit, painter.circuit(*in.values)) &&
           written(graph, piezo_turn_graph(painter.graph()));
}

} // namespace

std::string piezo_long_date(const s_piezo_stamp& s)
{
    const int month = std::clamp(s.month, 1, 12);
    char text[64];
    std::snprintf(text, sizeof text, "%02d%s %s %04d", s.day, ordinal_suffix(s.day),
                  MONTHS[month - 1], s.year);
    return text;
}

std::string piezo_long_time(const s_piezo_stamp& s)
{
    return printed("%02d:%02d:%02d", s.hour, s.minute, s.second);
}

std::string piezo_short_date(const s_piezo_stamp& s)
{
    return printed("%02d/%02d/%04d", s.day, s.month, s.year);
}

std::string piezo_short_time(const s_piezo_stamp& s)
{
    return printed("%02d:%02d", s.hour, s.minute);
}

std::string piezo_picture_path(const std::string& folder, const char* kind, const s_piezo_stamp& s)
{
    return folder + "/peizo_" + kind + "_@" + dashed(piezo_short_date(s)) + "_#" +
           dashed(piezo_short_time(s)) + ".bmp";
}

s_bmp_image piezo_turn_graph(const s_bmp_image& source)
{
    s_bmp_image out{source.height, source.width, {}};
    if (source.width <= 0 || source.height <= 0 ||
        source.rgb.size() < static_cast<size_t>(source.width) * source.height * 3)
        return {};
    out.rgb.resize(source.rgb.size());
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const size_t from =
                (static_cast<size_t>(x) * source.width + (source.width - 1 - y)) * 3;
            const size_t to = (static_cast<size_t>(y) * out.width + x) * 3;
            std::copy_n(source.rgb.begin() + static_cast<std::ptrdiff_t>(from), 3,
                        out.rgb.begin() + static_cast<std::ptrdiff_t>(to));
        }
    return out;
}

std::string piezo_report_value(double value, bool european, bool minimum_impedance)
{
    if (!european)
        return piezo_format_e(value);
    return sweep_european_short("'" + sweep_format_scientific(value, minimum_impedance ? 3 : 6));
}

std::string piezo_circuit_value(double value)
{
    return sweep_european_short(sweep_format_scientific(value, 4));
}

int piezo_report(void* owner, const s_piezo_report_input& in, piezo_report_painter& painter,
                 bool european)
{
    if (!in.results || in.results->count <= 0 || !in.values) {
        tell(owner, "There is nothing to export yet", "Export to Excel");
        return -1;
    }
    std::string circuit, graph;
    if (!write_pictures(owner, in, painter, circuit, graph))
        return -1;
    s_excel_session excel;
    if (excel.start(EXPORT_ERROR_CAPTION) != 0)
        return -1;
    excel.delete_active_sheets(2); // the one sheet left becomes "Graph"
    ole_object* graph_page = excel.sheet;
    sheets_add(excel.book);
    ole_object* sweep_page = sheet_active(excel.app);
    sheets_add(excel.book);
    ole_object* report_page = sheet_active(excel.app);
    sheet_set_name(report_page, "Piezo Report");
    sheet_set_name(sweep_page, "Sweep Data");
    sheet_set_name(graph_page, "Graph");
    report_sheet(report_page, in, circuit, european);
    sweep_sheet(sweep_page, in, european);
    graph_sheet(graph_page, in, graph);
    ole_release(sweep_page);
    ole_release(report_page);
    if (excel.finish() == 0)
        return 0;
    remove_pictures(circuit, graph); // they belong to the report that failed
    return -1;
}
