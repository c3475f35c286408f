#pragma once
// What the spreadsheet server records while a report builds its workbook:
// sheets, cell values, per-cell formats (font, fill, number format,
// alignment, the four borders), merges, column widths and pictures. It is
// written out once, as an .xlsx file, when the report is done.
//
// A repeating test of 99 sweeps fills some two million cells, so a cell
// costs little: the sheet is a vector of rows, each row a vector of slots
// indexed by column, a slot holds its number, a short text or the index of a
// longer one, and the index of its format in the sheet's list of distinct
// formats (a report uses a few dozen). The file is written row by row from
// this model.

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

constexpr int XL_MAX_ROWS = 1048576;
constexpr int XL_MAX_COLUMNS = 16384;

struct s_xl_side {
    int32_t weight = 0; // 0: none
    int32_t style = 0;  // 0: none, else the line style constant

    bool operator==(const s_xl_side&) const = default;
    auto operator<=>(const s_xl_side&) const = default;
};

struct s_xl_format {
    bool bold = false;
    double size = 11.0;
    int32_t font_color = -1; // BGR; -1 automatic
    int32_t fill = -1;       // BGR; -1 none
    std::string number_format;
    int32_t halign = 0; // 0: general
    int32_t valign = 0;
    s_xl_side left, top, right, bottom;

    bool operator==(const s_xl_format&) const = default;
    auto operator<=>(const s_xl_format&) const = default;
};

struct s_xl_cell {
    bool number = false;
    double value = 0.0;
    std::string text;    // UTF-8; a text cell is never read as a number or formula
    bool quoted = false; // written with a leading "'"
};

struct s_xl_area {
    int first_row, first_column, last_row, last_column; // from 1

    bool overlaps(const s_xl_area& o) const
    {
        return first_row <= o.last_row && o.first_row <= last_row &&
               first_column <= o.last_column && o.first_column <= last_column;
    }
};

struct s_xl_picture {
    std::string file;
    int left, top, width, height; // points, as the spreadsheet's shapes take them
};

enum class xl_kind : uint8_t { empty, number, text, quoted };

// One cell as kept: formatted cells without a value are empty slots. A
// short text (most texts of a report: a number in European form, a
// heading) is kept in the slot itself, a longer one in the sheet's texts.
struct s_xl_slot {
    static constexpr size_t SHORT_TEXT = 15; // characters, a NUL follows

    uint32_t format = 0; // index into the sheet's formats; 0 the default
    xl_kind kind = xl_kind::empty;
    bool short_text = false;
    union {
        double value = 0.0;         // number cells
        uint32_t text;              // long texts: index into the sheet's texts
        char chars[SHORT_TEXT + 1]; // short texts
    };
};

class s_xl_sheet {
public:
    std::string name;
    std::map<int, double> column_widths; // characters; 0 hides the column
    std::vector<s_xl_area> merges;
    std::vector<s_xl_picture> pictures;

    s_xl_sheet() : formats_(1) {}

    const s_xl_format& format_at(int row, int column) const;
    uint32_t format_index_at(int row, int column) const;
    const s_xl_format& format(uint32_t index) const { return formats_[index]; }
    // The value of a cell; an empty cell when none was written.
    s_xl_cell cell_at(int row, int column) const;
    void set_cell(int row, int column, const s_xl_cell& cell);
    void set_number(int row, int column, double value);
    // A text cell (UTF-8), written with a leading "'" when quoted.
    void set_text(int row, int column, std::string_view text, bool quoted = false);
    void clear_cell(int row, int column);
    // The text of a text cell; its data() ends in a NUL.
    std::string_view text_of(const s_xl_slot& slot) const
    {
        return slot.short_text ? std::string_view(slot.chars) : std::string_view(texts_[slot.text]);
    }

    // Applies edit(row, column, format) to the format of every cell of area.
    // An edit may depend on a cell's place only through whether it lies on
    // the area's first or last row or column (the borders of a range do):
    // its result is kept per format and such place, so formatting a block
    // of a million cells copies a format a few times, not a million.
    template <typename F> void edit_formats(const s_xl_area& area, F edit);

    // Calls f(row, column, slot) for every kept cell, row by row.
    template <typename F> void each_slot(F f) const
    {
        for (size_t r = 0; r < rows_.size(); ++r)
            for (size_t c = 0; c < rows_[r].size(); ++c)
                f(static_cast<int>(r) + 1, static_cast<int>(c) + 1, rows_[r][c]);
    }

    // Calls f(row, slot) for every kept cell of one column, top down.
    template <typename F> void each_in_column(int column, F f) const
    {
        for (size_t r = 0; r < rows_.size(); ++r)
            if (column >= 1 && rows_[r].size() >= static_cast<size_t>(column))
                f(static_cast<int>(r) + 1, rows_[r][static_cast<size_t>(column) - 1]);
    }

private:
    // The slots of a row, grown to hold at least columns.
    std::vector<s_xl_slot>& row_slots(int row, int columns);
    s_xl_slot& slot(int row, int column);
    const s_xl_slot* find(int row, int column) const;
    uint32_t intern(const s_xl_format& format);
    // Gives back the entry of a long text held by s.
    void release_text(s_xl_slot& s);

    std::vector<std::vector<s_xl_slot>> rows_; // [row - 1]: its slots, columns 1..
    std::vector<s_xl_format> formats_;         // distinct; [0] is the default
    std::map<s_xl_format, uint32_t> format_index_;
    std::vector<std::string> texts_;
    std::vector<uint32_t> free_texts_; // entries of cleared text cells
};

template <typename F> void s_xl_sheet::edit_formats(const s_xl_area& area, F edit)
{
    std::map<uint64_t, uint32_t> done; // (old format, place) -> new format
    // Neighbouring cells mostly share their format and place: the last
    // answer is kept at hand.
    uint64_t last_key = UINT64_MAX;
    uint32_t last_format = 0;
    for (int r = area.first_row; r <= area.last_row; ++r) {
        std::vector<s_xl_slot>& row_cells = row_slots(r, area.last_column);
        for (int c = area.first_column; c <= area.last_column; ++c) {
            s_xl_slot& s = row_cells[static_cast<size_t>(c) - 1];
            const unsigned place =
                (r == area.first_row ? 1u : 0u) | (r == area.last_row ? 2u : 0u) |
                (c == area.first_column ? 4u : 0u) | (c == area.last_column ? 8u : 0u);
            const uint64_t key = uint64_t{s.format} << 4 | place;
            if (key != last_key) {
                const auto [at, fresh] = done.try_emplace(key, 0);
                if (fresh) {
                    s_xl_format changed = formats_[s.format];
                    edit(r, c, changed);
                    at->second = intern(changed);
                }
                last_key = key;
                last_format = at->second;
            }
            s.format = last_format;
        }
    }
}

struct s_xl_workbook {
    std::vector<std::shared_ptr<s_xl_sheet>> sheets;
    size_t active = 0;
    int sheets_made = 0;

    std::shared_ptr<s_xl_sheet> add_sheet(size_t position);
};

// The width AutoFit gives a column: its widest value as shown, in
// characters, or the standard width when it holds none.
double xl_autofit_width(const s_xl_sheet& sheet, int column);

// Writes book as an .xlsx file at path. False when it cannot be written.
bool xl_write_xlsx(const s_xl_workbook& book, const std::string& path);
