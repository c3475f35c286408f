#include "lcr/lcr_sweep.h"

#include "base/command_ids.h"
#include "config/config_protocol.h"
#include "config/instrument_config.h"
#include "lcr/lcr_layouts.h"
#include "link/link.h"
#include "sweep/sweep_core.h"

#include <algorithm>
#include <iterator>

namespace {

void write_int(instrument_config& config, s_link& link, int id, int32_t value)
{
    config.set_int(id, value);
    config.write_param(id, link);
}

s_sweep_job lcr_job(LcrSweepContext& ctx)
{
    s_sweep_job job = sweep_job_of(ctx);
    job.mode = LCR_OPERATING_MODE;
    job.start_count = 3;
    job.download_command = "LCR,SWEEP?\n";
    job.complete_id = CMD_LCR_SWEEP_COMPLETE;
    job.values_per_point = [&ctx](s_link& link, instrument_config& config) {
        const int quantity =
            link.caps.lcr_quantity_layouts ? sweep_read_int(config, link, LCR_PARAM_QUANTITY) : 0;
        ctx.sweep.layout = lcr_layout_for(link.caps, quantity);
        return lcr_layout(ctx.sweep.layout).values;
    };
    job.store_point = [&ctx](int index, const double* values, int n) {
        LcrPoint& point = ctx.sweep.points[static_cast<size_t>(index)];
        point = LcrPoint{};
        std::copy(values, values + std::min(n, LCR_VALUES_MAX), point.v);
    };
    return job;
}

} // namespace

void lcr_context_arm_sweep(LcrSweepContext& ctx)
{
    ctx.message_owner = nullptr;
    ctx.request = 1;
    ctx.cancel = 0;
    ctx.incomplete = 0;
    ctx.received = 0;
}

void lcr_context_clear_reading(LcrSweepContext& ctx)
{
    std::fill(std::begin(ctx.realtime), std::end(ctx.realtime), 0.0);
    ctx.reading_type = 0;
    ctx.cancel = 0;
    ctx.received = 0;
}

void lcr_sweep_worker(LcrSweepContext& ctx)
{
    s_sweep_job job = lcr_job(ctx);
    run_sweep_job(job);
}

void piezo_sweep_worker(PiezoSweepContext& ctx)
{
    s_sweep_job job = lcr_job(ctx);
    int32_t remembered = -1;
    job.before_prepare = [&remembered](s_link& link, instrument_config& config) {
        remembered = sweep_read_int(config, link, LCR_PARAM_QUANTITY);
        if (remembered != LCR_QUANTITY_IMPEDANCE)
            write_int(config, link, LCR_PARAM_QUANTITY, LCR_QUANTITY_IMPEDANCE);
    };
    job.before_close = [&remembered](s_link& link, instrument_config& config) {
        if (remembered >= 0 && remembered != LCR_QUANTITY_IMPEDANCE)
            write_int(config, link, LCR_PARAM_QUANTITY, remembered);
    };
    run_sweep_job(job);
}

void lcr_sweep_cancel(LcrSweepContext& ctx)
{
    cancel_sweep_job(ctx.cancel, ctx.dialog, ctx.notify);
}
