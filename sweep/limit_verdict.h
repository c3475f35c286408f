#pragma once
// The verdict of a measured part against a limit set, and the judging that
// the sweep modes share: a value read at a frequency, a value within its
// range, a curve within its mask lines.
//
// The verdict passes when every check of the set passes and, where the set
// has bins, one bin's checks all pass; the part goes into the first such
// bin, as a comparator sorts. Each failed check gives one text,
// "<caption>: <what was measured against what was allowed>"; a part that
// no bin takes gives one text per bin with that bin's first failure.

#include "db/db_verdict.h"
#include "sweep/limit_set.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

// What a sweep mode finds for one check: nothing when it passes, else what
// failed (without the caption). A check the mode cannot judge fails.
using limit_judge = std::function<std::optional<std::string>(const limit_check&)>;

s_test_verdict limit_verdict(const limit_set& set, const limit_judge& judge);

// One measured column of a sweep's points, read in place: point i's
// frequency at hz[i * stride], its value at value[i * stride].
struct limit_column {
    const double* hz = nullptr;
    const double* value = nullptr;
    size_t stride = 1;
    int count = 0;

    double hz_at(int i) const { return hz[static_cast<size_t>(i) * stride]; }
    double value_at(int i) const { return value[static_cast<size_t>(i) * stride]; }
};

// The column's value at a frequency, interpolated linearly between the
// points around it (the points in either frequency order); nothing outside
// the swept range.
std::optional<double> limit_value_at(const limit_column& column, double hz);

// A quantity check on a column: the value at the check's frequency within
// [low, high].
std::optional<std::string> limit_quantity_failure(const limit_check& check,
                                                  const limit_column& column);

// A value within [low, high], written with unit ("" for none) in the text.
std::optional<std::string> limit_range_failure(double value, double low, double high,
                                               const std::string& unit);

// Every point of the column inside a mask line's frequency span lies on the
// allowed side of the line (corners joined straight on a logarithmic
// frequency axis, as the Bode chart draws them). The text names the worst
// point.
std::optional<std::string> limit_mask_failure(const limit_check& check, const limit_column& column,
                                              const std::string& unit);

// Whether a check's quantity names the column called name with its unit:
// its name alone or its heading "name (unit)", in any case, spaces aside.
bool limit_names_column(const std::string& quantity, const char* name, const char* unit);

// A number as the verdict texts write it ("%g").
std::string limit_number(double value);
