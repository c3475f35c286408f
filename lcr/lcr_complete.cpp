#include "lcr/lcr_complete.h"

#include "db/sweep_file.h"
#include "lcr/lcr_layouts.h"

#include <algorithm>
#include <span>

std::string lcr_table_row(int step, const LcrPoint& point, int layout)
{
    const size_t n = static_cast<size_t>(lcr_layout(layout).values);
    return sweep_file_row(step, std::span<const double>(point.v, n));
}

std::vector<std::string> lcr_table_rows(const LcrResults& results)
{
    const int count = std::clamp(results.count, 0, MAX_SWEEP_POINTS);
    std::vector<std::string> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        rows.push_back(
            lcr_table_row(i + 1, results.points[static_cast<size_t>(i)], results.layout));
    return rows;
}

std::vector<int> lcr_column_widths(int columns, int width)
{
    std::vector<int> out;
    if (columns <= 1)
        return std::vector<int>(static_cast<size_t>(std::max(columns, 0)), width);
    const int step = width / (2 * columns);
    out.push_back(step);
    for (int i = 1; i < columns; ++i)
        out.push_back((width - step) / (columns - 1));
    return out;
}

s_lcr_outcome lcr_complete_sweep(const LcrSweepContext& ctx, LcrResults& results,
                                 const std::string& data_folder, int sweep_number, std::time_t when)
{
    results = ctx.sweep;
    s_lcr_outcome out;
    out.rows = lcr_table_rows(results);
    out.file_path = sweep_file_path(data_folder, sweep_number);
    out.file_written = sweep_file_write(out.file_path, when, out.rows) &&
                       sweep_file_mark_mode(data_folder, "LCR " + std::to_string(results.layout));
    return out;
}

std::string lcr_file_failure_text(const s_lcr_outcome& outcome)
{
    return sweep_file_failure_text(outcome.file_path);
}
