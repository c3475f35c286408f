// Moving one parameter between the model and the instrument. The model holds
// list positions; the instrument numbers some choices differently, so each
// model passes the translation for its parameters.

#include "config/config_protocol.h"
#include "config/instrument_config.h"

#include <cstdio>
#include <cstdlib>

namespace {

// The debugger output: seen while developing, silent in a release build.
void trace(const std::string& line)
{
#ifndef NDEBUG
    std::fputs(line.c_str(), stderr);
#else
    (void)line;
#endif
}

bool outside(double value, double min, double max)
{
    return (max != PARAM_NO_LIMIT && value > max) || (min != PARAM_NO_LIMIT && value < min);
}

} // namespace

void instrument_config::read_param_using(int id, s_link& link, s_config_param* target,
                                         param_translation to_position)
{
    if (id > CONFIG_BANK_A_LAST)
        return;
    s_config_param* rec = record(id);
    if (!rec || !param_has_record(*rec))
        return;
    s_config_param& into = target ? *target : *rec;
    if (rec->type == PARAM_TEXT) {
        query_param(rec->cmd, into.cell.text, PARAM_CELL_SIZE, link);
        return;
    }
    const int32_t value = query_int_param(rec->cmd, static_cast<int32_t>(rec->min),
                                          static_cast<int32_t>(rec->max), link);
    into.cell.val = to_position(id, value);
    const std::string shown = param_option(*rec, into.cell.val);
    trace(shown.empty() ? "--\n" : shown + "\n");
}

bool instrument_config::write_param_using(int id, s_link& link, param_translation to_instrument)
{
    if (id > CONFIG_BANK_A_LAST)
        return false;
    s_config_param* rec = record(id);
    if (!rec || !param_has_record(*rec))
        return false;
    if (rec->type == PARAM_TEXT) {
        if (outside(std::strtod(rec->cell.text, nullptr), rec->min, rec->max))
            return false;
        if (set_param_text(rec->cmd, rec->cell.text, link) != 0)
            return false;
    } else {
        const int32_t position = rec->cell.val;
        if (outside(position, rec->min, rec->max))
            return false;
        if (set_param_int(rec->cmd, to_instrument(id, position), link) != 0)
            return false;
    }
    rec->changed = false;
    return true;
}
