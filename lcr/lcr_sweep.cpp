#include "lcr/lcr_sweep.h"

#include "base/command_ids.h"
#include "base/ui_seam.h"
#include "config/config_protocol.h"
#include "config/instrument_config.h"
#include "lcr/lcr_layouts.h"
#include "link/link.h"
#include "sweep/sweep_core.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

// False (or a config_error) when the instrument did not take the value.
bool write_int(instrument_config& config, s_link& link, int id, int32_t value)
{
    config.set_int(id, value);
    return config.write_param(id, link);
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
    bool forced = false;
    bool restored = false;
    job.before_prepare = [&](s_link& link, instrument_config& config) {
        remembered = sweep_read_int(config, link, LCR_PARAM_QUANTITY);
        if (remembered != LCR_QUANTITY_IMPEDANCE) {
            forced = true;
            write_int(config, link, LCR_PARAM_QUANTITY, LCR_QUANTITY_IMPEDANCE);
        }
    };
    job.before_close = [&](s_link& link, instrument_config& config) {
        if (forced)
            restored = write_int(config, link, LCR_PARAM_QUANTITY, remembered);
    };
    run_sweep_job(job);
    if (forced && !restored)
        ui_message_box(nullptr, piezo_restore_failure_text(remembered), "Tarvelo2",
                       MB_OK | MB_ICONINFORMATION);
}

std::string piezo_restore_failure_text(int32_t quantity)
{
    static const char* const names[] = {"Auto", "Capacitance", "Inductance", "Impedance",
                                        "Admittance"};
    const bool named = quantity >= 0 && quantity < int32_t(std::size(names));
    char text[320];
    std::snprintf(text, sizeof text,
                  "The instrument's LCR parameter (137) could not be set back after the sweep: "
                  "it is left at Impedance.\nSet it back to %s (%d) before the next LCR "
                  "measurement.",
                  named ? names[quantity] : "its former value", int(quantity));
    return text;
}

void lcr_sweep_cancel(LcrSweepContext& ctx)
{
    cancel_sweep_job(ctx.cancel, ctx.dialog, ctx.notify);
}
