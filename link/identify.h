#pragma once
// Identification: asks the instrument "*IDN?", decides from the reply
// whether it is one this system supports, and sets the instrument type code
// that selects the configuration model and gates model-specific behaviour.

#include "base/ui_seam.h"

#include <string>
#include <string_view>

struct s_link;

constexpr int IDENTIFY_ATTEMPTS = 5;
constexpr int IDENTIFY_TIMEOUT_MS = 500;
constexpr int IDENTIFY_REPLY_SIZE = 128;

// The reply begins with a manufacturer prefix this system accepts.
bool identify_accepted(std::string_view reply);
// The type code for the model field of an accepted reply, 0 when unknown.
int identify_type_code(std::string_view reply);

// What the program says when the link does not open: "Failed to connect to
// IP address ..." or "Unable to open port ...".
std::string link_open_failure(const s_link& link);

// Opens the link, identifies the instrument and closes the link again.
// Sets type_code with its capabilities and, when identified, identity; with show_result the
// outcome is told in a "Test Connection" box owned by `dialog`. The caller
// decides whether the result changes link.identified.
bool connect_and_identify(ui_owner dialog, s_link& link, bool show_result);
