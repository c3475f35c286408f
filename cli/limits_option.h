#pragma once
// --limits FILE of the sweep commands: the limit set each sweep is judged
// against, and the verdict told on stderr as the window shows it, one
// "[FAIL] <check>: <what>" per failed check or "[PASS] ...".

#include "db/db_verdict.h"
#include "sweep/limit_set.h"

#include <optional>

struct cli_args;

// Exit status of a sweep measured and found outside its limits.
constexpr int CLI_OUTSIDE_LIMITS = 5;
// Exit status when the limit set cannot be used.
constexpr int CLI_LIMITS_REFUSED = 4;

// Reads the set --limits names (none without the option); false after
// saying why the file cannot be used.
bool cli_read_limits(const cli_args& args, std::optional<limit_set>& set);

// Tells the verdict; true when the sweep passed.
bool cli_tell_verdict(const s_test_verdict& verdict);
