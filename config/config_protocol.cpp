#include "config/config_protocol.h"

#include "link/link.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr int RESET_DRAIN_MS = 100;
constexpr int STATUS_MASK = 0x7F;
// Event status bits of a value the instrument would not take.
constexpr int STATUS_REFUSED = 0x10 | 0x20; // execution error, command error
constexpr int32_t RET_EMPTY = -1;
constexpr int32_t RET_NOT_DIGIT = -2;

bool starts_with_digit(const char* text)
{
    return std::isdigit(static_cast<unsigned char>(text[0])) != 0;
}

// The value of the leading decimal digits, held at INT32_MAX when the reply
// carries more digits than an integer takes.
int32_t leading_digits(const char* text)
{
    int64_t v = 0;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text)
        v = std::min<int64_t>(v * 10 + (*text - '0'), INT32_MAX);
    return static_cast<int32_t>(v);
}

int32_t query_status(int cmd, s_link& link)
{
    link_send(link, "*esr?\n");
    char reply[CONFIG_REPLY_SIZE];
    const int n = link_read_line(link, reply, sizeof reply);
    if (n <= 0 || !starts_with_digit(reply))
        throw config_error_code(cmd, 0);
    return leading_digits(reply) & STATUS_MASK;
}

} // namespace

config_error config_error_code(int cmd, int32_t ret)
{
    const uint32_t code = static_cast<uint32_t>(cmd) + (static_cast<uint32_t>(ret) << 16);
    return static_cast<config_error>(code);
}

int config_error_id(config_error code)
{
    return code & 0xFFFF;
}

int config_error_ret(config_error code)
{
    return (code >> 16) & 0xFFFF;
}

void query_param(int cmd, char* target, size_t size, s_link& link)
{
    char command[32];
    std::snprintf(command, sizeof command, "config,%d?\n", cmd);
    link_send(link, command);
    char reply[CONFIG_REPLY_SIZE];
    const int n = link_read_line(link, reply, sizeof reply);
    if (n < 0 || std::strlen(reply) >= size)
        throw config_error_code(cmd, 0);
    std::memset(target, 0, size);
    std::memcpy(target, reply, std::strlen(reply));
}

int32_t query_int_param(int cmd, int32_t min, int32_t max, s_link& link)
{
    int32_t ret = 0;
    for (int attempt = 0; attempt < CONFIG_INT_ATTEMPTS; ++attempt) {
        char reply[CONFIG_REPLY_SIZE];
        query_param(cmd, reply, sizeof reply, link);
        if (reply[0] == '\0') {
            ret = RET_EMPTY;
        } else if (!starts_with_digit(reply)) {
            ret = RET_NOT_DIGIT;
        } else {
            ret = leading_digits(reply);
            if (ret >= min && ret <= max)
                return ret;
        }
    }
    throw config_error_code(cmd, ret);
}

bool config_text_sendable(std::string_view text)
{
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == ';';
    });
}

int set_param_text(int cmd, const std::string& text, s_link& link)
{
    if (!config_text_sendable(text))
        return CONFIG_SET_REFUSED;
    const std::string command = "config," + std::to_string(cmd) + "," + text + "\n";
    link_send(link, command);
    int32_t status = 0;
    for (int query = 0; query < CONFIG_STATUS_QUERIES; ++query) {
        if (query > 0) {
            link_send(link, std::string(1, LINK_RESET_BYTE));
            link_drain(link, RESET_DRAIN_MS);
        }
        status = query_status(cmd, link);
        if (status == 0)
            return 0;
        if (query == 0 && (status & STATUS_REFUSED) != 0)
            return CONFIG_SET_REFUSED;
    }
    throw config_error_code(cmd, status);
}

int set_param_int(int cmd, int32_t value, s_link& link)
{
    return set_param_text(cmd, std::to_string(value), link);
}
