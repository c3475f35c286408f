#pragma once
// The application's copy of the instrument configuration. One object per
// supported model lives for the whole process; the models differ in their
// parameter tables, in how a few list positions map to instrument values,
// and in the configuration text block they print.

#include "config/config_param.h"

#include <cstdio>
#include <iosfwd>
#include <string>
#include <vector>

struct s_link;

// Ids 0..256 live in bank A; ids 500..755 in bank B (entry id - 500).
constexpr int CONFIG_BANK_A_LAST = 256;
constexpr int CONFIG_BANK_B_FIRST = 500;
constexpr int CONFIG_BANK_SIZE = 256;

// Translates between the instrument's raw value and the model's list
// position for one parameter id; values without a rule pass unchanged.
using param_translation = int32_t (*)(int id, int32_t value);

class instrument_config {
public:
    instrument_config() = default;
    instrument_config(const instrument_config&) = delete;
    instrument_config& operator=(const instrument_config&) = delete;

    virtual void init_text_param(s_config_param& rec, int id, double min, double max,
                                 const char* initial);
    virtual void init_list_param(s_config_param& rec, int id, double min, double max,
                                 int32_t initial, const std::vector<std::string>& options);
    virtual ~instrument_config() = default;
    virtual void get_string(int id, std::string& out) const;
    virtual void get_text(int id, std::string& out) const;
    virtual void get_double(int id, double& out) const;
    virtual int get_int(int id, int32_t& out) const;
    virtual void get_info(int id, s_param_info& out) const;
    virtual void get_display_text(int id, std::string& out) const;
    virtual void set_text(int id, const std::string& text);
    virtual void set_int(int id, int32_t value);
    virtual void set_value(int id, const s_value_cell& cell);
    // False when the value is out of the record's range, cannot be sent or
    // is refused by the instrument; the instrument keeps its value then.
    virtual bool write_param(int id, s_link& link) = 0;
    virtual void read_param(int id, s_link& link, s_config_param* target) = 0;
    // Whole-configuration transfers: true when every parameter crossed
    // without an error (each error has been told in a box); false also
    // when the instrument type has no parameter table.
    virtual bool write_all(s_link& link, bool open_link);
    virtual bool read_all(s_link& link, bool open_link);
    virtual void print_config(std::ostream& out) const = 0;
    virtual void print_config_file(FILE* file) const = 0;

    // Every record, and putting them back: a cancelled transfer leaves the
    // model as it was before.
    std::vector<s_config_param> saved_records() const;
    void restore_records(const std::vector<s_config_param>& saved);

    // The record of a parameter id, or nullptr for an id outside both banks.
    s_config_param* record(int id);
    const s_config_param* record(int id) const;

protected:
    void read_param_using(int id, s_link& link, s_config_param* target,
                          param_translation to_position);
    bool write_param_using(int id, s_link& link, param_translation to_instrument);

private:
    s_config_param bank_a_[CONFIG_BANK_A_LAST + 1];
    s_config_param bank_b_[CONFIG_BANK_SIZE];
};

// A parameter's value as a user reads it: a plain number as its text, a
// choice by its shown name. The id must have a record.
std::string config_shown_value(const instrument_config& cfg, int id);
