#include "review/winding_compare.h"

#include "base/sweep_numbers.h"

#include <algorithm>
#include <cmath>

namespace {

std::vector<s_gain_sample> usable_sorted(std::span<const s_gain_sample> points)
{
    std::vector<s_gain_sample> out;
    out.reserve(points.size());
    for (const s_gain_sample& p : points)
        if (std::isfinite(p.frequency) && p.frequency > 0 && std::isfinite(p.gain))
            out.push_back(p);
    const auto by_frequency = [](const s_gain_sample& a, const s_gain_sample& b) {
        return a.frequency < b.frequency;
    };
    if (!std::is_sorted(out.begin(), out.end(), by_frequency)) // stored sweeps mostly are
        std::stable_sort(out.begin(), out.end(), by_frequency);
    return out;
}

// The gain of the sorted curve at rising frequencies inside its range,
// linear in log-frequency; it walks along the curve from call to call.
class log_interpolator {
public:
    explicit log_interpolator(const std::vector<s_gain_sample>& curve) : curve_(curve) {}
    double operator()(double f)
    {
        while (at_ + 1 < curve_.size() && curve_[at_ + 1].frequency <= f)
            ++at_;
        const s_gain_sample& a = curve_[at_];
        if (at_ + 1 == curve_.size() || a.frequency == f)
            return a.gain;
        const s_gain_sample& b = curve_[at_ + 1];
        const double t = std::log(f / a.frequency) / std::log(b.frequency / a.frequency);
        return a.gain + t * (b.gain - a.gain);
    }

private:
    const std::vector<s_gain_sample>& curve_;
    size_t at_ = 0;
};

double mean(std::span<const double> v)
{
    double sum = 0;
    for (double x : v)
        sum += x;
    return sum / double(v.size());
}

} // namespace

int winding_band_of(double frequency)
{
    if (!(frequency >= WINDING_BAND_EDGES[0]) || frequency > WINDING_BAND_EDGES[WINDING_BANDS])
        return -1;
    for (int b = 0; b < WINDING_BANDS - 1; ++b)
        if (frequency < WINDING_BAND_EDGES[b + 1])
            return b;
    return WINDING_HIGH; // 600 kHz up to and including 1 MHz
}

std::vector<s_common_point> winding_resample(std::span<const s_gain_sample> reference,
                                             std::span<const s_gain_sample> test)
{
    const std::vector<s_gain_sample> ref = usable_sorted(reference);
    const std::vector<s_gain_sample> other = usable_sorted(test);
    std::vector<s_common_point> out;
    if (other.empty())
        return out;
    const double lo = other.front().frequency;
    const double hi = other.back().frequency;
    log_interpolator gain_at(other);
    out.reserve(ref.size());
    for (const s_gain_sample& p : ref)
        if (p.frequency >= lo && p.frequency <= hi)
            out.push_back({p.frequency, p.gain, gain_at(p.frequency)});
    return out;
}

double winding_correlation(std::span<const double> x, std::span<const double> y)
{
    const size_t n = std::min(x.size(), y.size());
    if (n == 0)
        return 0;
    x = x.first(n);
    y = y.first(n);
    const double mx = mean(x);
    const double my = mean(y);
    double dx = 0, dy = 0, cxy = 0;
    for (size_t k = 0; k < n; ++k) {
        dx += (x[k] - mx) * (x[k] - mx);
        dy += (y[k] - my) * (y[k] - my);
        cxy += (x[k] - mx) * (y[k] - my);
    }
    // The 1/N of the variances and the covariance cancel in LR.
    if (dx == 0 || dy == 0)
        return dx == dy ? 1.0 : 0.0;
    return cxy / std::sqrt(dx * dy);
}

double winding_relative_factor(double correlation)
{
    const double gap = 1.0 - correlation;
    return gap < 1e-10 ? WINDING_R_PERFECT : -std::log10(gap);
}

double winding_band_coverage(int band, double lo, double hi)
{
    if (band < 0 || band >= WINDING_BANDS)
        return 0;
    const double edge_lo = WINDING_BAND_EDGES[band];
    const double edge_hi = WINDING_BAND_EDGES[band + 1];
    const double from = std::max(lo, edge_lo);
    const double to = std::min(hi, edge_hi);
    if (!(to > from))
        return 0;
    return std::log(to / from) / std::log(edge_hi / edge_lo);
}

winding_verdict winding_judge(const std::array<s_band_factor, WINDING_BANDS>& bands)
{
    const auto below = [&](int b, double limit) { return bands[b].covered && bands[b].r < limit; };
    const auto within = [&](int b, double lo, double hi) {
        return bands[b].covered && bands[b].r >= lo && bands[b].r < hi;
    };
    const auto at_least = [&](int b, double limit) {
        return !bands[b].covered || bands[b].r >= limit;
    };
    if (std::none_of(bands.begin(), bands.end(), [](const s_band_factor& b) { return b.covered; }))
        return winding_verdict::none;
    if (below(WINDING_LOW, 0.6))
        return winding_verdict::severe;
    if (within(WINDING_LOW, 0.6, 1.0) || below(WINDING_MID, 0.6))
        return winding_verdict::obvious;
    if (within(WINDING_LOW, 1.0, 2.0) || within(WINDING_MID, 0.6, 1.0))
        return winding_verdict::slight;
    if (at_least(WINDING_LOW, 2.0) && at_least(WINDING_MID, 1.0) && at_least(WINDING_HIGH, 0.6))
        return winding_verdict::normal;
    // Only the high band below 0.6 is left: the method names no class for
    // it, and the nearest is a slight deformation.
    return winding_verdict::slight;
}

s_winding_result winding_compare(std::span<const s_gain_sample> reference,
                                 std::span<const s_gain_sample> test)
{
    s_winding_result r;
    r.common = winding_resample(reference, test);
    std::array<std::vector<double>, WINDING_BANDS> xs, ys;
    std::vector<double> all_x, all_y;
    all_x.reserve(r.common.size());
    all_y.reserve(r.common.size());
    double abs_sum = 0;
    for (const s_common_point& p : r.common) {
        all_x.push_back(p.reference);
        all_y.push_back(p.test);
        abs_sum += std::fabs(p.test - p.reference);
        const int b = winding_band_of(p.frequency);
        if (b >= 0) {
            xs[b].push_back(p.reference);
            ys[b].push_back(p.test);
        }
    }
    const double lo = r.common.empty() ? 0 : r.common.front().frequency;
    const double hi = r.common.empty() ? 0 : r.common.back().frequency;
    for (int b = 0; b < WINDING_BANDS; ++b) {
        s_band_factor& f = r.bands[b];
        f.points = int(xs[b].size());
        f.coverage = winding_band_coverage(b, lo, hi);
        f.covered = f.points >= WINDING_MIN_BAND_POINTS && f.coverage >= WINDING_MIN_BAND_COVERAGE;
        if (f.covered)
            f.r = winding_relative_factor(winding_correlation(xs[b], ys[b]));
    }
    r.verdict = winding_judge(r.bands);
    r.correlation = winding_correlation(all_x, all_y);
    r.mean_abs_difference = r.common.empty() ? 0 : abs_sum / double(r.common.size());
    return r;
}

std::vector<s_gain_sample> winding_difference(const s_winding_result& result)
{
    std::vector<s_gain_sample> out;
    out.reserve(result.common.size());
    for (const s_common_point& p : result.common)
        out.push_back({p.frequency, p.test - p.reference});
    return out;
}

const char* winding_verdict_name(winding_verdict verdict)
{
    switch (verdict) {
    case winding_verdict::normal: return "Normal winding";
    case winding_verdict::slight: return "Slight deformation";
    case winding_verdict::obvious: return "Obvious deformation";
    case winding_verdict::severe: return "Severe deformation";
    default: return "Not judged";
    }
}

const char* winding_band_name(int band)
{
    static const char* const names[WINDING_BANDS] = {"R_LF", "R_MF", "R_HF"};
    return band >= 0 && band < WINDING_BANDS ? names[band] : "";
}

std::string winding_judgement_text(const s_winding_result& result)
{
    std::string text = winding_verdict_name(result.verdict);
    if (result.verdict == winding_verdict::none)
        return text + " (too little common range)";
    std::string from;
    bool all = true;
    for (int b = 0; b < WINDING_BANDS; ++b) {
        if (!result.bands[b].covered) {
            all = false;
            continue;
        }
        from += (from.empty() ? "" : ", ") + std::string(winding_band_name(b));
    }
    return text + (all ? " (indicative)" : " (indicative; from " + from + ")");
}

std::string winding_band_text(const s_band_factor& band)
{
    if (band.covered)
        return sweep_format_fixed(band.r, 2);
    if (band.coverage > 0 && band.coverage < WINDING_MIN_BAND_COVERAGE)
        return "partly covered (" + std::to_string(int(std::floor(band.coverage * 100))) + " %)";
    return "not covered";
}
