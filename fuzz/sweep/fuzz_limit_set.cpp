// Any bytes a user may choose as a limit set file, read and, when accepted,
// used to judge a small LCR sweep and a small FRA sweep. Besides crashes, it
// checks what callers rely on: a refused set says why, an accepted one holds
// a check or a bin and keeps its ranges ordered and its mask lines rising, and
// a verdict that passes names no failed check while one that fails names one.

#include "fra/fra_limits.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_limits.h"
#include "sweep/limit_set.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

constexpr int POINTS = 16;

// A series R-C, 100 Hz to 100 kHz, in the impedance layout, and a loop whose
// gain and phase fall through 0 over the same range.
struct sweeps {
    std::unique_ptr<LcrResults> lcr = std::make_unique<LcrResults>();
    std::unique_ptr<FraResults> fra = std::make_unique<FraResults>();
    sweeps()
    {
        lcr->layout = LCR_LAYOUT_IMPEDANCE;
        lcr->count = fra->count = POINTS;
        for (int i = 0; i < POINTS; ++i) {
            const double hz = std::pow(10.0, 2 + 3.0 * i / (POINTS - 1));
            const double x = -1 / (2 * M_PI * hz * 1e-6);
            double* l = lcr->points[static_cast<size_t>(i)].v;
            l[0] = hz, l[1] = 50, l[2] = x, l[3] = std::hypot(50, x);
            l[4] = std::atan2(x, 50) * 180 / M_PI;
            double* f = fra->points[static_cast<size_t>(i)].v;
            f[FRA_FREQUENCY] = hz, f[FRA_GAIN] = 20 - 10 * i / 3.0, f[FRA_PHASE] = 90 - 12 * i;
        }
    }
};

bool ordered(const std::vector<limit_check>& checks)
{
    for (const limit_check& c : checks) {
        if ((c.kind == limit_kind::quantity || c.kind == limit_kind::resonance) && c.low > c.high)
            return false;
        for (const auto* line : {&c.upper, &c.lower})
            for (size_t k = 1; k < line->size(); ++k)
                if (!((*line)[k - 1].first < (*line)[k].first))
                    return false;
    }
    return true;
}

void check_verdict(const s_test_verdict& v)
{
    if (v.pass != v.failed.empty() || (v.bin > 0 && !v.pass))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const sweeps sweep;
    limit_set set;
    std::string error;
    if (!limit_set_parse(std::string_view(reinterpret_cast<const char*>(data), size), set, error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    if ((set.checks.empty() && set.bins.empty()) || !ordered(set.checks))
        std::abort();
    for (const limit_bin& bin : set.bins)
        if (bin.name.empty() || !ordered(bin.checks))
            std::abort();
    check_verdict(lcr_judge(*sweep.lcr, set));
    check_verdict(fra_judge(*sweep.fra, set));
    return 0;
}
