#include "app/number_format.h"

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

// magnitude * 10^-n, in two steps so that neither power over- or underflows
// for the smallest and largest doubles.
double scale_down(double magnitude, int n)
{
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
    int n = engineering_exponent(static_cast<int>(std::floor(std::log10(std::fabs(value)))));
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
