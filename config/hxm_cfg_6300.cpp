#include "config/hxm_cfg_6300.h"

#include "base/text_file.h"
#include "config/config_text_block.h"
#include "config/param_table.h"

#include <ostream>

namespace {

constexpr int MODE = 1;
constexpr int RECTIFIED_MEAN = 92;
constexpr int DEVICE = 122;
constexpr int ZAX_VALUE = 4;

// The instrument counts the three channel inputs from 1.
bool channel_input(int id)
{
    return id >= 24 && id <= 26;
}

// clang-format off
constexpr s_block_entry common[] = {
    {0, "Acquisition"}, {84}, {13}, {12}, {151}, {152}, {14}, {15}, {72}, {11}, {3},
    {0, "Sweep"}, {19}, {20}, {18}, {192},
    {0, "Trim"}, {186}, {188}, {190},
    {0, "Auxillary"}, {122}, {140},
    {0, "Output"}, {51}, {116}, {49}, {54}, {53}, {222}, {219}, {50}, {48}, {192}, {52}, {223},
    {220}, {221}, {7},
    {0, "Channel1"}, {24}, {30}, {27}, {36}, {39}, {33},
    {0, "Channel2"}, {25}, {31}, {28}, {37}, {40}, {34},
    {0, "Channel3"}, {26}, {32}, {29}, {38}, {41}, {35},
    {0, "System"}, {6}, {67}, {5}, {9}, {4}, {66}, {132}, {131}, {117},
};
// clang-format on

constexpr s_block_entry rms[] = {{92}};
constexpr s_block_entry fra[] = {{13}, {14}, {15}, {150}, {93}, {148}, {149}};
constexpr s_block_entry power[] = {{88}, {87}, {100}, {86}};
constexpr s_block_entry lcr[] = {{137}, {22}, {139}, {141}, {138}, {145}, {146}};
constexpr s_block_entry harmonic[] = {{99}, {100}, {101}, {111}, {103}, {104}, {113}, {114}};
constexpr s_block_entry vector[] = {{177}, {181}, {178}, {179}, {180}};
constexpr s_block_entry scope[] = {{208}, {209}, {212}, {211}, {216}, {210}, {215}};

constexpr std::span<const s_block_entry> modes[] = {rms, fra, power, lcr, harmonic, vector, scope};

std::string block_lines(const instrument_config& cfg)
{
    return config_block_lines(cfg, {caps_param_names::hxm_6300, common, modes});
}

} // namespace

// The instrument's mode 4 is not offered, so harmonic analyser, vector
// voltmeter and oscilloscope are its 5, 6 and 7; the ZAX fixture is its 4.
int32_t hxm_6300_to_instrument(int id, int32_t position)
{
    if (id == MODE && position >= 4 && position <= 6)
        return position + 1;
    if (channel_input(id))
        return position + 1;
    if (id == DEVICE && position == 1)
        return ZAX_VALUE;
    return position;
}

int32_t hxm_6300_to_position(int id, int32_t value)
{
    if (id == MODE && value >= 5 && value <= 7)
        return value - 1;
    if (channel_input(id))
        return value - 1;
    if (id == RECTIFIED_MEAN && value > 1)
        return 1;
    if (id == DEVICE && value > 0)
        return 1;
    return value;
}

hxm_cfg_6300::hxm_cfg_6300()
{
    config_fill(*this, hxm_6300_params());
}

bool hxm_cfg_6300::write_param(int id, s_link& link)
{
    return write_param_using(id, link, hxm_6300_to_instrument);
}

void hxm_cfg_6300::read_param(int id, s_link& link, s_config_param* target)
{
    read_param_using(id, link, target, hxm_6300_to_position);
}

void hxm_cfg_6300::print_config(std::ostream& out) const
{
    out << block_lines(*this);
}

void hxm_cfg_6300::print_config_file(FILE* file) const
{
    text_file_write_crlf(file, block_lines(*this));
}
