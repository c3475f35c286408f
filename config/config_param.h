#pragma once
// One configurable parameter of the instrument as the application holds it,
// and the summary that the configuration window asks for.

#include <cstdint>
#include <string>
#include <vector>

enum : int32_t { PARAM_INTEGER = 0, PARAM_TEXT = 1 };

// The sentinel for a bound that does not apply; each bound is tested alone.
constexpr double PARAM_NO_LIMIT = -99.0;

// The instrument's value cell: an integer in the first four bytes, or a
// NUL-terminated text of at most PARAM_TEXT_MAX characters.
constexpr int PARAM_CELL_SIZE = 20;
constexpr int PARAM_TEXT_MAX = PARAM_CELL_SIZE - 1;

union s_value_cell {
    int32_t val;
    char text[PARAM_CELL_SIZE];
};

struct s_config_param {
    s_value_cell cell{};
    int32_t type = PARAM_INTEGER;
    int32_t cmd = 0; // number in "config,%d?"; 0 for a record no table set up
    double min = 0;
    double max = 0;
    bool changed = false;
    std::vector<std::string> options; // display texts, list position order
};

struct s_param_info {
    bool is_integer = true;
    s_value_cell cell{};
    int32_t min = 0; // the record's bounds truncated toward zero
    int32_t max = 0;
};

// Copies value, kind, command number, range, changed flag and choices.
void param_copy(s_config_param& to, const s_config_param& from);

// Same kind and same value; texts compare without regard to letter case.
bool param_same_value(const s_config_param& a, const s_config_param& b);

// The choice at list position `pos`, or the empty text beyond the list.
std::string param_option(const s_config_param& rec, int32_t pos);

// Stores at most PARAM_TEXT_MAX characters of `text` into the cell.
void param_store_text(s_config_param& rec, const std::string& text);

// A record that some parameter table set up (the zero state has cmd 0).
inline bool param_has_record(const s_config_param& rec)
{
    return rec.cmd != 0;
}
