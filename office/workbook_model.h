#pragma once
// What the spreadsheet server records while a report builds its workbook:
// sheets, cell values, per-cell formats (font, fill, number format,
// alignment, the four borders), merges, column widths and pictures. It is
// written out once, as an .xlsx file, when the report is done.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

constexpr int XL_MAX_ROWS = 1048576;
constexpr int XL_MAX_COLUMNS = 16384;

struct s_xl_side {
    int32_t weight = 0; // 0: none
    int32_t style = 0;  // 0: none, else the line style constant

    bool operator==(const s_xl_side&) const = default;
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
    int left, top, width, height;
};

using xl_key = std::pair<int, int>; // row, column

struct s_xl_sheet {
    std::string name;
    std::map<xl_key, s_xl_cell> cells;
    std::map<xl_key, s_xl_format> formats;
    std::map<int, double> column_widths; // characters; 0 hides the column
    std::vector<s_xl_area> merges;
    std::vector<s_xl_picture> pictures;

    s_xl_format format_at(int row, int column) const;
};

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
