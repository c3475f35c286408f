// config-read, config-get ID, config-set ID VALUE: the instrument's
// configuration through the model of the identified instrument.
// Exit status: 0 done, 1 the exchange failed, 2 usage (or a value with a
// character Windows-1252 lacks), 3 not identified,
// 4 the value was refused by the parameter's range.

#include "cli/cli.h"
#include "cli/identified_model.h"
#include "cli/link_options.h"
#include "config/config_current.h"
#include "config/config_protocol.h"
#include "config/config_text_block.h"
#include "link/link.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int EXCHANGE_FAILED = 1;
constexpr int NOT_IDENTIFIED = 3;
constexpr int REFUSED = 4;

bool parse_int(const std::string& text, int32_t& out)
{
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < INT32_MIN || v > INT32_MAX)
        return false;
    out = static_cast<int32_t>(v);
    return true;
}

// The parameter id argument, checked before any traffic.
bool parse_id(const cli_args& args, size_t count, int32_t& id)
{
    if (args.positional.size() == count && parse_int(args.positional[0], id))
        return true;
    cli_say("%s needs a parameter id", args.command.c_str());
    return false;
}

// A parameter the current model holds and transfers.
bool known_id(int32_t id)
{
    const s_config_param* rec = config_current().record(id);
    if (!rec || !param_has_record(*rec) || id > CONFIG_BANK_A_LAST) {
        cli_say("no parameter %d", id);
        return false;
    }
    return true;
}

int report(config_error code)
{
    cli_say("the exchange failed (Id:%d ret:%d)", config_error_id(code), config_error_ret(code));
    return EXCHANGE_FAILED;
}

int run_read(const cli_args&)
{
    instrument_config* cfg = cli_identified_model();
    if (!cfg)
        return NOT_IDENTIFIED;
    // A read that stopped or met errors prints nothing: the block would
    // mix the instrument's values with stale ones.
    if (!cfg->read_all(g_link, true))
        return 1;
    config_write_block(stdout, *cfg, g_link, "");
    return 0;
}

// The id argument, an identified instrument and an id it knows; rc says
// why not.
instrument_config* parameter_target(const cli_args& args, size_t count, int32_t& id, int& rc)
{
    rc = CLI_USAGE;
    if (!parse_id(args, count, id))
        return nullptr;
    instrument_config* cfg = cli_identified_model();
    if (!cfg) {
        rc = NOT_IDENTIFIED;
        return nullptr;
    }
    return known_id(id) ? cfg : nullptr;
}

// Opens the link for one exchange and closes it; a failed exchange is
// reported and gives its exit status.
template <typename Exchange> int with_link(Exchange exchange)
{
    if (cli_link_open() != 0)
        return EXCHANGE_FAILED;
    try {
        exchange();
    } catch (config_error code) {
        link_close(g_link);
        return report(code);
    }
    link_close(g_link);
    return 0;
}

int run_get(const cli_args& args)
{
    int32_t id = 0;
    int rc = 0;
    instrument_config* cfg = parameter_target(args, 1, id, rc);
    if (!cfg)
        return rc;
    rc = with_link([&] { cfg->read_param(id, g_link, nullptr); });
    if (rc != 0)
        return rc;
    std::printf("%s\n", config_shown_value(*cfg, id).c_str());
    return 0;
}

// A list parameter takes its list position; a text or plain integer its text.
bool store_value(instrument_config& cfg, int id, const std::string& value)
{
    const s_config_param& rec = *cfg.record(id);
    if (rec.type == PARAM_TEXT) {
        cfg.set_text(id, value);
        return true;
    }
    int32_t v = 0;
    if (!parse_int(value, v))
        return false;
    cfg.set_int(id, v);
    return true;
}

int run_set(const cli_args& args)
{
    int32_t id = 0;
    int rc = 0;
    instrument_config* cfg = parameter_target(args, 2, id, rc);
    if (!cfg)
        return rc;
    // The instrument takes Windows-1252 text, as the windows send it.
    std::string value;
    if (!cli_to_ansi(args.positional[1], value)) {
        cli_say("The value for parameter %d holds a character that cannot be sent (only the "
                "characters of Windows-1252 can)",
                id);
        return CLI_USAGE;
    }
    if (!config_text_sendable(value)) {
        cli_say("The value for parameter %d holds a control character or ';', which cannot be "
                "sent",
                id);
        return CLI_USAGE;
    }
    if (!store_value(*cfg, id, value)) {
        cli_say("parameter %d takes a whole number", id);
        return CLI_USAGE;
    }
    bool written = false;
    rc = with_link([&] { written = cfg->write_param(id, g_link); });
    if (rc != 0)
        return rc;
    if (!written)
        cli_say("parameter %d refused %s", id, value.c_str());
    return written ? 0 : REFUSED;
}

const cli_registrar read_reg({"config-read",
                              "config-read read the whole configuration and print it as an "
                              "export file begins",
                              run_read});
const cli_registrar get_reg({"config-get", "config-get ID  read one parameter and print its value",
                             run_get});
const cli_registrar set_reg({"config-set",
                             "config-set ID VALUE  write one parameter (list position, or text) "
                             "(exit 4 when out of range)",
                             run_set});

} // namespace
