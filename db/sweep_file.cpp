#include "db/sweep_file.h"

#include "base/sweep_numbers.h"
#include "base/text_file.h"
#include "db/sweep_lines.h"

namespace {

bool parse_row(std::string_view line, std::vector<double>& row)
{
    row.clear();
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    for (std::string_view field : sweep_split(line, '\t')) {
        double value = 0.0;
        if (!sweep_parse_number(field, value))
            return false;
        row.push_back(value);
    }
    return row.size() >= 2;
}

} // namespace

std::string sweep_file_path(const std::string& data_folder, int sweep_number)
{
    return data_folder + "/sweep" + std::to_string(sweep_number) + ".dat";
}

std::string sweep_file_date_line(std::time_t when)
{
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%02d-%02d-%4d - %02d:%02d", utc.tm_mday, utc.tm_mon + 1,
                  utc.tm_year + 1900, utc.tm_hour, utc.tm_min);
    return text;
}

std::string sweep_file_row(int step, std::span<const double> values)
{
    std::string row = std::to_string(step);
    for (size_t i = 0; i < values.size(); ++i) {
        row += '\t';
        row += i == 0 ? sweep_format_fixed4(values[i]) : sweep_format_scientific5(values[i]);
    }
    return row;
}

std::string sweep_file_mode_path(const std::string& data_folder)
{
    return data_folder + "/sweeps.mode";
}

bool sweep_file_mark_mode(const std::string& data_folder, const std::string& mode)
{
    return file_write_replacing(sweep_file_mode_path(data_folder),
                                [&mode](const std::string& t) { return file_put_bytes(t, mode); });
}

bool sweep_file_write(const std::string& path, std::time_t when,
                      const std::vector<std::string>& rows)
{
    return file_write_replacing(path, [&](const std::string& temporary) {
        sweep_file_writer file;
        if (!file.open(temporary, when))
            return false;
        for (const std::string& row : rows)
            file.write_row(row);
        return file.close();
    });
}

std::string sweep_file_failure_text(const std::string& path)
{
    return "The sweep file " + path + " could not be written; the sweep is shown but not kept.";
}

std::string sweep_file_read_mode(const std::string& data_folder)
{
    std::string text;
    if (!sweep_read_whole_file(sweep_file_mode_path(data_folder), text))
        return {};
    return text.substr(0, std::min<size_t>(text.find_first_of("\r\n"), 32));
}

sweep_file_writer::~sweep_file_writer()
{
    close();
}

bool sweep_file_writer::open(const std::string& path, std::time_t when)
{
    close();
    file_ = std::fopen(path.c_str(), "wb");
    first_row_ = true;
    failed_ = false;
    if (!file_)
        return false;
    const std::string line = sweep_file_date_line(when) + "\r\n";
    failed_ = std::fwrite(line.data(), 1, line.size(), file_) != line.size();
    return true;
}

void sweep_file_writer::write_row(const std::string& row)
{
    if (!file_)
        return;
    const std::string text = first_row_ ? row : "\r\n" + row;
    first_row_ = false;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
        failed_ = true;
}

bool sweep_file_writer::close()
{
    if (!file_)
        return false;
    const bool ok = std::fclose(file_) == 0 && !failed_;
    file_ = nullptr;
    return ok;
}

sweep_file_status sweep_file_read(const std::string& path, sweep_file_contents& out)
{
    std::string text;
    if (!sweep_read_whole_file(path, text))
        return sweep_file_status::cannot_open;
    return sweep_file_parse(text, out);
}

sweep_file_status sweep_file_parse(std::string_view text, sweep_file_contents& out)
{
    out = sweep_file_contents{};
    sweep_line_reader lines(text);
    std::string_view line;
    if (!lines.next(line))
        return sweep_file_status::malformed;
    out.date_line = std::string(line);
    std::vector<double> row;
    while (lines.next(line)) {
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        if (!parse_row(line, row) || (!out.rows.empty() && row.size() != out.rows[0].size()))
            return sweep_file_status::malformed;
        out.rows.push_back(row);
    }
    return sweep_file_status::ok;
}
