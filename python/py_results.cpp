#include "python/py_results.h"

#include "base/text_file.h"
#include "db/sweep_file.h"
#include "fra/margins.h"
#include "fra/sweep_complete.h"
#include "lcr/lcr_complete.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_touchstone.h"
#include "lcr/piezo_analysis.h"
#include "python/py_columns.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <complex>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

namespace tarvelo_py {

namespace {

using array = py::array_t<double>;

int count_of(int count)
{
    return std::clamp(count, 0, MAX_SWEEP_POINTS);
}

// One value position of every point as an array.
template <class Points> array column(const Points& points, int count, int position)
{
    array out(count);
    copy_column(points, count, position, out.mutable_data());
    return out;
}

[[noreturn]] void raise_os(const std::string& text)
{
    PyErr_SetObject(PyExc_OSError, from_ansi(text).ptr());
    throw py::error_already_set();
}

void write_rows(const std::string& path, std::time_t when, const std::vector<std::string>& rows)
{
    if (!sweep_file_write(path, when, rows))
        raise_os("The sweep file " + path + " could not be written");
}

py::list crossings(LList<s_gain_phase_point>& list)
{
    py::list out;
    list.rewind();
    while (const s_gain_phase_point* p = list.next())
        out.append(py::dict(py::arg("frequency") = p->frequency, py::arg("gain_db") = p->gain,
                            py::arg("phase_deg") = p->phase));
    return out;
}

py::dict margins(const fra_sweep& s)
{
    const FraResults& r = *s.results;
    const int n = count_of(r.count);
    LList<s_gain_phase_point> zero_db = margin_search(r.points.data(), n, margin_kind::zero_db);
    LList<s_gain_phase_point> zero_phase =
        margin_search(r.points.data(), n, margin_kind::zero_phase);
    py::dict out;
    out["summary"] = from_ansi(margin_summary(zero_db, zero_phase));
    out["zero_db_report"] = from_ansi(margin_report(zero_db, margin_kind::zero_db));
    out["zero_phase_report"] = from_ansi(margin_report(zero_phase, margin_kind::zero_phase));
    out["zero_db"] = crossings(zero_db);
    out["zero_phase"] = crossings(zero_phase);
    return out;
}

std::vector<std::string> fra_rows(const fra_sweep& s)
{
    std::vector<std::string> rows;
    for (int i = 0; i < count_of(s.results->count); ++i)
        rows.push_back(fra_table_row(i + 1, s.results->points[static_cast<size_t>(i)]));
    return rows;
}

std::vector<std::string> lcr_quantity_names(int layout)
{
    std::vector<std::string> out;
    for (const s_lcr_quantity& q : lcr_layout(layout).quantities)
        out.push_back(q.name);
    return out;
}

// A quantity by its name or its heading with the unit, in any letter case:
// "Z Magnitude", "z magnitude (ohms)"; "Frequency" too.
array lcr_column(const lcr_sweep& s, const py::str& name)
{
    const auto folded = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    const std::string wanted = folded(to_ansi(name));
    const auto names = lcr_quantity_names(s.results->layout);
    const auto headings = lcr_list_headings(s.results->layout);
    for (size_t i = 1; i < headings.size(); ++i) {
        const bool named = i == 1 ? wanted == "frequency" : wanted == folded(names[i - 2]);
        if (named || wanted == folded(headings[i]))
            return column(s.results->points, count_of(s.results->count), static_cast<int>(i) - 1);
    }
    throw py::key_error("this layout has no quantity " + std::string(name));
}

py::array_t<std::complex<double>> impedance(const lcr_sweep& s)
{
    const int n = count_of(s.results->count);
    py::array_t<std::complex<double>> out(n);
    auto* d = out.mutable_data();
    for (int i = 0; i < n; ++i)
        if (!lcr_point_impedance(s.results->layout, s.results->points[static_cast<size_t>(i)],
                                 d[i]))
            d[i] = {NAN, NAN};
    return out;
}

// The sweep as the piezo analysis reads it: |Z| and its phase per point,
// rising in frequency, whatever layout the instrument answered in and
// whichever way it swept; points without an impedance are left out.
std::unique_ptr<LcrResults> impedance_points(const lcr_sweep& s)
{
    const auto z = impedance(s);
    const array frequency = column(s.results->points, count_of(s.results->count), 0);
    const double* f = frequency.data();
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(z.size()); ++i)
        if (std::isfinite(z.at(i).real()) && std::isfinite(z.at(i).imag()))
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return f[a] < f[b]; });
    auto out = std::make_unique<LcrResults>();
    out->layout = LCR_LAYOUT_IMPEDANCE;
    for (const int i : order) {
        double* v = out->points[static_cast<size_t>(out->count++)].v;
        v[PIEZO_FREQUENCY] = f[i];
        v[PIEZO_IMPEDANCE] = std::abs(z.at(i));
        v[PIEZO_PHASE] = std::arg(z.at(i)) * 180 / M_PI;
    }
    return out;
}

py::dict piezo(const lcr_sweep& s)
{
    const s_piezo_analysis a = piezo_analyse(*impedance_points(s));
    if (!a.values)
        throw py::value_error(std::string(from_ansi(a.refusal)));
    const s_piezo_values& v = *a.values;
    return py::dict(py::arg("L") = v.l, py::arg("R") = v.r, py::arg("C") = v.c,
                    py::arg("Cp") = v.cp, py::arg("fr") = v.fr, py::arg("fa") = v.fa,
                    py::arg("zmin") = v.zmin, py::arg("zmax") = v.zmax);
}

void to_touchstone(const lcr_sweep& s, const std::filesystem::path& file,
                   const std::string& parameter, double z0)
{
    const std::string path = file.string();
    s_touchstone_options options;
    options.z0 = z0;
    if (!touchstone_parameter_of(parameter, options.parameter))
        throw py::value_error("parameter must be \"s\" or \"z\"");
    std::string refusal;
    const std::string text = lcr_touchstone_text(
        *s.results, options, {s.instrument, s.when ? sweep_file_date_line(s.when) : ""}, refusal);
    if (text.empty())
        throw py::value_error(std::string(from_ansi(refusal)));
    if (!export_write_text_file(path, text))
        raise_os("The Touchstone file " + path + " could not be written");
}

// The UTC time of a sweep file's date line ("09-12-2026 - 06:00"), 0 for
// a line that holds none.
std::time_t sweep_date(const std::string& line)
{
    std::tm t{};
    if (std::sscanf(line.c_str(), "%d-%d-%d - %d:%d", &t.tm_mday, &t.tm_mon, &t.tm_year, &t.tm_hour,
                    &t.tm_min) != 5)
        return 0;
    t.tm_mon -= 1;
    t.tm_year -= 1900;
    return timegm(&t);
}

py::object read_sweep_file(const std::filesystem::path& file, std::optional<int> layout)
{
    const std::string path = file.string();
    sweep_file_contents contents;
    if (sweep_file_read(path, contents) != sweep_file_status::ok)
        raise_os("The sweep file " + path + " cannot be read");
    const size_t fields = contents.rows.empty() ? 0 : contents.rows.front().size();
    if (layout) {
        const s_lcr_layout& l = lcr_layout(*layout);
        if (l.code != *layout || (fields && fields != static_cast<size_t>(l.values) + 1))
            throw py::value_error("The sweep file does not hold LCR layout " +
                                  std::to_string(*layout));
        lcr_sweep s;
        s.when = sweep_date(contents.date_line);
        s.results->layout = *layout;
        for (const auto& row : contents.rows) {
            if (s.results->count >= MAX_SWEEP_POINTS)
                break;
            std::copy(row.begin() + 1, row.end(),
                      s.results->points[static_cast<size_t>(s.results->count++)].v);
        }
        return py::cast(std::move(s));
    }
    if (fields && fields != FRA_VALUES_USUAL + 1 && fields != FRA_VALUES_MAX + 1)
        throw py::value_error("The sweep file does not hold an FRA sweep (its rows have " +
                              std::to_string(fields) + " fields); an LCR sweep needs layout=");
    fra_sweep s;
    s.when = sweep_date(contents.date_line);
    for (const auto& row : contents.rows) {
        if (s.results->count >= MAX_SWEEP_POINTS)
            break;
        s_fra_result& p = s.results->points[static_cast<size_t>(s.results->count++)];
        for (size_t i = 1; i < row.size() && i <= FRA_VALUES_MAX; ++i)
            p.v[i - 1] = row[i];
    }
    return py::cast(std::move(s));
}

const char* const FRA_DOC = R"(An FRA sweep: its columns as numpy float64 arrays.

frequency (Hz), magnitude1 and magnitude2 (the two inputs), gain_db,
phase_deg and delay (s), one element per point in sweep order.)";

const char* const LCR_DOC = R"(An LCR sweep: its columns as numpy float64 arrays.

The quantities depend on the instrument's reply layout (2, 5, 6 or 7):
`columns` names them and `sweep["Z Magnitude"]` gives one; `frequency`
and `impedance` (complex, from whatever the layout holds) are always there.)";

} // namespace

void init_results(py::module_& m)
{
    py::class_<fra_sweep> fra(m, "FraSweep", FRA_DOC);
    fra.def("__len__", [](const fra_sweep& s) { return count_of(s.results->count); })
        .def_property_readonly("frequency",
                               [](const fra_sweep& s) {
                                   return column(s.results->points, count_of(s.results->count),
                                                 FRA_FREQUENCY);
                               })
        .def_property_readonly("magnitude1",
                               [](const fra_sweep& s) {
                                   return column(s.results->points, count_of(s.results->count),
                                                 FRA_MAGNITUDE1);
                               })
        .def_property_readonly("magnitude2",
                               [](const fra_sweep& s) {
                                   return column(s.results->points, count_of(s.results->count),
                                                 FRA_MAGNITUDE2);
                               })
        .def_property_readonly("gain_db",
                               [](const fra_sweep& s) {
                                   return column(s.results->points, count_of(s.results->count),
                                                 FRA_GAIN);
                               })
        .def_property_readonly("phase_deg",
                               [](const fra_sweep& s) {
                                   return column(s.results->points, count_of(s.results->count),
                                                 FRA_PHASE);
                               })
        .def_property_readonly("delay",
                               [](const fra_sweep& s) {
                                   return column(s.results->points, count_of(s.results->count),
                                                 FRA_DELAY);
                               })
        .def_property_readonly("instrument",
                               [](const fra_sweep& s) { return from_ansi(s.instrument); })
        .def("margins", &margins,
             "The gain and phase margins: every 0 dB and 0 degree crossing, the program's "
             "reports and its summary.")
        .def(
            "to_sweep_file",
            [](const fra_sweep& s, const std::filesystem::path& path) {
                write_rows(path.string(), s.when ? s.when : std::time(nullptr), fra_rows(s));
            },
            py::arg("path"), "Writes the sweep as a sweep file (sweepN.dat) is written.");

    py::class_<lcr_sweep> lcr(m, "LcrSweep", LCR_DOC);
    init_circuit_fit(lcr);
    lcr.def("__len__", [](const lcr_sweep& s) { return count_of(s.results->count); })
        .def_property_readonly("layout", [](const lcr_sweep& s) { return s.results->layout; })
        .def_property_readonly("columns",
                               [](const lcr_sweep& s) {
                                   py::list out;
                                   for (const auto& n : lcr_quantity_names(s.results->layout))
                                       out.append(from_ansi(n));
                                   return out;
                               })
        .def_property_readonly("frequency",
                               [](const lcr_sweep& s) {
                                   return column(s.results->points, count_of(s.results->count), 0);
                               })
        .def("__getitem__", &lcr_column, py::arg("quantity"))
        .def_property_readonly("impedance", &impedance,
                               "Z per point (complex ohms); NaN where the point gives none.")
        .def_property_readonly("instrument",
                               [](const lcr_sweep& s) { return from_ansi(s.instrument); })
        .def("piezo", &piezo,
             "The resonator's equivalent circuit from the sweep: L, R, C, Cp, fr and fa "
             "(and the extremes zmin, zmax). ValueError when the sweep does not cross both "
             "resonances.")
        .def(
            "to_sweep_file",
            [](const lcr_sweep& s, const std::filesystem::path& path) {
                write_rows(path.string(), s.when ? s.when : std::time(nullptr),
                           lcr_table_rows(*s.results));
            },
            py::arg("path"), "Writes the sweep as a sweep file (sweepN.dat) is written.")
        .def("to_touchstone", &to_touchstone, py::arg("path"), py::arg("parameter") = "s",
             py::arg("z0") = 50.0,
             "Writes a one-port Touchstone 1.1 file: S11 (parameter=\"s\") or Z normalised "
             "to z0 (parameter=\"z\"), real and imaginary parts. ValueError for a sweep "
             "without a finite impedance at a positive frequency per point.");

    init_sweep_data(fra, lcr);
    init_limits(m, fra, lcr);
    m.def("read_sweep_file", &read_sweep_file, py::arg("path"), py::arg("layout") = py::none(),
          "Reads a sweep file: an FraSweep, or with an LCR layout (2, 5, 6, 7) an LcrSweep.");
}

} // namespace tarvelo_py
