#include "office/workbook_model.h"

#include <algorithm>
#include <cstring>

std::vector<s_xl_slot>& s_xl_sheet::row_slots(int row, int columns)
{
    if (rows_.size() < static_cast<size_t>(row))
        rows_.resize(static_cast<size_t>(row));
    std::vector<s_xl_slot>& row_cells = rows_[static_cast<size_t>(row) - 1];
    if (row_cells.size() < static_cast<size_t>(columns))
        row_cells.resize(static_cast<size_t>(columns));
    return row_cells;
}

s_xl_slot& s_xl_sheet::slot(int row, int column)
{
    return row_slots(row, column)[static_cast<size_t>(column) - 1];
}

const s_xl_slot* s_xl_sheet::find(int row, int column) const
{
    if (row < 1 || rows_.size() < static_cast<size_t>(row) || column < 1)
        return nullptr;
    const std::vector<s_xl_slot>& row_cells = rows_[static_cast<size_t>(row) - 1];
    if (row_cells.size() < static_cast<size_t>(column))
        return nullptr;
    return &row_cells[static_cast<size_t>(column) - 1];
}

uint32_t s_xl_sheet::intern(const s_xl_format& format)
{
    const auto [at, fresh] =
        format_index_.try_emplace(format, static_cast<uint32_t>(formats_.size()));
    if (fresh)
        formats_.push_back(format);
    return at->second;
}

uint32_t s_xl_sheet::format_index_at(int row, int column) const
{
    const s_xl_slot* s = find(row, column);
    return s ? s->format : 0;
}

const s_xl_format& s_xl_sheet::format_at(int row, int column) const
{
    return formats_[format_index_at(row, column)];
}

s_xl_cell s_xl_sheet::cell_at(int row, int column) const
{
    s_xl_cell cell;
    const s_xl_slot* s = find(row, column);
    if (!s || s->kind == xl_kind::empty)
        return cell;
    cell.number = s->kind == xl_kind::number;
    if (cell.number)
        cell.value = s->value;
    else
        cell.text = text_of(*s);
    cell.quoted = s->kind == xl_kind::quoted;
    return cell;
}

void s_xl_sheet::release_text(s_xl_slot& s)
{
    if ((s.kind == xl_kind::text || s.kind == xl_kind::quoted) && !s.short_text) {
        texts_[s.text].clear();
        texts_[s.text].shrink_to_fit();
        free_texts_.push_back(s.text);
    }
    s.short_text = false;
}

void s_xl_sheet::set_cell(int row, int column, const s_xl_cell& cell)
{
    if (cell.number)
        set_number(row, column, cell.value);
    else
        set_text(row, column, cell.text, cell.quoted);
}

void s_xl_sheet::set_number(int row, int column, double value)
{
    s_xl_slot& s = slot(row, column);
    release_text(s);
    s.kind = xl_kind::number;
    s.value = value;
}

void s_xl_sheet::set_text(int row, int column, std::string_view text, bool quoted)
{
    s_xl_slot& s = slot(row, column);
    release_text(s);
    s.kind = quoted ? xl_kind::quoted : xl_kind::text;
    // A text with a NUL inside keeps it only in the long form.
    if (text.size() <= s_xl_slot::SHORT_TEXT && text.find('\0') == std::string_view::npos) {
        s.short_text = true;
        if (!text.empty())
            std::memcpy(s.chars, text.data(), text.size());
        s.chars[text.size()] = '\0';
        return;
    }
    if (free_texts_.empty()) {
        s.text = static_cast<uint32_t>(texts_.size());
        texts_.emplace_back();
    } else {
        s.text = free_texts_.back();
        free_texts_.pop_back();
    }
    texts_[s.text] = text;
}

void s_xl_sheet::clear_cell(int row, int column)
{
    if (!find(row, column))
        return;
    s_xl_slot& s = slot(row, column);
    release_text(s);
    s.kind = xl_kind::empty;
}

std::shared_ptr<s_xl_sheet> s_xl_workbook::add_sheet(size_t position)
{
    auto sheet = std::make_shared<s_xl_sheet>();
    sheet->name = "Sheet" + std::to_string(++sheets_made);
    position = std::min(position, sheets.size());
    sheets.insert(sheets.begin() + static_cast<long>(position), sheet);
    active = position;
    return sheet;
}
