#include "graph/bode_labels.h"

#include "base/number_format.h"

#include <cmath>
#include <cstdio>

const char* const BODE_TITLE_FREQUENCY = "FREQUENCY (Hz)";
const char* const BODE_TITLE_GAIN = "GAIN (dB)";
const char* const BODE_TITLE_PHASE = "PHASE (\xB0)";

namespace {

// Added before formatting so that an exact power of ten computed as
// 999.99999... is not shown one decade low.
constexpr double LABEL_NUDGE = 1e-10;

std::string printf_text(const char* format, double v)
{
    char text[64];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

} // namespace

std::string bode_freq_label(double f)
{
    const double v = f + LABEL_NUDGE;
    if (v < 1 || std::floor(std::log10(v)) < 0)
        return format_engineering(v);
    if (v >= 2147483647.0)
        return format_engineering(v);
    return format_compact(static_cast<int>(v));
}

std::string bode_value_label(double v, double step)
{
    constexpr int MOST_DECIMALS = 6;
    int decimals = 1;
    const double s = std::fabs(step);
    while (decimals < MOST_DECIMALS && std::isfinite(s) && s > 0) {
        const double scaled = s * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * scaled)
            break;
        ++decimals;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*lf", decimals, std::fabs(v) < s * 1e-9 ? 0.0 : v);
    return text;
}

std::string bode_phase_label(double p)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(p));
    return text;
}

std::array<std::string, 4> bode_cursor_readout(double frequency, double gain, double phase,
                                               double slope)
{
    return {"Frequency: " + format_engineering(frequency) + "Hz",
            printf_text("Gain: %.3lf dB", gain), "Phase: " + format_engineering(phase) + "\xB0",
            printf_text("Slope: %.1lf dB/Decade", slope)};
}
