#pragma once
// The verdict of a test judged against a limit set, stored beside the test.
//
// Verdicts live in a table of their own, Verdict, created the first time a
// verdict is stored: a database that never held one keeps exactly the three
// tables it was created with, and a reader that knows only those tables
// never sees it. A verdict goes when its test goes.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct s_test_verdict {
    bool pass = false;
    int bin = 0;                     // the first bin whose checks all pass, from 1; 0 for none
    std::string bin_name;            // that bin's name
    std::vector<std::string> failed; // one text per failed check, in the set's order
    std::string limits;              // the name of the limit set it was judged against
};

// "PASS" or "FAIL".
const char* verdict_word(const s_test_verdict& verdict);

// The verdict in one line as exports and the command line give it: "PASS",
// "PASS, bin 2 (Grade B)", "FAIL: text; text".
std::string verdict_line(const s_test_verdict& verdict);

// The verdict as lines of an export's head, in the configuration block's
// "section,name,value" form, each ending in a line feed: "Verdict,result,PASS",
// ",bin,2", ",bin name,...", ",limit set,...", one ",failed check,\"...\""
// per failed check (quoted, for the texts hold commas).
std::string verdict_export_lines(const s_test_verdict& verdict);

// The verdict as a report's (label, value) lines: "Result" ("PASS, bin 2
// (Grade B)" or "FAIL"), "Limit set", then one "Failed check" per failure.
std::vector<std::pair<std::string, std::string>> verdict_fields(const s_test_verdict& verdict);

// Stores (or replaces) the verdict of a stored test, in a transaction of its
// own unless one is open. Returns the SQLite code; shows nothing.
int db_store_verdict(int64_t test_no, const s_test_verdict& verdict);

// Reads the verdict of a test. found is false when it has none (also when
// the file never held a verdict). Returns the SQLite code; shows nothing.
int db_read_verdict(int64_t test_no, s_test_verdict& verdict, bool& found);

// Removes the verdicts of the tests the statement's "WHERE" part selects,
// (e.g. "TestNo=?1") with key bound to ?1; nothing to do in a file that
// never held a verdict. For the deletes of db_test.cpp.
int db_delete_verdicts(const char* where, int64_t key);
