// Limit sets read from JSON, and LCR and FRA sweeps judged against them.

#include "fra/fra_limits.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_limits.h"
#include "sweep/limit_set.h"

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>

namespace {

limit_set parsed(const std::string& json)
{
    limit_set set;
    std::string error;
    EXPECT_TRUE(limit_set_parse(json, set, error)) << error;
    return set;
}

// log-spaced frequencies from 10^first to 10^last decades.
double log_hz(int i, int count, double first, double last)
{
    return std::pow(10.0, first + (last - first) * i / (count - 1));
}

// A series R-L-C (47 ohms, 1 mH, 2.5 uF: fr 3183 Hz) swept 100 Hz to 100 kHz
// in the impedance layout.
std::unique_ptr<LcrResults> series_rlc()
{
    auto r = std::make_unique<LcrResults>();
    r->layout = LCR_LAYOUT_IMPEDANCE;
    r->count = 400;
    for (int i = 0; i < r->count; ++i) {
        const double hz = log_hz(i, r->count, 2, 5), w = 2 * std::numbers::pi * hz;
        const std::complex<double> z(47, w * 1e-3 - 1 / (w * 2.5e-6));
        double* v = r->points[static_cast<size_t>(i)].v;
        v[0] = hz;
        v[1] = z.real();
        v[2] = z.imag();
        v[3] = std::abs(z);
        v[4] = std::arg(z) * 180 / std::numbers::pi;
    }
    return r;
}

// A loop swept 10 Hz to 100 kHz whose gain falls 20 dB a decade from 40 dB
// (0 dB at 1 kHz) and whose phase falls 60 degrees a decade from 180 (0 at
// 10 kHz, where the gain is -20 dB): phase margin 60, gain margin 20.
std::unique_ptr<FraResults> loop()
{
    auto r = std::make_unique<FraResults>();
    r->count = 401;
    for (int i = 0; i < r->count; ++i) {
        const double hz = log_hz(i, r->count, 1, 5), decades = std::log10(hz / 10);
        double* v = r->points[static_cast<size_t>(i)].v;
        v[FRA_FREQUENCY] = hz;
        v[FRA_GAIN] = 40 - 20 * decades;
        v[FRA_PHASE] = 180 - 60 * decades;
    }
    return r;
}

struct verdict_case {
    const char* json;
    bool pass;
    int bin;
    std::vector<std::string> failed; // each the start of a failed text
};

void expect_verdict(const verdict_case& c, const s_test_verdict& v)
{
    SCOPED_TRACE(c.json);
    EXPECT_EQ(v.pass, c.pass);
    EXPECT_EQ(v.bin, c.bin);
    ASSERT_EQ(v.failed.size(), c.failed.size());
    for (size_t i = 0; i < c.failed.size(); ++i)
        EXPECT_EQ(v.failed[i].substr(0, c.failed[i].size()), c.failed[i]) << v.failed[i];
}

} // namespace

TEST(LimitSet, ReadsEveryKindOfCheckAndTheBins)
{
    const limit_set set = parsed(R"j({"checks": [
        {"quantity": "Phase (°)", "at_hz": 1e3, "low": -5, "high": 5},
        {"fitted": "Cp", "nominal": 2.5e-9, "tolerance_pct": 5, "model": "resonator"},
        {"resonance": "fa", "low_hz": 10000, "high_hz": 10200},
        {"margin": "gain", "at_least": 10},
        {"mask": "phase", "lower": [[10, -170], [1e5, -120]]}],
      "bins": [{"name": "Grade A", "checks": []}]
})j");
    ASSERT_EQ(set.checks.size(), 5u);
    const limit_check& q = set.checks[0];
    EXPECT_EQ(q.name, "Phase (\xB0)"); // kept in Windows-1252
    EXPECT_EQ(std::make_tuple(q.at_hz, q.low, q.high), std::make_tuple(1e3, -5.0, 5.0));
    EXPECT_EQ(set.checks[1].model, "resonator");
    EXPECT_EQ(set.checks[1].tolerance_pct, 5);
    EXPECT_EQ(set.checks[2].high, 10200);
    EXPECT_EQ(set.checks[3].at_least, 10);
    EXPECT_TRUE(set.checks[4].upper.empty());
    EXPECT_EQ(set.checks[4].lower.back(), std::make_pair(1e5, -120.0));
    ASSERT_EQ(set.bins.size(), 1u);
    EXPECT_EQ(set.bins[0].name, "Grade A");
}

TEST(LimitSet, RefusesABadSetSayingWhere)
{
    const std::pair<const char*, const char*> cases[] = {
        {"[1]", "the file: a limit set is an object with \"checks\" and \"bins\""},
        {R"j({"checks": []})j", "the file: the limit set holds no check and no bin"},
        {R"j({"chekcs": []})j", "the file: unknown key \"chekcs\""},
        {R"j({"checks": {}})j", "checks: must be a list of checks"},
        {R"j({"checks": [{"quantity": "Z", "at_hz": 1, "low": 2, "high": 1}]})j",
         "checks[0]: \"low\" is above \"high\""},
        {R"j({"checks": [{"quantity": "Z", "at_hz": 0, "low": 1, "high": 2}]})j",
         "checks[0]: \"at_hz\" must be above 0"},
        {R"j({"checks": [{"quantity": "", "at_hz": 1, "low": 1, "high": 2}]})j",
         "checks[0]: \"quantity\" must be a text that is not empty"},
        {R"j({"checks": [{"quantity": "Z", "at_hz": 1, "low": 1, "high": 2, "unit": "V"}]})j",
         "checks[0]: unknown key \"unit\""},
        {R"j({"checks": [{"fitted": "X", "nominal": 1, "tolerance_pct": 1}]})j",
         "checks[0]: \"fitted\" must be one of \"R\", \"L\", \"C\", \"Cp\""},
        {R"j({"checks": [{"fitted": "C", "nominal": 1, "tolerance_pct": -1}]})j",
         "checks[0]: \"tolerance_pct\" must not be below 0"},
        {R"j({"checks": [{"margin": "phase"}]})j", "checks[0]: \"at_least\" is missing"},
        {R"j({"checks": [{"margin": "phase", "at_least": "45"}]})j",
         "checks[0]: \"at_least\" must be a number"},
        {R"j({"checks": [{"margin": "phase", "at_least": 1, "resonance": "fr"}]})j",
         "checks[0]: a check names exactly one of \"quantity\", \"fitted\", \"resonance\", "
         "\"margin\" or \"mask\""},
        {R"j({"checks": [{"mask": "gain"}]})j",
         "checks[0]: a mask needs \"upper\", \"lower\" or both"},
        {R"j({"checks": [{"mask": "gain", "upper": [[10, 1], [5, 1]]}]})j",
         "checks[0].upper[1]: frequencies must rise from one pair to the next"},
        {R"j({"checks": [{"mask": "gain", "upper": [[10, 1], [20]]}]})j",
         "checks[0].upper[1]: must be a [frequency, value] pair of numbers"},
        {R"j({"checks": [{"mask": "gain", "lower": [[10, 1]]}]})j",
         "checks[0].lower: must be a list of at least two [frequency, value] pairs"},
        {R"j({"bins": [{"checks": []}]})j", "bins[0]: \"name\" is missing"},
        {R"j({"bins": [{"name": "A", "checks": [{"margin": "delay", "at_least": 1}]}]})j",
         "bins[0].checks[0]: \"margin\" must be one of \"gain\", \"phase\""},
        {R"j({"bins": [{"name": "\u4e2d", "checks": []}]})j",
         "bins[0]: \"name\" holds a character that Windows-1252 has no form for"},
        {R"j({"checks": [)j", "parse error at line 1, column 13"},
        {"{\"bins\": [{\"name\": \"\xff\"}]}", "parse error at line 1, column 21"},
    };
    for (const auto& [json, message] : cases) {
        limit_set set;
        std::string error;
        EXPECT_FALSE(limit_set_parse(json, set, error)) << json;
        EXPECT_EQ(error.substr(0, std::string(message).size()), message) << json;
    }
}

TEST(LimitSet, FilesAreNamedInVerdictsAndMessages)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tarvelo-limits";
    std::filesystem::create_directories(dir);
    const std::string good = (dir / "line 3.json").string(), bad = (dir / "bad.json").string();
    std::ofstream(good) << R"j({"checks": [{"margin": "phase", "at_least": 45}]})j";
    std::ofstream(bad) << R"j({"checks": 1})j";
    limit_set set;
    std::string error;
    EXPECT_TRUE(limit_set_read(good, set, error)) << error;
    EXPECT_EQ(set.name, "line 3.json");
    EXPECT_FALSE(limit_set_read(bad, set, error));
    EXPECT_EQ(error, "The limit set " + bad + " cannot be used, checks: must be a list of checks");
    EXPECT_FALSE(limit_set_read((dir / "none.json").string(), set, error));
    EXPECT_EQ(error, "Unable to read the limit set " + (dir / "none.json").string());
    std::filesystem::remove_all(dir);
}

TEST(LimitVerdict, LcrSweepJudgedAndSortedIntoTheFirstBinThatTakesIt)
{
    const auto sweep = series_rlc();
    const verdict_case cases[] = {
        {R"j({"checks": [{"quantity": "Z Magnitude (Ohms)", "at_hz": 3183, "low": 46, "high": 48},
                        {"quantity": "z magnitude", "at_hz": 100, "low": 600, "high": 700},
                        {"resonance": "fr", "low_hz": 3100, "high_hz": 3300}]})j",
         true,
         0,
         {}},
        {R"j({"checks": [{"quantity": "Z Magnitude", "at_hz": 1e6, "low": 1, "high": 2},
                        {"quantity": "Series R", "at_hz": 1e3, "low": 1, "high": 2},
                        {"quantity": "Z Real", "at_hz": 1e3, "low": 1, "high": 2},
                        {"resonance": "fa", "low_hz": 1, "high_hz": 1e6},
                        {"resonance": "fr", "low_hz": 3300, "high_hz": 3400},
                        {"margin": "phase", "at_least": 45}]})j",
         false,
         0,
         {"Z Magnitude at 1e+06 Hz: not measured, 1e+06 Hz lies outside the sweep",
          "Series R at 1000 Hz: the sweep has no column of that name",
          "Z Real at 1000 Hz: 47, outside 1 to 2", "fa: the sweep holds no fa", "fr: 3",
          "phase margin: cannot be judged on an LCR sweep"}},
        {R"j({"checks": [{"fitted": "R", "nominal": 47, "tolerance_pct": 0.5, "model": "rlc-series"},
                        {"fitted": "C", "nominal": 2.4e-6, "tolerance_pct": 1, "model": "rlc-series"},
                        {"fitted": "Cp", "nominal": 1e-9, "tolerance_pct": 1, "model": "rlc-series"},
                        {"fitted": "R", "nominal": 47, "tolerance_pct": 1, "model": "ladder"}]})j",
         false,
         0,
         {"fitted C (rlc-series): 2.5", "fitted Cp (rlc-series): the model R-L-C series has no Cp",
          "fitted R (ladder): no model is called ladder"}},
        {R"j({"checks": [{"fitted": "L", "nominal": 1e-3, "tolerance_pct": 0.5}],
             "bins": [{"name": "Tight", "checks": [{"quantity": "Z Real", "at_hz": 1e3, "low": 46.9, "high": 46.95}]},
                      {"name": "Usual", "checks": [{"quantity": "Z Real", "at_hz": 1e3, "low": 46, "high": 48}]},
                      {"name": "Rest", "checks": []}]})j",
         true,
         2,
         {}},
        {R"j({"bins": [{"name": "A", "checks": [{"resonance": "fr", "low_hz": 1, "high_hz": 2},
                                                {"resonance": "fa", "low_hz": 1, "high_hz": 2}]},
                      {"name": "B", "checks": [{"quantity": "Z Real", "at_hz": 1e3, "low": 1, "high": 2}]}]})j",
         false,
         0,
         {"bin 1 (A) fr: 3", "bin 2 (B) Z Real at 1000 Hz: 47, outside 1 to 2"}},
    };
    for (const verdict_case& c : cases)
        expect_verdict(c, lcr_judge(*sweep, parsed(c.json)));
}

TEST(LimitVerdict, FraSweepJudgedOnMarginsMasksAndColumns)
{
    const auto sweep = loop();
    const verdict_case cases[] = {
        {R"j({"checks": [{"margin": "phase", "at_least": 59}, {"margin": "gain", "at_least": 19},
                        {"mask": "gain", "upper": [[10, 45], [1e5, -15]], "lower": [[10, 30], [1e5, -50]]},
                        {"mask": "phase", "lower": [[100, 0], [1000, 0]]},
                        {"quantity": "Gain (dB)", "at_hz": 1000, "low": -0.1, "high": 0.1},
                        {"quantity": "Phase (°)", "at_hz": 1000, "low": 59, "high": 61}]})j",
         true,
         0,
         {}},
        {R"j({"checks": [{"margin": "phase", "at_least": 70}, {"margin": "gain", "at_least": 25},
                        {"mask": "gain", "upper": [[10, 35], [1e5, -50]]},
                        {"mask": "phase", "lower": [[1e3, 70], [1e4, 0]]},
                        {"mask": "gain", "upper": [[1e6, 0], [1e7, 0]]},
                        {"resonance": "fr", "low_hz": 1, "high_hz": 2}]})j",
         false,
         0,
         {"phase margin: 60.00 deg at 1000.00 Hz, below the least allowed 70 deg",
          "gain margin: 20.00 dB at 10000.00 Hz, below the least allowed 25 dB",
          "gain mask: -40 dB at 100000 Hz, above the upper line's -50 dB",
          "phase mask: 60 \xB0 at 1000 Hz, below the lower line's 70 \xB0",
          "gain mask: not measured, no point of the sweep lies within the mask",
          "fr: cannot be judged on an FRA sweep"}},
    };
    for (const verdict_case& c : cases)
        expect_verdict(c, fra_judge(*sweep, parsed(c.json)));
    auto flat = std::make_unique<FraResults>(*sweep);
    for (int i = 0; i < flat->count; ++i)
        flat->points[static_cast<size_t>(i)].v[FRA_PHASE] = -90;
    expect_verdict(
        {"", false, 0, {"phase margin: -90", "gain margin: the phase never crosses 0\xB0"}},
        fra_judge(*flat, parsed(R"j({"checks": [{"margin": "phase", "at_least": 95},
                                                           {"margin": "gain", "at_least": 1}]})j")));
}
