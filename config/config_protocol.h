#pragma once
// The three exchanges that move one parameter between the application and
// the instrument. A failed exchange throws a signed 32-bit code: the low
// half is the command number, the high half says what went wrong:
//   0                  the reply did not come, or the status reply was unusable
//   1..127             the instrument kept reporting that event status
//   0xFFFF (-1)        an integer query got an empty reply three times
//   0xFFFE (-2)        an integer query got a reply not starting with a digit
//   the reply value    an integer query got a value outside the range

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct s_link;

using config_error = int32_t;

// Builds the thrown code from a command number and a return value.
config_error config_error_code(int cmd, int32_t ret);
// The parameter command number and the return value of a thrown code, as the
// whole-configuration transfers show them (so -1 reads 65535).
int config_error_id(config_error code);
int config_error_ret(config_error code);

constexpr size_t CONFIG_REPLY_SIZE = 128;
// Event status queries after a set before giving up: the first and ten more.
constexpr int CONFIG_STATUS_QUERIES = 11;
constexpr int CONFIG_INT_ATTEMPTS = 3;

// Sends "config,<cmd>?" and stores the reply line in target, which holds
// `size` bytes. A reply that does not come, or is too long for target
// (size - 1 characters), throws cmd and leaves target as it was.
void query_param(int cmd, char* target, size_t size, s_link& link);
// An integer reply within [min, max], asked up to three times.
int32_t query_int_param(int cmd, int32_t min, int32_t max, s_link& link);
// What set_param_text returns besides 0: the value was not taken, the
// instrument's value is unchanged.
constexpr int CONFIG_SET_REFUSED = 1;

// True when text can travel as one parameter value: no control character
// (it would end the command line) and no ';' (it would start another).
bool config_text_sendable(std::string_view text);

// Sends "config,<cmd>,<text>" and confirms with "*esr?"; returns 0, or
// CONFIG_SET_REFUSED without traffic for a text that is not sendable and
// when the first status after the set reports an execution or command
// error (the instrument refusing the value).
int set_param_text(int cmd, const std::string& text, s_link& link);
int set_param_int(int cmd, int32_t value, s_link& link);
