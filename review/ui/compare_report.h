#pragma once
// The comparison report of stored tests, as the graph dialog shows them:
// the overlay on one Bode chart with its legend of whole test names, each
// test's gain and phase margins ("not found" where a test has none), and,
// where the first test can serve as the reference of the others, the
// comparison table (band factors and judgement) and the Difference view.
// Everything the report draws is copied into the document, so it can be
// painted or written on any thread once built.
#include "review/graph_model.h"

class report_document;

// The report of the tests the model holds, drawn in the model's colours,
// ranges and view. The model is taken by value: margins not yet searched
// are searched on the copy, never shown to the user as boxes.
report_document compare_report(graph_model model);
