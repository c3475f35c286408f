#pragma once
// Identification for the commands that talk to a configured instrument.

class instrument_config;

// Identifies the instrument without showing the result and makes its model
// current; nullptr (with a line on stderr) when no supported instrument
// answered.
instrument_config* cli_identified_model();
