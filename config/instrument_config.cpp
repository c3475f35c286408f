#include "config/instrument_config.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

int32_t text_to_int(const char* text)
{
    const long v = std::strtol(text, nullptr, 10);
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

std::string cell_text(const s_config_param& rec)
{
    return std::string(rec.cell.text, strnlen(rec.cell.text, PARAM_CELL_SIZE));
}

} // namespace

s_config_param* instrument_config::record(int id)
{
    if (id >= 0 && id <= CONFIG_BANK_A_LAST)
        return &bank_a_[id];
    if (id >= CONFIG_BANK_B_FIRST && id < CONFIG_BANK_B_FIRST + CONFIG_BANK_SIZE)
        return &bank_b_[id - CONFIG_BANK_B_FIRST];
    return nullptr;
}

const s_config_param* instrument_config::record(int id) const
{
    return const_cast<instrument_config*>(this)->record(id);
}

std::vector<s_config_param> instrument_config::saved_records() const
{
    std::vector<s_config_param> saved(std::begin(bank_a_), std::end(bank_a_));
    saved.insert(saved.end(), std::begin(bank_b_), std::end(bank_b_));
    return saved;
}

void instrument_config::restore_records(const std::vector<s_config_param>& saved)
{
    if (saved.size() != std::size(bank_a_) + std::size(bank_b_))
        return;
    const auto middle = saved.begin() + static_cast<std::ptrdiff_t>(std::size(bank_a_));
    std::copy(saved.begin(), middle, std::begin(bank_a_));
    std::copy(middle, saved.end(), std::begin(bank_b_));
}

void instrument_config::init_text_param(s_config_param& rec, int id, double min, double max,
                                        const char* initial)
{
    rec.cmd = id > CONFIG_BANK_A_LAST ? id - CONFIG_BANK_B_FIRST : id;
    rec.min = min;
    rec.max = max;
    rec.type = PARAM_TEXT;
    rec.changed = false;
    rec.options.clear();
    param_store_text(rec, initial ? initial : "");
}

void instrument_config::init_list_param(s_config_param& rec, int id, double min, double max,
                                        int32_t initial, const std::vector<std::string>& options)
{
    rec.cmd = id > CONFIG_BANK_A_LAST ? id - CONFIG_BANK_B_FIRST : id;
    rec.min = min;
    rec.max = max;
    rec.type = PARAM_INTEGER;
    rec.changed = false;
    rec.cell = s_value_cell{};
    rec.cell.val = initial;
    rec.options = options;
}

void instrument_config::get_string(int id, std::string& out) const
{
    get_text(id, out);
}

void instrument_config::get_text(int id, std::string& out) const
{
    out.clear();
    if (const s_config_param* rec = record(id))
        out = rec->type == PARAM_TEXT ? cell_text(*rec) : std::to_string(rec->cell.val);
}

void instrument_config::get_double(int id, double& out) const
{
    out = 0;
    if (const s_config_param* rec = record(id))
        out = rec->type == PARAM_TEXT ? std::strtod(rec->cell.text, nullptr) : rec->cell.val;
}

int instrument_config::get_int(int id, int32_t& out) const
{
    out = 0;
    if (const s_config_param* rec = record(id))
        out = rec->type == PARAM_TEXT ? text_to_int(rec->cell.text) : rec->cell.val;
    return 0;
}

void instrument_config::get_info(int id, s_param_info& out) const
{
    out = s_param_info{};
    const s_config_param* rec = record(id);
    if (!rec)
        return;
    out.is_integer = rec->type == PARAM_INTEGER;
    out.cell = rec->cell;
    out.min = static_cast<int32_t>(rec->min);
    out.max = static_cast<int32_t>(rec->max);
}

void instrument_config::get_display_text(int id, std::string& out) const
{
    out.clear();
    if (const s_config_param* rec = record(id))
        out = rec->type == PARAM_TEXT ? cell_text(*rec) : param_option(*rec, rec->cell.val);
}

void instrument_config::set_text(int id, const std::string& text)
{
    if (s_config_param* rec = record(id)) {
        param_store_text(*rec, text);
        rec->changed = true;
    }
}

void instrument_config::set_int(int id, int32_t value)
{
    if (s_config_param* rec = record(id)) {
        rec->cell.val = value;
        rec->changed = true;
    }
}

void instrument_config::set_value(int id, const s_value_cell& cell)
{
    s_config_param* rec = record(id);
    if (!rec)
        return;
    if (rec->type == PARAM_TEXT)
        param_store_text(*rec, std::string(cell.text, strnlen(cell.text, PARAM_CELL_SIZE)));
    else
        rec->cell.val = cell.val;
    rec->changed = true;
}

std::string config_shown_value(const instrument_config& cfg, int id)
{
    const s_config_param& rec = *cfg.record(id);
    std::string text;
    if (rec.type == PARAM_INTEGER && rec.options.empty())
        cfg.get_text(id, text);
    else
        cfg.get_display_text(id, text);
    return text;
}
