#pragma once
// The bench's journal: every part judged at the LCR window, one line each,
// in "Verdicts.csv" in the data folder, so a run's verdicts outlast the
// window (its sweeps are not kept as tests). Comma-separated Windows-1252
// text with CR LF line ends, a heading line first:
//
//   Part,Date,Limit Set,Verdict,Bin,Failed Checks
//
// A field holding a comma, a quote or a line end is quoted, its quotes
// doubled; the failed checks are joined with "; ". The file is replaced
// whole with the new line added, so a failed write loses no earlier line.

#include "db/db_verdict.h"

#include <ctime>
#include <string>

constexpr const char* VERDICT_JOURNAL_NAME = "Verdicts.csv";

// The journal's line for one part (without its line end); the date is
// "%Y-%m-%d %H:%M:%S" in local time.
std::string verdict_journal_line(int part, std::time_t when, const s_test_verdict& verdict);

// Adds the part's line to the journal in the folder (made with its heading
// when new). False with the reason in error when the journal could not be
// read or written; it is then as it was.
bool verdict_journal_add(const std::string& folder, int part, std::time_t when,
                         const s_test_verdict& verdict, std::string& error);
