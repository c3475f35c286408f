// config-read, config-get ID, config-set ID VALUE: the instrument's
// configuration through the model of the identified instrument.
// Exit status: 0 done, 1 the exchange failed, 2 usage, 3 not identified,
// 4 the value was refused by the parameter's range.

#include "cli/cli.h"
#include "cli/link_options.h"
#include "config/config_current.h"
#include "config/config_protocol.h"
#include "config/config_text_block.h"
#include "link/identify.h"
#include "link/link.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int EXCHANGE_FAILED = 1;
constexpr int NOT_IDENTIFIED = 3;
constexpr int REFUSED = 4;

// Identifies the instrument and makes its model current; nullptr when not.
instrument_config* identified_model()
{
    g_link.type_code = 0;
    g_link.identified = connect_and_identify(nullptr, g_link, false);
    if (!g_link.identified) {
        std::fprintf(stderr, "tarvelo2-cli: no supported instrument answered\n");
        return nullptr;
    }
    config_select(g_link.type_code);
    return &config_current();
}

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
    std::fprintf(stderr, "tarvelo2-cli: %s needs a parameter id\n", args.command.c_str());
    return false;
}

// A parameter the current model holds and transfers.
bool known_id(int32_t id)
{
    const s_config_param* rec = config_current().record(id);
    if (!rec || !param_has_record(*rec) || id > CONFIG_BANK_A_LAST) {
        std::fprintf(stderr, "tarvelo2-cli: no parameter %d\n", id);
        return false;
    }
    return true;
}

int report(config_error code)
{
    std::fprintf(stderr, "tarvelo2-cli: the exchange failed (Id:%d ret:%d)\n",
                 config_error_id(code), config_error_ret(code));
    return EXCHANGE_FAILED;
}

int run_read(const cli_args&)
{
    instrument_config* cfg = identified_model();
    if (!cfg)
        return NOT_IDENTIFIED;
    cfg->read_all(g_link, true);
    config_write_block(stdout, *cfg, g_link, "");
    return 0;
}

std::string shown_value(const instrument_config& cfg, int id)
{
    const s_config_param& rec = *cfg.record(id);
    std::string text;
    if (rec.type == PARAM_INTEGER && rec.options.empty())
        cfg.get_text(id, text);
    else
        cfg.get_display_text(id, text);
    return text;
}

int run_get(const cli_args& args)
{
    int32_t id = 0;
    if (!parse_id(args, 1, id))
        return CLI_USAGE;
    instrument_config* cfg = identified_model();
    if (!cfg)
        return NOT_IDENTIFIED;
    if (!known_id(id))
        return CLI_USAGE;
    if (cli_link_open() != 0)
        return EXCHANGE_FAILED;
    try {
        cfg->read_param(id, g_link, nullptr);
    } catch (config_error code) {
        link_close(g_link);
        return report(code);
    }
    link_close(g_link);
    std::printf("%s\n", shown_value(*cfg, id).c_str());
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
    if (!parse_id(args, 2, id))
        return CLI_USAGE;
    instrument_config* cfg = identified_model();
    if (!cfg)
        return NOT_IDENTIFIED;
    if (!known_id(id))
        return CLI_USAGE;
    if (!store_value(*cfg, id, args.positional[1])) {
        std::fprintf(stderr, "tarvelo2-cli: parameter %d takes a whole number\n", id);
        return CLI_USAGE;
    }
    if (cli_link_open() != 0)
        return EXCHANGE_FAILED;
    bool written = false;
    try {
        written = cfg->write_param(id, g_link);
    } catch (config_error code) {
        link_close(g_link);
        return report(code);
    }
    link_close(g_link);
    if (!written)
        std::fprintf(stderr, "tarvelo2-cli: parameter %d refused %s\n", id,
                     args.positional[1].c_str());
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
