#include "link/identify.h"

#include "link/comms_log.h"
#include "link/link.h"

#include <cstring>
#include <string>

namespace {

constexpr const char* CAPTION = "Test Connection";

constexpr std::string_view accepted_prefixes[] = {
    "QUELLMARSH,HXM", "QUELLMARSH,KTVA", "WattRelay,", "QUELLMARSH,ZORVENT", "OMBRA-TK,KTVA",
};

struct s_model_entry {
    std::string_view prefix;
    int type_code;
};

// Tried in this order: a longer prefix stands before a shorter one that it
// begins with ("WRX73" before "WRX7").
constexpr s_model_entry models[] = {
    {"QXD52", 13}, {"HXM63", 9}, {"HXM52", 7}, {"HXM41", 7}, {"KTVA61", 10}, {"KTVA62", 11},
    {"WRX73", 5},  {"LVQ80", 5}, {"WRX64", 4}, {"WRX38", 2}, {"WRX39", 3},   {"KLS interface", 3},
    {"WRX21", 1},  {"WRX7", 6},  {"TBN", 12},  {"GFU", 12},
};

void tell(ui_owner dialog, const std::string& text)
{
    ui_message_box(dialog, text, CAPTION, MB_OK | MB_ICONINFORMATION);
}

// Up to five "*IDN?" queries; the first reply with an accepted prefix.
std::string ask_identity(s_link& link)
{
    for (int attempt = 0; attempt < IDENTIFY_ATTEMPTS; ++attempt) {
        link_send(link, "*IDN?\n");
        char reply[IDENTIFY_REPLY_SIZE] = {};
        if (link_read_line(link, reply, sizeof reply) > 0 && identify_accepted(reply))
            return reply;
    }
    return {};
}

bool identify_reply(s_link& link, const std::string& reply)
{
    if (reply.empty() || reply.find(',') == std::string::npos)
        return false;
    link_set_type(link, identify_type_code(reply));
    if (link.type_code == 0) {
        comms_log_write("***\tUNIDENTIFIED INSTRUMENT\t***\n");
        return false;
    }
    comms_log_write("***\tIDENTIFIED: " + reply + " (" + std::to_string(link.type_code) +
                    ")\t***\n");
    link.identity = reply.substr(0, LINK_IDENTITY_MAX);
    return true;
}

std::string result_text(const s_link& link, bool identified)
{
    if (identified)
        return "The connection was successful\n" +
               (link.identity.empty() ? std::string("Unknown Instrument") : link.identity);
    return link.type_code != 0 ? "Incompatable instrument" : "The connection failed";
}

} // namespace

bool identify_accepted(std::string_view reply)
{
    for (std::string_view prefix : accepted_prefixes)
        if (reply.substr(0, prefix.size()) == prefix)
            return true;
    return false;
}

int identify_type_code(std::string_view reply)
{
    const size_t comma = reply.find(',');
    if (comma == std::string_view::npos)
        return 0;
    const std::string_view model = reply.substr(comma + 1);
    for (const s_model_entry& m : models)
        if (model.substr(0, m.prefix.size()) == m.prefix)
            return m.type_code;
    return 0;
}

namespace {

// Opens the link and asks for the identity. A silent instrument holds the
// window for five short time-outs: the wait cursor shows it, and is gone
// again before the result is told. False when the link did not open.
bool open_and_ask(s_link& link, std::string& reply)
{
    wait_cursor busy;
    comms_log_write("***\tCONNECTING\t***\n");
    if (link_open(link) != 0) {
        link_close(link);
        return false;
    }
    comms_log_write("***\tCONNECTED\t***\n");
    link_send(link, std::string(1, LINK_RESET_BYTE));
    link_set_timeout(link, IDENTIFY_TIMEOUT_MS);
    reply = ask_identity(link);
    link_set_timeout(link, link_usual_timeout(link));
    return true;
}

} // namespace

std::string link_open_failure(const s_link& link)
{
    if (link.interface == LINK_LAN)
        return "Failed to connect to IP address " + link.ip_address;
    return "Unable to open port " + link.port_name;
}

bool connect_and_identify(ui_owner dialog, s_link& link, bool show_result)
{
    if (link.interface == LINK_NONE)
        return false;
    std::string reply;
    const bool opened = open_and_ask(link, reply);
    if (link_cancelled(link)) {
        link_close(link); // the user's Cancel: nothing learnt, nothing to tell
        return false;
    }
    if (!opened) {
        if (show_result)
            tell(dialog, link_open_failure(link));
        return false;
    }
    const bool identified = identify_reply(link, reply);
    if (show_result)
        tell(dialog, result_text(link, identified));
    link_close(link);
    return identified;
}
