// Page tables and placing rules of both models.

#include "config/ui/config_pages.h"

#include "config/config_protocol.h"
#include "config/instrument_config.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// clang-format off
constexpr int acqu2[] = {95, 55, 13, 12, 151, 152, 39, 14, 15, 11, 58, 59, 3};
constexpr int sweep2[] = {19, 20, 18, 55, 192, 21, 193, 194, 195, 173, 174, 175, 64, 65};
constexpr int trim[] = {186, 188, 190};
constexpr int aux2[] = {122, 140, 130, 132, 133, 131, 123, 124, 140};
constexpr int out2[] = {49, 57, 48, 50, 51, 53, 52, 7, 54};
constexpr int in1_2[] = {24, 36, 26, 28, 30, 32, 34};
constexpr int in2_2[] = {25, 37, 27, 29, 31, 33, 35};
constexpr int sys2[] = {6, 5, 8, 9, 4, 119, 23, 117, 66, 116};

constexpr int acqu3[] = {84, 13, 12, 151, 152, 14, 15, 72, 11, 3};
constexpr int adv3[] = {73, 69, 75, 48, 78};
constexpr int sweep3[] = {19, 20, 18, 192, 21, 193, 194, 195, 173, 174, 175};
constexpr int aux3[] = {122, 140};
constexpr int out3[] = {51, 116, 49, 54, 53, 222, 219, 50, 48, 192, 52, 223, 220, 221, 7};
constexpr int in1_3[] = {24, 30, 27, 36, 39, 39, 33};
constexpr int in2_3[] = {25, 31, 28, 37, 40, 40, 34};
constexpr int in3_3[] = {26, 32, 29, 38, 41, 41, 35};
constexpr int sys3[] = {6, 67, 5, 9, 4, 66, 132, 131, 117};

// AC Trim re-lays the Trim page out on both models, so its rows follow it.
constexpr int ctl_trim[] = {186};
constexpr int ctl_acqu2[] = {95, 13, 14, 58};
constexpr int ctl_sweep2[] = {21, 193, 173, 64};
constexpr int ctl_aux2[] = {122, 130};
constexpr int ctl_in1_2[] = {24, 26};
constexpr int ctl_in2_2[] = {25, 27};
constexpr int ctl_mode2[] = {1, 137, 177, 179, 99, 121};
constexpr int ctl_acqu3[] = {13, 14, 72};
constexpr int ctl_adv3[] = {75};
constexpr int ctl_sweep3[] = {21, 193, 173};
constexpr int ctl_aux3[] = {122};
constexpr int ctl_out3[] = {51, 116, 192};
constexpr int ctl_in1_3[] = {24, 27};
constexpr int ctl_in2_3[] = {25, 28};
constexpr int ctl_in3_3[] = {26, 29};
// Smoothing decides whether the FRA set shows Smoothing response, so it
// re-lays the mode page out as it does the Acquisition page.
constexpr int ctl_mode3[] = {1, 137, 177, 179, 99, 212, 14};

const s_config_page pages2[] = {
    {PAGE_ACQUISITION, "Acquisition Control", 25000, acqu2, ctl_acqu2},
    {PAGE_SWEEP, "Sweep Settings", 25100, sweep2, ctl_sweep2},
    {PAGE_TRIM, "Trim Control", 25200, trim, ctl_trim},
    {PAGE_AUX, "Auxillary Control", 25500, aux2, ctl_aux2},
    {PAGE_OUTPUT, "Output Options", 25600, out2, {}},
    {PAGE_INPUT1, "Input 1", 25700, in1_2, ctl_in1_2},
    {PAGE_INPUT2, "Input 2", 25730, in2_2, ctl_in2_2},
    {PAGE_SYSTEM, "System Options", 25800, sys2, {}},
    {PAGE_MODE, nullptr, 0, {}, ctl_mode2},
};
const s_config_page pages3[] = {
    {PAGE_ACQUISITION, "Acquisition Control", 25000, acqu3, ctl_acqu3},
    {PAGE_ADVANCED, "Advanced Acquisition", 25900, adv3, ctl_adv3},
    {PAGE_SWEEP, "Sweep Settings", 25100, sweep3, ctl_sweep3},
    {PAGE_TRIM, "Trim Control", 25200, trim, ctl_trim},
    {PAGE_AUX, "Auxillary Control", 25500, aux3, ctl_aux3},
    {PAGE_OUTPUT, "Output Options", 25600, out3, ctl_out3},
    {PAGE_INPUT1, "Input 1", 25700, in1_3, ctl_in1_3},
    {PAGE_INPUT2, "Input 2", 25730, in2_3, ctl_in2_3},
    {PAGE_INPUT3, "Input 3", 25760, in3_3, ctl_in3_3},
    {PAGE_SYSTEM, "System Options", 25800, sys3, {}},
    {PAGE_MODE, nullptr, 0, {}, ctl_mode3},
};

// Each mode set: the operating mode, then that mode's parameters in the
// order the configuration text block prints them.
constexpr int rms2[] = {1, 5};
constexpr int fra2[] = {1, 150, 148, 149, 147};
constexpr int power2[] = {1, 83};
constexpr int lcr2[] = {1, 137, 22, 139, 141, 138, 145};
constexpr int vector[] = {1, 177, 181, 178, 179, 180};
constexpr int harmonic2[] = {1, 99, 102, 100, 101, 103};
constexpr int transformer2[] = {1, 121, 127, 125, 126, 100, 102, 101};
constexpr int rms3[] = {1, 92};
constexpr int fra3[] = {1, 13, 14, 15, 150, 93, 148, 149};
constexpr int power3[] = {1, 88, 87, 100, 86};
constexpr int lcr3[] = {1, 137, 22, 139, 141, 138, 145, 146};
constexpr int harmonic3[] = {1, 99, 100, 101, 111, 103, 104, 113, 114};
constexpr int scope3[] = {1, 208, 209, 212, 211, 216, 210, 215};
// clang-format on

const s_mode_set modes2[] = {{28000, rms2},        {28100, fra2},   {28200, power2},
                             {28300, lcr2},        {28400, vector}, {28500, harmonic2},
                             {28600, transformer2}};
const s_mode_set modes3[] = {{28000, rms3},      {28100, fra3},   {28200, power3}, {28300, lcr3},
                             {28500, harmonic3}, {28400, vector}, {28700, scope3}};

const char* const titles2[] = {
    "RMS Voltmeter",    "Frequency Response Analyser", "Power Meter",         "LCR Meter",
    "Vector Voltmeter", "Harmonic Analyser",           "Transformer Analyser"};
const char* const titles3[] = {"RMS Voltmeter", "Frequency Response Analyser", "Power Meter",
                               "LCR Meter",     "Harmonic Analyser",           "Vector Voltmeter",
                               "Oscilloscope"};

std::span<const s_config_page> pages(int model)
{
    if (model == PANEL_THREE_CHANNEL)
        return pages3;
    return pages2;
}

} // namespace

int config_page_normalise(int model, int number)
{
    if (model == PANEL_TWO_CHANNEL && number == PAGE_ADVANCED)
        return PAGE_ACQUISITION;
    if (model == PANEL_TWO_CHANNEL && number == PAGE_INPUT3)
        return PAGE_INPUT2;
    return number;
}

const s_config_page& config_page(int model, int number)
{
    const int n = config_page_normalise(model, number);
    for (const s_config_page& p : pages(model)) {
        if (p.number == n)
            return p;
    }
    return pages(model).front();
}

int config_page_of_button(int button_id)
{
    switch (button_id) {
    case 13002: return PAGE_ACQUISITION;
    case 13003: return PAGE_SWEEP;
    case 13004: return PAGE_TRIM;
    case 13007: return PAGE_AUX;
    case 13008: return PAGE_OUTPUT;
    case 13009: return PAGE_INPUT1;
    case 13010: return PAGE_INPUT2;
    case 13011: return PAGE_SYSTEM;
    case 13012: return PAGE_MODE;
    default: return -1;
    }
}

int config_button_of_page(int number)
{
    switch (number) {
    case PAGE_ACQUISITION:
    case PAGE_ADVANCED: return 13002;
    case PAGE_SWEEP: return 13003;
    case PAGE_TRIM: return 13004;
    case PAGE_AUX: return 13007;
    case PAGE_OUTPUT: return 13008;
    case PAGE_INPUT1: return 13009;
    case PAGE_INPUT2:
    case PAGE_INPUT3: return 13010;
    case PAGE_SYSTEM: return 13011;
    default: return 13012;
    }
}

int config_mode_count(int model)
{
    return model == PANEL_THREE_CHANNEL ? std::size(modes3) : std::size(modes2);
}

const s_mode_set& config_mode_set(int model, int mode_position)
{
    const int p =
        mode_position >= 0 && mode_position < config_mode_count(model) ? mode_position : 0;
    return model == PANEL_THREE_CHANNEL ? modes3[p] : modes2[p];
}

const char* config_mode_title(int model, int mode_position)
{
    const int p =
        mode_position >= 0 && mode_position < config_mode_count(model) ? mode_position : 0;
    return model == PANEL_THREE_CHANNEL ? titles3[p] : titles2[p];
}

bool config_is_controlling(int model, int number, int id)
{
    for (int c : config_page(model, number).controlling) {
        if (c == id)
            return true;
    }
    return false;
}

const char* config_default_text(int number, int id)
{
    switch (id) {
    case 12:
    case 194:
    case 174:
    case 49: return "1.0000E";
    case 151: return "1";
    case 152: return "0";
    case 59:
    case 195:
    case 175:
    case 65:
    case 188:
    case 190: return "0.0000E";
    case 19: return "1.0000E3";
    case 20: return "1.0000E5";
    case 48: return number == PAGE_ADVANCED ? "1.0000E3" : nullptr;
    default: return nullptr;
    }
}

namespace {

// The text's leading integer; a number too large for an int reads as the
// nearest int, so it can never wrap round into the allowed range.
int leading_int(const char* text)
{
    const long long v = std::strtoll(text, nullptr, 10);
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

} // namespace

s_edit_check config_check_edit(int id, const char* text)
{
    if (!config_text_sendable(text))
        return {edit_action::refuse, 0, "A value cannot hold control characters or ';'"};
    const int value = leading_int(text);
    switch (id) {
    case 151:
        if (!*text)
            return {edit_action::ignore, 0, nullptr};
        if (value < 1 || value > 100)
            return {edit_action::refuse, 0, "Minimum Cycles must be set between 1 and 100"};
        return {edit_action::store_text, 0, nullptr};
    case 152:
        if (!*text)
            return {edit_action::ignore, 0, nullptr};
        if (value < 0 || value > 60)
            return {edit_action::refuse, 0, "Delay must be set between 0 and 60"};
        return {edit_action::store_text, 0, nullptr};
    case 18:
        if (value > 1 && value <= 3000)
            return {edit_action::store_int, value, nullptr};
        return {edit_action::ignore, 0, nullptr};
    default: return {edit_action::store_text, 0, nullptr};
    }
}
