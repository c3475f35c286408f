#include "office/ole.h"

#include "base/log_seam.h"
#include "base/ui_seam.h"
#include "office/excel_server.h"
#include "office/word_server.h"

#include <map>
#include <mutex>
#include <vector>

namespace {

struct s_server {
    ole_factory factory;
    std::string current_version;
};

std::mutex registry_mutex;
std::map<std::string, s_server>& registry()
{
    static std::map<std::string, s_server> servers;
    return servers;
}

ole_object* get(ole_object* object, const wchar_t* name, std::initializer_list<VARIANT> args = {})
{
    VARIANT result;
    ole_invoke(DISPATCH_PROPERTYGET, &result, object, name, args);
    return variant_object(result);
}

void put(ole_object* object, const wchar_t* name, const VARIANT& value)
{
    ole_invoke(DISPATCH_PROPERTYPUT, nullptr, object, name, {value});
}

// Makes the server's application object for program_id: -1 unknown id,
// -2 no object.
int create_server(const std::string& program_id, ole_object*& application)
{
    ole_factory factory;
    {
        const std::lock_guard lock(registry_mutex);
        const auto found = registry().find(program_id);
        if (found == registry().end())
            return -1;
        factory = found->second.factory;
    }
    application = factory ? factory() : nullptr;
    return application ? 0 : -2;
}

// Cuts text at separator; the rest moves past it.
std::string_view cut(std::string_view& text, char separator)
{
    const size_t at = text.find(separator);
    const std::string_view piece = text.substr(0, at);
    text = at == std::string_view::npos ? std::string_view() : text.substr(at + 1);
    return piece;
}

} // namespace

HRESULT ole_invoke(uint16_t kind, VARIANT* result, ole_object* object, const wchar_t* name,
                   std::initializer_list<VARIANT> args)
{
    if (!object)
        return 0;
    DISPID id = 0;
    if (const HRESULT found = object->get_ids_of_names(name, id); found != S_OK)
        return found;
    const std::vector<VARIANT> params(args);
    const DISPID named = kind == DISPATCH_PROPERTYPUT ? DISPID_PROPERTYPUT : 0;
    VARIANT ignored;
    return object->invoke(id, kind, params, named, result ? result : &ignored);
}

// A release never stops a report: whatever the object's last act throws
// (writing the file, opening it) is swallowed, as the caller cannot act on it.
void ole_release(ole_object* object)
{
    if (!object)
        return;
    try {
        object->release();
    } catch (...) {
    }
}

void ole_register_server(const std::string& program_id, ole_factory factory,
                         const std::string& current_version)
{
    const std::lock_guard lock(registry_mutex);
    registry()[program_id] = {std::move(factory), current_version};
}

void ole_unregister_server(const std::string& program_id)
{
    const std::lock_guard lock(registry_mutex);
    registry().erase(program_id);
}

int excel_version_number(const std::string& current_version)
{
    const size_t dot = current_version.rfind('.');
    const std::string tail =
        dot == std::string::npos ? current_version : current_version.substr(dot + 1);
    char* end = nullptr;
    const long number = std::strtol(tail.c_str(), &end, 10);
    if (tail.empty() || *end != '\0')
        return 6;
    if ((number >= 7 && number <= 12) || number == 14 || number == 15)
        return static_cast<int>(number);
    return number > 6 ? static_cast<int>(number) + 9000 : 6;
}

int excel_version(const std::string& program_id, std::string& text)
{
    std::string current;
    {
        const std::lock_guard lock(registry_mutex);
        const auto found = registry().find(program_id);
        if (found == registry().end())
            return -3;
        if (found->second.current_version.empty())
            return -4;
        current = found->second.current_version;
    }
    const size_t dot = current.rfind('.');
    text = dot == std::string::npos ? current : current.substr(dot + 1);
    log_seam_write("*** Excel Version ID: " + text + " **\n");
    return excel_version_number(current);
}

int excel_start(ole_object*& application, ole_object*& workbooks, ole_object*& workbook,
                int* version)
{
    ole_register_defaults();
    if (version) {
        std::string text;
        *version = excel_version("Excel.Application", text);
    }
    ole_object* app = nullptr;
    if (const int made = create_server("Excel.Application", app); made != 0)
        return made;
    application = app;
    workbooks = get(app, L"Workbooks");
    VARIANT book;
    ole_invoke(DISPATCH_METHOD, &book, workbooks, L"Add");
    workbook = variant_object(book);
    return 0;
}

int word_start(ole_object*& application, ole_object*& documents, ole_object*& document)
{
    ole_register_defaults();
    ole_object* app = nullptr;
    if (const int made = create_server("Word.Application", app); made != 0)
        return made;
    application = app;
    put(app, L"Visible", var_i4(1));
    documents = get(app, L"Documents");
    VARIANT doc;
    ole_invoke(DISPATCH_METHOD, &doc, documents, L"Add",
               {var_omitted(), var_omitted(), var_omitted(), var_omitted()});
    document = variant_object(doc);
    return 0;
}

std::string ole_start_failure_text(int result, const std::string& application)
{
    return result == -1 ? application + " server not found on this PC"
                        : application + " is not registered properly on this PC";
}

void ole_show_start_failure(int result, const std::string& application, const std::string& caption)
{
    ui_message_box(nullptr, ole_start_failure_text(result, application), caption,
                   MB_OK | MB_ICONINFORMATION);
}

std::string ole_column_letters(int column)
{
    if (column < 1 || column > 16384)
        return {};
    std::string letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

std::string ole_range_address(int first_column, int first_row, int last_column, int last_row)
{
    const std::string first = ole_column_letters(first_column);
    const std::string last = ole_column_letters(last_column);
    if (first.empty() || last.empty())
        return {};
    return first + std::to_string(first_row) + ":" + last + std::to_string(last_row);
}

float ole_column_width(int pixels)
{
    return static_cast<float>(pixels - 5) / 7.0f;
}

ole_object* sheet_active(ole_object* application)
{
    return get(application, L"ActiveSheet");
}

ole_object* sheet_range(ole_object* sheet, int first_column, int first_row, int last_column,
                        int last_row)
{
    const std::string address = ole_range_address(first_column, first_row, last_column, last_row);
    return get(sheet, L"Range", {var_text(address)});
}

ole_object* range_font(ole_object* range)
{
    return get(range, L"Font");
}

void range_bold(ole_object* range)
{
    ole_object* font = range_font(range);
    font_bold(font);
    ole_release(font);
}

void font_bold(ole_object* font)
{
    put(font, L"Bold", var_bool(1));
}
void font_size(ole_object* font, int size)
{
    put(font, L"Size", var_i4(size));
}

void range_font_size(ole_object* range, int size)
{
    ole_object* font = range_font(range);
    put(font, L"Size", var_int(size));
    ole_release(font);
}

void range_font_color(ole_object* range, int32_t bgr)
{
    ole_object* font = range_font(range);
    put(font, L"Color", var_i4(bgr));
    ole_release(font);
}

ole_object* range_borders(ole_object* range)
{
    return get(range, L"Borders");
}
void borders_weight(ole_object* borders, int32_t weight)
{
    put(borders, L"Weight", var_i4(weight));
}

void range_border_weight(ole_object* range, int32_t index, int32_t weight)
{
    ole_object* border = get(range, L"Borders", {var_i4(index)});
    put(border, L"Weight", var_i4(weight));
    ole_release(border);
}

void range_border_weight_all(ole_object* range, int32_t weight)
{
    ole_object* borders = range_borders(range);
    borders_weight(borders, weight);
    ole_release(borders);
}

void range_line_style(ole_object* range, int32_t style)
{
    ole_object* borders = range_borders(range);
    put(borders, L"LineStyle", var_i4(style));
    ole_release(borders);
}

void range_border_line_style(ole_object* range, int32_t index, int32_t style)
{
    ole_object* border = get(range, L"Borders", {var_i4(index)});
    put(border, L"LineStyle", var_i4(style));
    ole_release(border);
}

ole_object* range_interior(ole_object* range)
{
    return get(range, L"Interior");
}
void interior_color(ole_object* interior, int32_t bgr)
{
    put(interior, L"Color", var_i4(bgr));
}

void range_fill(ole_object* range, int32_t bgr)
{
    ole_object* interior = range_interior(range);
    interior_color(interior, bgr);
    ole_release(interior);
}

ole_object* range_cells(ole_object* range)
{
    return get(range, L"Cells");
}
ole_object* range_entire_column(ole_object* range)
{
    return get(range, L"EntireColumn");
}

void set_column_width(ole_object* sheet, int pixels, int first_column, int last_column)
{
    ole_object* range = sheet_range(sheet, first_column, 1, last_column, 1);
    ole_object* cells = range_cells(range);
    ole_object* columns = range_entire_column(cells);
    put(columns, L"ColumnWidth", var_r4(ole_column_width(pixels)));
    ole_release(columns);
    ole_release(cells);
    ole_release(range);
}

void range_halign(ole_object* range, int32_t align)
{
    put(range, L"HorizontalAlignment", var_i4(align));
}
void range_valign(ole_object* range, int32_t align)
{
    put(range, L"VerticalAlignment", var_i4(align));
}

void range_align(ole_object* range, int32_t horizontal, int32_t vertical)
{
    range_halign(range, horizontal);
    range_valign(range, vertical);
}

HRESULT sheet_set_name(ole_object* sheet, const std::string& name)
{
    if (name.empty())
        return S_OK;
    return ole_invoke(DISPATCH_PROPERTYPUT, nullptr, sheet, L"Name", {var_text(name)});
}

HRESULT range_merge(ole_object* range)
{
    return ole_invoke(DISPATCH_PROPERTYPUT, nullptr, range, L"MergeCells", {var_bool(1)});
}

void sheet_delete(ole_object* sheet)
{
    ole_invoke(DISPATCH_METHOD, nullptr, sheet, L"Delete");
}

void sheets_add(ole_object* workbook)
{
    ole_object* sheets = get(workbook, L"Worksheets");
    ole_invoke(DISPATCH_METHOD, nullptr, sheets, L"Add", {var_null()});
    ole_release(sheets);
}

void range_number_format(ole_object* range, const std::string& format)
{
    put(range, L"NumberFormat", var_text(format));
}

void range_autofit(ole_object* range)
{
    ole_object* columns = range_entire_column(range);
    ole_invoke(DISPATCH_METHOD, nullptr, columns, L"AutoFit");
    ole_release(columns);
}

void range_set_text(ole_object* sheet, int first_column, int first_row, int last_column,
                    int last_row, const std::string& text)
{
    ole_object* range = sheet_range(sheet, first_column, first_row, last_column, last_row);
    range_set_block(range, last_column - first_column + 1, last_row - first_row + 1, text);
    ole_release(range);
}

void range_set_block(ole_object* range, int columns, int rows, const std::string& text)
{
    if (!range || columns < 1 || rows < 1)
        return;
    auto array = std::make_shared<ole_array>(rows, columns);
    std::string_view rest = text;
    for (int row = 1; row <= rows && !rest.empty(); ++row) {
        std::string_view line = cut(rest, '\n');
        for (int column = 1; column <= columns; ++column) {
            const bool last_cell = line.find('\t') == std::string_view::npos;
            std::string cell(cut(line, '\t'));
            for (char& c : cell)
                if (c == '\r')
                    c = '\n';
            array->at(row, column) = var_text(cell);
            if (last_cell)
                break;
        }
    }
    put(range, L"Value", var_array(std::move(array)));
}

void range_set_cells(ole_object* sheet, int first_column, int first_row,
                     std::shared_ptr<const ole_cells> cells)
{
    if (!cells || cells->rows() < 1)
        return;
    ole_object* range =
        sheet_range(sheet, first_column, first_row, first_column + cells->columns() - 1,
                    first_row + cells->rows() - 1);
    put(range, L"Value", var_cells(std::move(cells)));
    ole_release(range);
}

void range_set_value(ole_object* range, const std::string& text)
{
    range_set_block(range, 1, 1, text);
}

void range_put_text(ole_object* range, const std::string& text)
{
    put(range, L"Value", var_text("'" + text));
}

void sheet_add_picture(ole_object* sheet, const std::string& file, int left, int top, int width,
                       int height)
{
    ole_object* shapes = get(sheet, L"Shapes");
    // Arguments last first: Height, Width, Top, Left, SaveWithDocument,
    // LinkToFile, FileName.
    ole_invoke(DISPATCH_METHOD, nullptr, shapes, L"AddPicture",
               {var_int(height), var_int(width), var_int(top), var_int(left), var_bool(-1),
                var_bool(-1), var_text(file)});
    ole_release(shapes);
}

void doc_add_picture(ole_object* document, const std::string& file)
{
    ole_object* shapes = get(document, L"InlineShapes");
    ole_invoke(DISPATCH_METHOD, nullptr, shapes, L"AddPicture", {var_text(file)});
    ole_release(shapes);
}

void app_set_visible(ole_object* application)
{
    put(application, L"Visible", var_i4(1));
}

void ole_register_defaults()
{
    const std::lock_guard lock(registry_mutex);
    static bool done = false;
    if (done)
        return;
    done = true;
    registry()["Excel.Application"] = {excel_server_create, "Excel.Application.16"};
    registry()["Word.Application"] = {word_server_create, "Word.Application.16"};
}
