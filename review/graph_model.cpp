#include "review/graph_model.h"

#include "db/db_access.h"
#include "graph/round_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

int graph_model::load(const std::vector<int>& test_keys)
{
    for (int key : test_keys) {
        if (count >= MARGIN_SLOTS)
            break;
        s_test test;
        if (db_load_test(test, key) != 0)
            return -1;
        std::vector<s_margin_sample> points;
        if (test.TestNo == key)
            for (const s_test_point& p : test.points)
                points.push_back({p.Frequency, p.Amplitude, p.Phase});
        add(test.TestNo == key ? test.Name : std::string(), std::move(points));
    }
    auto_freq_range();
    auto_gain_range();
    return count;
}

void graph_model::add(const std::string& name, std::vector<s_margin_sample> points)
{
    if (count >= MARGIN_SLOTS)
        return;
    const int slot = count++;
    plots[slot].test_name = name;
    plots[slot].points = std::move(points);
    styles[slot] = PlotStyle{};
    styles[slot].gain_colour = 2 * slot;
    styles[slot].phase_colour = 2 * slot + 1;
}

std::vector<s_gain_sample> graph_model::gain_samples() const
{
    std::vector<s_gain_sample> out;
    for (int i = 0; i < count; ++i)
        for (const s_margin_sample& p : plots[i].points)
            out.push_back({p.frequency, p.gain});
    return out;
}

void graph_model::auto_freq_range()
{
    // Slots without points (a test deleted after it was selected) take no
    // part; with none left the default axis stays.
    std::vector<double> frequencies;
    for (int i = 0; i < count; ++i)
        for (const s_margin_sample& p : plots[i].points)
            frequencies.push_back(p.frequency);
    freq = frequencies.empty() ? s_freq_range{} : bode_freq_range(frequencies);
    freq_mode = graph_range_mode::automatic;
}

void graph_model::auto_gain_range()
{
    const std::vector<s_gain_sample> samples = gain_samples();
    if (samples.empty())
        return;
    const bool any_inside = std::any_of(samples.begin(), samples.end(), [this](const auto& s) {
        return s.frequency >= freq.fmin && s.frequency <= freq.fmax;
    });
    // Under a manual frequency range that holds no point every point
    // counts: an axis over nothing would come out inverted.
    constexpr double inf = std::numeric_limits<double>::infinity();
    gain = bode_gain_range(samples, any_inside ? freq : s_freq_range{-inf, inf}, false);
    gain_mode = graph_range_mode::automatic;
}

void graph_model::centre_gain_range()
{
    // Symmetric about 0 dB, on the round divisions of an automatic range.
    const double half = std::max(std::fabs(gain.gmin), std::fabs(gain.gmax));
    const s_round_scale r = round_scale(-half, half, 10);
    gain = {r.min, r.max};
    gain_mode = graph_range_mode::centre_zero;
}

bool graph_model::apply_freq_range(const std::string& min_text, const std::string& max_text,
                                   s_range_check* result)
{
    const s_range_check r = graph_check_freq_range(min_text, max_text);
    if (result)
        *result = r;
    if (!r.ok)
        return false;
    freq = {r.min, r.max};
    freq_mode = graph_range_mode::manual;
    return true;
}

bool graph_model::apply_gain_range(const std::string& min_text, const std::string& max_text,
                                   s_range_check* result)
{
    const s_range_check r = graph_check_gain_range(min_text, max_text);
    if (result)
        *result = r;
    if (!r.ok)
        return false;
    gain = {r.min, r.max};
    gain_mode = graph_range_mode::manual;
    return true;
}

void graph_model::set_background(bode_background b, s_rgb custom)
{
    background = b;
    if (b == bode_background::custom) {
        custom_background = custom;
        remember_custom(custom);
        return;
    }
    const int vanishing = b == bode_background::black ? GRAPH_MARKER_BLACK : GRAPH_MARKER_WHITE;
    const int visible = b == bode_background::black ? GRAPH_MARKER_WHITE : GRAPH_MARKER_BLACK;
    for (PlotStyle& s : styles) {
        if (s.gain_marker_colour == vanishing)
            s.gain_marker_colour = visible;
        if (s.phase_marker_colour == vanishing)
            s.phase_marker_colour = visible;
    }
}

void graph_model::remember_custom(s_rgb colour)
{
    custom_ring[custom_next] = colour;
    custom_next = (custom_next + 1) % GRAPH_CUSTOM_RING;
}

void graph_model::find_margins()
{
    // The search appends: the lists are emptied first, so a repeated search
    // finds exactly what the first one did.
    for (s_margin_slot& slot : plots) {
        slot.zero_db.clear();
        slot.zero_phase.clear();
    }
    margin_search_slots(plots);
    for (int i = 0; i < count; ++i) {
        PlotStyle& s = styles[i];
        if (!s.margins_available) {
            s.gain_markers = plots[i].gain_markers;
            s.phase_markers = plots[i].phase_markers;
        }
        s.margins_available = !plots[i].zero_db.empty() || !plots[i].zero_phase.empty();
        compute_filter(i);
    }
    select_plot(selected);
}

void graph_model::compute_filter(int slot)
{
    PlotStyle& s = styles[slot];
    if (s.filter_ready)
        return;
    // Kept in hertz as doubles: a loop crossing below 1 Hz keeps its trace.
    const s_gain_phase_point* db = graph_main_crossing(plots[slot].zero_db);
    const s_gain_phase_point* ph = graph_main_crossing(plots[slot].zero_phase);
    const double start_db = db ? db->frequency : freq.fmin;
    const double end_db = db ? db->frequency : freq.fmax;
    const double start_ph = ph ? ph->frequency : freq.fmin;
    const double end_ph = ph ? ph->frequency : freq.fmax;
    s.filter_start = std::min(start_db, start_ph);
    s.filter_end = std::max(end_db, end_ph);
    s.filter_ready = true;
    s.whole_range = true;
}

void graph_model::filter_noise()
{
    if (selected < count && plots[selected].zero_db.empty())
        find_margins();
    for (int i = 0; i < count; ++i)
        styles[i].whole_range = !styles[i].whole_range;
}

std::vector<s_margin_sample> graph_model::drawn_points(int slot) const
{
    const std::vector<s_margin_sample>& points = plots[slot].points;
    const PlotStyle& s = styles[slot];
    if (s.whole_range)
        return points;
    const auto measure = [this](double f) { return log_scaling ? std::log10(f) : f; };
    const auto at = [&](const s_margin_sample& a, const s_margin_sample& b, double f) {
        const double span = measure(b.frequency) - measure(a.frequency);
        const double t = span > 0 ? (measure(f) - measure(a.frequency)) / span : 0;
        return s_margin_sample{f, a.gain + t * (b.gain - a.gain),
                               a.phase + t * (b.phase - a.phase)};
    };
    std::vector<s_margin_sample> out;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const s_margin_sample& a = points[i];
        const s_margin_sample& b = points[i + 1];
        if (log_scaling && (a.frequency <= 0 || b.frequency <= 0))
            continue;
        const double lo = std::max(a.frequency, s.filter_start);
        const double hi = std::min(b.frequency, s.filter_end);
        if (lo > hi)
            continue;
        for (double f : {lo, hi})
            if (out.empty() || out.back().frequency != f)
                out.push_back(at(a, b, f));
    }
    return out;
}

std::vector<s_cursor_entry> graph_model::cursor_list(int slot, margin_kind kind) const
{
    std::vector<s_cursor_entry> out;
    if (slot < 0 || slot >= count)
        return out;
    for (const s_margin_sample& p : plots[slot].points)
        out.push_back({p.frequency, p.gain, p.phase, false});
    const LList<s_gain_phase_point>& list =
        kind == margin_kind::zero_db ? plots[slot].zero_db : plots[slot].zero_phase;
    const s_gain_phase_point* main = graph_main_crossing(list);
    for (auto* n = list.head; n; n = n->next) {
        const s_gain_phase_point& c = *n->element;
        if (styles[slot].markers_hidden && &c != main)
            continue;
        const s_cursor_entry e{c.frequency, c.gain, c.phase, true};
        const auto at =
            std::upper_bound(out.begin(), out.end(), e, [](const auto& a, const auto& b) {
                return a.frequency < b.frequency;
            });
        out.insert(at, e);
    }
    return out;
}

std::vector<s_cursor_entry> graph_model::gain_cursor_list() const
{
    return cursor_list(selected, margin_kind::zero_db);
}

std::vector<s_cursor_entry> graph_model::phase_cursor_list() const
{
    return cursor_list(selected, margin_kind::zero_phase);
}

void graph_model::select_plot(int slot)
{
    selected = std::clamp(slot, 0, std::max(count - 1, 0));
    const auto clamp_to = [](int index, size_t size) {
        return size == 0 ? 0 : std::clamp(index, 0, int(size) - 1);
    };
    gain_cursor = clamp_to(gain_cursor, gain_cursor_list().size());
    phase_cursor = clamp_to(phase_cursor, phase_cursor_list().size());
}

bool graph_model::go_to_crossover(margin_kind kind)
{
    if (count == 0)
        return false;
    if (!styles[selected].margins_available)
        find_margins();
    const bool db = kind == margin_kind::zero_db;
    const s_gain_phase_point* main =
        graph_main_crossing(db ? plots[selected].zero_db : plots[selected].zero_phase);
    if (!main)
        return false;
    const auto list = db ? gain_cursor_list() : phase_cursor_list();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].crossing && list[i].frequency == main->frequency) {
            (db ? gain_cursor : phase_cursor) = static_cast<int>(i);
            (db ? gain_cursor_shown : phase_cursor_shown) = true;
            return true;
        }
    return false;
}

s_rgb graph_model::gain_colour(int slot) const
{
    return bode_color(styles[slot].gain_colour, styles[slot].custom_gain);
}

s_rgb graph_model::phase_colour(int slot) const
{
    return bode_color(styles[slot].phase_colour, styles[slot].custom_phase);
}

namespace {

s_rgb marker_rgb(int choice, s_rgb custom)
{
    return choice == GRAPH_MARKER_BLACK   ? s_rgb{0, 0, 0}
           : choice == GRAPH_MARKER_WHITE ? s_rgb{255, 255, 255}
                                          : custom;
}

} // namespace

s_rgb graph_model::gain_marker_colour(int slot) const
{
    return marker_rgb(styles[slot].gain_marker_colour, styles[slot].custom_gain_marker);
}

s_rgb graph_model::phase_marker_colour(int slot) const
{
    return marker_rgb(styles[slot].phase_marker_colour, styles[slot].custom_phase_marker);
}

const s_gain_phase_point* graph_main_crossing(const LList<s_gain_phase_point>& list)
{
    return margin_main_crossing(list);
}
