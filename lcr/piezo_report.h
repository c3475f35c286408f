#pragma once
// The piezo report: a workbook of three sheets, "Piezo Report" (the
// measured and calculated values with the equivalent-circuit picture),
// "Sweep Data" (the sweep's points) and "Graph" (the impedance/phase graph
// as a picture, turned upright to fill a portrait page). Row 1 of every
// sheet carries "Sweep No. 1/1" and the UTC date and time of the analysis.
//
// The two pictures are painted by the window layer through
// piezo_report_painter (the core has no drawing of its own); the report
// writes them as BMP files into the pictures folder, creating the folder
// when missing, before the spreadsheet is started, so a picture that
// cannot be written stops the report with its name and nothing else.

#include "graph/bmp_file.h"
#include "lcr/piezo_analysis.h"

#include <string>

constexpr int PIEZO_CIRCUIT_WIDTH = 428, PIEZO_CIRCUIT_HEIGHT = 206;
constexpr int PIEZO_GRAPH_WIDTH = 1009, PIEZO_GRAPH_HEIGHT = 611;

class piezo_report_painter {
public:
    virtual ~piezo_report_painter() = default;
    // The circuit drawing on white with the four values at their places,
    // PIEZO_CIRCUIT_WIDTH x PIEZO_CIRCUIT_HEIGHT.
    virtual s_bmp_image circuit(const s_piezo_values& values) = 0;
    // The piezo graph on white, PIEZO_GRAPH_WIDTH x PIEZO_GRAPH_HEIGHT.
    virtual s_bmp_image graph() = 0;
};

struct s_piezo_report_input {
    const LcrResults* results = nullptr;
    const s_piezo_values* values = nullptr; // null when the analysis refused the sweep
    s_piezo_stamp stamp;                    // when the analysis ran (UTC)
    std::string pictures_folder;            // "<pictures>/QXL/Tarvelo2"
};

// Date and time texts of the stamp: "08th December 2026", "16:05:09";
// "08/12/2026", "16:05".
std::string piezo_long_date(const s_piezo_stamp& s);
std::string piezo_long_time(const s_piezo_stamp& s);
std::string piezo_short_date(const s_piezo_stamp& s);
std::string piezo_short_time(const s_piezo_stamp& s);

// "<folder>/peizo_circuit_@08-12-2026_#16-05.bmp" and
// "<folder>/peizo_graph_@...": the names the report has always used.
std::string piezo_picture_path(const std::string& folder, const char* kind, const s_piezo_stamp& s);

// The graph turned a quarter: destination (x, y) takes the source pixel
// (width - 1 - y, x), so the result is height x width with every pixel set.
s_bmp_image piezo_turn_graph(const s_bmp_image& source);

// A value as the report shows it: "%E" (three exponent digits) in
// Standard numbers; in European numbers "'%E" (the Minimum Impedance
// "'%0.3E") in the European short form, the leading "'" marking a text
// cell and counting as one of the kept characters.
std::string piezo_report_value(double value, bool european, bool minimum_impedance);
// A value of the circuit picture: "%0.4E" in the European short form.
std::string piezo_circuit_value(double value);

// Builds the report. "There is nothing to export yet" when no analysed
// sweep is held. Returns 0, or -1 after a message.
int piezo_report(void* owner, const s_piezo_report_input& input, piezo_report_painter& painter,
                 bool european);
