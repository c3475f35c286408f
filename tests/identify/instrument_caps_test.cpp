#include "link/identify.h"
#include "link/instrument_caps.h"
#include "link/link.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// The whole record in one line, so each row states every capability.
std::string describe(const s_instrument_caps& c)
{
    const char* names[] = {"-", "4100", "6300", "qxd"};
    std::string text = std::to_string(c.channels) + "ch ";
    text += c.config_model == caps_config_model::three_channel ? "cfg6300 " : "cfg4100 ";
    text += std::string("names:") + names[static_cast<int>(c.param_names)] + " ";
    text += std::to_string(c.screen_width) + "x" + std::to_string(c.screen_height);
    text += c.screen_capture ? " capture" : " no-capture";
    text += c.lcr_quantity_layouts ? " lcr-layouts" : "";
    text += c.lcr_realtime ? " lcr-realtime" : "";
    text += c.model_variant ? " variant" : "";
    return text;
}

const std::string PLAIN = "2ch cfg4100 names:- 320x240 capture";

TEST(InstrumentCaps, EveryModelOfTheIdentificationTableAndTheUnknown)
{
    const struct {
        const char* reply;
        int type_code;
        std::string caps;
    } rows[] = {
        {"QUELLMARSH,HXM6300,1,1", 9,
         "3ch cfg6300 names:6300 320x240 capture lcr-layouts lcr-realtime"},
        {"QUELLMARSH,HXM4100,1,1", 7, "2ch cfg4100 names:4100 320x240 no-capture lcr-realtime"},
        {"QUELLMARSH,HXM5200,1,1", 7, "2ch cfg4100 names:4100 320x240 no-capture lcr-realtime"},
        {"QUELLMARSH,QXD5200,1,1", 13, "2ch cfg4100 names:qxd 320x240 capture"},
        {"WattRelay,WRX21A,1,1", 1, "2ch cfg4100 names:- 480x272 capture variant"},
        {"WattRelay,WRX7A,1,1", 6, "2ch cfg4100 names:- 480x272 capture variant"},
        {"WattRelay,WRX38,1,1", 2, PLAIN + " variant"},
        {"WattRelay,KLS interface,1", 3, PLAIN + " variant"},
        {"WattRelay,WRX64,1,1", 4, PLAIN + " variant"},
        {"WattRelay,WRX7310,1,1", 5, PLAIN + " variant"},
        {"QUELLMARSH,KTVA61,1,1", 10, PLAIN},
        {"OMBRA-TK,KTVA62,1,1", 11, PLAIN},
        {"WattRelay,GFU1,1,1", 12, PLAIN},
        {"QUELLMARSH,ZORVENT9,1,1", 0, PLAIN}, // accepted maker, unknown model
    };
    for (const auto& r : rows) {
        ASSERT_EQ(identify_type_code(r.reply), r.type_code) << r.reply;
        EXPECT_EQ(describe(instrument_caps_of(r.type_code)), r.caps) << r.reply;
    }
    for (const int never_produced : {8, 14, -1, 99})
        EXPECT_EQ(describe(instrument_caps_of(never_produced)), PLAIN) << never_produced;
    EXPECT_EQ(describe(s_link{}.caps), PLAIN); // not identified yet

    // The link's record follows its type code, and is plain again on reset.
    s_link link;
    link_set_type(link, 9);
    EXPECT_EQ(link.type_code, 9);
    EXPECT_EQ(link.caps.channels, INSTRUMENT_THREE_CHANNELS);
    link_set_type(link, 0);
    EXPECT_EQ(link.type_code, 0);
    EXPECT_EQ(describe(link.caps), PLAIN);
}

} // namespace
