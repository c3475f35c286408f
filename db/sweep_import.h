#pragma once
// Reading a sweep file that the user imports into the test database.
//
// Two file forms are taken:
// - an FRA text export: its first line is "Instrument Configuration" (the
//   configuration block at its head); the data follow the column header, in
//   the six-column layout (frequency, two magnitudes, gain, phase, delay) or
//   the three-column layout (frequency, gain, phase), comma-separated
//   (European exports: ";" between fields, decimal commas);
// - tab-separated rows, such as a sweepN.dat file or a spreadsheet's text
//   export: with exactly 4 fields the frequency, gain and phase are fields
//   1, 2 and 3; with more, fields 1, 4 and 5. The frequency may carry digit
//   grouping. Rows of fewer than 4 fields (the date line of a sweepN.dat
//   file) are skipped.
// A file is taken whole or refused: a row that does not read as numbers, an
// over-long line, more points than a sweep can have, or no point at all.

#include "db/db_records.h"

#include <string>
#include <string_view>
#include <vector>

constexpr int SWEEP_IMPORT_MAX_POINTS = 3000;
constexpr size_t SWEEP_IMPORT_MAX_LINE = 1023;

enum class sweep_import_status {
    ok,
    cannot_open,      // the file cannot be read
    empty,            // not even a first line
    no_column_header, // an FRA export without either column header
    bad_line,         // a row that is not numbers, or an over-long line
    too_many_points,  // more than SWEEP_IMPORT_MAX_POINTS
    no_points,        // nothing that reads as a point
};

struct sweep_import_result {
    sweep_import_status status = sweep_import_status::ok;
    int line = 0; // 1-based line of a bad line
};

// Each point holds (frequency, gain in dB, phase), in file order.
sweep_import_result sweep_import_parse(std::string_view text, std::vector<s_test_point>& points);
sweep_import_result sweep_import_read(const std::string& path, std::vector<s_test_point>& points);

// A short English reason, for the command line.
const char* sweep_import_reason(sweep_import_status status);
