#pragma once
// Winding comparison: how far a transformer winding's frequency response
// has moved from its reference test. A winding is measured when new (the
// reference) and again after a fault, a short circuit or transport; a
// winding that has shifted or buckled changes its inductances and
// capacitances, which moves the resonances of its gain curve.
//
// The judgement uses the correlation of the two gain curves (in dB) in
// three frequency bands, as the field's usual method does: the variances
// D_X, D_Y and the covariance C_XY about the means, LR = C_XY / sqrt(D_X D_Y)
// and the relative factor R = -log10(1 - LR), or 10 when 1 - LR < 1e-10.
// Correlation ignores a flat offset: a curve shifted by a constant number of
// dB scores as identical. Pure arithmetic, no windows and no database.
#include "graph/bode_geometry.h"

#include <array>
#include <span>
#include <string>
#include <vector>

// The three bands. Each band holds its lower edge and not its upper one,
// except the high band, which also holds 1 MHz: a point at exactly 100 kHz
// belongs to the middle band and one at exactly 600 kHz to the high band,
// so no point is counted twice.
enum winding_band : int { WINDING_LOW = 0, WINDING_MID = 1, WINDING_HIGH = 2 };
constexpr int WINDING_BANDS = 3;
constexpr double WINDING_BAND_EDGES[WINDING_BANDS + 1] = {1e3, 100e3, 600e3, 1e6};
// A band is judged only when the common range covers this share of its
// width in log-frequency and holds this many common points. The common
// range ends on reference points, so it can fall short of where the two
// sweeps overlap by one reference step at each end; on the narrowest band
// (600 kHz to 1 MHz, 0.22 decades) two steps of a 200-point sweep over
// 1 kHz..1 MHz are 14 % of its width. Four fifths still judges such sweeps
// while a band seen only in part (a low band from 60 kHz: 11 %) is not.
constexpr double WINDING_MIN_BAND_COVERAGE = 0.8;
constexpr int WINDING_MIN_BAND_POINTS = 10;
// R when the curves correlate perfectly (1 - LR below 1e-10).
constexpr double WINDING_R_PERFECT = 10.0;

// The band of a frequency, or -1 outside 1 kHz..1 MHz.
int winding_band_of(double frequency);

// One frequency both tests cover: the reference's gain and the test's,
// interpolated linearly in log-frequency between its two neighbours.
struct s_common_point {
    double frequency = 0;
    double reference = 0; // dB
    double test = 0;      // dB
};

// The reference's points that lie inside the test's frequency range (ends
// included), with the test's gain there. Nothing is extrapolated. Points
// with a frequency that is not positive and finite, or a gain that is not
// finite, are left out of both; neither input needs to be sorted.
std::vector<s_common_point> winding_resample(std::span<const s_gain_sample> reference,
                                             std::span<const s_gain_sample> test);

// The normalised covariance LR of two equally long series. When one of them
// is flat its variance is zero: two flat series are taken to correlate
// perfectly (1), a flat and a varying one not at all (0). Empty series give 0.
double winding_correlation(std::span<const double> x, std::span<const double> y);
// R from LR.
double winding_relative_factor(double correlation);

struct s_band_factor {
    int points = 0;       // common points in the band
    bool covered = false; // enough of its width and enough points
    double r = 0;         // only when covered
    double coverage = 0;  // share of its log-frequency width in the common range
};

// The share (0..1) of band's width in log-frequency that lies between the
// frequencies lo and hi.
double winding_band_coverage(int band, double lo, double hi);

enum class winding_verdict { normal, slight, obvious, severe, none };

struct s_winding_result {
    std::vector<s_common_point> common;
    std::array<s_band_factor, WINDING_BANDS> bands;
    winding_verdict verdict = winding_verdict::none; // none: no band covered
    double correlation = 0;                          // LR over the whole common range
    double mean_abs_difference = 0;                  // dB, over the whole common range
};

// The test judged against the reference.
s_winding_result winding_compare(std::span<const s_gain_sample> reference,
                                 std::span<const s_gain_sample> test);

// The indicative judgement from the bands that are covered: severe when
// R_LF < 0.6; obvious when 0.6 <= R_LF < 1.0 or R_MF < 0.6; slight when
// 1.0 <= R_LF < 2.0 or 0.6 <= R_MF < 1.0; normal when R_LF >= 2.0,
// R_MF >= 1.0 and R_HF >= 0.6; the first that holds. A condition on a band
// that is not covered does not hold, and "normal" asks only the covered
// bands. none when no band is covered.
winding_verdict winding_judge(const std::array<s_band_factor, WINDING_BANDS>& bands);

// test - reference, in dB, at every common frequency.
std::vector<s_gain_sample> winding_difference(const s_winding_result& result);

// "Normal winding", "Slight deformation", "Obvious deformation",
// "Severe deformation"; "Not judged" for none.
const char* winding_verdict_name(winding_verdict verdict);
// The judgement as shown: the name and "(indicative)"; when a band is not
// covered, also the bands it rests on: "Normal winding (indicative; from
// R_LF, R_MF)".
std::string winding_judgement_text(const s_winding_result& result);
// "R_LF", "R_MF", "R_HF".
const char* winding_band_name(int band);
// "%.2f" of R; "partly covered (N %)" for a band only partly inside the
// common range (N rounded down); otherwise "not covered".
std::string winding_band_text(const s_band_factor& band);
