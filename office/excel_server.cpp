#include "office/excel_server.h"

#include "base/sweep_numbers.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const wchar_t* const APPLICATION_MEMBERS[] = {L"Workbooks", L"ActiveSheet", L"Visible", L"Quit"};
const wchar_t* const WORKBOOKS_MEMBERS[] = {L"Add", L"Count"};
const wchar_t* const WORKBOOK_MEMBERS[] = {L"Worksheets", L"Sheets", L"ActiveSheet"};
const wchar_t* const WORKSHEETS_MEMBERS[] = {L"Add", L"Count", L"Item"};
const wchar_t* const SHEET_MEMBERS[] = {L"Range", L"Name", L"Delete", L"Shapes", L"Activate"};
const wchar_t* const RANGE_MEMBERS[] = {L"Value",
                                        L"Font",
                                        L"Interior",
                                        L"Borders",
                                        L"Cells",
                                        L"EntireColumn",
                                        L"ColumnWidth",
                                        L"AutoFit",
                                        L"MergeCells",
                                        L"Merge",
                                        L"HorizontalAlignment",
                                        L"VerticalAlignment",
                                        L"NumberFormat"};
const wchar_t* const FONT_MEMBERS[] = {L"Bold", L"Size", L"Color"};
const wchar_t* const INTERIOR_MEMBERS[] = {L"Color"};
const wchar_t* const BORDERS_MEMBERS[] = {L"Weight", L"LineStyle", L"Item"};
const wchar_t* const SHAPES_MEMBERS[] = {L"AddPicture"};

struct s_state {
    bool visible = false;
    std::shared_ptr<s_xl_workbook> book;
};

// The number a put carries (integers, floats, booleans).
bool number_of(const VARIANT& v, double& out)
{
    switch (v.vt) {
    case VT_I4:
    case VT_INT:
    case VT_BOOL: out = v.lVal; return true;
    case VT_R4: out = v.fltVal; return true;
    default: return false;
    }
}

HRESULT need_put(uint16_t kind, std::span<const VARIANT> args, double& value)
{
    if (kind != DISPATCH_PROPERTYPUT || args.size() != 1)
        return DISP_E_MEMBERNOTFOUND;
    return number_of(args[0], value) ? S_OK : DISP_E_TYPEMISMATCH;
}

HRESULT give(VARIANT* result, ole_object* object)
{
    *result = var_object(object);
    object->release();
    return S_OK;
}

// A block of cells of one sheet; whole columns are kept as columns.
struct s_range {
    std::shared_ptr<s_xl_sheet> sheet;
    s_xl_area area;
    bool whole_columns = false;

    template <typename F> void each_cell(F f) const
    {
        if (whole_columns)
            return; // formats of whole columns are not kept cell by cell
        sheet->edit_formats(area, f);
    }
};

// "A1" or "A1:B2" (also "$A$1"); false for anything else.
bool parse_cell(std::string_view text, int& row, int& column)
{
    size_t i = 0;
    column = 0;
    row = 0;
    if (i < text.size() && text[i] == '$')
        ++i;
    for (; i < text.size() && text[i] >= 'A' && text[i] <= 'Z'; ++i)
        column = column * 26 + (text[i] - 'A' + 1);
    if (i < text.size() && text[i] == '$')
        ++i;
    const size_t digits = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && row <= XL_MAX_ROWS; ++i)
        row = row * 10 + (text[i] - '0');
    return i == text.size() && i > digits && column >= 1 && column <= XL_MAX_COLUMNS && row >= 1 &&
           row <= XL_MAX_ROWS;
}

bool parse_address(const std::string& address, s_xl_area& area)
{
    const size_t colon = address.find(':');
    std::string_view first = std::string_view(address).substr(0, colon);
    std::string_view last =
        colon == std::string::npos ? first : std::string_view(address).substr(colon + 1);
    if (!parse_cell(first, area.first_row, area.first_column) ||
        !parse_cell(last, area.last_row, area.last_column))
        return false;
    if (area.first_row > area.last_row)
        std::swap(area.first_row, area.last_row);
    if (area.first_column > area.last_column)
        std::swap(area.first_column, area.last_column);
    return true;
}

// The value rule: a leading "'" or a cell formatted "@" keeps text; text
// that reads wholly as a plain decimal becomes a number; nothing is ever a
// formula.
s_xl_cell cell_from(const VARIANT& v, const s_xl_format& format)
{
    s_xl_cell cell;
    double number = 0.0;
    if (v.vt != VT_BSTR && number_of(v, number)) {
        cell.number = true;
        cell.value = number;
        return cell;
    }
    const std::string text = ole_utf8(v.bstrVal);
    if (!text.empty() && text.front() == '\'') {
        cell.text = text.substr(1);
        cell.quoted = true;
    } else if (format.number_format != "@" && sweep_parse_number(text, number) &&
               text.find_first_of(" \t") == std::string::npos) {
        cell.number = true;
        cell.value = number;
    } else {
        cell.text = text;
    }
    return cell;
}

class font_object : public ole_object {
public:
    explicit font_object(s_range range) : range_(std::move(range)) {}
    HRESULT invoke(DISPID id, uint16_t kind, std::span<const VARIANT> args, DISPID,
                   VARIANT*) override
    {
        double value = 0.0;
        if (const HRESULT ok = need_put(kind, args, value); ok != S_OK)
            return ok;
        range_.each_cell([&](int, int, s_xl_format& f) {
            if (id == 1)
                f.bold = value != 0.0;
            else if (id == 2)
                f.size = value;
            else
                f.font_color = static_cast<int32_t>(value);
        });
        return S_OK;
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return FONT_MEMBERS; }

private:
    s_range range_;
};

class interior_object : public ole_object {
public:
    explicit interior_object(s_range range) : range_(std::move(range)) {}
    HRESULT invoke(DISPID, uint16_t kind, std::span<const VARIANT> args, DISPID, VARIANT*) override
    {
        double value = 0.0;
        if (const HRESULT ok = need_put(kind, args, value); ok != S_OK)
            return ok;
        range_.each_cell([&](int, int, s_xl_format& f) { f.fill = static_cast<int32_t>(value); });
        return S_OK;
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return INTERIOR_MEMBERS; }

private:
    s_range range_;
};

// Borders of a range: without an index every side of every cell; with an
// index one edge of the range (7..10) or the lines inside it (11, 12).
class borders_object : public ole_object {
public:
    borders_object(s_range range, int index) : range_(std::move(range)), index_(index) {}
    HRESULT invoke(DISPID id, uint16_t kind, std::span<const VARIANT> args, DISPID,
                   VARIANT* result) override
    {
        if (id == 3)
            return item(args, result);
        double value = 0.0;
        if (const HRESULT ok = need_put(kind, args, value); ok != S_OK)
            return ok;
        const auto v = static_cast<int32_t>(value);
        const s_xl_area& a = range_.area;
        if (range_.whole_columns)
            return S_OK;
        range_.sheet->edit_formats(edge_cells(a), [&](int r, int c, s_xl_format& f) {
            for (s_xl_side* side : sides(r, c, a, f))
                if (side)
                    set(*side, id == 1, v);
        });
        return S_OK;
    }

    HRESULT item(std::span<const VARIANT> args, VARIANT* result)
    {
        double index = 0.0;
        if (args.size() != 1 || !number_of(args[0], index) || index < 7 || index > 12)
            return E_INVALIDARG;
        return give(result, new borders_object(range_, static_cast<int>(index)));
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return BORDERS_MEMBERS; }

private:
    // The cells an edge of the range touches: one row or column of it.
    s_xl_area edge_cells(const s_xl_area& a) const
    {
        switch (index_) {
        case 7: return {a.first_row, a.first_column, a.last_row, a.first_column};
        case 8: return {a.first_row, a.first_column, a.first_row, a.last_column};
        case 9: return {a.last_row, a.first_column, a.last_row, a.last_column};
        case 10: return {a.first_row, a.last_column, a.last_row, a.last_column};
        default: return a;
        }
    }

    std::array<s_xl_side*, 4> sides(int r, int c, const s_xl_area& a, s_xl_format& f) const
    {
        switch (index_) {
        case 0: return {&f.left, &f.top, &f.right, &f.bottom};
        case 7: return {c == a.first_column ? &f.left : nullptr, nullptr, nullptr, nullptr};
        case 8: return {r == a.first_row ? &f.top : nullptr, nullptr, nullptr, nullptr};
        case 9: return {r == a.last_row ? &f.bottom : nullptr, nullptr, nullptr, nullptr};
        case 10: return {c == a.last_column ? &f.right : nullptr, nullptr, nullptr, nullptr};
        case 11:
            return {c > a.first_column ? &f.left : nullptr, c < a.last_column ? &f.right : nullptr,
                    nullptr, nullptr};
        default:
            return {r > a.first_row ? &f.top : nullptr, r < a.last_row ? &f.bottom : nullptr,
                    nullptr, nullptr};
        }
    }

    static void set(s_xl_side& side, bool weight, int32_t value)
    {
        if (weight) {
            side.weight = value;
            if (side.style == 0 || side.style == XL_LINE_NONE_STYLE)
                side.style = 1;
        } else {
            side.style = value;
            if (value == XL_LINE_NONE_STYLE)
                side.weight = 0;
            else if (side.weight == 0)
                side.weight = 2;
        }
    }

    static constexpr int32_t XL_LINE_NONE_STYLE = -4142;
    s_range range_;
    int index_;
};

class shapes_object : public ole_object {
public:
    explicit shapes_object(std::shared_ptr<s_xl_sheet> sheet) : sheet_(std::move(sheet)) {}
    HRESULT invoke(DISPID, uint16_t kind, std::span<const VARIANT> args, DISPID, VARIANT*) override
    {
        if (kind != DISPATCH_METHOD || args.size() != 7 || args[6].vt != VT_BSTR)
            return DISP_E_BADPARAMCOUNT;
        double geometry[4] = {};
        for (int i = 0; i < 4; ++i)
            if (!number_of(args[3 - i], geometry[i]))
                return DISP_E_TYPEMISMATCH;
        sheet_->pictures.push_back({ole_utf8(args[6].bstrVal), static_cast<int>(geometry[0]),
                                    static_cast<int>(geometry[1]), static_cast<int>(geometry[2]),
                                    static_cast<int>(geometry[3])});
        return S_OK;
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return SHAPES_MEMBERS; }

private:
    std::shared_ptr<s_xl_sheet> sheet_;
};

class range_object : public ole_object {
public:
    explicit range_object(s_range range) : range_(std::move(range)) {}
    HRESULT invoke(DISPID id, uint16_t kind, std::span<const VARIANT> args, DISPID,
                   VARIANT* result) override;

protected:
    std::span<const wchar_t* const> member_names() const override { return RANGE_MEMBERS; }

private:
    HRESULT put_value(std::span<const VARIANT> args);
    HRESULT put_cells(const ole_cells& cells);
    HRESULT merge();
    HRESULT put_format(DISPID id, uint16_t kind, std::span<const VARIANT> args);
    HRESULT column_width(uint16_t kind, std::span<const VARIANT> args);
    s_range range_;
};

HRESULT range_object::invoke(DISPID id, uint16_t kind, std::span<const VARIANT> args, DISPID,
                             VARIANT* result)
{
    switch (id) {
    case 1: return put_value(args);
    case 2: return give(result, new font_object(range_));
    case 3: return give(result, new interior_object(range_));
    case 4:
        if (!args.empty())
            return borders_object(range_, 0).item(args, result);
        return give(result, new borders_object(range_, 0));
    case 5: return give(result, new range_object(range_));
    case 6: {
        s_range columns = range_;
        columns.whole_columns = true;
        columns.area.first_row = 1;
        columns.area.last_row = XL_MAX_ROWS;
        return give(result, new range_object(columns));
    }
    case 7: return column_width(kind, args);
    case 8:
        for (int c = range_.area.first_column; c <= range_.area.last_column; ++c)
            range_.sheet->column_widths[c] = xl_autofit_width(*range_.sheet, c);
        return S_OK;
    case 9:
    case 10: return merge();
    default: return put_format(id, kind, args);
    }
}

HRESULT range_object::put_value(std::span<const VARIANT> args)
{
    if (args.size() != 1 || range_.whole_columns)
        return DISP_E_BADPARAMCOUNT;
    if (args[0].vt == VT_RECORD)
        return args[0].pcells ? put_cells(*args[0].pcells) : DISP_E_TYPEMISMATCH;
    const s_xl_area& a = range_.area;
    s_xl_sheet& sheet = *range_.sheet;
    const auto set = [&](int r, int c, const VARIANT& v) {
        if (v.vt == VT_EMPTY || (v.vt == VT_BSTR && v.bstrVal.empty()))
            sheet.clear_cell(r, c);
        else
            sheet.set_cell(r, c, cell_from(v, sheet.format_at(r, c)));
    };
    if (args[0].vt == (VT_ARRAY | VT_VARIANT)) {
        const ole_array& array = *args[0].parray;
        for (int r = 1; r <= std::min(array.rows, a.last_row - a.first_row + 1); ++r)
            for (int c = 1; c <= std::min(array.columns, a.last_column - a.first_column + 1); ++c)
                set(a.first_row + r - 1, a.first_column + c - 1, array.at(r, c));
        return S_OK;
    }
    for (int r = a.first_row; r <= a.last_row; ++r)
        for (int c = a.first_column; c <= a.last_column; ++c)
            set(r, c, args[0]);
    return S_OK;
}

// A typed block goes in as it is: no text is read as a number, whatever the
// cell's format, and a text keeps a leading "'" as one of its characters.
HRESULT range_object::put_cells(const ole_cells& cells)
{
    const s_xl_area& a = range_.area;
    s_xl_sheet& sheet = *range_.sheet;
    const int rows = std::min(cells.rows(), a.last_row - a.first_row + 1);
    const int columns = std::min(cells.columns(), a.last_column - a.first_column + 1);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c) {
            const ole_cells::cell& cell = cells.at(r, c);
            const int row = a.first_row + r - 1;
            const int column = a.first_column + c - 1;
            if (cell.type == ole_cells::kind::number)
                sheet.set_number(row, column, cell.number);
            else if (cell.type == ole_cells::kind::text)
                sheet.set_text(row, column, cells.text_of(cell));
            else
                sheet.clear_cell(row, column);
        }
    return S_OK;
}

// A one-cell merge is none; a new merge replaces any it overlaps.
HRESULT range_object::merge()
{
    if (range_.whole_columns)
        return E_INVALIDARG;
    auto& merges = range_.sheet->merges;
    const s_xl_area& a = range_.area;
    merges.erase(std::remove_if(merges.begin(), merges.end(),
                                [&](const s_xl_area& m) { return m.overlaps(a); }),
                 merges.end());
    if (a.first_row != a.last_row || a.first_column != a.last_column)
        merges.push_back(a);
    return S_OK;
}

HRESULT range_object::column_width(uint16_t kind, std::span<const VARIANT> args)
{
    double width = 0.0;
    if (const HRESULT ok = need_put(kind, args, width); ok != S_OK)
        return ok;
    if (width < 0 || width > 255)
        return E_INVALIDARG;
    for (int c = range_.area.first_column; c <= range_.area.last_column; ++c)
        range_.sheet->column_widths[c] = width;
    return S_OK;
}

HRESULT range_object::put_format(DISPID id, uint16_t kind, std::span<const VARIANT> args)
{
    if (kind != DISPATCH_PROPERTYPUT || args.size() != 1)
        return DISP_E_MEMBERNOTFOUND;
    if (id == 13) {
        if (args[0].vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        const std::string format = ole_utf8(args[0].bstrVal);
        range_.each_cell([&](int, int, s_xl_format& f) { f.number_format = format; });
        return S_OK;
    }
    double value = 0.0;
    if (!number_of(args[0], value))
        return DISP_E_TYPEMISMATCH;
    range_.each_cell([&](int, int, s_xl_format& f) {
        (id == 11 ? f.halign : f.valign) = static_cast<int32_t>(value);
    });
    return S_OK;
}

class sheet_object : public ole_object {
public:
    sheet_object(std::shared_ptr<s_xl_workbook> book, std::shared_ptr<s_xl_sheet> sheet)
        : book_(std::move(book)), sheet_(std::move(sheet))
    {
    }
    HRESULT invoke(DISPID id, uint16_t kind, std::span<const VARIANT> args, DISPID,
                   VARIANT* result) override
    {
        switch (id) {
        case 1: return range(args, result);
        case 2: return name(kind, args);
        case 3: return remove();
        case 4: return give(result, new shapes_object(sheet_));
        default: return activate();
        }
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return SHEET_MEMBERS; }

private:
    HRESULT range(std::span<const VARIANT> args, VARIANT* result)
    {
        s_range r{sheet_, {}, false};
        if (args.size() != 1 || args[0].vt != VT_BSTR ||
            !parse_address(ole_utf8(args[0].bstrVal), r.area))
            return E_INVALIDARG;
        return give(result, new range_object(r));
    }

    HRESULT name(uint16_t kind, std::span<const VARIANT> args)
    {
        if (kind != DISPATCH_PROPERTYPUT || args.size() != 1 || args[0].vt != VT_BSTR)
            return DISP_E_MEMBERNOTFOUND;
        const std::wstring& text = args[0].bstrVal;
        if (text.empty() || text.size() > 31 ||
            text.find_first_of(L"[]:*?/\\") != std::wstring::npos)
            return E_INVALIDARG;
        for (const auto& other : book_->sheets)
            if (other != sheet_ && other->name == ole_utf8(text))
                return E_INVALIDARG;
        sheet_->name = ole_utf8(text);
        return S_OK;
    }

    HRESULT remove()
    {
        auto& sheets = book_->sheets;
        const auto at = std::find(sheets.begin(), sheets.end(), sheet_);
        if (at == sheets.end() || sheets.size() == 1)
            return E_FAIL; // a workbook keeps at least one sheet
        const auto index = static_cast<size_t>(at - sheets.begin());
        sheets.erase(at);
        if (book_->active >= sheets.size() || book_->active > index)
            book_->active = std::min(book_->active > index ? book_->active - 1 : book_->active,
                                     sheets.size() - 1);
        return S_OK;
    }

    HRESULT activate()
    {
        const auto& sheets = book_->sheets;
        const auto at = std::find(sheets.begin(), sheets.end(), sheet_);
        if (at == sheets.end())
            return E_FAIL;
        book_->active = static_cast<size_t>(at - sheets.begin());
        return S_OK;
    }

    std::shared_ptr<s_xl_workbook> book_;
    std::shared_ptr<s_xl_sheet> sheet_;
};

HRESULT active_sheet(const std::shared_ptr<s_xl_workbook>& book, VARIANT* result)
{
    if (!book || book->sheets.empty())
        return E_FAIL;
    return give(result, new sheet_object(book, book->sheets[book->active]));
}

class worksheets_object : public ole_object {
public:
    explicit worksheets_object(std::shared_ptr<s_xl_workbook> book) : book_(std::move(book)) {}
    HRESULT invoke(DISPID id, uint16_t, std::span<const VARIANT> args, DISPID,
                   VARIANT* result) override
    {
        if (id == 1) { // a new sheet before the active one, which it becomes
            book_->add_sheet(book_->active);
            return S_OK;
        }
        if (id == 2) {
            *result = var_i4(static_cast<int32_t>(book_->sheets.size()));
            return S_OK;
        }
        double index = 0.0;
        if (args.size() != 1 || !number_of(args[0], index) || index < 1 ||
            index > static_cast<double>(book_->sheets.size()))
            return E_INVALIDARG;
        return give(result, new sheet_object(book_, book_->sheets[static_cast<size_t>(index) - 1]));
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return WORKSHEETS_MEMBERS; }

private:
    std::shared_ptr<s_xl_workbook> book_;
};

class workbook_object : public ole_object {
public:
    explicit workbook_object(std::shared_ptr<s_xl_workbook> book) : book_(std::move(book)) {}
    HRESULT invoke(DISPID id, uint16_t, std::span<const VARIANT>, DISPID, VARIANT* result) override
    {
        if (id == 3)
            return active_sheet(book_, result);
        return give(result, new worksheets_object(book_));
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return WORKBOOK_MEMBERS; }

private:
    std::shared_ptr<s_xl_workbook> book_;
};

class workbooks_object : public ole_object {
public:
    explicit workbooks_object(std::shared_ptr<s_state> state) : state_(std::move(state)) {}
    HRESULT invoke(DISPID id, uint16_t, std::span<const VARIANT>, DISPID, VARIANT* result) override
    {
        if (id == 2) {
            *result = var_i4(state_->book ? 1 : 0);
            return S_OK;
        }
        if (state_->book)
            return E_FAIL; // one workbook per report
        state_->book = std::make_shared<s_xl_workbook>();
        for (size_t i = 0; i < 3; ++i)
            state_->book->add_sheet(i);
        state_->book->active = 0;
        return give(result, new workbook_object(state_->book));
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return WORKBOOKS_MEMBERS; }

private:
    std::shared_ptr<s_state> state_;
};

class application_object : public ole_object {
public:
    application_object() : state_(std::make_shared<s_state>()) {}
    HRESULT invoke(DISPID id, uint16_t kind, std::span<const VARIANT> args, DISPID,
                   VARIANT* result) override
    {
        switch (id) {
        case 1: return give(result, new workbooks_object(state_));
        case 2: return active_sheet(state_->book, result);
        case 3: {
            double visible = 0.0;
            if (const HRESULT ok = need_put(kind, args, visible); ok != S_OK)
                return ok;
            state_->visible = visible != 0.0;
            return S_OK;
        }
        default: state_->visible = false; return S_OK;
        }
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return APPLICATION_MEMBERS; }
    void on_last_release() override
    {
        if (!state_->visible || !state_->book)
            return;
        const auto book = state_->book;
        office_write_report("workbook", "xlsx",
                            [&](const std::string& path) { return xl_write_xlsx(*book, path); });
    }

private:
    std::shared_ptr<s_state> state_;
};

} // namespace

ole_object* excel_server_create()
{
    return new application_object();
}
