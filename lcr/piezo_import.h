#pragma once
// Reading a resonator sweep from a text file. Three forms are accepted:
//  - the report's sweep sheet saved as text: a line beginning "Sweep No.",
//    the sheet title, a tab-separated heading (six columns: 5 values per
//    point, otherwise 8), then tab-separated rows led by a step field;
//  - comma-separated text: either the LCR export (a header block, then
//    "Steps,Frequency..." and rows led by a step field, as many values as
//    the heading names; ";" and decimal commas in its European form) or
//    the older form (a line beginning "Frequency", one skipped line, then
//    rows of 8 values without a step field);
//  - a sweepN.dat file (date line first, then tab-separated rows).
// Lines longer than 2047 characters end the reading as a bad line, as does
// a row that ends early; at most 3000 points are kept.

#include "lcr/lcr_point.h"

#include <string>
#include <string_view>

constexpr size_t PIEZO_IMPORT_LINE_MAX = 2047;

struct s_piezo_import {
    int points = 0;
    bool truncated = false;   // more than 3000 data lines: the first 3000 kept
    bool ended_early = false; // a line that is no row stopped the reading before the data ended
};

// Fills out (cleared first) from text. The layout is 6 for 5-value rows,
// 5 for 13-value rows and 2 otherwise.
s_piezo_import piezo_import_parse(std::string_view text, LcrResults& out);

// Reads path. The message is empty on a clean read, else what the user is
// told: "No sweep points could be read from <path>", that the file ended
// early and how many points were read before, or that only the first 3000
// points were read. out changes only when points were read.
s_piezo_import piezo_import_file(const std::string& path, LcrResults& out, std::string& message);
