// Which rows of a page show under the present configuration. Conditions
// test the model's list positions; rows are given as indices into the
// page's (or mode set's) parameter list, in placing order.

#include "config/instrument_config.h"
#include "config/ui/config_pages.h"

#include <initializer_list>

namespace {

using rows = std::vector<int>;

int pos(const instrument_config& cfg, int id)
{
    int32_t v = 0;
    cfg.get_int(id, v);
    return v;
}

void add(rows& r, std::initializer_list<int> more)
{
    r.insert(r.end(), more);
}

void add_if(rows& r, bool when, std::initializer_list<int> more)
{
    if (when)
        add(r, more);
}

rows all_rows(size_t count)
{
    rows r;
    for (size_t i = 0; i < count; ++i)
        r.push_back(static_cast<int>(i));
    return r;
}

// Mode 95: 0 normal, 1 streaming, 2 fast analogue output, 3 single.
rows acquisition2(const instrument_config& c)
{
    const int mode = pos(c, 95);
    const bool dynamics = pos(c, 14) != 2, interval = pos(c, 58) != 0;
    rows r{0};
    if (mode == 1) {
        add(r, {3, 4, 5, 6, 7});
        add_if(r, dynamics, {8});
        add(r, {10});
        add_if(r, interval, {11});
        add(r, {12});
        return r;
    }
    add_if(r, mode == 3, {1});
    add(r, {2});
    add_if(r, pos(c, 13) == 5, {3});
    add(r, {4, 5, 6, 7});
    add_if(r, dynamics, {8});
    add(r, {9, 10});
    add_if(r, interval, {11});
    add(r, {12});
    return r;
}

rows sweep2(const instrument_config& c)
{
    rows r{0, 1, 2, 4, 5};
    add_if(r, pos(c, 21) == 0, {3});
    add(r, {6});
    add_if(r, pos(c, 193) == 1, {7, 8});
    add(r, {9});
    add_if(r, pos(c, 173) == 1, {10, 11});
    add(r, {12});
    add_if(r, pos(c, 64) > 0, {13});
    return r;
}

rows trim(const instrument_config& c)
{
    rows r{0};
    add_if(r, pos(c, 186) != 0, {1, 2});
    return r;
}

// The QFX01 fixture in transformer analyser mode follows what the
// transformer test measures (parameter 121): turns ratio needs the winding
// and the ratio, inductance and return loss need neither, every other test
// the winding.
rows qfx01_transformer(const instrument_config& c)
{
    const int test = pos(c, 121);
    if (test == 1 || test == 7)
        return {0};
    rows r{0, 6};
    add_if(r, test == 0, {7});
    return r;
}

// Fixture 122: 1 LCR active head, 2 QFX01, 3 ZAX.
rows aux2(const instrument_config& c)
{
    switch (pos(c, 122)) {
    case 1: return {0, 1};
    case 2: {
        if (pos(c, PARAM_OPERATING_MODE) == 6)
            return qfx01_transformer(c);
        rows r{0, 2};
        add_if(r, pos(c, 130) != 5, {3, 4, 5});
        return r;
    }
    case 3: return {0, 8};
    default: return {0};
    }
}

rows input2(const instrument_config& c, int input_id)
{
    rows r{0, 1, 2, 3, 4, 5};
    add_if(r, pos(c, input_id) == 2, {6});
    return r;
}

rows acquisition3(const instrument_config& c)
{
    rows r{0, 1};
    add_if(r, pos(c, 13) == 5, {2});
    add(r, {3, 4, 5});
    add_if(r, pos(c, 14) != 2, {6});
    add(r, {7, 8, 9});
    return r;
}

rows advanced3(const instrument_config& c)
{
    rows r{0, 1, 2};
    add_if(r, pos(c, 75) == 1, {3});
    add(r, {4});
    return r;
}

rows sweep3(const instrument_config& c)
{
    rows r{0, 1, 2, 3, 4, 5};
    add_if(r, pos(c, 193) == 1, {6, 7});
    add(r, {8});
    add_if(r, pos(c, 173) == 1, {9, 10});
    return r;
}

// Waveform 51: 4 pulse, 5 white noise; control 116: 1 dBm; step scale
// 192: 1 linear.
rows output3(const instrument_config& c)
{
    switch (pos(c, 51)) {
    case 4: return {0, 2, 7, 8, 13, 14};
    case 5: return {0, 2, 7, 14};
    default: break;
    }
    rows r{0, 1};
    if (pos(c, 116) == 1)
        add(r, {3, 5});
    else
        add(r, {2, 4, 6});
    add(r, {7, 8, 9});
    add(r, {pos(c, 192) == 1 ? 11 : 10});
    add(r, {12, 14});
    return r;
}

// Input positions: 0 direct, 1 external shunt, 2 external attenuator. The
// first External Shunt field serves the shunt and the second the
// attenuator, so the field shown always belongs to the choice made.
rows input3(const instrument_config& c, int input_id)
{
    rows r{0, 1, 2, 3};
    const int input = pos(c, input_id);
    add_if(r, input == 1, {4});
    add_if(r, input == 2, {5});
    add(r, {6});
    return r;
}

rows lcr_mode(const instrument_config& c, bool three_channel)
{
    const int parameter = pos(c, 137);
    const bool immittance = parameter == 3 || parameter == 4;
    rows r{0, 1, 2};
    if (three_channel) {
        add(r, {immittance ? 4 : 3, 5, 6, 7});
        return r;
    }
    if (immittance)
        add(r, {4, 6});
    else
        add(r, {3, 5, 6});
    return r;
}

rows vector_mode(const instrument_config& c)
{
    const int parameter = pos(c, 177);
    rows r{0, 1, parameter == 8 || parameter == 9 ? 3 : 2, 4};
    add_if(r, pos(c, 179) == 1, {5});
    return r;
}

rows transformer_mode(const instrument_config& c)
{
    const int parameter = pos(c, 121);
    rows r{0, 1};
    if (parameter == 0)
        add(r, {2});
    else if (parameter >= 1 && parameter <= 8)
        add(r, parameter == 8 ? std::initializer_list<int>{3, 4} : std::initializer_list<int>{3});
    else if (parameter == 9)
        add(r, {5, 6});
    else if (parameter == 10)
        add(r, {7});
    return r;
}

rows mode2(const instrument_config& c, int mode)
{
    switch (mode) {
    case 3: return lcr_mode(c, false);
    case 4: return vector_mode(c);
    case 5: {
        rows r{0, 1, 2, 3};
        add_if(r, pos(c, 99) == 2, {4, 5});
        return r;
    }
    case 6: return transformer_mode(c);
    default: return all_rows(config_mode_set(PANEL_TWO_CHANNEL, mode).params.size());
    }
}

rows mode3(const instrument_config& c, int mode)
{
    switch (mode) {
    case 1: {
        rows r{0, 1, 2};
        add_if(r, pos(c, 14) != 2, {3});
        add(r, {4, 5, 6, 7});
        return r;
    }
    case 3: return lcr_mode(c, true);
    case 4: {
        const int computation = pos(c, 99);
        rows r{0, 1};
        add_if(r, computation == 4, {4});
        add(r, {2});
        add_if(r, computation != 0, {3, 5, 6, 7, 8});
        return r;
    }
    case 5: return vector_mode(c);
    default: return all_rows(config_mode_set(PANEL_THREE_CHANNEL, mode).params.size());
    }
}

rows two_channel(int number, const instrument_config& c)
{
    switch (number) {
    case PAGE_ACQUISITION: return acquisition2(c);
    case PAGE_SWEEP: return sweep2(c);
    case PAGE_TRIM: return trim(c);
    case PAGE_AUX: return aux2(c);
    case PAGE_INPUT1: return input2(c, 24);
    case PAGE_INPUT2: return input2(c, 25);
    case PAGE_MODE: return mode2(c, pos(c, PARAM_OPERATING_MODE));
    default: return all_rows(config_page(PANEL_TWO_CHANNEL, number).params.size());
    }
}

rows three_channel(int number, const instrument_config& c)
{
    switch (number) {
    case PAGE_ACQUISITION: return acquisition3(c);
    case PAGE_ADVANCED: return advanced3(c);
    case PAGE_SWEEP: return sweep3(c);
    case PAGE_TRIM: return trim(c);
    case PAGE_AUX: return pos(c, 122) == 1 ? rows{0, 1} : rows{0};
    case PAGE_OUTPUT: return output3(c);
    case PAGE_INPUT1: return input3(c, 24);
    case PAGE_INPUT2: return input3(c, 25);
    case PAGE_INPUT3: return input3(c, 26);
    case PAGE_MODE: return mode3(c, pos(c, PARAM_OPERATING_MODE));
    default: return all_rows(config_page(PANEL_THREE_CHANNEL, number).params.size());
    }
}

} // namespace

std::vector<int> config_visible_rows(int model, int number, const instrument_config& cfg)
{
    const int n = config_page_normalise(model, number);
    return model == PANEL_THREE_CHANNEL ? three_channel(n, cfg) : two_channel(n, cfg);
}
