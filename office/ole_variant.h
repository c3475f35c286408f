#pragma once
// The values that travel through the automation layer. They keep the shape
// of automation variants: a type tag and the value of that type. Texts are
// wide (Unicode) strings, as the automation servers take them; the program's
// own Windows-1252 text is converted explicitly, never through the locale.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using HRESULT = int32_t;
using DISPID = int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT DISP_E_PARAMNOTFOUND = static_cast<HRESULT>(0x80020004u);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);

constexpr DISPID DISPID_PROPERTYPUT = -3;

enum ole_kind : uint16_t {
    DISPATCH_METHOD = 1,
    DISPATCH_PROPERTYGET = 2,
    DISPATCH_PROPERTYPUT = 4,
};

enum ole_vartype : uint16_t {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_INT = 22,
    VT_RECORD = 36,
    VT_ARRAY = 0x2000,
};

class ole_object;
struct ole_array;
class ole_cells;

struct VARIANT {
    uint16_t vt = VT_EMPTY;
    int32_t lVal = 0;    // VT_I4, VT_INT, VT_BOOL (0 or -1 / 1), VT_ERROR
    float fltVal = 0.0f; // VT_R4
    std::wstring bstrVal;
    ole_object* pdispVal = nullptr; // VT_DISPATCH: one reference held
    std::shared_ptr<ole_array> parray;
    std::shared_ptr<const ole_cells> pcells; // VT_RECORD

    VARIANT() = default;
    VARIANT(const VARIANT& other);
    VARIANT& operator=(const VARIANT& other);
    ~VARIANT();
};

// A two-dimensional array of variants with lower bounds 1: [row, column].
struct ole_array {
    int rows = 0;
    int columns = 0;
    std::vector<VARIANT> cells;

    ole_array(int row_count, int column_count);
    VARIANT& at(int row, int column) { return cells[(row - 1) * columns + (column - 1)]; }
    const VARIANT& at(int row, int column) const
    {
        return cells[(row - 1) * columns + (column - 1)];
    }
};

VARIANT var_i4(int32_t value);
VARIANT var_int(int32_t value);
VARIANT var_r4(float value);
VARIANT var_bool(int32_t value); // written as given: 1 or -1
VARIANT var_text(std::string_view ansi);
VARIANT var_wide(std::wstring text);
VARIANT var_null();
VARIANT var_omitted(); // VT_ERROR with DISP_E_PARAMNOTFOUND
VARIANT var_array(std::shared_ptr<ole_array> array);
VARIANT var_cells(std::shared_ptr<const ole_cells> cells);

// A block of cells typed by its maker, for one "Value" put of a range:
// numbers stay doubles and texts stay texts, whatever they read like. The
// texts share one buffer, so a block of a hundred thousand cells costs a
// few allocations rather than a variant and two strings per cell.
class ole_cells {
public:
    enum class kind : uint8_t { empty, number, text };
    struct cell {
        kind type = kind::empty;
        uint32_t length = 0; // of a text
        union {
            double number = 0.0;
            size_t offset; // of a text in the block's texts
        };
    };

    // A block `columns` wide; `rows` is what the maker expects to add.
    ole_cells(int columns, int rows);
    int columns() const { return columns_; }
    int rows() const { return static_cast<int>(cells_.size() / static_cast<size_t>(columns_)); }

    // Cells go left to right; those past the last column are dropped.
    void add_number(double value);
    // Windows-1252 text, kept as UTF-8; an empty text is an empty cell.
    void add_text(std::string_view ansi);
    // Ends the row; the cells it was not given stay empty.
    void end_row();

    // [row, column] from 1, as ole_array.
    const cell& at(int row, int column) const
    {
        return cells_[static_cast<size_t>(row - 1) * static_cast<size_t>(columns_) +
                      static_cast<size_t>(column - 1)];
    }
    std::string_view text_of(const cell& c) const
    {
        return std::string_view(texts_).substr(c.offset, c.length);
    }

private:
    // The next cell of the open row (opened when none is), or null past
    // the last column.
    cell* next_cell();

    int columns_;
    bool open_ = false; // a row has been started and not ended
    int filled_ = 0;    // cells given to the open row
    std::vector<cell> cells_;
    std::string texts_;
};

// Windows-1252 bytes to Unicode and back (unmapped characters become "?").
std::wstring ole_wide_from_ansi(std::string_view ansi);
std::string ole_utf8(const std::wstring& wide);
// Windows-1252 bytes appended to out as UTF-8.
void ole_append_utf8(std::string& out, std::string_view ansi);
