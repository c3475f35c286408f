#include "base/export_texts.h"
#include "base/ui_seam.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_touchstone.h"
#include "tests/support/touchstone_reader.h"

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct s_point_case {
    const char* what;
    int layout;
    double a, b; // the layout's two immittance values (see below)
    s_touchstone_options options;
    std::complex<double> expected;
};

// Puts a and b where the layout holds its immittance: magnitude and phase
// at 3 and 4 (layouts 2 and 5), real and quadrature at 1 and 2 (6 and 7).
LcrResults& one_point(LcrResults& r, int layout, double hz, double a, double b)
{
    r.clear();
    r.layout = layout;
    r.count = 1;
    const int at = layout == LCR_LAYOUT_STANDARD || layout == LCR_LAYOUT_FULL ? 3 : 1;
    r.points[0].v[0] = hz;
    r.points[0].v[at] = a;
    r.points[0].v[at + 1] = b;
    return r;
}

class Touchstone : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-s1p-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        ui_set_backend(&ui);
    }
    void TearDown() override
    {
        ui_set_backend(nullptr);
        fs::remove_all(dir);
    }

    std::string slurp(const std::string& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::string dir;
    scripted_ui ui;
    std::unique_ptr<LcrResults> results = std::make_unique<LcrResults>();
};

constexpr s_touchstone_options S50{};
constexpr s_touchstone_options Z50{touchstone_parameter::z, 50};
constexpr s_touchstone_options S75{touchstone_parameter::s, 75};

TEST_F(Touchstone, EveryLayoutGivesTheReflectionAndNormalisedImpedanceOfItsPoint)
{
    const s_point_case cases[] = {
        {"matched resistor", LCR_LAYOUT_STANDARD, 50, 0, S50, {0, 0}},
        {"matched resistor, full layout", LCR_LAYOUT_FULL, 50, 0, S50, {0, 0}},
        {"open-like 1 MOhm", LCR_LAYOUT_IMPEDANCE, 1e6, 0, S50, {0.9999, 0}},
        {"short-like 1 mOhm", LCR_LAYOUT_IMPEDANCE, 1e-3, 0, S50, {-0.99996, 0}},
        {"reactance +j50", LCR_LAYOUT_STANDARD, 50, 90, S50, {0, 1}},
        {"reactance -j50", LCR_LAYOUT_FULL, 50, -90, S50, {0, -1}},
        {"75 Ohm reference", LCR_LAYOUT_IMPEDANCE, 75, 0, S75, {0, 0}},
        {"100+j50 as Z", LCR_LAYOUT_IMPEDANCE, 100, 50, Z50, {2, 1}},
        {"phase 45 as Z", LCR_LAYOUT_STANDARD, 100 * std::sqrt(2.0), 45, Z50, {2, 2}},
        {"admittance 20 mS", LCR_LAYOUT_ADMITTANCE, 0.02, 0, S50, {0, 0}},
        {"open admittance", LCR_LAYOUT_ADMITTANCE, 0, 0, S50, {1, 0}},
        {"admittance 0.01-j0.01 as Z", LCR_LAYOUT_ADMITTANCE, 0.01, -0.01, Z50, {1, 1}},
    };
    for (const s_point_case& c : cases) {
        std::string refusal;
        const std::string text = lcr_touchstone_text(one_point(*results, c.layout, 1000, c.a, c.b),
                                                     c.options, {"HXM4100", "x"}, refusal);
        ASSERT_FALSE(text.empty()) << c.what << ": " << refusal;
        const s_touchstone_file f = read_touchstone(text);
        EXPECT_EQ(f.option_lines, 1) << c.what;
        EXPECT_EQ(f.unit + f.format, "HZRI") << c.what;
        EXPECT_EQ(f.parameter, c.options.parameter == touchstone_parameter::s ? "S" : "Z");
        EXPECT_EQ(f.r, c.options.z0) << c.what;
        ASSERT_EQ(f.value.size(), 1u) << c.what;
        EXPECT_NEAR(f.value[0].real(), c.expected.real(), 1e-4) << c.what;
        EXPECT_NEAR(f.value[0].imag(), c.expected.imag(), 1e-4) << c.what;
    }
}

TEST_F(Touchstone, ASweepReadsBackToThePrintedPrecisionWithItsCommentsFirst)
{
    results->clear();
    results->layout = LCR_LAYOUT_FULL;
    results->count = 300;
    for (int i = 0; i < results->count; ++i) {
        LcrPoint& p = results->points[static_cast<size_t>(i)];
        p.v[0] = 10 * std::pow(1.03, i);
        p.v[3] = 1e-2 * std::pow(1.11, i);       // |Z| from 10 mOhm to many MOhm
        p.v[4] = std::fmod(i * 7.3, 178.0) - 89; // a passive impedance
    }
    std::string refusal;
    const std::string text =
        lcr_touchstone_text(*results, S50, {"HXM6300,123,1.0", "09-12-2026 - 05:50"}, refusal);
    const s_touchstone_file f = read_touchstone(text);
    ASSERT_EQ(f.hz.size(), 300u);
    EXPECT_EQ(text.find("! "), 0u);
    EXPECT_LT(text.rfind('!'), text.find('#'));
    const std::string comments = text.substr(0, text.find('#'));
    for (const char* says : {"HXM6300,123,1.0", "09-12-2026 - 05:50", "layout 5"})
        EXPECT_NE(comments.find(says), std::string::npos) << says;
    for (size_t i = 0; i < f.hz.size(); ++i) {
        const LcrPoint& p = results->points[i];
        const std::complex<double> z = std::polar(p.v[3], p.v[4] * M_PI / 180);
        const std::complex<double> s = (z - 50.0) / (z + 50.0);
        EXPECT_NEAR(f.hz[i], p.v[0], p.v[0] * 1e-9) << i;
        EXPECT_NEAR(f.value[i].real(), s.real(), 1e-9) << i;
        EXPECT_NEAR(f.value[i].imag(), s.imag(), 1e-9) << i;
        EXPECT_LE(std::abs(f.value[i]), 1 + 1e-9) << "a passive point reflects at most all" << i;
    }
}

TEST_F(Touchstone, SweepsWithoutAValidImpedancePerPointAreRefusedWithAReason)
{
    struct s_refusal {
        const char* what;
        int layout, count;
        double hz, a;
        s_touchstone_options options;
        const char* says;
    } cases[] = {
        {"no points", LCR_LAYOUT_STANDARD, 0, 1000, 50, S50, "No Data to Export"},
        {"no layout", 0, 1, 1000, 50, S50, "no impedance or admittance"},
        {"zero frequency", LCR_LAYOUT_STANDARD, 1, 0, 50, S50, "Step 1 has a frequency"},
        {"negative frequency", LCR_LAYOUT_IMPEDANCE, 1, -5, 50, S50, "Step 1 has a frequency"},
        {"NaN frequency", LCR_LAYOUT_IMPEDANCE, 1, NAN, 50, S50, "Step 1 has a frequency"},
        {"infinite value", LCR_LAYOUT_FULL, 1, 1000, INFINITY, S50, "not a finite number"},
        {"NaN value", LCR_LAYOUT_IMPEDANCE, 1, 1000, NAN, S50, "not a finite number"},
        {"open as Z", LCR_LAYOUT_ADMITTANCE, 1, 1000, 0, Z50, "not a finite number"},
        {"zero reference",
         LCR_LAYOUT_STANDARD,
         1,
         1000,
         50,
         {touchstone_parameter::s, 0},
         "reference resistance"},
        {"NaN reference",
         LCR_LAYOUT_STANDARD,
         1,
         1000,
         50,
         {touchstone_parameter::z, NAN},
         "reference resistance"},
    };
    for (const s_refusal& c : cases) {
        ui.clear();
        const std::string path = dir + "/out.s1p";
        std::ofstream(path) << "kept";
        one_point(*results, c.layout, c.hz, c.a, 0).count = c.count;
        EXPECT_EQ(lcr_export_touchstone(path, *results, c.options, {}), -1) << c.what;
        ASSERT_EQ(ui.shown().size(), 1u) << c.what;
        EXPECT_NE(ui.shown()[0].text.find(c.says), std::string::npos)
            << c.what << ": " << ui.shown()[0].text;
        EXPECT_EQ(slurp(path), "kept") << c.what;
    }
}

TEST_F(Touchstone, LinesRiseInFrequencyAndSweepsThatCannotAreRefused)
{
    // Each step's |Z| is its number, so that its line can be told.
    struct s_order_case {
        const char* what;
        std::vector<double> hz;
        std::vector<double> written_z; // "" expected when empty
        const char* says;
    } cases[] = {
        {"rising", {1e3, 2e3, 3e3}, {1, 2, 3}, ""},
        {"falling, written from its last step", {3e3, 2e3, 1e3}, {3, 2, 1}, ""},
        {"one frequency repeated", {1e3, 1e3, 1e3}, {}, "Step 2 repeats a frequency"},
        {"turning back", {1e3, 3e3, 2e3}, {}, "Step 3 repeats a frequency"},
        {"falling then level", {3e3, 2e3, 2e3, 1e3}, {}, "Step 2 repeats a frequency"},
    };
    for (const s_order_case& c : cases) {
        results->clear();
        results->layout = LCR_LAYOUT_IMPEDANCE;
        results->count = static_cast<int>(c.hz.size());
        for (size_t i = 0; i < c.hz.size(); ++i) {
            results->points[i].v[0] = c.hz[i];
            results->points[i].v[1] = static_cast<double>(i + 1);
        }
        std::string refusal;
        const std::string text = lcr_touchstone_text(*results, Z50, {}, refusal);
        EXPECT_NE(refusal.find(c.says), std::string::npos) << c.what << ": " << refusal;
        EXPECT_EQ(text.empty(), c.written_z.empty()) << c.what;
        const s_touchstone_file f = read_touchstone(text);
        ASSERT_EQ(f.value.size(), c.written_z.size()) << c.what;
        for (size_t i = 0; i < f.value.size(); ++i) {
            EXPECT_EQ(f.hz[i], 1e3 * static_cast<double>(i + 1)) << c.what << i;
            EXPECT_NEAR(f.value[i].real() * 50, c.written_z[i], 1e-9) << c.what << i;
        }
    }
}

TEST_F(Touchstone, TheFileIsWrittenWithCrLfAndAReplacementIsAsked)
{
    const std::string path = dir + "/dut.s1p";
    one_point(*results, LCR_LAYOUT_STANDARD, 1000, 50, 0);
    ASSERT_EQ(lcr_export_touchstone(path, *results, S50, {}), 0);
    const std::string first = slurp(path);
    EXPECT_NE(first.find("# Hz S RI R 50\r\n"), std::string::npos) << first;
    EXPECT_EQ(first.find("\n"), first.find("\r\n") + 1);
    ui.push_answer(IDNO);
    one_point(*results, LCR_LAYOUT_STANDARD, 1000, 75, 0);
    EXPECT_EQ(lcr_export_touchstone(path, *results, S50, {}), EXPORT_DECLINED);
    EXPECT_EQ(slurp(path), first);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

} // namespace
