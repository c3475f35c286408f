#pragma once
// Identification for the commands that talk to a configured instrument.

#include <initializer_list>

class instrument_config;

// Identifies the instrument without showing the result and makes its model
// current; nullptr (with a line on stderr) when no supported instrument
// answered.
instrument_config* cli_identified_model();

// Reads the listed parameters from the identified instrument into its
// model, as the window has them after connecting: commands whose replies
// depend on the instrument's settings call it first. False (with a line on
// stderr) when the instrument did not answer.
bool cli_read_settings(instrument_config& config, std::initializer_list<int> ids);
