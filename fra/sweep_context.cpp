#include "fra/sweep_context.h"

void fra_context_clear(FraSweepContext& ctx)
{
    ctx.owner = nullptr;
    ctx.notify = nullptr;
    ctx.message_owner = nullptr;
    ctx.request = 0;
    ctx.cancel = 0;
    ctx.incomplete = 0;
    ctx.received = 0;
    ctx.realtime = s_fra_result{};
    ctx.sweep.clear();
}

void fra_context_arm_sweep(FraSweepContext& ctx)
{
    ctx.message_owner = nullptr;
    ctx.request = 1;
    ctx.cancel = 0;
    ctx.incomplete = 0;
    ctx.received = 0;
}
