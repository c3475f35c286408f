#pragma once
// The LCR Test Details dialog's check of the repeat settings: the Test
// Details rules without the database part. A bad count shows its own
// message and then "Invalid Total Test Time", as the dialog always has; the
// interval must be a positive number of minutes.

#include "db/details_rules.h"

#include <string>
#include <vector>

// The messages to show in order; empty when the settings are accepted (out
// then holds the count and the interval in milliseconds).
std::vector<s_details_message> lcr_details_check_repeat(const std::string& count,
                                                        const std::string& interval_mins,
                                                        s_repeat_settings& out);
