#include "sweep/realtime_limits.h"

const char* const TEXT_REALTIME_FAILED =
    "The instrument sent no valid reading, realtime measurement stopped.";
