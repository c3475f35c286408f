// Whole-configuration transfers. The instrument is suspended ("SUSPEN,ON")
// while every parameter id is walked from 255 down to 1, and always resumed
// afterwards, also when an error stops the walk. Ids that the instrument type
// does not have ("Unused" in its name table) stay out of the transfer, which
// keeps interface, baud-rate and output-format settings from being touched.
// An id that the name table names but the model holds no record for (the
// third instrument type keeps its settings in the two-channel model, which
// lacks nine of them) is skipped too: without a record there is no command
// number to ask with and no place to keep the answer.

#include "base/ui_seam.h"
#include "config/config_protocol.h"
#include "config/instrument_config.h"
#include "config/param_table.h"
#include "link/comms_log.h"
#include "link/link.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int FIRST_ID = 255;
constexpr int READ_ERRORS_TOLERATED = 2;
constexpr const char* SETUP_CAPTION = "Read Instrument Setup";

bool unused(const char* name)
{
    return std::strcmp(name, PARAM_UNUSED) == 0;
}

std::string step_line(const char* step, const char* name, int id)
{
    return std::string(step) + name + " (" + std::to_string(id) + ")\n";
}

void warn(const std::string& text)
{
    ui_message_box(nullptr, text, SETUP_CAPTION, MB_OK | MB_ICONWARNING);
}

constexpr const char* READ_ERROR =
    "An error occurred reading the config from the instrument \n(Id:%d [%s] ret:%d)";
constexpr const char* WRITE_ERROR =
    "An error occurred writing the config to the instrument \n(Id:%d [%s] ret:%d)";

std::string error_text(const char* format, caps_param_names names, config_error code)
{
    const int id = config_error_id(code);
    char text[256];
    std::snprintf(text, sizeof text, format, id, config_param_name(names, id),
                  config_error_ret(code));
    return text;
}

void begin_transfer(s_link& link, bool open_link)
{
    if (open_link)
        link_open(link);
    link_send(link, std::string(1, LINK_RESET_BYTE));
    link_send(link, "SUSPEN,ON\n");
}

void end_transfer(s_link& link, bool open_link)
{
    link_send(link, "SUSPEN,OFF\n");
    if (open_link)
        link_close(link);
}

std::string range_line(const char* name, int id, const s_config_param& rec)
{
    char value[64];
    if (rec.type == PARAM_TEXT)
        std::snprintf(value, sizeof value, "%s", rec.cell.text);
    else
        std::snprintf(value, sizeof value, "%Lg", static_cast<long double>(rec.cell.val));
    char bounds[96];
    std::snprintf(bounds, sizeof bounds, ") can only be set between %.2g and %.2g\n", rec.min,
                  rec.max);
    return std::string(name) + " (id:" + std::to_string(id) + " [" + value + bounds;
}

} // namespace

bool instrument_config::read_all(s_link& link, bool open_link)
{
    wait_cursor busy;
    const caps_param_names names = link.caps.param_names;
    if (!config_has_names(names))
        return false;
    begin_transfer(link, open_link);
    int errors = 0;
    for (int id = FIRST_ID; id >= 1; --id) {
        const char* name = config_param_name(names, id);
        if (unused(name) || !param_has_record(*record(id)))
            continue;
        comms_log_write(step_line("Read::", name, id));
        try {
            read_param(id, link, nullptr);
        } catch (config_error code) {
            if (link_cancelled(link))
                break; // the user's Cancel: nothing to tell
            if (++errors <= READ_ERRORS_TOLERATED) {
                warn(error_text(READ_ERROR, names, code));
                continue;
            }
            warn(error_text(READ_ERROR, names, code) +
                 "\nToo many read errors, stopping instrument config read");
            break;
        }
    }
    end_transfer(link, open_link);
    return errors == 0;
}

bool instrument_config::write_all(s_link& link, bool open_link)
{
    wait_cursor busy;
    const caps_param_names names = link.caps.param_names;
    if (!config_has_names(names))
        return false;
    begin_transfer(link, open_link);
    bool failed = false;
    for (int id = FIRST_ID; id >= 1; --id) {
        const char* name = config_param_name(names, id);
        const s_config_param& rec = *record(id);
        if (!param_has_record(rec))
            continue;
        try {
            s_config_param scratch;
            param_copy(scratch, rec);
            bool read = false;
            if (!rec.changed && !unused(name)) {
                read_param(id, link, &scratch);
                read = true;
            }
            if (!rec.changed && (!read || param_same_value(scratch, rec)))
                continue;
            comms_log_write(step_line("Write::", name, id));
            if (!write_param(id, link) && rec.min != PARAM_NO_LIMIT && rec.max != PARAM_NO_LIMIT)
                comms_log_write(range_line(name, id, rec));
        } catch (config_error code) {
            if (link_cancelled(link))
                break;
            warn(error_text(WRITE_ERROR, names, code));
            failed = true;
            break;
        }
    }
    end_transfer(link, open_link);
    return !failed;
}
