#pragma once
// The graph dialog without its window: up to nine stored tests overlaid on
// one Bode chart, each with its own colours, weights, visibility, margin
// crossings and noise filter, and the chart-wide ranges, background and
// cursors. Pure data and arithmetic; the window draws what this holds.
#include "fra/margin_slots.h"
#include "graph/bode_colors.h"
#include "graph/bode_geometry.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

enum : int { GRAPH_MARKER_BLACK = 0, GRAPH_MARKER_WHITE = 1, GRAPH_MARKER_CUSTOM = 2 };

struct PlotStyle {
    bool margins_available = false;
    bool filter_ready = false;
    bool gain_visible = true;
    bool phase_visible = true;
    bool gain_markers = false;
    bool phase_markers = false;
    bool markers_hidden = false; // only the main crossing of each kind
    bool whole_range = true;     // false: drawn only inside the filter interval
    double filter_start = 0;     // Hz
    double filter_end = 0;
    int gain_weight = 2; // pen width 1, 2 or 3
    int phase_weight = 2;
    int gain_colour = 0; // index of bode_color_table, BODE_COLOR_CUSTOM for the custom one
    int phase_colour = 0;
    int gain_marker_colour = GRAPH_MARKER_WHITE;
    int phase_marker_colour = GRAPH_MARKER_WHITE;
    s_rgb custom_gain, custom_phase;
    s_rgb custom_gain_marker, custom_phase_marker;
};

enum class graph_range_mode { automatic, centre_zero, manual };

// The chart the dialog shows of the same tests.
enum class graph_view { bode, nyquist, nichols };

// One entry of a cursor list: a point of the test or a crossing inserted
// among them in frequency order.
struct s_cursor_entry {
    double frequency = 0;
    double gain = 0;
    double phase = 0;
    bool crossing = false;
};

struct s_range_check {
    bool ok = false;
    std::string message; // shown titled "Tarvelo2" when not ok
    double min = 0;
    double max = 0;
};

constexpr int GRAPH_CUSTOM_RING = 16;

class graph_model {
public:
    std::array<s_margin_slot, MARGIN_SLOTS> plots;
    std::array<PlotStyle, MARGIN_SLOTS> styles;
    int count = 0;

    bode_background background = bode_background::black;
    s_rgb custom_background;
    std::array<s_rgb, GRAPH_CUSTOM_RING> custom_ring{};
    int custom_next = 0;
    bool log_scaling = true;
    graph_range_mode freq_mode = graph_range_mode::automatic;
    graph_range_mode gain_mode = graph_range_mode::automatic;
    s_freq_range freq;
    s_gain_range gain{-40, 40};
    bool gain_cursor_shown = true;
    bool phase_cursor_shown = true;
    int selected = 0;
    int gain_cursor = 0; // index into gain_cursor_list()
    int phase_cursor = 0;
    int phase_base = -180;
    graph_view view = graph_view::bode;

    // Fills the slots in order from the stored tests (at most nine) and
    // sets the defaults: slot colours 2i and 2i+1, automatic ranges. A test
    // that no longer exists fills its slot without points. Returns the
    // number of slots filled, or -1 as soon as a test cannot be read (the
    // read has shown why): such a chart is not to be drawn.
    int load(const std::vector<int>& test_keys);
    // Adds a test from memory (the database loader and the tests use it).
    void add(const std::string& name, std::vector<s_margin_sample> points);

    void auto_freq_range();
    void auto_gain_range();
    void centre_gain_range();
    // Applies a checked range; false (nothing applied) when it was refused.
    bool apply_freq_range(const std::string& min_text, const std::string& max_text,
                          s_range_check* result = nullptr);
    bool apply_gain_range(const std::string& min_text, const std::string& max_text,
                          s_range_check* result = nullptr);

    // Black, white or a custom colour; margin markers that would vanish on
    // the new background change to the other of black and white.
    void set_background(bode_background b, s_rgb custom = {});
    void remember_custom(s_rgb colour);

    // Empties every slot's crossing lists, searches again and computes the
    // filter intervals still missing: a repeated search changes nothing.
    void find_margins();
    void filter_noise();

    // The points of a slot as drawn: all, or with its noise filter on only
    // the stretch inside the filter interval, cut at both ends by linear
    // interpolation in the axis's own measure.
    std::vector<s_margin_sample> drawn_points(int slot) const;

    std::vector<s_cursor_entry> gain_cursor_list() const;
    std::vector<s_cursor_entry> phase_cursor_list() const;
    void select_plot(int slot);
    // Puts the gain (0 dB, zero_db) or phase (zero_phase) cursor on the
    // selected test's main crossing of that kind, searching the margins
    // first when they were not; false when the test has no such crossing.
    bool go_to_crossover(margin_kind kind);

    s_rgb gain_colour(int slot) const;
    s_rgb phase_colour(int slot) const;
    s_rgb gain_marker_colour(int slot) const;
    s_rgb phase_marker_colour(int slot) const;
    s_bode_palette palette() const { return bode_palette(background); }

private:
    std::vector<s_gain_sample> gain_samples() const;
    std::vector<s_cursor_entry> cursor_list(int slot, margin_kind kind) const;
    void compute_filter(int slot);
};

// Range dialog checks: the texts must be finite numbers.
s_range_check graph_check_freq_range(const std::string& min_text, const std::string& max_text);
s_range_check graph_check_gain_range(const std::string& min_text, const std::string& max_text);

// The crossing whose span is largest (the first of equals); null for none.
const s_gain_phase_point* graph_main_crossing(const LList<s_gain_phase_point>& list);

// A name as the "Plot Appearance" menu shortens it (the legend shows it
// whole, elided in the middle only where its cell is too narrow).
std::string graph_menu_caption(const std::string& name);
// Per-test menu ids: base + 70 x slot.
constexpr int GRAPH_MENU_STRIDE = 70;
constexpr int GRAPH_MENU_FIRST = 32802;
constexpr int GRAPH_MENU_LAST = 32871; // 32852 + Custom...
int graph_menu_id(int base, int slot);
// Splits a per-test id into its base and slot; false for other ids.
bool graph_menu_split(int id, int& base, int& slot);

// The cursor readouts, as their boxes word them.
std::string graph_cursor_readout(const s_cursor_entry& e);
