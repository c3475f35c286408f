#pragma once
// The FRA test report: the session's and the test's details, the
// instrument's identity and configuration, the Bode chart with its margin
// markers, the margins table and, when asked, the Nyquist and Nichols
// charts and the points. Built from what the FRA window holds or from a
// stored test.

#include "db/db_records.h"
#include "db/db_verdict.h"
#include "fra/fra_result.h"
#include "fra/margins.h"
#include "graph/ui/bode_plot.h"
#include "graph/ui/report_document.h"

#include <optional>
#include <span>
#include <vector>

struct s_fra_report_input {
    s_session session; // Windows-1252 texts, as stored
    s_test test;       // name, winding and description; its points are not read
    std::vector<s_margin_sample> points;
    int phase_convention = 0;
    bool log_scaling = true;
    // The chart as the window shows it (ranges, scaling); without it the
    // ranges are the points' own on a white background.
    std::optional<s_bode_inputs> chart;
    // The instrument's identity and a summary of its configuration; empty
    // when not known (a stored test does not record them).
    std::vector<report_field> instrument;
    // The sweep's verdict against its limit set, when it was judged.
    std::optional<s_test_verdict> verdict;
    bool nyquist = false;
    bool nichols = false;
    bool with_points = false;
};

// The points of a completed sweep, or of a stored test.
std::vector<s_margin_sample> fra_report_points(const FraResults& results);
std::vector<s_margin_sample> fra_report_points(const s_test& test);

// The margins as the report's table rows: gain margin and phase margin,
// each with its frequency, in the form the FRA window reports them
// ("%.2f"), or "not found".
std::vector<QStringList> fra_report_margin_rows(std::span<const s_margin_sample> points);

// The page head's details: contract, unit, date, location, performed by,
// test, winding and description.
std::vector<report_field> fra_report_details(const s_session& session, const s_test& test);

report_document fra_report(const s_fra_report_input& in);

// Reads stored test test_no, its session and its verdict from the open
// database into the input. False after the database's message.
bool fra_report_stored(int64_t test_no, s_fra_report_input& in);
