#include "base/sweep_numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

std::string_view trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool all_digits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Integer groups split at separator: the first of 1 to 3 digits, every
// further one of exactly 3.
bool parse_groups(std::string_view text, char separator, double& value)
{
    value = 0.0;
    bool first = true;
    while (true) {
        const size_t at = text.find(separator);
        const std::string_view group = text.substr(0, at);
        if (!all_digits(group) || (first ? group.size() > 3 : group.size() != 3))
            return false;
        double digits = 0.0;
        std::from_chars(group.data(), group.data() + group.size(), digits);
        value = value * 1000.0 + digits;
        first = false;
        if (at == std::string_view::npos)
            return true;
        text.remove_prefix(at + 1);
    }
}

// Grouped integer part, decimal mark, then the decimal digits.
bool parse_grouped(std::string_view text, char group_mark, size_t decimal_at, double& value)
{
    const std::string_view whole = text.substr(0, decimal_at);
    const std::string_view fraction = text.substr(decimal_at + 1);
    if (!fraction.empty() && !all_digits(fraction))
        return false;
    if (!parse_groups(whole, group_mark, value))
        return false;
    double part = 0.0;
    if (!fraction.empty())
        sweep_parse_number("0." + std::string(fraction), part);
    value += part;
    return true;
}

} // namespace

bool sweep_parse_number(std::string_view text, double& value)
{
    text = trim(text);
    const bool plus = !text.empty() && text.front() == '+';
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+' || (plus && text.front() == '-'))
        return false;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool sweep_parse_frequency(std::string_view text, double& value)
{
    text = trim(text);
    const size_t last_dot = text.rfind('.');
    const size_t last_comma = text.rfind(',');
    if (last_comma == std::string_view::npos)
        return sweep_parse_number(text, value) ||
               (std::count(text.begin(), text.end(), '.') > 1 && parse_groups(text, '.', value));
    if (last_dot != std::string_view::npos) {
        const bool comma_decimal = last_comma > last_dot;
        const size_t decimal_at = comma_decimal ? last_comma : last_dot;
        const char group_mark = comma_decimal ? '.' : ',';
        const char decimal_mark = comma_decimal ? ',' : '.';
        if (std::count(text.begin(), text.end(), decimal_mark) != 1)
            return false;
        return parse_grouped(text, group_mark, decimal_at, value);
    }
    if (std::count(text.begin(), text.end(), ',') > 1)
        return parse_groups(text, ',', value);
    std::string plain(text);
    plain[last_comma] = '.';
    return sweep_parse_number(plain, value);
}

std::string sweep_format_fixed(double value, int decimals, bool decimal_comma)
{
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string out(text, result.ptr);
    if (decimal_comma)
        std::replace(out.begin(), out.end(), '.', ',');
    return out;
}

std::string sweep_format_fixed4(double value)
{
    return sweep_format_fixed(value, 4);
}

std::string sweep_format_scientific5(double value)
{
    return sweep_format_scientific(value, 5);
}

std::string sweep_format_scientific(double value, int decimals)
{
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, decimals);
    std::string out(text, result.ptr);
    const size_t e = out.find('e');
    if (e == std::string::npos)
        return out;
    out[e] = 'E';
    size_t digits = e + 2;
    if (digits > out.size()) // no exponent sign
        return out;
    while (out.size() - digits < 3)
        out.insert(digits, 1, '0');
    return out;
}

std::string sweep_format_fixed5(double value)
{
    return sweep_format_fixed(value, 5);
}

namespace {

double read_back(double value, std::chars_format format, int decimals)
{
    char text[400];
    const auto printed = std::to_chars(text, text + sizeof text, value, format, decimals);
    double read = value;
    if (printed.ec == std::errc())
        std::from_chars(text, printed.ptr, read, format);
    return read;
}

constexpr double POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22}; // exact
constexpr int EXACT_POWERS = 22;

// x * y - z with its sign always right, and exact where z is x * y rounded
// or lies close to it. Without a fused multiply-add in hardware the product
// is split as Dekker does (no instruction can fuse its steps on such a
// target).
double product_minus(double x, double y, double z)
{
#ifdef FP_FAST_FMA
    return std::fma(x, y, -z);
#else
    const auto split = [](double v, double& high, double& low) {
        const double c = 134217729.0 * v; // 2^27 + 1
        high = c - (c - v);
        low = v - high;
    };
    double xh = 0.0, xl = 0.0, yh = 0.0, yl = 0.0;
    split(x, xh, xl);
    split(y, yh, yl);
    const double hi = x * y;
    const double lo = ((xh * yh - hi) + xh * yl + xl * yh) + xl * yl;
    return (hi - z) + lo;
#endif
}

// a * 10^k (a >= 0, |k| <= 22) rounded to a whole number as printing rounds
// it: to the nearest, an exact half to the even one. The product (or
// quotient) is scaled plus a remainder whose sign is known exactly, so a
// value just off a half is never taken for one. scaled must stay below 2^52
// for its fraction to be exact.
double round_scaled(double a, int k, double& scaled)
{
    double rest = 0.0; // the sign of (exact value - scaled)
    if (k >= 0) {
        scaled = a * POWERS_OF_TEN[k];
        rest = product_minus(a, POWERS_OF_TEN[k], scaled);
    } else {
        scaled = a / POWERS_OF_TEN[-k];
        rest = -product_minus(scaled, POWERS_OF_TEN[-k], a);
    }
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    const bool odd = (static_cast<int64_t>(whole) & 1) != 0;
    const bool up = fraction > 0.5 || (fraction == 0.5 && (rest > 0.0 || (rest == 0.0 && odd)));
    return up ? whole + 1.0 : whole;
}

} // namespace

// The roundings work in binary and then divide or multiply by an exact power
// of ten once, which IEEE arithmetic rounds correctly, as reading the decimal
// text does; values out of reach of the exact powers go through the text.
double sweep_round_fixed(double value, int decimals)
{
    const double a = std::fabs(value);
    if (decimals < 0 || decimals > EXACT_POWERS || !(a * POWERS_OF_TEN[decimals] < 0x1p50))
        return read_back(value, std::chars_format::fixed, decimals);
    double scaled = 0.0;
    const double whole = round_scaled(a, decimals, scaled);
    return std::copysign(whole / POWERS_OF_TEN[decimals], value);
}

namespace {

// The digits of a "%.*E" text of a (> 0, finite): a is about
// whole * 10^-k, whole in [10^decimals, 10^(decimals + 1)], the top end
// where rounding carried into a new digit. The decimal exponent is first
// guessed from the binary one and then put right a step at a time. False
// out of reach of the exact powers.
bool scientific_digits(double a, int decimals, double& whole, int& k)
{
    const double low = POWERS_OF_TEN[decimals];
    int exponent = static_cast<int>(std::floor(std::ilogb(a) * 0.30102999566398120));
    for (int tries = 0; tries < 3; ++tries) {
        k = decimals - exponent;
        if (k < -EXACT_POWERS || k > EXACT_POWERS)
            return false;
        double scaled = 0.0;
        whole = round_scaled(a, k, scaled);
        if (scaled < low)
            --exponent;
        else if (scaled >= 10.0 * low)
            ++exponent;
        else
            return true;
    }
    return false;
}

} // namespace

double sweep_round_scientific(double value, int decimals)
{
    const double a = std::fabs(value);
    if (a == 0.0)
        return value;
    double whole = 0.0;
    int k = 0;
    if (!std::isfinite(a) || decimals < 0 || decimals > 14 ||
        !scientific_digits(a, decimals, whole, k))
        return read_back(value, std::chars_format::scientific, decimals);
    return std::copysign(k >= 0 ? whole / POWERS_OF_TEN[k] : whole * POWERS_OF_TEN[-k], value);
}

namespace {

// Adds one unit at the last digit of digits (decimal digits only); true when
// the carry runs out of the leading digit.
bool carry_into(std::string& digits)
{
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

std::string exponent_text(long exponent, size_t min_digits)
{
    std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    while (digits.size() < min_digits)
        digits.insert(0, 1, '0');
    return (exponent < 0 ? "-" : "+") + digits;
}

} // namespace

std::string sweep_european_short(std::string_view text)
{
    const size_t e = text.find_first_of("Ee");
    if (e == std::string_view::npos)
        return std::string(text);
    std::string prefix;
    std::string_view mantissa = text.substr(0, e);
    size_t keep = 4; // digit, mark, two decimals
    // A text cell's "'" comes first and takes the place of one kept
    // character; a sign after it is kept and counts for nothing.
    if (!mantissa.empty() && mantissa.front() == '\'') {
        prefix += '\'';
        mantissa.remove_prefix(1);
        --keep;
    }
    if (!mantissa.empty() && mantissa.front() == '-') {
        prefix += '-';
        mantissa.remove_prefix(1);
    }
    std::string digits; // mantissa digits without the mark
    for (const char c : mantissa)
        if (c >= '0' && c <= '9')
            digits += c;
    const size_t kept_digits = keep >= 2 ? keep - 1 : 1;
    const bool round_up = digits.size() > kept_digits && digits[kept_digits] >= '5';
    digits.resize(std::min(digits.size(), kept_digits));
    long exponent = std::strtol(std::string(text.substr(e + 1)).c_str(), nullptr, 10);
    if (round_up && carry_into(digits)) {
        digits.insert(0, 1, '1');
        digits.pop_back();
        ++exponent;
    }
    std::string out = prefix + digits.substr(0, 1);
    if (digits.size() > 1)
        out += "," + digits.substr(1);
    const size_t exponent_digits = text.size() - e - 2;
    const size_t width = exponent_digits >= 3 ? exponent_digits - 1 : exponent_digits;
    return out + "E" + exponent_text(exponent, std::max<size_t>(width, 2)) + "    ";
}

// The short form straight from the six digits of "%.5E", without the
// texts in between; values out of their reach take the texts' way.
std::string sweep_format_european(double value)
{
    const double a = std::fabs(value);
    double whole = 0.0;
    int k = 5; // zero: "0.00000E+000"
    if (a != 0.0 && (!std::isfinite(a) || !scientific_digits(a, 5, whole, k)))
        return sweep_european_short(sweep_format_scientific5(value));
    long kept = (static_cast<long>(whole) + 500) / 1000; // three digits, half up
    long exponent = 5 - k;
    if (kept >= 1000) {
        kept /= 10;
        ++exponent;
    }
    char text[32];
    char* at = text;
    if (std::signbit(value))
        *at++ = '-';
    for (const long digit : {kept / 100, -1L, kept / 10 % 10, kept % 10})
        *at++ = digit < 0 ? ',' : static_cast<char>('0' + digit);
    *at++ = 'E';
    *at++ = exponent < 0 ? '-' : '+';
    if (std::labs(exponent) < 10)
        *at++ = '0';
    at = std::to_chars(at, text + sizeof text, std::labs(exponent)).ptr;
    return std::string(text, at) + "    ";
}

std::string sweep_remove_trailing_zeros(std::string_view text)
{
    std::string out(text);
    if (out.find_first_of("Ee") != std::string::npos ||
        out.find_first_of(".,") == std::string::npos)
        return out;
    while (!out.empty() && out.back() == '0')
        out.pop_back();
    if (!out.empty() && (out.back() == '.' || out.back() == ','))
        out.pop_back();
    return out;
}

std::string sweep_remove_mantissa_zeros(std::string_view text)
{
    const size_t e = text.find_first_of("Ee");
    if (e == std::string_view::npos)
        return sweep_remove_trailing_zeros(text);
    return sweep_remove_trailing_zeros(text.substr(0, e)) + std::string(text.substr(e));
}
