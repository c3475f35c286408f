#include "sim/identity.h"
#include "sim/instrument.h"
#include "sim/packed.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using sim::sim_instrument;
using sim::sim_model;

sim_instrument make(sim_model model, std::string identity = {})
{
    sim::instrument_setup setup;
    setup.model = model;
    setup.identity = std::move(identity);
    setup.time_scale = 0;
    return sim_instrument(setup);
}

std::string one_line(sim_instrument& instrument, std::string_view command)
{
    const auto reply = instrument.execute(command);
    EXPECT_EQ(reply.lines.size(), 1u) << command;
    return reply.lines.empty() ? std::string() : reply.lines.front();
}

TEST(Instrument, IdentifiesAsItsModelOrAsToldAndAnswersInAnyCase)
{
    auto hxm4100 = make(sim_model::hxm4100);
    EXPECT_TRUE(one_line(hxm4100, "*IDN?").starts_with("QUELLMARSH,HXM4100,"));
    auto hxm6300 = make(sim_model::hxm6300);
    EXPECT_TRUE(one_line(hxm6300, "*idn?").starts_with("QUELLMARSH,HXM6300,"));
    auto other = make(sim_model::hxm4100, "WattRelay,WRX7310,123,1.0");
    EXPECT_EQ(one_line(other, "*IDN?"), "WattRelay,WRX7310,123,1.0");
}

TEST(Identity, FieldsAndTypeCodesFollowTheFamilysModelPrefixes)
{
    EXPECT_EQ(sim::identity_field("QUELLMARSH,HXM4100,410057,3.11", 2), "410057");
    EXPECT_EQ(sim::identity_field("QUELLMARSH,HXM4100", 3), "");
    EXPECT_EQ(sim::identity_model("no commas"), "");
    EXPECT_EQ(sim::identity_type_code("QUELLMARSH,HXM4100,1,1"), 7);
    EXPECT_EQ(sim::identity_type_code("QUELLMARSH,HXM6300,1,1"), 9);
    EXPECT_EQ(sim::identity_type_code("WattRelay,WRX7310,1,1"), 5); // before the shorter WRX7
    EXPECT_EQ(sim::identity_type_code("WattRelay,WRX7,1,1"), 6);
    EXPECT_EQ(sim::identity_type_code("QUELLMARSH,ZORVENT9,1,1"), 0);
}

TEST(Instrument, EventStatusCollectsErrorsUntilReadAndThenClears)
{
    auto in = make(sim_model::hxm4100);
    EXPECT_EQ(one_line(in, "*esr?"), "0");
    EXPECT_TRUE(in.execute("config,18,5000").empty());
    EXPECT_TRUE(in.execute("bogus").empty());
    EXPECT_EQ(one_line(in, "*esr?"),
              std::to_string(sim::k_esr_execution_error | sim::k_esr_command_error));
    EXPECT_EQ(one_line(in, "*esr?"), "0");
    EXPECT_EQ(one_line(in, "config,99999?"), ""); // unknown id: an empty answer, not silence
    EXPECT_EQ(one_line(in, "*esr?"), std::to_string(sim::k_esr_execution_error));
    in.execute("config,abc?");
    in.execute("config,5");
    EXPECT_EQ(one_line(in, "*esr?"), std::to_string(sim::k_esr_command_error));
}

TEST(Instrument, ConfigurationRoundTripsKeepingTheTextAsSent)
{
    auto in = make(sim_model::hxm6300);
    EXPECT_TRUE(in.execute("config,19,2.5e2").empty());
    EXPECT_EQ(one_line(in, "config,19?"), "2.5e2");
    EXPECT_TRUE(in.execute("CONFIG,137,4").empty());
    EXPECT_EQ(one_line(in, "config,137?"), "4");
    EXPECT_EQ(one_line(in, "*esr?"), "0");
    for (const char* framing :
         {"SUSPEN,ON", "SUSPEN,OFF", "SUSPEND,ON", "SUSPEND,OFF", "out,on", "*wai", "FRA", "LCR"}) {
        EXPECT_TRUE(in.execute(framing).empty()) << framing;
    }
    EXPECT_EQ(one_line(in, "config,1?"), "3"); // "LCR" switched the mode
    EXPECT_EQ(one_line(in, "config,7?"), "1"); // "out,on" switched the output on
    EXPECT_EQ(one_line(in, "*esr?"), "0");
}

TEST(Instrument, SweepTakesSimulatedTimeAndDownloadsOneLinePerStep)
{
    sim::instrument_setup setup;
    setup.time_scale = 1;
    sim_instrument in(setup);
    in.execute("config,18,3");
    in.execute("config,19,1.0E3"); // 3 points from 1 kHz: about 18 ms of measuring
    in.execute("config,20,1.0E4");
    EXPECT_EQ(one_line(in, "DAV?"), "0");
    in.execute("start");
    const auto started = std::chrono::steady_clock::now();
    while (one_line(in, "DAV?") != "4") {
        ASSERT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(15));
    in.execute("config,18,50"); // settings changed after the start do not change the sweep
    const auto reply = in.execute("gainph,sweep?");
    EXPECT_TRUE(reply.sweep);
    EXPECT_FALSE(reply.packed);
    ASSERT_EQ(reply.rows.size(), 3u);
    EXPECT_DOUBLE_EQ(reply.rows[0][0], 1000);
    EXPECT_NEAR(reply.rows[1][0], 1000 * std::sqrt(10.0), 1e-9);
    for (const auto& row : reply.rows) {
        EXPECT_EQ(row.size(), 6u);
    }
}

TEST(Instrument, ThreeChannelInputGivesTenValuesPerPoint)
{
    auto in = make(sim_model::hxm6300);
    in.execute("config,18,2");
    EXPECT_EQ(in.execute("gainph,sweep?").rows.front().size(), 6u);
    in.execute("config,84,1");
    EXPECT_EQ(in.execute("gainph,sweep?").rows.front().size(), 10u);
    EXPECT_EQ(in.execute("fra?").rows.front().size(), 10u);
    auto two_channels = make(sim_model::hxm4100);
    two_channels.execute("config,84,1"); // no such parameter on the 4100
    EXPECT_EQ(two_channels.execute("*wai").rows.size(), 0u);
    EXPECT_EQ(two_channels.execute("fra?").rows.front().size(), 6u);
}

TEST(Instrument, LcrSweepLayoutFollowsModelAndMeasuredQuantity)
{
    auto hxm4100 = make(sim_model::hxm4100);
    hxm4100.execute("config,137,4");
    hxm4100.execute("config,18,4");
    const auto four = hxm4100.execute("LCR,SWEEP?");
    ASSERT_EQ(four.rows.size(), 4u);
    EXPECT_EQ(four.rows.front().size(), 8u);
    EXPECT_EQ(hxm4100.execute("lcr?").rows.front().size(), 11u);

    auto hxm6300 = make(sim_model::hxm6300);
    const std::pair<const char*, std::size_t> layouts[] = {
        {"0", 13}, {"1", 13}, {"2", 13}, {"3", 5}, {"4", 5}};
    for (const auto& [quantity, count] : layouts) {
        hxm6300.execute(std::string("config,137,") + quantity);
        EXPECT_EQ(hxm6300.execute("lcr,sweep?").rows.front().size(), count) << quantity;
    }
    EXPECT_EQ(hxm6300.execute("lcr?").rows.front().size(), 14u);
}

TEST(Instrument, BinaryOutputFormatPacksMeasurementsButNotSettings)
{
    auto hxm4100 = make(sim_model::hxm4100);
    hxm4100.execute("config,38,2");
    EXPECT_TRUE(hxm4100.execute("gainph,sweep?").packed);
    EXPECT_TRUE(hxm4100.execute("lcr?").packed);
    EXPECT_EQ(one_line(hxm4100, "config,18?"), "100");
    EXPECT_EQ(one_line(hxm4100, "DAV?"), "0");
    auto hxm6300 = make(sim_model::hxm6300);
    hxm6300.execute("config,38,2"); // a scale factor on the 6300, not the format
    EXPECT_FALSE(hxm6300.execute("fra?").packed);
    hxm6300.execute("config,198,2");
    EXPECT_TRUE(hxm6300.execute("fra?").packed);
}

// Decodes a screen line the way the capture does: skip two characters,
// then per byte bit-reverse and invert; returns the pixel at x (true =
// drawn).
bool drawn(const std::string& line, int x)
{
    const int byte =
        std::stoi(line.substr(2 + static_cast<std::size_t>(x / 8) * 2, 2), nullptr, 16);
    return (byte >> (x % 8)) & 1;
}

TEST(Instrument, ScreenHasTheSizeTheIdentificationImplies)
{
    auto hxm4100 = make(sim_model::hxm4100);
    const auto small = hxm4100.execute("SCREEN?").lines;
    ASSERT_EQ(small.size(), 240u);
    for (const auto& line : small) {
        ASSERT_EQ(line.size(), 2u + 80u);
        ASSERT_EQ(line.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    }
    EXPECT_TRUE(drawn(small[120], 0));    // the frame
    EXPECT_FALSE(drawn(small[120], 160)); // open background
    int drawn_pixels = 0;
    for (int y = 30; y < 240; ++y) {
        for (int x = 1; x < 319; ++x) {
            drawn_pixels += drawn(small[static_cast<std::size_t>(y)], x);
        }
    }
    EXPECT_GT(drawn_pixels, 500); // mode name and readings

    for (const char* idn : {"WattRelay,WRX2100,1,1", "WattRelay,WRX7,1,1"}) {
        auto wide = make(sim_model::hxm4100, idn);
        const auto lines = wide.execute("SCREEN?").lines;
        ASSERT_EQ(lines.size(), 272u) << idn;
        EXPECT_EQ(lines.front().size(), 2u + 120u);
    }
    auto other = make(sim_model::hxm4100, "WattRelay,WRX7310,1,1");
    EXPECT_EQ(other.execute("SCREEN?").lines.size(), 240u);
}

TEST(Instrument, MalformedCommandsRaiseCommandErrorWithoutReply)
{
    auto in = make(sim_model::hxm4100);
    for (const char* bad : {"*IDN?,x", "gainph,now?", "out,maybe", "start,1", "SUSPEN", "lcr,x",
                            "config,", "config,18x"}) {
        EXPECT_TRUE(in.execute(bad).empty()) << bad;
        EXPECT_EQ(one_line(in, "*esr?"), std::to_string(sim::k_esr_command_error)) << bad;
    }
    EXPECT_TRUE(in.execute("   ").empty());
    EXPECT_EQ(one_line(in, "*esr?"), "0");
}

} // namespace
