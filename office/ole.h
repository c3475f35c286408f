#pragma once
// The automation layer the reports use: one invoke primitive, the start-up
// of the spreadsheet and the word processor, and one-line wrappers that each
// get a property, put a property or call a method by name. The wrappers
// ignore failures (a failed getter gives a null object, and every call on a
// null object does nothing), so a report never stops half-way for want of
// one piece of formatting.

#include "office/ole_object.h"

#include <functional>
#include <initializer_list>
#include <string>

// The one primitive. A null object does nothing and returns 0. Arguments
// are given last first; a property put passes its value as the only one.
HRESULT ole_invoke(uint16_t kind, VARIANT* result, ole_object* object, const wchar_t* name,
                   std::initializer_list<VARIANT> args = {});
void ole_release(ole_object* object);

// The registry of automation servers: a program id ("Excel.Application")
// and the factory of its application object, and the program id's current
// version ("Excel.Application.16"). The spreadsheet and word-processor
// servers of this program register themselves; tests remove or replace them.
using ole_factory = std::function<ole_object*()>;
void ole_register_server(const std::string& program_id, ole_factory factory,
                         const std::string& current_version = {});
void ole_unregister_server(const std::string& program_id);
void ole_register_defaults(); // the program's own servers, idempotent

// Version number from the text after the last "." of a current-version
// value: 7..15 as themselves, other numbers above 6 plus 9000, else 6.
int excel_version_number(const std::string& current_version);
// -3 no entry, -4 no current version, 0 no value; else the number, logged
// to the comms log as "*** Excel Version ID: %s **".
int excel_version(const std::string& program_id, std::string& text);

// 0; -1 when the program id is not registered; -2 when its server cannot be
// made. Out objects are set only on success.
int excel_start(ole_object*& application, ole_object*& workbooks, ole_object*& workbook,
                int* version = nullptr);
int word_start(ole_object*& application, ole_object*& documents, ole_object*& document);

// The message for a start failure: "<app> server not found on this PC" (-1)
// or "<app> is not registered properly on this PC" (-2).
std::string ole_start_failure_text(int result, const std::string& application);
// Shows it in an information box captioned caption.
void ole_show_start_failure(int result, const std::string& application, const std::string& caption);

// Column letters: 1 "A" ... 26 "Z", 27 "AA" ... 702 "ZZ", 703 "AAA" ... 16384
// "XFD"; empty for a column outside 1..16384.
std::string ole_column_letters(int column);
// "A3:G10"; empty when a column is out of range.
std::string ole_range_address(int first_column, int first_row, int last_column, int last_row);
// (pixels - 5) / 7 characters.
float ole_column_width(int pixels);

// Excel constants used by the reports.
enum : int32_t {
    XL_EDGE_LEFT = 7,
    XL_EDGE_TOP = 8,
    XL_EDGE_BOTTOM = 9,
    XL_EDGE_RIGHT = 10,
    XL_INSIDE_VERTICAL = 11,
    XL_INSIDE_HORIZONTAL = 12,
    XL_HAIRLINE = 1,
    XL_THIN = 2,
    XL_MEDIUM = -4138,
    XL_THICK = 4,
    XL_CONTINUOUS = 1,
    XL_DASH = -4115,
    XL_DOT = -4118,
    XL_LINE_NONE = -4142,
    XL_CENTER = -4108,
    XL_LEFT = -4131,
    XL_RIGHT = -4152,
};

ole_object* sheet_active(ole_object* application);
ole_object* sheet_range(ole_object* sheet, int first_column, int first_row, int last_column,
                        int last_row);
ole_object* range_font(ole_object* range);
void range_bold(ole_object* range);
void font_bold(ole_object* font);
void font_size(ole_object* font, int size);
void range_font_size(ole_object* range, int size);
void range_font_color(ole_object* range, int32_t bgr);
ole_object* range_borders(ole_object* range);
void borders_weight(ole_object* borders, int32_t weight);
void range_border_weight(ole_object* range, int32_t index, int32_t weight);
void range_border_weight_all(ole_object* range, int32_t weight);
void range_line_style(ole_object* range, int32_t style);
void range_border_line_style(ole_object* range, int32_t index, int32_t style);
ole_object* range_interior(ole_object* range);
void interior_color(ole_object* interior, int32_t bgr);
void range_fill(ole_object* range, int32_t bgr);
ole_object* range_cells(ole_object* range);
ole_object* range_entire_column(ole_object* range);
void set_column_width(ole_object* sheet, int pixels, int first_column, int last_column);
void range_halign(ole_object* range, int32_t align);
void range_valign(ole_object* range, int32_t align);
void range_align(ole_object* range, int32_t horizontal, int32_t vertical);
HRESULT sheet_set_name(ole_object* sheet, const std::string& name);
HRESULT range_merge(ole_object* range);
void sheet_delete(ole_object* sheet);
void sheets_add(ole_object* workbook);
void range_number_format(ole_object* range, const std::string& format);
void range_autofit(ole_object* range);
// Rows separated by "\n", cells by "\t"; "\r" in a cell becomes a line
// break. One "Value" put writes the whole block.
void range_set_text(ole_object* sheet, int first_column, int first_row, int last_column,
                    int last_row, const std::string& text);
void range_set_block(ole_object* range, int columns, int rows, const std::string& text);
void range_set_value(ole_object* range, const std::string& text);
// A typed block into the cells from (first_column, first_row) on, as many as
// the block holds, with one "Value" put: numbers and texts as the block
// gives them, empty cells cleared.
void range_set_cells(ole_object* sheet, int first_column, int first_row,
                     std::shared_ptr<const ole_cells> cells);
// One text cell holding text exactly: never a number or a formula, tabs and
// line breaks kept (written with the "'" that marks text).
void range_put_text(ole_object* range, const std::string& text);
void sheet_add_picture(ole_object* sheet, const std::string& file, int left, int top, int width,
                       int height);
void doc_add_picture(ole_object* document, const std::string& file);
void app_set_visible(ole_object* application);

// RGB(r, g, b) as the BGR value the servers take.
constexpr int32_t ole_rgb(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}
