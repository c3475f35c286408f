#pragma once

#include "sim/param_table.h"

#include <string>
#include <string_view>

namespace sim {

// The identification reply the simulated instrument gives by default:
// manufacturer, model, serial number, firmware version.
std::string default_identity(sim_model model);

// The type code an identification reply stands for (0 when the model field
// is not one of the family's), following the family's model prefixes.
int identity_type_code(std::string_view identity);

// One comma-separated field of an identification reply: 0 manufacturer,
// 1 model, 2 serial number, 3 version; empty when the reply has fewer.
std::string identity_field(std::string_view identity, int index);

inline std::string identity_model(std::string_view identity)
{
    return identity_field(identity, 1);
}

} // namespace sim
