#pragma once
// The instrument's part of a report made in a window: the identified
// instrument's type, serial number and firmware version, and its operating
// mode as the configuration holds it. Empty while none is identified.
#include "graph/ui/report_document.h"

#include <vector>

std::vector<report_field> report_instrument_fields();
