// LCR replies on arbitrary bytes, as the LCR window takes them: the first
// byte chooses the reply layout and the instrument model, the first line is
// a realtime reading ("lcr?"), every further line a sweep point
// ("LCR,SWEEP?"). Whatever the values (none, too many, NaN, infinities,
// huge exponents, packed numbers), the list rows, the graph axes and traces,
// the cursor readouts and the reading's cell texts must come out without
// reading or writing outside a buffer.

#include "base/number_format.h"
#include "lcr/lcr_complete.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_realtime.h"
#include "lcr/lcr_view.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

const int LAYOUTS[] = {LCR_LAYOUT_STANDARD, LCR_LAYOUT_FULL, LCR_LAYOUT_IMPEDANCE,
                       LCR_LAYOUT_ADMITTANCE};

std::string_view next_line(std::string_view& rest)
{
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return line;
}

void reading(std::string_view line, int type_code)
{
    double values[LCR_READING_VALUES_MAX] = {};
    const int got = parse_values(line, values, LCR_READING_VALUES_MAX);
    const int type = lcr_reading_type_for(instrument_caps_of(type_code), got);
    if (type < 0)
        return;
    if (lcr_reading_labels(type).size() != static_cast<size_t>(lcr_reading_count(type)))
        std::abort();
    for (int i = 0; i < lcr_reading_count(type); ++i) {
        lcr_reading_value_text(type, i, values[i]);
        lcr_reading_plain_text(type, i, values[i]);
    }
}

void sweep(std::string_view rest, int layout, LcrResults& r)
{
    r.clear();
    r.layout = layout;
    const int n = lcr_layout(layout).values;
    while (!rest.empty() && r.count < MAX_SWEEP_POINTS) {
        double values[LCR_VALUES_MAX] = {};
        if (parse_values(next_line(rest), values, n) != n)
            break; // a short line ends the download
        std::copy(values, values + n, r.points[static_cast<size_t>(r.count++)].v);
    }
}

void view(const LcrResults& r)
{
    if (lcr_table_rows(r).size() != static_cast<size_t>(r.count))
        std::abort();
    s_lcr_view_state v;
    lcr_view_new_sweep(v, r);
    const s_plot_rect plot = lcr_plot_area(1024, 625, 92, false);
    for (int position = 1; position < lcr_layout(r.layout).values; ++position) {
        for (const bool log : {false, true}) {
            const s_value_range range = lcr_value_range(r, position, v.freq, v.left, log);
            lcr_trace(r, position, v.freq, range, plot, true);
            lcr_trace(r, position, v.freq, range, plot, false);
            if (!range.log)
                lcr_value_labels(range);
        }
        lcr_cursor_readout(r, v.cursor[1], position, 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto results = std::make_unique<LcrResults>();
    if (size < 1)
        return 0;
    const int layout = LAYOUTS[data[0] % 4];
    const int type_code = data[0] & 4 ? 9 : 7;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    reading(next_line(rest), type_code);
    sweep(rest, layout, *results);
    view(*results);
    return 0;
}
