#include "lcr/lcr_touchstone.h"

#include "base/export_texts.h"
#include "base/sweep_numbers.h"
#include "base/ui_seam.h"
#include "lcr/lcr_layouts.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <numbers>

namespace {

using complex = std::complex<double>;

// What a layout holds per point: the impedance or the admittance, as
// magnitude and phase or as real and quadrature parts at these positions.
struct s_immittance_form {
    bool admittance = false;
    bool polar = false;
    int first = 0; // magnitude or real part; 0 when the layout has neither
};

s_immittance_form form_of(int layout)
{
    switch (layout) {
    case LCR_LAYOUT_STANDARD:
    case LCR_LAYOUT_FULL: return {false, true, 3};
    case LCR_LAYOUT_IMPEDANCE: return {false, false, 1};
    case LCR_LAYOUT_ADMITTANCE: return {true, false, 1};
    default: return {};
    }
}

bool finite(complex c)
{
    return std::isfinite(c.real()) && std::isfinite(c.imag());
}

// The impedance or admittance of a point as the layout holds it.
bool immittance_of(const s_immittance_form& form, const LcrPoint& point, complex& value)
{
    const double a = point.v[form.first];
    const double b = point.v[form.first + 1];
    if (!std::isfinite(a) || !std::isfinite(b))
        return false;
    value = form.polar ? std::polar(a, b * std::numbers::pi / 180.0) : complex(a, b);
    return true;
}

// S11 or the normalised impedance; an admittance gives S11 directly, so an
// open circuit (Y = 0) still has its reflection of 1.
complex parameter_of(const s_immittance_form& form, complex value,
                     const s_touchstone_options& options)
{
    const double z0 = options.z0;
    if (options.parameter == touchstone_parameter::z)
        return form.admittance ? 1.0 / (value * z0) : value / z0;
    return form.admittance ? (1.0 - value * z0) / (1.0 + value * z0) : (value - z0) / (value + z0);
}

std::string layout_comment(int layout)
{
    static const char* const FORMS[] = {"Z magnitude and phase", "Z real and quadrature",
                                        "Y real and quadrature"};
    const s_immittance_form form = form_of(layout);
    const char* what = form.admittance ? FORMS[2] : form.polar ? FORMS[0] : FORMS[1];
    return "! LCR layout " + std::to_string(layout) + " (" + what + ")\n";
}

// The shortest text that reads back as the same number ("50", "75.5").
std::string shortest(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// A comment's text on one line: control characters as blanks.
std::string one_line(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return text;
}

std::string head(const LcrResults& results, const s_touchstone_options& options,
                 const s_touchstone_source& source)
{
    std::string text = "! Tarvelo2 LCR sweep, one port\n";
    text +=
        "! Instrument: " + (source.instrument.empty() ? "unknown" : one_line(source.instrument)) +
        "\n";
    if (!source.date_line.empty())
        text += "! Date: " + one_line(source.date_line) + "\n";
    text += layout_comment(results.layout);
    const bool z = options.parameter == touchstone_parameter::z;
    if (z)
        text += "! Z values normalised to the reference resistance\n";
    return text + "# Hz " + (z ? "Z" : "S") + " RI R " + shortest(options.z0) + "\n";
}

std::string step_refusal(int step, const char* what)
{
    return "Step " + std::to_string(step) + " " + what +
           ": the sweep cannot be written as a Touchstone file";
}

} // namespace

bool lcr_point_impedance(int layout, const LcrPoint& point, std::complex<double>& z)
{
    const s_immittance_form form = form_of(layout);
    complex value;
    if (form.first == 0 || !immittance_of(form, point, value))
        return false;
    z = form.admittance ? 1.0 / value : value;
    return finite(z);
}

std::string lcr_touchstone_text(const LcrResults& results, const s_touchstone_options& options,
                                const s_touchstone_source& source, std::string& refusal)
{
    const s_immittance_form form = form_of(results.layout);
    if (results.count <= 0) {
        refusal = NO_DATA_TEXT;
        return {};
    }
    if (form.first == 0) {
        refusal = "This sweep holds no impedance or admittance to write as a Touchstone file";
        return {};
    }
    if (!std::isfinite(options.z0) || options.z0 <= 0) {
        refusal = "The reference resistance must be a positive number of ohms";
        return {};
    }
    std::string text = head(results, options, source);
    const int count = std::min(results.count, MAX_SWEEP_POINTS);
    const bool falling =
        results.points[0].v[0] > results.points[static_cast<size_t>(count - 1)].v[0];
    double previous_hz = 0;
    for (int k = 0; k < count; ++k) {
        const int i = falling ? count - 1 - k : k;
        const LcrPoint& p = results.points[static_cast<size_t>(i)];
        complex value;
        if (!std::isfinite(p.v[0]) || p.v[0] <= 0) {
            refusal = step_refusal(i + 1, "has a frequency that is not positive");
            return {};
        }
        if (k > 0 && !(p.v[0] > previous_hz)) {
            refusal = step_refusal(i + 1, "repeats a frequency or is out of frequency order");
            return {};
        }
        previous_hz = p.v[0];
        const bool ok = immittance_of(form, p, value);
        const complex out = ok ? parameter_of(form, value, options) : complex(NAN, 0);
        if (!finite(out)) {
            refusal = step_refusal(i + 1, "holds a value that is not a finite number");
            return {};
        }
        text += sweep_format_scientific(p.v[0], 9) + " " + sweep_format_scientific(out.real(), 9) +
                " " + sweep_format_scientific(out.imag(), 9) + "\n";
    }
    refusal.clear();
    return text;
}

int lcr_export_touchstone(const std::string& path, const LcrResults& results,
                          const s_touchstone_options& options, const s_touchstone_source& source)
{
    std::string refusal;
    std::string text = lcr_touchstone_text(results, options, source, refusal);
    if (text.empty()) {
        ui_message_box(nullptr, refusal, EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    const int written = export_write_text_files({{path, std::move(text)}});
    return written > 0 ? 0 : written;
}

bool touchstone_parameter_of(const std::string& text, touchstone_parameter& parameter)
{
    if (text.size() != 1)
        return false;
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    if (c != 's' && c != 'z')
        return false;
    parameter = c == 's' ? touchstone_parameter::s : touchstone_parameter::z;
    return true;
}
