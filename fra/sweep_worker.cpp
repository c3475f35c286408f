#include "fra/sweep_worker.h"

#include "base/command_ids.h"
#include "link/link.h"
#include "sweep/sweep_core.h"

#include <algorithm>

namespace {

s_sweep_job fra_job(FraSweepContext& ctx)
{
    s_sweep_job job = sweep_job_of(ctx);
    job.mode = FRA_OPERATING_MODE;
    job.complete_id = CMD_FRA_SWEEP_COMPLETE;
    job.values_per_point = [](s_link& link, instrument_config& config) {
        if (link.caps.channels == INSTRUMENT_THREE_CHANNELS &&
            sweep_read_int(config, link, FRA_PARAM_INPUT) != 0)
            return FRA_VALUES_MAX;
        return FRA_VALUES_USUAL;
    };
    job.store_point = [&ctx](int index, const double* values, int n) {
        s_fra_result& point = ctx.sweep.points[static_cast<size_t>(index)];
        point = s_fra_result{};
        std::copy(values, values + std::min(n, FRA_VALUES_MAX), point.v);
    };
    return job;
}

} // namespace

void fra_sweep_worker(FraSweepContext& ctx)
{
    s_sweep_job job = fra_job(ctx);
    run_sweep_job(job);
}

void fra_sweep_cancel(FraSweepContext& ctx)
{
    cancel_sweep_job(ctx.cancel, ctx.dialog, ctx.notify);
}
