#include "sweep/sweep_series.h"

#include "base/timer_service.h"

#include <cstdio>

s_timer_hooks sweep_default_timer_hooks()
{
    return s_timer_hooks{timer_add_countdown, timer_cancel};
}

void sweep_series_before_sweep(s_sweep_series& series, command_target* window, int start_command,
                               command_target* display, const s_timer_hooks& timers)
{
    if (series.repeating && series.sweeps_done < series.sweeps_total - 1 && timers.add_countdown)
        series.timer_id = timers.add_countdown(static_cast<double>(series.interval_ms), window,
                                               start_command, display, true);
    if (!series.save_to_db)
        return;
    if (series.sweeps_done == 0) {
        series.base_name = series.test.Name;
    } else {
        char number[16];
        std::snprintf(number, sizeof number, " %d", series.sweeps_done + 1);
        series.test.Name = series.base_name + number;
    }
    series.test.TestNo = 0;
    test_add_point(series.test, nullptr);
}

bool sweep_series_after_sweep(s_sweep_series& series, const s_timer_hooks& timers)
{
    if (!series.repeating) {
        series.running = 0;
        return false;
    }
    series.sweeps_done += 1;
    if (series.sweeps_done < series.sweeps_total)
        return false;
    series.running = 0;
    sweep_series_cancel_timer(series, timers);
    return true;
}

std::string sweep_series_progress_text(const s_sweep_series& series)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d", series.sweeps_done, series.sweeps_total);
    return text;
}

void sweep_series_cancel_timer(s_sweep_series& series, const s_timer_hooks& timers)
{
    if (series.timer_id != 0 && timers.cancel)
        timers.cancel(series.timer_id);
    series.timer_id = 0;
}
