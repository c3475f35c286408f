// The LCR tables and rules that need no instrument: layouts, list rows and
// widths, the repeat settings, realtime reading types, labels and units.

#include "db/details_rules.h"
#include "lcr/lcr_complete.h"
#include "lcr/lcr_details.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_realtime.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

TEST(LcrLayouts, HeadingsAndValuesPerLayout)
{
    struct row {
        int type, param, layout, values;
        std::vector<std::string> tail; // the headings after "Steps", "Frequency (Hz)"
    };
    const row rows[] = {
        {7,
         4,
         2,
         8,
         {"Q", "Tan\xF0", "Impedance (Ohms)", "Phase (\xB0)", "L (H)", "C (F)", "R (Ohms)"}},
        {9,
         0,
         5,
         13,
         {"Q Factor", "Tan\xF0", "Z Magnitude (Ohms)", "Z Phase (\xB0)", "Series L (H)",
          "Series C (F)", "Series R (Ohms)", "Y Magnitude (S)", "Y Phase (\xB0)", "Parallel L (H)",
          "Parallel C (F)", "Parallel R (Ohms)"}},
        {9, 1, 5, 13, {}},
        {9, 2, 5, 13, {}},
        {9,
         3,
         6,
         5,
         {"Z Real (Ohms)", "Z Quadrature (Ohms)", "Z Magnitude (Ohms)", "Z Phase (\xB0)"}},
        {9, 4, 7, 5, {"Y Real (S)", "Y Quadrature (S)", "Y Magnitude (S)", "Y Phase (\xB0)"}},
    };
    for (const row& r : rows) {
        const int code = lcr_layout_for(instrument_caps_of(r.type), r.param);
        EXPECT_EQ(code, r.layout) << r.type << "/" << r.param;
        EXPECT_EQ(lcr_layout(code).values, r.values);
        const auto h = lcr_list_headings(code);
        ASSERT_EQ(h.size(), static_cast<size_t>(r.values + 1));
        EXPECT_EQ(h[0], "Steps");
        EXPECT_EQ(h[1], "Frequency (Hz)");
        if (!r.tail.empty()) {
            EXPECT_EQ(std::vector<std::string>(h.begin() + 2, h.end()), r.tail);
        }
        EXPECT_EQ(lcr_box_items(code).size(), static_cast<size_t>(r.values - 1));
    }
    EXPECT_EQ(lcr_box_items(0), (std::vector<std::string>{"IMPEDANCE (ohms)", "PHASE (\xB0)"}));
    EXPECT_EQ(lcr_box_items(6)[3], "Z PHASE(\xB0)");
    EXPECT_EQ(lcr_box_items(5)[7], "Y MAGNITUDE (S)");
    EXPECT_EQ(lcr_layout(42).code, 2);
}

TEST(LcrList, RowsAndColumnWidths)
{
    LcrPoint p;
    for (int i = 0; i < LCR_VALUES_MAX; ++i)
        p.v[i] = 1000.0 * (i + 1) + 0.5;
    EXPECT_EQ(lcr_table_row(3, p, 6),
              "3\t1000.5000\t2.00050E+003\t3.00050E+003\t4.00050E+003\t5.00050E+003");
    for (const auto& [layout, tabs] : {std::pair{2, 8}, std::pair{5, 13}, std::pair{7, 5}}) {
        const std::string row = lcr_table_row(1, p, layout);
        EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), tabs) << layout;
    }

    LcrResults r;
    r.layout = 7;
    r.count = 2;
    EXPECT_EQ(lcr_table_rows(r).size(), 2u);
    r.count = -4; // a bad block never yields rows
    EXPECT_TRUE(lcr_table_rows(r).empty());

    EXPECT_EQ(lcr_column_widths(6, 1200), (std::vector<int>{100, 220, 220, 220, 220, 220}));
    EXPECT_EQ(lcr_column_widths(14, 1400)[0], 50);
    EXPECT_EQ(lcr_column_widths(14, 1400)[13], 103);
    // However many columns, they fit the width: no horizontal scroll bar.
    for (int columns = 2; columns <= 16; ++columns) {
        const std::vector<int> widths = lcr_column_widths(columns, 973);
        EXPECT_LE(std::accumulate(widths.begin(), widths.end(), 0), 973) << columns;
        EXPECT_GT(std::accumulate(widths.begin(), widths.end(), 0), 973 - columns) << columns;
    }
}

TEST(LcrDetails, RepeatRulesShowTheCountMessageThenTheTotalTime)
{
    struct row {
        const char* count;
        const char* interval;
        std::vector<std::string> texts;
    };
    const std::string total = "Invalid Total Test Time";
    const row rows[] = {
        {"3", "5", {}},
        {"99", "1", {}},
        {"1", "5", {"Repeating tests must have more than one sweep", total}},
        {"", "5", {"Repeating tests must have more than one sweep", total}},
        {"100", "5", {"Repeating tests must have less than 99 sweeps", total}},
        {"3", "", {total}},
        {"3", "0", {total}},
        {"3", "-5", {total}}, // a negative interval is no interval
    };
    for (const row& r : rows) {
        s_repeat_settings s;
        std::vector<std::string> texts;
        for (const s_details_message& m : lcr_details_check_repeat(r.count, r.interval, s))
            texts.push_back(m.text);
        EXPECT_EQ(texts, r.texts) << r.count << "/" << r.interval;
        if (r.texts.empty()) {
            EXPECT_EQ(s.interval_ms, std::stoull(r.interval) * 60000u);
            EXPECT_EQ(s.count, std::stoi(r.count));
        }
    }
}

TEST(LcrRealtime, ReadingTypesLabelsAndUnits)
{
    struct row {
        int type_code, count, reading;
    };
    for (const row r : {row{7, 11, 0}, row{7, 14, 1}, row{9, 11, 3}, row{9, 14, 4}, row{9, 12, -1},
                        row{7, 13, -1}, row{5, 11, -1}, row{7, -1, -1}})
        EXPECT_EQ(lcr_reading_type_for(instrument_caps_of(r.type_code), r.count), r.reading)
            << r.type_code << "/" << r.count;

    for (const int t : {0, 3}) {
        const auto labels = lcr_reading_labels(t);
        ASSERT_EQ(labels.size(), 11u);
        EXPECT_EQ(labels[7], "Admittance");
        EXPECT_EQ(lcr_reading_plain_text(t, 7, 0.5), "500.00 mOhm-1");
        EXPECT_EQ(lcr_reading_value_text(t, 3, 1000), "1.0000 k");
        EXPECT_EQ(lcr_reading_plain_text(t, 9, 0.002), "2.0000 mS");
    }
    for (const int t : {1, 4}) {
        const auto labels = lcr_reading_labels(t);
        ASSERT_EQ(labels.size(), 14u);
        EXPECT_EQ(labels[11], "Tan\xF0");
        EXPECT_EQ(labels[12], "Q");
        EXPECT_EQ(labels[13], "Reactance");
        for (const int ohm : {3, 5, 8, 13})
            EXPECT_EQ(lcr_reading_unit(t, ohm).kind, lcr_unit_kind::ohm) << ohm;
        EXPECT_EQ(lcr_reading_plain_text(t, 6, 0.001), "1.0000 mH");
        EXPECT_EQ(lcr_reading_plain_text(t, 13, 50), "50.000 Ohm");
    }
    EXPECT_EQ(lcr_reading_unit(0, 11).kind, lcr_unit_kind::text); // beyond the reading

    struct grid {
        int values, columns, rows;
    };
    for (const grid g :
         {grid{11, 4, 3}, grid{12, 4, 3}, grid{14, 5, 3}, grid{6, 3, 2}, grid{30, 5, 5}}) {
        const s_tile_grid got = lcr_cell_grid(g.values);
        EXPECT_EQ(got.columns, g.columns) << g.values;
        EXPECT_EQ(got.rows, g.rows) << g.values;
    }
}
