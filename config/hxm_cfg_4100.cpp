#include "config/hxm_cfg_4100.h"

#include "base/text_file.h"
#include "config/config_text_block.h"
#include "config/param_table.h"

#include <ostream>

namespace {

// The instrument skips values for retired choices: its squarewave is 2, the
// high-Z interface 6, trim and none 6 and 7, the current input 7.
struct s_value_map {
    int id;
    int32_t position;
    int32_t value;
};

constexpr s_value_map value_map[] = {
    {51, 1, 2}, {122, 4, 6}, {130, 4, 6}, {130, 5, 7}, {131, 4, 7}, {133, 4, 7},
};

// clang-format off
constexpr s_block_entry common[] = {
    {0, "Acquisition"}, {95}, {13}, {12}, {151}, {152}, {39}, {14}, {15}, {11}, {58}, {59}, {3},
    {0, "Sweep"}, {19}, {20}, {18}, {192}, {55},
    {0, "Trim"}, {186}, {188}, {190},
    {0, "Auxillary"}, {122}, {140}, {130}, {132}, {133}, {131}, {123}, {124}, {140},
    {0, "Output"}, {49}, {57}, {48}, {50}, {51}, {53}, {52}, {7}, {54},
    {0, "Channel1"}, {24}, {36}, {26}, {28}, {30}, {32}, {34},
    {0, "Channel2"}, {25}, {37}, {27}, {29}, {31}, {33}, {35},
    {0, "System"}, {6}, {5}, {8}, {9}, {4}, {119}, {23}, {117}, {66}, {116},
};
// clang-format on

constexpr s_block_entry rms[] = {{5}};
constexpr s_block_entry fra[] = {{150}, {148}, {149}, {147}};
constexpr s_block_entry power[] = {{83}};
constexpr s_block_entry lcr[] = {{137}, {22}, {139}, {141}, {138}, {145}};
constexpr s_block_entry vector[] = {{177}, {181}, {178}, {179}, {180}};
constexpr s_block_entry harmonic[] = {{99}, {102}, {100}, {101}, {103}};
constexpr s_block_entry transformer[] = {{121}, {127}, {125}, {126}, {100}, {102}, {101}};

constexpr std::span<const s_block_entry> modes[] = {rms,    fra,      power,      lcr,
                                                    vector, harmonic, transformer};

std::string block_lines(const instrument_config& cfg)
{
    return config_block_lines(cfg, {caps_param_names::hxm_4100, common, modes});
}

} // namespace

int32_t hxm_4100_to_instrument(int id, int32_t position)
{
    for (const s_value_map& m : value_map)
        if (m.id == id && m.position == position)
            return m.value;
    return position;
}

int32_t hxm_4100_to_position(int id, int32_t value)
{
    for (const s_value_map& m : value_map)
        if (m.id == id && m.value == value)
            return m.position;
    return value;
}

hxm_cfg_4100::hxm_cfg_4100()
{
    config_fill(*this, hxm_4100_params());
}

bool hxm_cfg_4100::write_param(int id, s_link& link)
{
    return write_param_using(id, link, hxm_4100_to_instrument);
}

void hxm_cfg_4100::read_param(int id, s_link& link, s_config_param* target)
{
    read_param_using(id, link, target, hxm_4100_to_position);
}

void hxm_cfg_4100::print_config(std::ostream& out) const
{
    out << block_lines(*this);
}

void hxm_cfg_4100::print_config_file(FILE* file) const
{
    text_file_write_crlf(file, block_lines(*this));
}
