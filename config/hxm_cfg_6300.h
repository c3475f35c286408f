#pragma once
// The three-channel instrument (type code 9).

#include "config/instrument_config.h"

class hxm_cfg_6300 : public instrument_config {
public:
    hxm_cfg_6300();
    ~hxm_cfg_6300() override = default;
    bool write_param(int id, s_link& link) override;
    void read_param(int id, s_link& link, s_config_param* target) override;
    void print_config(std::ostream& out) const override;
    void print_config_file(FILE* file) const override;
};

// The instrument's value for a list position, and back.
int32_t hxm_6300_to_instrument(int id, int32_t position);
int32_t hxm_6300_to_position(int id, int32_t value);
