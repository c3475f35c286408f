#include "office/workbook_model.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <xlsxwriter.h>

namespace {

constexpr double STANDARD_WIDTH = 8.43;

uint8_t border_style(const s_xl_side& side)
{
    if (side.weight == 0 || side.style == 0 || side.style == -4142)
        return LXW_BORDER_NONE;
    const bool dashed = side.style == -4115;
    const bool dotted = side.style == -4118;
    switch (side.weight) {
    case 1: return LXW_BORDER_HAIR;
    case -4138: return dashed ? LXW_BORDER_MEDIUM_DASHED : LXW_BORDER_MEDIUM;
    case 4: return LXW_BORDER_THICK;
    default: return dashed ? LXW_BORDER_DASHED : dotted ? LXW_BORDER_DOTTED : LXW_BORDER_THIN;
    }
}

uint8_t alignment(int32_t value, bool vertical)
{
    switch (value) {
    case -4108: return vertical ? LXW_ALIGN_VERTICAL_CENTER : LXW_ALIGN_CENTER;
    case -4131: return LXW_ALIGN_LEFT;
    case -4152: return LXW_ALIGN_RIGHT;
    default: return LXW_ALIGN_NONE;
    }
}

lxw_color_t rgb_of(int32_t bgr)
{
    return static_cast<lxw_color_t>(((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF));
}

// One libxlsxwriter format per distinct cell format of the workbook. A
// sheet's formats are looked up once each, by their index in the sheet.
class format_cache {
public:
    explicit format_cache(lxw_workbook* book) : book_(book) {}

    void start_sheet() { by_index_.clear(); }

    lxw_format* get(const s_xl_sheet& sheet, uint32_t index, bool quoted)
    {
        const size_t at = size_t{index} * 2 + (quoted ? 1 : 0);
        if (by_index_.size() <= at)
            by_index_.resize(at + 1, unknown());
        if (by_index_[at] == unknown())
            by_index_[at] = get(sheet.format(index), quoted);
        return by_index_[at];
    }

private:
    static lxw_format* unknown() { return reinterpret_cast<lxw_format*>(-1); }

    // Text cells are written as strings, which is what a quote prefix keeps
    // them; the prefix itself is not part of the file.
    lxw_format* get(const s_xl_format& f, bool quoted)
    {
        if (f == s_xl_format{})
            return nullptr;
        for (const auto& [key, format] : made_)
            if (key.first == f && key.second == quoted)
                return format;
        lxw_format* format = workbook_add_format(book_);
        if (f.bold)
            format_set_bold(format);
        format_set_font_size(format, f.size);
        if (f.font_color >= 0)
            format_set_font_color(format, rgb_of(f.font_color));
        if (f.fill >= 0) {
            format_set_pattern(format, LXW_PATTERN_SOLID);
            format_set_bg_color(format, rgb_of(f.fill));
        }
        if (!f.number_format.empty())
            format_set_num_format(format, f.number_format.c_str());
        if (const uint8_t h = alignment(f.halign, false); h != LXW_ALIGN_NONE)
            format_set_align(format, h);
        if (const uint8_t v = alignment(f.valign, true); v != LXW_ALIGN_NONE)
            format_set_align(format, v);
        format_set_left(format, border_style(f.left));
        format_set_top(format, border_style(f.top));
        format_set_right(format, border_style(f.right));
        format_set_bottom(format, border_style(f.bottom));
        made_.push_back({{f, quoted}, format});
        return format;
    }

    lxw_workbook* book_;
    std::vector<std::pair<std::pair<s_xl_format, bool>, lxw_format*>> made_;
    std::vector<lxw_format*> by_index_; // format index * 2 + quoted
};

// A picture's place and size are given in points, as the spreadsheet's
// shapes take them; the sheet is laid out in pixels at 96 per inch.
constexpr double PIXELS_PER_POINT = 96.0 / 72.0;

// The pixel size of a BMP or PNG file; false for anything else.
bool image_pixels(const std::string& file, int& width, int& height)
{
    unsigned char head[26] = {};
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f)
        return false;
    const size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    const auto le32 = [&](int at) {
        return static_cast<int32_t>(
            static_cast<uint32_t>(head[at]) | static_cast<uint32_t>(head[at + 1]) << 8 |
            static_cast<uint32_t>(head[at + 2]) << 16 | static_cast<uint32_t>(head[at + 3]) << 24);
    };
    const auto be32 = [&](int at) {
        return static_cast<int32_t>(
            static_cast<uint32_t>(head[at]) << 24 | static_cast<uint32_t>(head[at + 1]) << 16 |
            static_cast<uint32_t>(head[at + 2]) << 8 | static_cast<uint32_t>(head[at + 3]));
    };
    if (got >= 26 && head[0] == 'B' && head[1] == 'M') {
        width = le32(18);
        height = std::abs(le32(22)); // negative: rows stored top-down
    } else if (got >= 24 && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0) {
        width = be32(16);
        height = be32(20);
    } else {
        return false;
    }
    return width > 0 && height > 0;
}

// The sheet goes out row by row, each cell once, in the order the file
// keeps them, so the writer holds no more than one row at a time (its
// constant-memory mode, where texts are written inline in their cells).
void write_sheet(lxw_worksheet* out, const s_xl_sheet& sheet, format_cache& formats)
{
    for (const auto& [column, width] : sheet.column_widths) {
        lxw_row_col_options hidden{};
        hidden.hidden = 1;
        worksheet_set_column_opt(out, static_cast<lxw_col_t>(column - 1),
                                 static_cast<lxw_col_t>(column - 1), width, nullptr,
                                 width <= 0.0 ? &hidden : nullptr);
    }
    formats.start_sheet();
    // A merge without a text or format only records the area; its cells
    // are written below with their own formats.
    for (const auto& m : sheet.merges)
        worksheet_merge_range(out, static_cast<lxw_row_t>(m.first_row - 1),
                              static_cast<lxw_col_t>(m.first_column - 1),
                              static_cast<lxw_row_t>(m.last_row - 1),
                              static_cast<lxw_col_t>(m.last_column - 1), "", nullptr);
    sheet.each_slot([&](int r, int c, const s_xl_slot& slot) {
        const auto row = static_cast<lxw_row_t>(r - 1);
        const auto col = static_cast<lxw_col_t>(c - 1);
        lxw_format* format = formats.get(sheet, slot.format, slot.kind == xl_kind::quoted);
        if (slot.kind == xl_kind::number)
            worksheet_write_number(out, row, col, slot.value, format);
        else if (slot.kind == xl_kind::empty)
            worksheet_write_blank(out, row, col, format);
        else
            worksheet_write_string(out, row, col, sheet.text_of(slot).data(), format);
    });
    for (const auto& p : sheet.pictures) {
        lxw_image_options options{};
        options.x_offset = static_cast<int32_t>(std::lround(p.left * PIXELS_PER_POINT));
        options.y_offset = static_cast<int32_t>(std::lround(p.top * PIXELS_PER_POINT));
        int width = 0, height = 0;
        if (image_pixels(p.file, width, height) && p.width > 0 && p.height > 0) {
            options.x_scale = p.width * PIXELS_PER_POINT / width;
            options.y_scale = p.height * PIXELS_PER_POINT / height;
        }
        worksheet_insert_image_opt(out, 0, 0, p.file.c_str(), &options);
    }
}

// Characters a value takes as shown.
size_t shown_length(const s_xl_sheet& sheet, const s_xl_slot& slot, const s_xl_format& format)
{
    if (slot.kind != xl_kind::number) {
        size_t length = 0;
        for (const char c : sheet.text_of(slot))
            length += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return length;
    }
    char text[400];
    const bool grouped = format.number_format.find("#,##") != std::string::npos;
    const size_t dot = format.number_format.find('.');
    const int decimals =
        dot == std::string::npos ? 0 : static_cast<int>(format.number_format.size() - dot - 1);
    const int length = format.number_format.empty()
                           ? std::snprintf(text, sizeof text, "%.10g", slot.value)
                           : std::snprintf(text, sizeof text, "%.*f", decimals, slot.value);
    const double whole =
        std::fabs(slot.value) >= 1 ? std::floor(std::log10(std::fabs(slot.value))) + 1 : 1;
    return static_cast<size_t>(length) + (grouped ? static_cast<size_t>((whole - 1) / 3) : 0);
}

} // namespace

double xl_autofit_width(const s_xl_sheet& sheet, int column)
{
    double widest = 0.0;
    sheet.each_in_column(column, [&](int row, const s_xl_slot& slot) {
        if (slot.kind == xl_kind::empty)
            return;
        for (const auto& m : sheet.merges)
            if (m.overlaps({row, column, row, column}))
                return;
        const s_xl_format& format = sheet.format(slot.format);
        const double scale = format.size / 11.0 * (format.bold ? 1.1 : 1.0);
        widest =
            std::max(widest, static_cast<double>(shown_length(sheet, slot, format)) * scale + 1.0);
    });
    return widest > 0.0 ? std::min(widest, 255.0) : STANDARD_WIDTH;
}

bool xl_write_xlsx(const s_xl_workbook& book, const std::string& path)
{
    // The writer keeps each sheet in a temporary file until it zips the
    // workbook: beside the target, on the disk that is to hold the result,
    // rather than in the system's temporary folder.
    std::string folder = std::filesystem::path(path).parent_path().string();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder.empty() ? nullptr : folder.data();
    lxw_workbook* out = workbook_new_opt(path.c_str(), &options);
    if (!out)
        return false;
    format_cache formats(out);
    for (size_t i = 0; i < book.sheets.size(); ++i) {
        lxw_worksheet* sheet = workbook_add_worksheet(out, book.sheets[i]->name.c_str());
        if (!sheet) {
            workbook_close(out);
            return false;
        }
        write_sheet(sheet, *book.sheets[i], formats);
        if (i == book.active)
            worksheet_activate(sheet);
    }
    return workbook_close(out) == LXW_NO_ERROR;
}
