#pragma once
// Prepared statements of the open connection. Statement texts are few and
// fixed (keys and values are bound), so each is prepared once per connection
// and reused: storing a sweep prepares its point insert once, not once per
// point. A use resets the statement and its bindings when it ends, so no
// read is left open on the file.

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// The open handle, or null while no database is open.
sqlite3* db_handle();

class db_statement {
public:
    // Prepares sql (or takes it from the connection's cache). ok() is false
    // when there is no open database or the text does not prepare; code()
    // then holds -1 or SQLite's code.
    explicit db_statement(const std::string& sql);
    ~db_statement();
    db_statement(const db_statement&) = delete;
    db_statement& operator=(const db_statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    int code() const { return code_; }

    void bind_text(int index, const std::string& text);
    void bind_double(int index, double value);
    void bind_int64(int index, int64_t value);
    // Binds the bytes as a BLOB, NULs and all.
    void bind_blob(int index, const std::string& bytes);

    // Steps once: true while a row is available. After the last row code()
    // holds the statement's final result code.
    bool step();
    // Runs a statement that returns no rows and resets it; returns the code.
    int run();

    // Column readers of the current row.
    std::string text(int column) const;
    int64_t int64(int column) const;
    double real(int column) const;
    std::string blob(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    int code_ = 0;
};

// The connection's statement cache, used by db_statement. A statement taken
// from it is busy until released; asking for a busy one fails with
// SQLITE_MISUSE rather than disturbing the read in progress.
sqlite3_stmt* db_prepare_cached(const std::string& sql, int& code);
void db_release_cached(sqlite3_stmt* stmt);
