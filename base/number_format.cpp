#include "base/number_format.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// SI prefixes for the exponents -12..9 in steps of 3.
constexpr const char* k_prefixes[] = {"p", "n", "u", "m", "", "k", "M", "G", nullptr};

// Engineering exponent (a multiple of 3) of a value with decade d.
int engineering_exponent(int d)
{
    return d > 0 ? (d / 3) * 3 : ((3 - d) / 3) * -3;
}

// The decade of a positive value, floor(log10(x)), corrected where the
// logarithm's rounding lands next to an exact power of ten (1e-12 would
// otherwise fall into the decade below).
int decade(double x)
{
    int d = static_cast<int>(std::floor(std::log10(x)));
    if (std::pow(10.0, d + 1) <= x)
        ++d;
    else if (std::pow(10.0, d) > x)
        --d;
    return d;
}

// magnitude * 10^-n. Powers of ten up to 10^22 are exact doubles, so the
// common range takes one correctly rounded step; beyond it two steps keep
// the power from over- or underflowing.
double scale_down(double magnitude, int n)
{
    constexpr int k_exact_power = 22;
    if (n <= 0 && -n <= k_exact_power)
        return magnitude * std::pow(10.0, -n);
    if (n > 0 && n <= k_exact_power)
        return magnitude / std::pow(10.0, n);
    const int half = -n / 2;
    return magnitude * std::pow(10.0, half) * std::pow(10.0, -n - half);
}

void write_non_finite(double value, char* out, size_t size)
{
    const char* text = std::isnan(value) ? "nan " : (value < 0 ? "-inf " : "inf ");
    std::snprintf(out, size - 1, "%s", text);
}

} // namespace

void format_engineering(double value, char* out, size_t size)
{
    if (size < 2) {
        if (size == 1)
            out[0] = '\0';
        return;
    }
    out[0] = '\0';
    if (value == 0) {
        std::snprintf(out, size - 1, "0.0000 ");
        return;
    }
    if (!std::isfinite(value)) {
        write_non_finite(value, out, size);
        return;
    }
    int n = engineering_exponent(decade(std::fabs(value)));
    const char* sign = value < 0 ? "-" : "";
    double m = scale_down(std::fabs(value), n);
    int precision = 4;
    if (m >= 1000) {
        m /= 1000;
        n += 3;
    } else if (m >= 100) {
        precision = 2;
    } else if (m >= 10) {
        precision = 3;
    }
    if (n < -12 || n > 9)
        std::snprintf(out, size - 1, "%s%.*fE%d ", sign, precision, m, n);
    else
        std::snprintf(out, size - 1, "%s%.*f %s", sign, precision, m, k_prefixes[(n + 12) / 3]);
}

std::string format_engineering(double value)
{
    char text[48];
    format_engineering(value, text, sizeof text);
    return text;
}

void format_compact(int value, char* out, size_t size)
{
    if (size == 0)
        return;
    char text[48];
    format_engineering(value, text, sizeof text);
    const size_t len = std::strlen(text);
    char prefix = '\0';
    for (const char* const* p = k_prefixes; *p && len > 0; ++p)
        if ((*p)[0] != '\0' && (*p)[0] == text[len - 1])
            prefix = text[len - 1];
    if (char* blank = std::strchr(text, ' '))
        *blank = '\0';
    if (char* point = std::strchr(text, '.')) {
        if (prefix) {
            *point = prefix;
            for (size_t end = std::strlen(text); end > 0 && text[end - 1] == '0'; --end)
                text[end - 1] = '\0';
        } else {
            *point = '\0';
        }
    }
    std::snprintf(out, size, "%s", text);
}

std::string format_compact(int value)
{
    char text[48];
    format_compact(value, text, sizeof text);
    return text;
}

int nearest_int(double value)
{
    const double r = value > 0 ? std::trunc(value + 0.5) : std::trunc(value - 0.5);
    if (std::isnan(r))
        return 0;
    if (r >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (r <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(r);
}
