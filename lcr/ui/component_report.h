#pragma once
// The component report of an LCR or piezo sweep: the details given, the
// chart (the window's own, or the sweep's default chart), every quantity of
// the sweep at the cursor frequencies, the equivalent-circuit values and
// resonances (the piezo analysis, and any fitted model the window shows)
// and, when asked, the points.

#include "db/db_verdict.h"
#include "graph/ui/report_document.h"
#include "lcr/equivalent_circuit.h"
#include "lcr/lcr_point.h"
#include "lcr/piezo_analysis.h"

#include <optional>
#include <vector>

// The document paints from the results: they must outlive it.
struct s_component_report_input {
    const LcrResults* results = nullptr;
    bool piezo = false; // a resonator sweep: the piezo chart and analysis
    // The page head's details (component, sweep file, ...); may be empty.
    std::vector<report_field> details;
    std::vector<report_field> instrument; // identity and configuration, when known
    // The chart as the window paints it; without one the sweep's default
    // chart on white: the LCR window's first two quantities, or the piezo
    // chart's impedance and phase.
    report_chart_painter chart;
    double chart_aspect = 1.6;
    // Point indexes whose quantities are listed (the window's cursors);
    // without any, the first and the last point.
    std::vector<int> cursors;
    // The piezo analysis of a resonator sweep (worked out from the sweep
    // when not given).
    std::optional<s_piezo_analysis> analysis;
    // Further equivalent-circuit lines (a fitted model, its resonances and
    // Q) as the window shows them.
    std::vector<report_field> circuit;
    // The sweep's verdict against its limit set, when it was judged.
    std::optional<s_test_verdict> verdict;
    bool with_points = false;
};

// The quantities at the cursors: one row per quantity of the sweep's
// layout, its name and unit, then its value at each cursor in the form the
// cursor readouts show ("4.7000 m").
std::vector<QStringList> component_report_cursor_rows(const LcrResults& results,
                                                      const std::vector<int>& cursors);

// The piezo analysis' values as the piezo window shows them: "R", "L", "C",
// "Cp", then "Fr", "Fa", "Zmin", "Zmax".
std::vector<report_field> component_report_piezo_fields(const s_piezo_values& values);

// A fitted model's lines as the equivalent-circuit panel shows them: the
// model's name, each element with its uncertainty, the residual and Q, the
// resonances; none for no fit.
std::vector<report_field> component_report_fit_fields(const circuit_fit& fit);

report_document component_report(const s_component_report_input& in);
