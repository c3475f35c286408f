#include "office/ole_object.h"

#include <algorithm>

namespace {

// Windows-1252 0x80..0x9F; 0 where the code page has no character.
constexpr char16_t HIGH_CONTROLS[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void append_utf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character of a Windows-1252 byte; "?" where the code page has none.
uint32_t unicode_of(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80 || byte >= 0xA0)
        return byte;
    const char16_t high = HIGH_CONTROLS[byte - 0x80];
    return high ? high : u'?';
}

} // namespace

VARIANT::VARIANT(const VARIANT& other)
    : vt(other.vt), lVal(other.lVal), fltVal(other.fltVal), bstrVal(other.bstrVal),
      pdispVal(other.pdispVal), parray(other.parray), pcells(other.pcells)
{
    if (pdispVal)
        pdispVal->add_ref();
}

VARIANT& VARIANT::operator=(const VARIANT& other)
{
    if (this != &other) {
        VARIANT copy(other);
        std::swap(vt, copy.vt);
        std::swap(lVal, copy.lVal);
        std::swap(fltVal, copy.fltVal);
        std::swap(bstrVal, copy.bstrVal);
        std::swap(pdispVal, copy.pdispVal);
        std::swap(parray, copy.parray);
        std::swap(pcells, copy.pcells);
    }
    return *this;
}

VARIANT::~VARIANT()
{
    if (pdispVal)
        pdispVal->release();
}

ole_array::ole_array(int row_count, int column_count)
    : rows(row_count), columns(column_count),
      cells(static_cast<size_t>(row_count) * static_cast<size_t>(column_count))
{
}

VARIANT var_i4(int32_t value)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT var_int(int32_t value)
{
    VARIANT v = var_i4(value);
    v.vt = VT_INT;
    return v;
}

VARIANT var_r4(float value)
{
    VARIANT v;
    v.vt = VT_R4;
    v.fltVal = value;
    return v;
}

VARIANT var_bool(int32_t value)
{
    VARIANT v = var_i4(value);
    v.vt = VT_BOOL;
    return v;
}

VARIANT var_text(std::string_view ansi)
{
    return var_wide(ole_wide_from_ansi(ansi));
}

VARIANT var_wide(std::wstring text)
{
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = std::move(text);
    return v;
}

VARIANT var_null()
{
    VARIANT v;
    v.vt = VT_NULL;
    return v;
}

VARIANT var_omitted()
{
    VARIANT v = var_i4(DISP_E_PARAMNOTFOUND);
    v.vt = VT_ERROR;
    return v;
}

VARIANT var_array(std::shared_ptr<ole_array> array)
{
    VARIANT v;
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = std::move(array);
    return v;
}

VARIANT var_cells(std::shared_ptr<const ole_cells> cells)
{
    VARIANT v;
    v.vt = VT_RECORD;
    v.pcells = std::move(cells);
    return v;
}

ole_cells::ole_cells(int columns, int rows) : columns_(std::max(columns, 1))
{
    cells_.reserve(static_cast<size_t>(columns_) * static_cast<size_t>(std::max(rows, 0)));
}

ole_cells::cell* ole_cells::next_cell()
{
    if (!open_) {
        cells_.resize(cells_.size() + static_cast<size_t>(columns_));
        open_ = true;
        filled_ = 0;
    }
    if (filled_ == columns_)
        return nullptr;
    return &cells_[cells_.size() - static_cast<size_t>(columns_ - filled_++)];
}

void ole_cells::add_number(double value)
{
    if (cell* c = next_cell()) {
        c->type = kind::number;
        c->number = value;
    }
}

void ole_cells::add_text(std::string_view ansi)
{
    cell* c = next_cell();
    if (!c || ansi.empty())
        return;
    c->type = kind::text;
    c->offset = texts_.size();
    ole_append_utf8(texts_, ansi);
    c->length = static_cast<uint32_t>(texts_.size() - c->offset);
}

void ole_cells::end_row()
{
    if (!open_)
        cells_.resize(cells_.size() + static_cast<size_t>(columns_));
    open_ = false;
}

VARIANT var_object(ole_object* object)
{
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    if (object)
        object->add_ref();
    return v;
}

ole_object* variant_object(VARIANT& value)
{
    if (value.vt != VT_DISPATCH)
        return nullptr;
    ole_object* object = value.pdispVal;
    value.pdispVal = nullptr;
    value.vt = VT_EMPTY;
    return object;
}

std::wstring ole_wide_from_ansi(std::string_view ansi)
{
    std::wstring wide;
    wide.reserve(ansi.size());
    for (const char c : ansi)
        wide += static_cast<wchar_t>(unicode_of(c));
    return wide;
}

void ole_append_utf8(std::string& out, std::string_view ansi)
{
    while (!ansi.empty()) { // plain ASCII runs as they are
        const auto plain =
            std::find_if(ansi.begin(), ansi.end(), [](char c) { return (c & 0x80) != 0; });
        out.append(ansi.begin(), plain);
        ansi.remove_prefix(static_cast<size_t>(plain - ansi.begin()));
        if (!ansi.empty()) {
            append_utf8(out, unicode_of(ansi.front()));
            ansi.remove_prefix(1);
        }
    }
}

std::string ole_utf8(const std::wstring& wide)
{
    std::string out;
    out.reserve(wide.size());
    for (const wchar_t c : wide)
        append_utf8(out, static_cast<uint32_t>(c));
    return out;
}
