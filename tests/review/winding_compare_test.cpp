// Winding comparison arithmetic on hand-made gain curves.
#include "base/ui_seam.h"
#include "review/winding_report.h"
#include "tests/support/winding_curves.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

namespace {

using curve = gain_curve;

curve winding(double fl)
{
    return log_grid(1e3, 1e6, 600, [fl](double f) { return winding_db(f, fl); });
}

s_band_factor band(double r)
{
    return {20, true, r};
}
const s_band_factor none{3, false, 0};

} // namespace

TEST(WindingCompare, BandEdgesBelongToOneBandOnly)
{
    const struct {
        double f;
        int band;
    } cases[] = {{999.999, -1}, {1e3, 0}, {99999.99, 0},    {100e3, 1}, {599999.9, 1},
                 {600e3, 2},    {1e6, 2}, {1.000001e6, -1}, {NAN, -1},  {-5e3, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(winding_band_of(c.f), c.band) << c.f;
    // A grid with points exactly on every edge counts each once.
    const curve edges{{1e3, 0}, {100e3, 1}, {600e3, 2}, {1e6, 3}};
    const s_winding_result r = winding_compare(edges, edges);
    EXPECT_EQ(r.bands[WINDING_LOW].points, 1);
    EXPECT_EQ(r.bands[WINDING_MID].points, 1);
    EXPECT_EQ(r.bands[WINDING_HIGH].points, 2);
}

TEST(WindingCompare, IdenticalShiftedAndScaledCurvesScoreTen)
{
    const curve ref = winding(20e3);
    const std::function<double(double)> forms[] = {
        [](double g) { return g; },            // identical
        [](double g) { return g + 3.5; },      // flat offset: ignored by the method
        [](double g) { return g - 12; },       //
        [](double g) { return 1.5 * g + 2; }}; // same shape, steeper
    for (const auto& form : forms) {
        curve test = ref;
        for (s_gain_sample& p : test)
            p.gain = form(p.gain);
        const s_winding_result r = winding_compare(ref, test);
        for (int b = 0; b < WINDING_BANDS; ++b) {
            EXPECT_TRUE(r.bands[b].covered);
            EXPECT_EQ(r.bands[b].r, WINDING_R_PERFECT) << b;
        }
        EXPECT_EQ(r.verdict, winding_verdict::normal);
        EXPECT_NEAR(r.correlation, 1.0, 1e-12);
    }
}

TEST(WindingCompare, MovedResonanceLowersTheLowBandAsTheMoveGrows)
{
    const curve ref = winding(20e3);
    double last = WINDING_R_PERFECT;
    std::string figures;
    for (const double move : {0.0, 0.01, 0.05, 0.30}) {
        const s_winding_result r = winding_compare(ref, winding(20e3 * (1 + move)));
        figures += " " + std::to_string(move) + ":" + winding_band_text(r.bands[WINDING_LOW]) +
                   "/" + winding_verdict_name(r.verdict);
        if (move > 0) {
            EXPECT_LT(r.bands[WINDING_LOW].r, last) << move;
        } else {
            EXPECT_EQ(r.bands[WINDING_LOW].r, WINDING_R_PERFECT);
        }
        last = r.bands[WINDING_LOW].r;
        // The 300 kHz resonance did not move: the upper bands stay close.
        EXPECT_GT(r.bands[WINDING_HIGH].r, 1.0) << move;
    }
    std::printf("R_LF by move:%s\n", figures.c_str());
    // Measured: 10.00, 3.66, 2.28 and 0.90 for moves of 0, 1, 5 and 30 %.
    EXPECT_LT(last, 1.0);
    EXPECT_EQ(winding_compare(ref, winding(26e3)).verdict, winding_verdict::obvious);
    EXPECT_EQ(winding_compare(ref, winding(40e3)).verdict, winding_verdict::severe);
}

TEST(WindingCompare, ABandIsJudgedOnlyWhenTheCommonRangeSpansMostOfIt)
{
    const struct {
        int band;
        double lo, hi, coverage;
    } spans[] = {{WINDING_LOW, 1e3, 1e6, 1},
                 {WINDING_LOW, 60e3, 1e6, 0.1109},
                 {WINDING_LOW, 10e3, 50e3, 0.3495},
                 {WINDING_MID, 1e3, 300e3, 0.6131},
                 {WINDING_HIGH, 600e3, 800e3, 0.5632},
                 {WINDING_HIGH, 1e3, 500e3, 0},
                 {WINDING_LOW, 0, 0, 0}};
    for (const auto& c : spans)
        EXPECT_NEAR(winding_band_coverage(c.band, c.lo, c.hi), c.coverage, 1e-4)
            << c.band << " " << c.lo << ".." << c.hi;

    // The low-band resonance moved 30 %: a sweep that starts at 60 kHz sees
    // only the tail of the low band and must not call the winding normal
    // from it.
    const curve ref = winding(20e3);
    const auto moved = [](double f) { return winding_db(f, 26e3); };
    const struct {
        double f0;
        const char* low;
        const char* judgement;
    } sweeps[] = {
        {1e3, "0.", "Obvious deformation (indicative)"},
        {1.2e3, "0.", "Obvious deformation (indicative)"},
        {60e3, "partly covered (10 %)", "Normal winding (indicative; from R_MF, R_HF)"},
        {20e3, "partly covered (34 %)", "Normal winding (indicative; from R_MF, R_HF)"},
    };
    for (const auto& c : sweeps) {
        const s_winding_result r = winding_compare(ref, log_grid(c.f0, 1e6, 400, moved));
        const std::string low = winding_band_text(r.bands[WINDING_LOW]);
        EXPECT_EQ(low.substr(0, std::string(c.low).size()), c.low) << c.f0;
        EXPECT_EQ(winding_judgement_text(r), c.judgement) << c.f0;
    }
    s_winding_row row{"Tail", winding_compare(ref, log_grid(60e3, 1e6, 400, moved))};
    EXPECT_NE(winding_csv_text("New", {row}, false).find(",partly covered (10 %),"),
              std::string::npos);
}

TEST(WindingCompare, NoiseOfKnownVarianceMatchesTheClosedForm)
{
    // X: signal of variance 1/2. Y = X + noise of variance a^2/2, chosen
    // orthogonal to X over whole periods: rho = sqrt(Ds / (Ds + Dn)).
    const int n = 400;
    for (const double a : {0.1, 0.5, 1.0, 3.0}) {
        std::vector<double> x(n), y(n);
        for (int k = 0; k < n; ++k) {
            x[k] = std::sin(2 * M_PI * 3 * k / n);
            y[k] = x[k] + a * std::sin(2 * M_PI * 17 * k / n);
        }
        const double rho = std::sqrt(0.5 / (0.5 + a * a / 2));
        EXPECT_NEAR(winding_correlation(x, y), rho, 1e-12) << a;
        EXPECT_NEAR(winding_relative_factor(winding_correlation(x, y)), -std::log10(1 - rho), 1e-9);
    }
    // Pseudo-random uniform noise (variance w^2/12) on a smooth curve: the
    // sample correlation is within a few hundredths of the closed form.
    std::mt19937 generator(7);
    const int m = 4000;
    for (const double w : {1.0, 4.0}) {
        std::vector<double> x(m), y(m);
        double mean = 0, ds = 0;
        for (int k = 0; k < m; ++k)
            mean += x[k] = 5 * std::sin(k * 0.01);
        mean /= m;
        for (int k = 0; k < m; ++k) {
            ds += (x[k] - mean) * (x[k] - mean) / m;
            y[k] = x[k] + w * (double(generator()) / 4294967296.0 - 0.5);
        }
        const double rho = std::sqrt(ds / (ds + w * w / 12));
        EXPECT_NEAR(winding_relative_factor(winding_correlation(x, y)), -std::log10(1 - rho), 0.05)
            << w;
    }
}

TEST(WindingCompare, DegenerateSeriesGiveDefinedFactors)
{
    const struct {
        std::vector<double> x, y;
        double lr;
    } cases[] = {{{}, {}, 0},
                 {{2, 2, 2}, {5, 5, 5}, 1},     // both flat: the same (flat) shape
                 {{2, 2, 2}, {1, 2, 3}, 0},     // flat against varying: no likeness
                 {{1, 2, 3}, {3, 2, 1}, -1},    // mirrored
                 {{1, 2, 3, 4}, {1, 2, 3}, 1}}; // the shorter length counts
    for (const auto& c : cases)
        EXPECT_NEAR(winding_correlation(c.x, c.y), c.lr, 1e-12);
    EXPECT_EQ(winding_relative_factor(1 - 1e-11), WINDING_R_PERFECT);
    EXPECT_NEAR(winding_relative_factor(0.99), 2.0, 1e-12);
    EXPECT_NEAR(winding_relative_factor(-1), -std::log10(2.0), 1e-12);
}

TEST(WindingCompare, ResamplingStaysInsideTheCommonRangeAndNeverExtrapolates)
{
    // Gain linear in log-frequency: interpolation in log-frequency is exact.
    const auto line = [](double f) { return 20 * std::log10(f / 1e3); };
    const curve ref = log_grid(100, 2e6, 401, line);
    curve test = log_grid(1e3, 550e3, 77, [&](double f) { return line(f) + 1; });
    const double lo = test.front().frequency, hi = test.back().frequency;
    std::swap(test[3], test[40]); // any order
    test.push_back({NAN, 0});     // unusable points are left out
    test.push_back({-1, 0});
    test.push_back({50e3, INFINITY});
    const auto common = winding_resample(ref, test);
    int expected = 0;
    for (const s_gain_sample& p : ref)
        expected += p.frequency >= lo && p.frequency <= hi;
    ASSERT_EQ(int(common.size()), expected);
    for (const s_common_point& p : common) {
        EXPECT_GE(p.frequency, lo);
        EXPECT_LE(p.frequency, hi);
        EXPECT_NEAR(p.test - p.reference, 1.0, 1e-9) << p.frequency;
    }
    const s_winding_result r = winding_compare(ref, test);
    EXPECT_TRUE(r.bands[WINDING_LOW].covered);
    EXPECT_TRUE(r.bands[WINDING_MID].covered);
    EXPECT_FALSE(r.bands[WINDING_HIGH].covered);
    EXPECT_EQ(r.bands[WINDING_HIGH].points, 0);
    EXPECT_EQ(winding_band_text(r.bands[WINDING_HIGH]), "not covered");
    EXPECT_EQ(winding_judgement_text(r), "Normal winding (indicative; from R_LF, R_MF)");
    EXPECT_NEAR(r.mean_abs_difference, 1.0, 1e-9);
    const auto diff = winding_difference(r);
    ASSERT_EQ(diff.size(), common.size());
    EXPECT_NEAR(diff.front().gain, 1.0, 1e-9);
    // Disjoint ranges share nothing; repeated frequencies do not divide by zero.
    EXPECT_TRUE(
        winding_resample(log_grid(1e3, 2e3, 10, line), log_grid(3e3, 4e3, 10, line)).empty());
    const curve doubled{{1e3, 1}, {2e3, 2}, {2e3, 4}, {4e3, 6}};
    for (const s_common_point& p : winding_resample(doubled, doubled))
        EXPECT_TRUE(std::isfinite(p.test));
    EXPECT_EQ(winding_compare(log_grid(1e3, 2e3, 10, line), log_grid(3e3, 4e3, 10, line)).verdict,
              winding_verdict::none);
}

TEST(WindingCompare, JudgementTakesTheFirstRuleThatHolds)
{
    const struct {
        s_band_factor lf, mf, hf;
        winding_verdict verdict;
    } cases[] = {
        {band(0.59), band(5), band(5), winding_verdict::severe},
        {band(0.6), band(5), band(5), winding_verdict::obvious},
        {band(0.99), band(5), band(5), winding_verdict::obvious},
        {band(5), band(0.59), band(5), winding_verdict::obvious},
        {band(1.0), band(0.2), band(5), winding_verdict::obvious},
        {band(1.0), band(5), band(5), winding_verdict::slight},
        {band(1.99), band(5), band(5), winding_verdict::slight},
        {band(2.0), band(0.6), band(5), winding_verdict::slight},
        {band(2.0), band(0.99), band(0.1), winding_verdict::slight},
        {band(2.0), band(1.0), band(0.6), winding_verdict::normal},
        {band(2.0), band(1.0), band(0.59), winding_verdict::slight}, // no class names it
        {none, band(0.5), band(5), winding_verdict::obvious},
        {none, band(3), none, winding_verdict::normal},
        {band(0.1), none, none, winding_verdict::severe},
        {none, none, none, winding_verdict::none},
    };
    for (const auto& c : cases)
        EXPECT_EQ(winding_judge({c.lf, c.mf, c.hf}), c.verdict)
            << c.lf.r << " " << c.mf.r << " " << c.hf.r;
}

TEST(WindingCompare, TextsOfTheBoxTheCommandLineAndTheFile)
{
    s_winding_row row{"After, fault", {}};
    row.result.bands = {band(1.5), band(10), none};
    row.result.verdict = winding_verdict::slight;
    row.result.correlation = 0.987654;
    row.result.mean_abs_difference = 1.23456;
    EXPECT_EQ(winding_block_text(row), "test\tAfter, fault\nR_LF\t1.50\nR_MF\t10.00\n"
                                       "R_HF\tnot covered\njudgement\tSlight deformation "
                                       "(indicative; from R_LF, R_MF)\ncorrelation\t0.9877\n"
                                       "mean abs difference dB\t1.235\n");
    EXPECT_EQ(winding_csv_text("New \"A\"", {row}, false),
              "Reference,\"New \"\"A\"\"\"\n"
              "Test,R_LF,R_MF,R_HF,Judgement,Correlation,Mean abs difference (dB)\n"
              "\"After, fault\",1.50,10.00,not covered,\"Slight deformation (indicative; from "
              "R_LF, R_MF)\",0.9877,1.235\n");
    EXPECT_EQ(winding_csv_text("Ref;1", {row}, true),
              "Reference;\"Ref;1\"\n"
              "Test;R_LF;R_MF;R_HF;Judgement;Correlation;Mean abs difference (dB)\n"
              "After, fault;1,50;10,00;not covered;\"Slight deformation (indicative; from "
              "R_LF, R_MF)\";0,9877;1,235\n");
    row.result.bands = {band(3), band(3), band(3)};
    row.result.verdict = winding_verdict::normal;
    EXPECT_EQ(winding_judgement_text(row.result), "Normal winding (indicative)");
    row.result.verdict = winding_verdict::none;
    EXPECT_EQ(winding_judgement_text(row.result), "Not judged (too little common range)");
}

TEST(WindingCompare, ExportWritesTheWholeFileOrReportsAndLeavesNothing)
{
    scripted_ui ui;
    ui_set_backend(&ui);
    const std::string dir = ::testing::TempDir() + "winding-export";
    std::filesystem::create_directories(dir);
    s_winding_row row{"T", {}};
    row.result.bands = {band(2), band(2), band(2)};
    row.result.verdict = winding_verdict::normal;
    const std::string good = dir + "/cmp.csv";
    std::filesystem::remove(good); // left by an earlier run, it would be asked about
    ASSERT_EQ(winding_export_csv(good, "R", {row}, false), 0);
    std::ifstream in(good, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(text.substr(0, 13), "Reference,R\r\n");
    EXPECT_EQ(text.find("\n"), text.find("\r\n") + 1);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    const std::string bad = dir + "/missing/cmp.csv";
    EXPECT_EQ(winding_export_csv(bad, "R", {row}, true), -1);
    ui_set_backend(nullptr);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Unable to create CSV file\n" + bad);
    EXPECT_EQ(ui.shown()[0].caption, "Excel Export Error");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    std::filesystem::remove_all(dir);
}
