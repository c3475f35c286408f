#pragma once
// Where list and combo contents go. The core never sees a window: the
// database form hands in a sink that adds rows to its list view (or entries
// to a combo box); tests and the command line collect them.

#include <cstdint>
#include <string>

class db_row_sink {
public:
    virtual ~db_row_sink() = default;
    // One list row: its columns separated by tabs, and the row's key
    // (SessionNo or TestNo) as its item data.
    virtual void add_row(const std::string& text, int64_t key) = 0;
};

class db_text_sink {
public:
    virtual ~db_text_sink() = default;
    virtual void add_text(const std::string& text) = 0;
};
