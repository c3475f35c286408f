#include "graph/bode_labels.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(BodeLabels, FrequencyLabelsCompactAboveOneHertz)
{
    EXPECT_EQ(bode_freq_label(1500), "1k5");
    EXPECT_EQ(bode_freq_label(10000), "10k");
    EXPECT_EQ(bode_freq_label(100), "100");
    EXPECT_EQ(bode_freq_label(2.2e6), "2M2");
    // A decade computed a hair low still reads as the decade.
    EXPECT_EQ(bode_freq_label(std::pow(10.0, 3) - 1e-11), "1k");
    EXPECT_EQ(bode_freq_label(0.5), "500.00 m");
    EXPECT_EQ(bode_freq_label(0.01), "10.000 m");
    // Beyond the integer range the engineering form takes over.
    EXPECT_EQ(bode_freq_label(5e9), "5.0000 G");
}

TEST(BodeLabels, AxisValuesAndCursorReadout)
{
    EXPECT_EQ(bode_value_label(-12.5, 2.5), "-12.5");
    EXPECT_EQ(bode_phase_label(-135), "-135");
    // Value labels carry the decimals their step needs to differ.
    const struct {
        double value, step;
        const char* text;
    } values[] = {{-0.75, 0.25, "-0.75"}, {0.5, 0.25, "0.50"}, {1e-17, 0.25, "0.00"},
                  {-40, 10, "-40.0"},     {2.5, 2.5, "2.5"},   {0.125, 0.125, "0.125"}};
    for (const auto& v : values)
        EXPECT_EQ(bode_value_label(v.value, v.step), v.text) << v.value << " by " << v.step;
    const auto r = bode_cursor_readout(1234.5, -3.14159, -45, -20.04);
    EXPECT_EQ(r[0], "Frequency: 1.2345 kHz");
    EXPECT_EQ(r[1], "Gain: -3.142 dB");
    EXPECT_EQ(r[2], "Phase: -45.000 \xB0");
    EXPECT_EQ(r[3], "Slope: -20.0 dB/Decade");
}
