#include "lcr/piezo_import.h"

#include "base/sweep_numbers.h"
#include "db/sweep_lines.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

namespace {

struct row_form {
    char separator = ',';
    bool step_field = false;
    bool decimal_comma = false;
    int values = 8;
};

bool starts_with_nocase(std::string_view line, std::string_view prefix)
{
    if (line.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

size_t field_count(std::string_view line, char separator)
{
    return static_cast<size_t>(std::count(line.begin(), line.end(), separator)) + 1;
}

int values_for_fields(size_t fields)
{
    return static_cast<int>(std::clamp<size_t>(fields, 2, LCR_VALUES_MAX));
}

// A sweepN.dat date line: "dd-mm-yyyy - hh:mm".
bool is_date_line(std::string_view line)
{
    static const std::string_view shape = "00-00-0000 - 00:00";
    if (line.size() < shape.size())
        return false;
    for (size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == '0' ? !std::isdigit(static_cast<unsigned char>(line[i]))
                            : line[i] != shape[i])
            return false;
    return true;
}

bool parse_row(std::string_view line, const row_form& form, LcrPoint& point)
{
    std::vector<std::string_view> fields = sweep_split(line, form.separator);
    const size_t first = form.step_field ? 1 : 0;
    if (fields.size() < first + static_cast<size_t>(form.values))
        return false;
    point = LcrPoint{};
    for (int i = 0; i < form.values; ++i) {
        std::string text(fields[first + static_cast<size_t>(i)]);
        if (form.decimal_comma)
            std::replace(text.begin(), text.end(), ',', '.');
        if (!sweep_parse_number(text, point.v[i]))
            return false;
    }
    return true;
}

// The shared line reader, with the limit on a line's length.
class line_source {
public:
    explicit line_source(std::string_view text) : reader_(text) {}
    // False at the end; bad is set for a line too long to read.
    bool next(std::string_view& line, bool& bad)
    {
        if (!reader_.next(line))
            return false;
        bad = line.size() > PIEZO_IMPORT_LINE_MAX;
        return true;
    }

private:
    sweep_line_reader reader_;
};

// Finds the form from the lines before the data. False when the file holds
// none of the forms (or a bad line came first).
bool find_form(line_source& lines, row_form& form)
{
    std::string_view line;
    bool bad = false;
    bool first = true;
    while (lines.next(line, bad) && !bad) {
        if (first && is_date_line(line)) {
            form = row_form{'\t', true, false, 0};
            return true;
        }
        first = false;
        if (starts_with_nocase(line, "Sweep No.")) {
            if (!lines.next(line, bad) || bad || !lines.next(line, bad) || bad)
                return false;
            form = row_form{'\t', true, false, field_count(line, '\t') == 6 ? 5 : 8};
            return true;
        }
        if (starts_with_nocase(line, "Steps,Frequency") ||
            starts_with_nocase(line, "Steps;Frequency")) {
            const char sep = line[5];
            form = row_form{sep, true, sep == ';', values_for_fields(field_count(line, sep) - 1)};
            return true;
        }
        if (starts_with_nocase(line, "Frequency")) {
            form = row_form{',', false, false, 8};
            return lines.next(line, bad) && !bad;
        }
    }
    return false;
}

// Whether a line holds anything but blanks and separators: a line of none
// after the rows is the end of the table, not a damaged row.
bool holds_data(std::string_view line)
{
    return line.find_first_not_of(" \t,;") != std::string_view::npos;
}

int layout_for_values(int values)
{
    if (values == 5)
        return 6;
    return values == LCR_VALUES_MAX ? 5 : 2;
}

} // namespace

s_piezo_import piezo_import_parse(std::string_view text, LcrResults& out)
{
    out.clear();
    s_piezo_import result;
    line_source lines(text);
    row_form form;
    if (!find_form(lines, form))
        return result;
    std::string_view line;
    bool bad = false;
    while (lines.next(line, bad) && !bad) {
        if (form.values == 0) // a sweep file: as many values as its first row
            form.values = values_for_fields(field_count(line, '\t') - 1);
        if (result.points == MAX_SWEEP_POINTS) {
            result.truncated = true;
            break;
        }
        if (!parse_row(line, form, out.points[static_cast<size_t>(result.points)])) {
            result.ended_early = holds_data(line);
            while (!result.ended_early && lines.next(line, bad))
                result.ended_early = bad || holds_data(line);
            break;
        }
        ++result.points;
    }
    result.ended_early = result.ended_early || bad;
    out.count = result.points;
    out.layout = layout_for_values(form.values);
    return result;
}

s_piezo_import piezo_import_file(const std::string& path, LcrResults& out, std::string& message)
{
    message.clear();
    std::string text;
    auto read = std::make_unique<LcrResults>();
    s_piezo_import result;
    if (sweep_read_whole_file(path, text))
        result = piezo_import_parse(text, *read);
    if (result.points == 0) {
        message = "No sweep points could be read from " + path;
        return result;
    }
    out = *read;
    if (result.ended_early)
        message = "The file " + path + " ends early: " + std::to_string(result.points) +
                  " sweep points were read, up to a row that is cut short or damaged.";
    else if (result.truncated)
        message =
            "The file " + path + " holds more than 3000 sweep points; the first 3000 were read.";
    return result;
}
