#pragma once
// The two-channel instrument (type code 7) and the other instrument types
// that identification maps to this model.

#include "config/instrument_config.h"

class hxm_cfg_4100 : public instrument_config {
public:
    hxm_cfg_4100();
    ~hxm_cfg_4100() override = default;
    bool write_param(int id, s_link& link) override;
    void read_param(int id, s_link& link, s_config_param* target) override;
    void print_config(std::ostream& out) const override;
    void print_config_file(FILE* file) const override;
};

// The instrument's value for a list position, and back.
int32_t hxm_4100_to_instrument(int id, int32_t position);
int32_t hxm_4100_to_position(int id, int32_t value);
