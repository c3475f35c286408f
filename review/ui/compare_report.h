#pragma once
// The comparison report of stored tests, as the graph dialog shows them:
// the overlay on one chart, a legend that names every test whole, each
// test's gain and phase margins ("not found" where a test has none), and,
// where the first test can serve as the reference of the others, the
// comparison table (band factors and judgement) and the Difference view.
// The document holds copies of everything it draws, so once built it can be
// painted or written on any thread.
#include "review/graph_model.h"

#include <cstdint>
#include <vector>

class report_document;
struct report_field;

// The page head's details: the session's and the reference test's, read
// from the open database; empty when they cannot be read (the database has
// said why).
std::vector<report_field> compare_report_details(int64_t reference_test_no);

// The report of the tests the model holds, in the model's colours, ranges
// and view, on paper's white. Margins are searched on a copy without a word
// to the user: a test without a crossing reads "not found" in the table.
report_document compare_report(const graph_model& model, std::vector<report_field> details);
