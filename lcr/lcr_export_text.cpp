#include "base/sweep_numbers.h"
#include "base/ui_seam.h"
#include "config/config_text_block.h"
#include "db/sweep_file.h"
#include "lcr/lcr_export.h"
#include "lcr/lcr_layouts.h"

#include <algorithm>
#include <filesystem>

namespace {

// The column lines as the files have always carried them, spelling
// ("quadratude") and the blank before layout 5's "Y phase" included, except
// that layout 5's admittance is headed in siemens, the unit of its values
// and of every other place that shows it (it read "(Ohm)" once); 0xF0 is
// the delta of "Tan delta" and 0xB0 the degree sign.
struct s_columns {
    int layout;
    const char* line;
};

constexpr s_columns COLUMN_LINES[] = {
    {LCR_LAYOUT_FULL,
     "Steps,Frequency (Hz),Q factor,Tan\xF0,Z magnitude (Ohm),Z phase (\xB0),Series L (H),Series "
     "C (F),Series R (Ohm),Y magnitude (S), Y phase (\xB0),Parallel L (H),Parallel C "
     "(F),Parallel R (Ohm)"},
    {LCR_LAYOUT_ADMITTANCE,
     "Steps,Frequency (Hz),Y real (S),Y quadratude (S),Y magnitude (S),Y Phase (\xB0)"},
    {LCR_LAYOUT_IMPEDANCE,
     "Steps,Frequency (Hz),Z real (Ohm),Z quadratude (Ohm),Z magnitude (Ohm),Z Phase (\xB0)"},
    {LCR_LAYOUT_STANDARD, "Steps,Frequency (Hz),Q,tan delta,Impedance (Ohm),Phase (deg),Parallel "
                          "L (H),Parallel C (F),Parallel R (Ohm)"},
};

void show(const std::string& text)
{
    ui_message_box(nullptr, text, EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
}

std::string european_marks(std::string text, char from, char to)
{
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

std::string head(const s_export_header& header, int layout, bool european)
{
    return config_block_text(*header.cfg, *header.link, header.calibration) + header.verdict +
           "data start sweep 1\n" + lcr_export_columns(layout, european) + "\n";
}

// The sweep file's rows when each holds the step and the layout's values.
bool read_sweep(const std::string& path, size_t values, sweep_file_contents& sweep)
{
    return sweep_file_read(path, sweep) == sweep_file_status::ok &&
           (sweep.rows.empty() || sweep.rows.front().size() == values + 1);
}

// The step field as the integer it stands for (a damaged file cannot make
// the conversion overflow).
long step_of(double field)
{
    return static_cast<long>(std::clamp(field, -1e9, 1e9));
}

} // namespace

std::string lcr_export_columns(int layout, bool european)
{
    const auto* found = std::find_if(std::begin(COLUMN_LINES), std::end(COLUMN_LINES),
                                     [&](const s_columns& c) { return c.layout == layout; });
    const char* line = found != std::end(COLUMN_LINES) ? found->line : COLUMN_LINES[3].line;
    return european ? european_marks(line, ',', ';') : std::string(line);
}

std::string lcr_export_line(long step, std::span<const double> values, bool european)
{
    const char separator = european ? ';' : ',';
    std::string line = std::to_string(step);
    for (const double v : values)
        line += separator + sweep_format_scientific5(v);
    return european ? european_marks(line, '.', ',') : line;
}

int lcr_series_layout(const std::string& data_folder)
{
    const std::string mode = sweep_file_read_mode(data_folder);
    if (mode.rfind("LCR ", 0) != 0)
        return 0;
    const int code = std::atoi(mode.c_str() + 4);
    return lcr_layout(code).code == code ? code : 0;
}

int lcr_export_single_text(const std::string& path, const LcrResults& results,
                           const s_export_header& header, bool european)
{
    if (results.count <= 0) {
        show(NO_DATA_TEXT);
        return -1;
    }
    const auto n = static_cast<size_t>(lcr_layout(results.layout).values);
    std::string text = head(header, results.layout, european);
    const int count = std::min(results.count, MAX_SWEEP_POINTS);
    for (int i = 0; i < count; ++i) {
        const LcrPoint& p = results.points[static_cast<size_t>(i)];
        text += (i > 0 ? "\n" : "") + lcr_export_line(i + 1, std::span(p.v, n), european);
    }
    const int written = export_write_text_files({{path, std::move(text)}});
    return written > 0 ? 0 : written;
}

int lcr_export_series_text(const std::string& chosen, const std::string& data_folder, int done,
                           int total, const s_export_header& header, bool european,
                           std::vector<std::string>* written)
{
    const int layout = lcr_series_layout(data_folder);
    if (total <= 0 || done != total || layout == 0) {
        show(NO_DATA_TEXT);
        return -1;
    }
    const auto n = static_cast<size_t>(lcr_layout(layout).values);
    std::vector<s_export_file> files;
    std::string skipped;
    for (int k = 1; k <= total; ++k) {
        sweep_file_contents sweep;
        const std::string source = sweep_file_path(data_folder, k);
        if (!read_sweep(source, n, sweep)) {
            skipped +=
                (skipped.empty() ? "" : ", ") + std::filesystem::path(source).filename().string();
            continue;
        }
        std::string text = head(unjudged(header), layout, european);
        for (const auto& row : sweep.rows)
            text += lcr_export_line(step_of(row[0]), std::span(row).subspan(1), european) + "\n";
        files.push_back({export_series_file_name(chosen, k, sweep.date_line), std::move(text)});
    }
    const int count = files.empty() ? -1 : export_write_text_files(files, written);
    if (count != EXPORT_DECLINED && !skipped.empty())
        show("These sweep files could not be read and were not exported: " + skipped);
    return count;
}

bool lcr_export_scientific(int layout, int position)
{
    const auto& q = lcr_layout(layout).quantities;
    if (position < 1 || position > static_cast<int>(q.size()))
        return false;
    const std::string unit = q[static_cast<size_t>(position - 1)].unit;
    return unit == "H" || unit == "F" || unit == "S";
}
