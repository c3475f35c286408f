#pragma once
// The two configuration models live for the whole process; the current one
// follows the identified instrument's capabilities: the three-channel model
// for the three-channel instrument, the two-channel model for every other.

#include "config/hxm_cfg_4100.h"
#include "config/hxm_cfg_6300.h"
#include "link/instrument_caps.h"

hxm_cfg_4100& config_model_4100();
hxm_cfg_6300& config_model_6300();

// The current model (the two-channel one until an instrument is identified).
instrument_config& config_current();
// Points the current model at the one the instrument's settings live in.
void config_select(const s_instrument_caps& caps);
