#include "review/winding_report.h"

#include "base/export_texts.h"
#include "base/sweep_numbers.h"
#include "base/text_file.h"
#include "base/ui_seam.h"
#include "db/db_records.h"

namespace {

const char* const COLUMNS[] = {
    "Test", "R_LF", "R_MF", "R_HF", "Judgement", "Correlation", "Mean abs difference (dB)"};

std::string csv_field(const std::string& text, char separator)
{
    if (text.find_first_of(std::string("\"\r\n") + separator) == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string csv_line(const std::vector<std::string>& fields, char separator)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line +=
            (i > 0 ? std::string(1, separator) : std::string()) + csv_field(fields[i], separator);
    return line + "\n";
}

std::string band_field(const s_band_factor& band, bool european)
{
    return band.covered ? sweep_format_fixed(band.r, 2, european) : winding_band_text(band);
}

} // namespace

std::vector<s_gain_sample> winding_curve(const s_test& test)
{
    std::vector<s_gain_sample> curve;
    for (const s_test_point& p : test.points)
        curve.push_back({p.Frequency, p.Amplitude});
    return curve;
}

std::vector<s_winding_row> winding_compare_all(std::span<const s_gain_sample> reference,
                                               const std::vector<std::string>& names,
                                               const std::vector<std::vector<s_gain_sample>>& tests)
{
    std::vector<s_winding_row> rows;
    rows.reserve(tests.size());
    for (size_t i = 0; i < tests.size(); ++i)
        rows.push_back(
            {i < names.size() ? names[i] : std::string(), winding_compare(reference, tests[i])});
    return rows;
}

std::string winding_block_text(const s_winding_row& row)
{
    const s_winding_result& r = row.result;
    std::string text = "test\t" + row.name + "\n";
    for (int b = 0; b < WINDING_BANDS; ++b)
        text += std::string(winding_band_name(b)) + "\t" + winding_band_text(r.bands[b]) + "\n";
    return text + "judgement\t" + winding_judgement_text(r) + "\ncorrelation\t" +
           sweep_format_fixed(r.correlation, 4) + "\nmean abs difference dB\t" +
           sweep_format_fixed(r.mean_abs_difference, 3) + "\n";
}

std::vector<std::string> winding_table_columns()
{
    return {std::begin(COLUMNS), std::end(COLUMNS)};
}

std::vector<std::string> winding_table_cells(const s_winding_row& row, bool european)
{
    const s_winding_result& r = row.result;
    return {row.name,
            band_field(r.bands[WINDING_LOW], european),
            band_field(r.bands[WINDING_MID], european),
            band_field(r.bands[WINDING_HIGH], european),
            winding_judgement_text(r),
            sweep_format_fixed(r.correlation, 4, european),
            sweep_format_fixed(r.mean_abs_difference, 3, european)};
}

std::string winding_csv_text(const std::string& reference, const std::vector<s_winding_row>& rows,
                             bool european)
{
    const char separator = european ? ';' : ',';
    std::string text = csv_line({"Reference", reference}, separator);
    text += csv_line(winding_table_columns(), separator);
    for (const s_winding_row& row : rows)
        text += csv_line(winding_table_cells(row, european), separator);
    return text;
}

int winding_export_csv(const std::string& path, const std::string& reference,
                       const std::vector<s_winding_row>& rows, bool european)
{
    const int written =
        export_write_text_files({{path, winding_csv_text(reference, rows, european)}});
    return written > 0 ? 0 : written;
}
