// Resonator analysis and the sweep file reader, on points built in memory
// and on files written to a temporary folder.

#include "lcr/piezo_analysis.h"
#include "lcr/piezo_import.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A block of points (frequency, |Z|) at positions 0 and 3.
std::unique_ptr<LcrResults> curve(const std::vector<std::pair<double, double>>& points)
{
    auto r = std::make_unique<LcrResults>();
    r->layout = 2;
    for (const auto& [f, z] : points) {
        LcrPoint& p = r->points[static_cast<size_t>(r->count++)];
        p.v[PIEZO_FREQUENCY] = f;
        p.v[PIEZO_IMPEDANCE] = z;
    }
    return r;
}

std::string reason_of(const s_piezo_analysis& a)
{
    const std::string head = "No resonance found in the sweep: ";
    const std::string tail = ".\nSweep across the resonance and the anti-resonance.";
    if (a.refusal.rfind(head, 0) != 0 || a.refusal.size() < head.size() + tail.size())
        return "malformed: " + a.refusal;
    return a.refusal.substr(head.size(), a.refusal.size() - head.size() - tail.size());
}

} // namespace

TEST(PiezoAnalysis, WorkedExample)
{
    const auto r = curve({{900, 500}, {1000, 10}, {1050, 50000}, {1100, 1e5}, {1200, 300}});
    const s_piezo_analysis a = piezo_analyse(*r);
    ASSERT_TRUE(a.values) << a.refusal;
    EXPECT_DOUBLE_EQ(a.values->r, 10);
    EXPECT_NEAR(a.values->cp, 1.4469e-7, 1e-10);
    EXPECT_NEAR(a.values->c, 3.0385e-8, 1e-11);
    EXPECT_NEAR(a.values->l, 0.8337, 1e-4);
    EXPECT_EQ(a.values->fr, 1000);
    EXPECT_EQ(a.values->fa, 1100);
    EXPECT_EQ(piezo_format_e(a.values->zmax), "1.000000E+005");
    EXPECT_EQ(piezo_format_e(a.values->r), "1.000000E+001");
}

TEST(PiezoAnalysis, ExtremesFollowTheScanOrder)
{
    // The maximum before the minimum is not the anti-resonance; a tie keeps
    // the first point.
    const auto r = curve({{1, 900}, {2, 5}, {3, 5}, {4, 40}, {5, 60}, {6, 20}});
    const s_piezo_analysis a = piezo_analyse(*r);
    ASSERT_TRUE(a.values) << a.refusal;
    EXPECT_EQ(a.values->fr, 2);
    EXPECT_EQ(a.values->fa, 5);
    EXPECT_EQ(a.values->zmax, 60);
}

TEST(PiezoAnalysis, RefusesSweepsWithoutBothResonances)
{
    const double nan = std::nan("");
    struct row {
        std::vector<std::pair<double, double>> points;
        const char* reason;
    };
    const row rows[] = {
        {{}, "it has fewer than 3 points"},
        {{{1, 9}, {2, 1}}, "it has fewer than 3 points"},
        {{{1, 9}, {2, 0}, {3, 9}}, "the lowest impedance is not a positive number"},
        {{{1, 9}, {2, -4}, {3, 9}}, "the lowest impedance is not a positive number"},
        {{{1, 9}, {2, nan}, {3, 9}, {4, 9}}, "the lowest impedance lies at an end of the sweep"},
        {{{1, 1}, {2, 5}, {3, 9}}, "the lowest impedance lies at an end of the sweep"},
        {{{1, 9}, {2, 5}, {3, 1}}, "the lowest impedance lies at an end of the sweep"},
        {{{1, 9}, {2, 1}, {3, 5}, {4, 20}},
         "the highest impedance after the resonance lies at the end of the sweep"},
        {{{3, 9}, {2, 1}, {1, 50}, {0.5, 9}}, "the anti-resonance is not above the resonance"},
        {{{1, 100}, {2, 99}, {3, 101}, {4, 100}}, "the impedance is too flat"},
        {{{1, 3e9}, {2, 4e9}, {3, 5e9}}, "the lowest impedance is not a positive number"},
    };
    for (const row& r : rows) {
        const s_piezo_analysis a = piezo_analyse(*curve(r.points));
        EXPECT_FALSE(a.values);
        EXPECT_EQ(reason_of(a), r.reason) << r.points.size();
    }
}

TEST(PiezoAnalysis, OddSweepsGiveFiniteElementsOrARefusal)
{
    const double inf = INFINITY;
    // Refused: a resonance at or below 0 Hz or at no finite frequency, an
    // infinite impedance, elements beyond what doubles hold.
    const struct {
        std::vector<std::pair<double, double>> points;
        const char* reason;
    } refused[] = {
        {{{-1, 500}, {0, 10}, {1000, 1e5}, {1100, 300}},
         "a resonance lies at a frequency that is not a positive finite number"},
        {{{-1, 500}, {-0.5, 10}, {1000, 1e5}, {1100, 300}},
         "a resonance lies at a frequency that is not a positive finite number"},
        {{{900, 500}, {1000, 10}, {inf, 1e5}, {1200, 300}},
         "a resonance lies at a frequency that is not a positive finite number"},
        {{{900, 500}, {1000, 10}, {1100, inf}, {1200, 300}},
         "the highest impedance is not a finite number"},
        {{{0.5e-200, 500}, {1e-200, 10}, {1.1e-200, 1e5}, {2e-200, 300}},
         "the equivalent circuit lies outside the range of numbers"},
    };
    for (const auto& c : refused) {
        const s_piezo_analysis a = piezo_analyse(*curve(c.points));
        EXPECT_FALSE(a.values) << c.reason;
        EXPECT_EQ(reason_of(a), c.reason);
    }
    // Zmax near the largest double: Zmin x Zmax overflows, yet Cp follows
    // 1 / sqrt(Zmax) from the worked example.
    const auto huge = piezo_analyse(*curve({{900, 500}, {1000, 10}, {1100, 1e308}, {1200, 300}}));
    const auto plain = piezo_analyse(*curve({{900, 500}, {1000, 10}, {1100, 1e5}, {1200, 300}}));
    ASSERT_TRUE(huge.values && plain.values) << huge.refusal;
    EXPECT_NEAR(huge.values->cp / plain.values->cp, std::sqrt(1e5) / 1e154, 1e-160);
    EXPECT_NEAR(huge.values->l * huge.values->c, plain.values->l * plain.values->c, 1e-12);
    for (const double x : {huge.values->r, huge.values->l, huge.values->c, huge.values->cp})
        EXPECT_TRUE(std::isfinite(x) && x > 0) << x;
}

TEST(PiezoStamp, CalendarFieldsInUtc)
{
    const s_piezo_stamp s = piezo_stamp(1733650245); // 08-12-2024 09:30:45 UTC
    EXPECT_EQ((std::vector<int>{s.second, s.minute, s.hour, s.day, s.month, s.year}),
              (std::vector<int>{45, 30, 9, 8, 12, 2024}));
}

TEST(PiezoImport, TheThreeForms)
{
    struct row {
        std::string text;
        int points, layout;
        double last_z; // value 3 of the last point
    };
    const row rows[] = {
        // The report's sweep sheet: six columns are 5-value points.
        {"Sweep No.: 1/1\tx\nSweep "
         "Data\nStep\tF\tRe\tIm\tZ\tPh\n1\t100\t1\t2\t3\t4\n2\t200\t5\t6\t7\t8\n",
         2, 6, 7},
        {"Sweep No.: 1/1\nSweep Data\nS\tF\tQ\tD\tZ\tP\tL\tC\tR\n1\t100\t1\t2\t3\t4\t5\t6\t7\n", 1,
         2, 3},
        // The LCR export, standard and European.
        {"Tarvelo2 export\nmodel line\n\ndata start sweep 1\n"
         "Steps,Frequency (Hz),Z real (Ohm),Z quadratude (Ohm),Z magnitude (Ohm),Z Phase (\xB0)\n"
         "1,1.00000E+003,1.0E+000,2.0E+000,3.5E+000,-4.0E+001\n2,2.00000E+003,1,2,4.5,5",
         2, 6, 4.5},
        {"head\nSteps;Frequency (Hz);Y real (S);Y quadratude (S);Y magnitude (S);Y Phase (\xB0)\n"
         "1;1,00000E+003;1,0;2,0;3,25;4,0\n",
         1, 6, 3.25},
        // The older comma form: eight values, no step; a short line ends it.
        {"Report\nFREQUENCY,Q,D\nunits\n100,1,2,3,4,5,6,7\r\n200,1,2,9,4,5,6,7\r\n300,1,2\n400,1,2,"
         "3,4,5,6,7\n",
         2, 2, 9},
        // A 5-value comma file in the older form reads nothing.
        {"Report\nFrequency\nunits\n100,1,2,3,4\n", 0, 2, 0},
        // A sweep file, date line first.
        {"08-12-2024 - 09:30\r\n1\t100.0000\t1.0E+000\t2.0E+000\t3.0E+000\t4.0E+000\r\n"
         "2\t200.0000\t1.0E+000\t2.0E+000\t6.0E+000\t4.0E+000",
         2, 6, 6},
        {"", 0, 2, 0},
        {"no form here\nat all\n", 0, 2, 0},
        {"Sweep No.\n", 0, 2, 0},
    };
    for (const row& r : rows) {
        auto out = std::make_unique<LcrResults>();
        const s_piezo_import got = piezo_import_parse(r.text, *out);
        EXPECT_EQ(got.points, r.points) << r.text;
        EXPECT_EQ(out->count, r.points);
        if (r.points > 0) {
            EXPECT_EQ(out->layout, r.layout) << r.text;
            EXPECT_DOUBLE_EQ(out->points[static_cast<size_t>(r.points - 1)].v[3], r.last_z)
                << r.text;
        }
    }
}

TEST(PiezoImport, LimitsAndMessages)
{
    const std::string dir = std::filesystem::temp_directory_path() / "tarvelo-piezo-import";
    std::filesystem::create_directories(dir);
    const auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
        return dir + "/" + name;
    };
    std::string lines = "Frequency\nunits\n";
    for (int i = 0; i < 3005; ++i)
        lines += std::to_string(100 + i) + ",1,2,3,4,5,6,7\n";
    std::string with_long = "Frequency\nunits\n100,1,2,3,4,5,6,7\n200,1,2,3,4,5,6,7" +
                            std::string(2100, ' ') + "\n300,1,2,3,4,5,6,7\n";
    // A sweep file of 100 rows cut in row 91; one whose table ends in an
    // empty row of separators.
    std::string cut = "08-12-2024 - 09:30\r\n";
    for (int i = 1; i <= 90; ++i)
        cut += std::to_string(i) + "\t" + std::to_string(100 * i) + ".0000\t1.0E+000\t2.0E+000\t" +
               "3.0E+000\t4.0E+000\r\n";
    const std::string ended = " sweep points were read, up to a row that is cut short or damaged.";
    struct row {
        std::string path;
        int points;
        bool truncated;
        std::string message;
    };
    const row rows[] = {
        {write("many.txt", lines), 3000, true,
         "The file " + dir +
             "/many.txt holds more than 3000 sweep points; the first 3000 were read."},
        {write("long.txt", with_long), 1, false,
         "The file " + dir + "/long.txt ends early: 1" + ended},
        {write("cut.txt", cut + "91\t9100.0000\t1.0E+0"), 90, false,
         "The file " + dir + "/cut.txt ends early: 90" + ended},
        {write("tail.txt", cut + "\t\t\t\r\n \r\n"), 90, false, ""},
        {write("empty.txt", ""), 0, false,
         "No sweep points could be read from " + dir + "/empty.txt"},
        {dir + "/missing.txt", 0, false,
         "No sweep points could be read from " + dir + "/missing.txt"},
    };
    for (const row& r : rows) {
        auto out = std::make_unique<LcrResults>();
        out->count = 77; // an earlier sweep stays when nothing is read
        std::string message;
        const s_piezo_import got = piezo_import_file(r.path, *out, message);
        EXPECT_EQ(got.points, r.points) << r.path;
        EXPECT_EQ(got.truncated, r.truncated);
        EXPECT_EQ(message, r.message);
        EXPECT_EQ(out->count, r.points > 0 ? r.points : 77);
    }
    std::filesystem::remove_all(dir);
}
