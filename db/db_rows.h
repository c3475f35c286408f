#pragma once
// Copying result rows into records, by column position. Texts are cut to
// their field widths; with display set their tabs are removed, because list
// rows use tabs to separate columns.

#include "db/db_records.h"
#include "db/db_statement.h"

void db_read_session_row(const db_statement& row, s_session& session, bool display);
void db_read_test_row(const db_statement& row, s_test& test, bool display);

// Year, month and day from the stored date text "YYYY-MM-DD 00:00:00"
// (the numbers at characters 0, 5 and 8; missing parts read as 0).
void db_parse_date(const std::string& text, int& year, int& month, int& day);
// "D/M/Y", as the lists show a date.
std::string db_list_date(const s_session& session);
