#pragma once
// The configuration text block at the head of every text and CSV export:
// a three-line header, the instrument's identification and the parameter
// lines of the current model, each line "section,name,value" in lower case
// with the section title only on the first line of a section.

#include "link/instrument_caps.h"

#include <cstdio>
#include <span>
#include <string>

class instrument_config;
struct s_link;

// What fills the configuration block at the head of every export file.
struct s_export_header {
    const instrument_config* cfg = nullptr;
    const s_link* link = nullptr;
    std::string calibration; // empty until something defines it
    std::string verdict{};   // the last sweep's verdict, told after the block, or none
};

// The header without a verdict, for the files of sweeps it does not judge.
inline s_export_header unjudged(s_export_header header)
{
    header.verdict.clear();
    return header;
}

// One entry of a printed table: a section title (id 0) or a parameter id.
struct s_block_entry {
    int id;
    const char* title = nullptr;
};

struct s_block_layout {
    caps_param_names names; // the name table that names the lines
    std::span<const s_block_entry> common;
    // Further parameters per operating mode (list position of parameter 1),
    // printed after "Measurement settings" and the operating mode itself.
    std::span<const std::span<const s_block_entry>> modes;
};

// The parameter lines of `cfg`, line feeds as "\n", percent signs single.
std::string config_block_lines(const instrument_config& cfg, const s_block_layout& layout);

// Header, identification and parameter lines of the current configuration,
// line feeds as "\n". Fields of an instrument not yet identified are empty.
std::string config_block_text(const instrument_config& cfg, const s_link& link,
                              const std::string& calibration);
// The whole block into an export file (CR LF line ends): what every exporter
// writes before its "data start" line.
void config_write_block(FILE* file, const instrument_config& cfg, const s_link& link,
                        const std::string& calibration);
