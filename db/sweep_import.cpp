#include "db/sweep_import.h"

#include "base/sweep_numbers.h"
#include "db/sweep_lines.h"

#include <algorithm>

namespace {

// The column headers of the FRA text exports; the degree sign is read in the
// program's own single-byte form and in UTF-8.
constexpr std::string_view SIX_COLUMNS[] = {
    "Frequency (Hz),Magnitude1 (V),Magnitude2 (V),Gain (dB),Phase (\xB0),Delay (s)",
    "Frequency (Hz),Magnitude1 (V),Magnitude2 (V),Gain (dB),Phase (\xC2\xB0),Delay (s)"};
constexpr std::string_view THREE_COLUMNS[] = {"Frequency (Hz),Gain (dB),Phase (\xB0)",
                                              "Frequency (Hz),Gain (dB),Phase (\xC2\xB0)"};
constexpr std::string_view EXPORT_FIRST_LINE = "Instrument Configuration";

struct layout {
    size_t fields;
    size_t frequency, gain, phase;
};
constexpr layout SIX_COLUMN_LAYOUT{6, 0, 3, 4};
constexpr layout THREE_COLUMN_LAYOUT{3, 0, 1, 2};
constexpr layout TAB_FOUR_FIELDS{4, 1, 2, 3};
constexpr layout TAB_MORE_FIELDS{0, 1, 4, 5};

// European exports separate their column names and fields with ";" (their
// numbers carry decimal commas); the header is compared in the comma form.
bool is_one_of(std::string_view line, const std::string_view (&texts)[2])
{
    std::string commas(line);
    std::replace(commas.begin(), commas.end(), ';', ',');
    return commas == texts[0] || commas == texts[1];
}

// A European number ("1,23E+03    ") read with its decimal comma.
bool parse_european(std::string_view field, double& value)
{
    std::string dotted(field);
    std::replace(dotted.begin(), dotted.end(), ',', '.');
    return sweep_parse_number(dotted, value);
}

bool is_blank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool read_point(const std::vector<std::string_view>& fields, const layout& l, bool grouped,
                bool european, s_test_point& point)
{
    if (european)
        return parse_european(fields[l.frequency], point.Frequency) &&
               parse_european(fields[l.gain], point.Amplitude) &&
               parse_european(fields[l.phase], point.Phase);
    const bool frequency_ok = grouped ? sweep_parse_frequency(fields[l.frequency], point.Frequency)
                                      : sweep_parse_number(fields[l.frequency], point.Frequency);
    return frequency_ok && sweep_parse_number(fields[l.gain], point.Amplitude) &&
           sweep_parse_number(fields[l.phase], point.Phase);
}

class point_collector {
public:
    explicit point_collector(std::vector<s_test_point>& points) : points_(points)
    {
        points_.clear();
    }

    // Reads one data line; false (with result set) ends the file.
    bool take(std::string_view line, const layout* fixed, char separator = ',')
    {
        ++line_;
        if (line.size() > SWEEP_IMPORT_MAX_LINE)
            return fail(sweep_import_status::bad_line);
        if (is_blank(line))
            return true;
        const auto fields = sweep_split(line, fixed ? separator : '\t');
        if (!fixed && fields.size() < 4)
            return true;
        if (!fixed && fields.size() == 5)
            return fail(sweep_import_status::bad_line);
        const layout& l = fixed ? *fixed : (fields.size() == 4 ? TAB_FOUR_FIELDS : TAB_MORE_FIELDS);
        s_test_point point;
        if ((fixed && fields.size() != fixed->fields) ||
            !read_point(fields, l, !fixed, separator == ';', point))
            return fail(sweep_import_status::bad_line);
        if (points_.size() == SWEEP_IMPORT_MAX_POINTS)
            return fail(sweep_import_status::too_many_points);
        points_.push_back(point);
        return true;
    }

    void skip() { ++line_; }

    sweep_import_result finish()
    {
        if (result_.status == sweep_import_status::ok && points_.empty())
            result_.status = sweep_import_status::no_points;
        if (result_.status != sweep_import_status::ok)
            points_.clear();
        return result_;
    }

private:
    bool fail(sweep_import_status status)
    {
        result_ = {status, line_};
        return false;
    }

    std::vector<s_test_point>& points_;
    sweep_import_result result_;
    int line_ = 0;
};

// Finds the column header after the configuration block.
const layout* find_header(sweep_line_reader& lines, point_collector& collector, char& separator)
{
    std::string_view line;
    while (lines.next(line)) {
        collector.skip();
        separator = line.find(';') != std::string_view::npos ? ';' : ',';
        if (is_one_of(line, SIX_COLUMNS))
            return &SIX_COLUMN_LAYOUT;
        if (is_one_of(line, THREE_COLUMNS))
            return &THREE_COLUMN_LAYOUT;
    }
    return nullptr;
}

} // namespace

sweep_import_result sweep_import_parse(std::string_view text, std::vector<s_test_point>& points)
{
    point_collector collector(points);
    sweep_line_reader lines(text);
    std::string_view line;
    if (!lines.next(line))
        return {sweep_import_status::empty, 0};
    const layout* fixed = nullptr;
    char separator = ',';
    if (line == EXPORT_FIRST_LINE) {
        collector.skip();
        fixed = find_header(lines, collector, separator);
        if (!fixed)
            return {sweep_import_status::no_column_header, 0};
    } else if (!collector.take(line, nullptr)) {
        return collector.finish();
    }
    while (lines.next(line))
        if (!collector.take(line, fixed, separator))
            break;
    return collector.finish();
}

sweep_import_result sweep_import_read(const std::string& path, std::vector<s_test_point>& points)
{
    std::string text;
    if (!sweep_read_whole_file(path, text))
        return {sweep_import_status::cannot_open, 0};
    return sweep_import_parse(text, points);
}

const char* sweep_import_reason(sweep_import_status status)
{
    switch (status) {
    case sweep_import_status::ok: return "ok";
    case sweep_import_status::cannot_open: return "the file cannot be read";
    case sweep_import_status::empty: return "the file is empty";
    case sweep_import_status::no_column_header: return "no column header after the configuration";
    case sweep_import_status::bad_line: return "a line that is not a sweep point";
    case sweep_import_status::too_many_points: return "more points than a sweep can have";
    case sweep_import_status::no_points: return "no sweep points";
    }
    return "unknown";
}
