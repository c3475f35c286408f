#pragma once
// The schema of a test database file: three tables, Session, Test and Data.
//
// The statement texts are kept exactly as the files in the field were
// created, because SQLite stores them verbatim and every copy of the program
// must write the same files. Note "Performed By": unquoted, SQLite records
// the column as "Performed" with the type "By VARCHAR2(70)". No statement
// names that column; rows are written and read by position.

#include <string>
#include <vector>

struct sqlite3;

// The statements, in the order they run, that create one table: BEGIN, DROP
// TABLE IF EXISTS (so a script can run again on a file that has the table),
// CREATE TABLE, its indexes, COMMIT. table is 0 Session, 1 Test, 2 Data.
std::vector<std::string> db_schema_script(int table);

// Runs the three scripts as one transaction, which a failure rolls back.
// Returns the SQLite code; shows nothing.
int db_create_schema(sqlite3* handle);

// Column names by position, as reads address them. Position 5 of Session is
// the column written "Performed By".
enum class db_table { session, test, data };
const char* db_table_name(db_table table);
// nullptr for a position past the table's last column.
const char* db_column_name(db_table table, int position);
