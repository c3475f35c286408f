#pragma once
// The two configuration models live for the whole process; the current one
// follows the identified instrument: the three-channel model for type code 9,
// the two-channel model for every other code.

#include "config/hxm_cfg_4100.h"
#include "config/hxm_cfg_6300.h"

hxm_cfg_4100& config_model_4100();
hxm_cfg_6300& config_model_6300();

// The current model (the two-channel one until an instrument is identified).
instrument_config& config_current();
// Points the current model at the one for an instrument type code.
void config_select(int type_code);
