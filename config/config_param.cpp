#include "config/config_param.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

void param_copy(s_config_param& to, const s_config_param& from)
{
    to.cell = from.cell;
    to.type = from.type;
    to.cmd = from.cmd;
    to.min = from.min;
    to.max = from.max;
    to.changed = from.changed;
    to.options = from.options;
}

bool param_same_value(const s_config_param& a, const s_config_param& b)
{
    if (a.type != b.type)
        return false;
    if (a.type == PARAM_INTEGER)
        return a.cell.val == b.cell.val;
    return strncasecmp(a.cell.text, b.cell.text, PARAM_CELL_SIZE) == 0;
}

std::string param_option(const s_config_param& rec, int32_t pos)
{
    if (pos < 0 || static_cast<size_t>(pos) >= rec.options.size())
        return {};
    return rec.options[static_cast<size_t>(pos)];
}

void param_store_text(s_config_param& rec, const std::string& text)
{
    std::memset(rec.cell.text, 0, sizeof rec.cell.text);
    std::memcpy(rec.cell.text, text.data(), std::min<size_t>(text.size(), PARAM_TEXT_MAX));
}
