// Sweeps as data a script works with: built from numpy arrays, pickled,
// shown by repr, handed to pandas, and the date of the sweep as a datetime.

#include "lcr/lcr_layouts.h"
#include "python/py_results.h"
#include "python/py_values.h"

#include <algorithm>
#include <cstdio>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

namespace tarvelo_py {

namespace {

using array = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The FRA columns in point order, with the headings the tables show.
const char* const FRA_NAMES[FRA_VALUES_MAX] = {"frequency",  "magnitude1", "magnitude2", "gain_db",
                                               "phase_deg",  "delay",      "magnitude3", "gain2_db",
                                               "phase2_deg", "delay2"};
const char* const FRA_HEADINGS[FRA_VALUES_MAX] = {
    "Frequency (Hz)", "Magnitude 1", "Magnitude 2", "Gain (dB)",      "Phase (\xB0)",
    "Delay (s)",      "Magnitude 3", "Gain 2 (dB)", "Phase 2 (\xB0)", "Delay 2 (s)"};

// The columns given by name as arrays of one length; the others are zero.
template <class Points>
int32_t fill_points(Points& points, const std::vector<std::string>& names, const py::dict& columns,
                    const std::vector<std::string>& required)
{
    for (const auto& [key, value] : columns)
        if (std::find(names.begin(), names.end(), py::str(key).cast<std::string>()) == names.end())
            throw py::type_error("no column " + std::string(py::str(key)));
    for (const std::string& name : required)
        if (!columns.contains(name))
            throw py::type_error("the sweep needs its " + name);
    py::ssize_t count = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        if (!columns.contains(names[i]))
            continue;
        const array a = array::ensure(columns[names[i].c_str()]);
        if (!a || a.ndim() != 1)
            throw py::value_error(names[i] + " must be a one-dimensional array of numbers");
        if (count >= 0 && a.size() != count)
            throw py::value_error("the columns differ in length (" + names[i] + ")");
        count = a.size();
        if (count > MAX_SWEEP_POINTS)
            throw py::value_error("a sweep holds at most " + std::to_string(MAX_SWEEP_POINTS) +
                                  " points");
        for (py::ssize_t p = 0; p < count; ++p)
            points[static_cast<size_t>(p)].v[i] = a.at(p);
    }
    return static_cast<int32_t>(std::max<py::ssize_t>(count, 0));
}

std::time_t time_of(const py::object& when)
{
    if (when.is_none())
        return 0;
    if (py::hasattr(when, "timestamp"))
        return static_cast<std::time_t>(when.attr("timestamp")().cast<double>());
    return static_cast<std::time_t>(std::stod(value_text(when, "when")));
}

py::object datetime_of(std::time_t when)
{
    if (!when)
        return py::none();
    const py::module_ dt = py::module_::import("datetime");
    return dt.attr("datetime").attr("fromtimestamp")(when, dt.attr("timezone").attr("utc"));
}

// The layout's quantities as a script names them (UTF-8), frequency first.
std::vector<std::string> lcr_names(int layout)
{
    std::vector<std::string> out{"frequency"};
    for (const s_lcr_quantity& q : lcr_layout(layout).quantities)
        out.push_back(from_ansi(q.name).cast<std::string>());
    return out;
}

// The headings with units (UTF-8), frequency first, as the tables show them.
std::vector<std::string> fra_headings(const fra_sweep& s)
{
    std::vector<std::string> out;
    for (int i = 0; i < fra_value_count(s); ++i)
        out.push_back(from_ansi(FRA_HEADINGS[i]).cast<std::string>());
    return out;
}

std::vector<std::string> lcr_headings(int layout)
{
    std::vector<std::string> out;
    for (const std::string& h : lcr_list_headings(layout))
        out.push_back(from_ansi(h).cast<std::string>());
    out.erase(out.begin()); // the steps: a table's index
    return out;
}

// keys are UTF-8.
template <class Points>
py::dict columns_of(const Points& points, int count, const std::vector<std::string>& keys)
{
    py::dict out;
    for (size_t i = 0; i < keys.size(); ++i) {
        py::array_t<double> a(count);
        for (int p = 0; p < count; ++p)
            a.mutable_at(p) = points[static_cast<size_t>(p)].v[i];
        out[py::str(keys[i])] = a;
    }
    return out;
}

fra_sweep make_fra(const py::dict& columns, const py::object& when, const std::string& instrument)
{
    fra_sweep s;
    s.results->count = fill_points(s.results->points, {FRA_NAMES, FRA_NAMES + FRA_VALUES_MAX},
                                   columns, {"frequency", "gain_db", "phase_deg"});
    s.when = time_of(when);
    s.instrument = instrument;
    return s;
}

lcr_sweep make_lcr(int layout, const py::dict& columns, const py::object& when,
                   const std::string& instrument)
{
    if (lcr_layout(layout).code != layout)
        throw py::value_error("no LCR layout " + std::to_string(layout) + " (2, 5, 6 or 7)");
    lcr_sweep s;
    s.results->layout = layout;
    s.results->count = fill_points(s.results->points, lcr_names(layout), columns, {"frequency"});
    s.when = time_of(when);
    s.instrument = instrument;
    return s;
}

template <class Sweep> std::string span_text(const Sweep& s, int count)
{
    char text[160];
    if (count == 0)
        return "no points";
    std::snprintf(text, sizeof text, "%d points, %g Hz to %g Hz", count, s.results->points[0].v[0],
                  s.results->points[static_cast<size_t>(count - 1)].v[0]);
    return text;
}

py::object data_frame(const py::dict& columns)
{
    py::module_ pandas;
    try {
        pandas = py::module_::import("pandas");
    } catch (const py::error_already_set&) {
        throw py::import_error("to_dataframe needs pandas (Debian: apt install python3-pandas)");
    }
    return pandas.attr("DataFrame")(columns);
}

} // namespace

int fra_value_count(const fra_sweep& s)
{
    for (int i = 0; i < std::clamp(s.results->count, 0, MAX_SWEEP_POINTS); ++i)
        for (int v = FRA_VALUES_USUAL; v < FRA_VALUES_MAX; ++v)
            if (s.results->points[static_cast<size_t>(i)].v[v] != 0)
                return FRA_VALUES_MAX;
    return FRA_VALUES_USUAL;
}

void init_sweep_data(py::class_<fra_sweep>& fra, py::class_<lcr_sweep>& lcr)
{
    fra.def(py::init([](const py::object& when, const std::string& instrument,
                        const py::kwargs& columns) {
                return make_fra(py::dict(columns), when, instrument);
            }),
            py::kw_only(), py::arg("when") = py::none(), py::arg("instrument") = "",
            "Builds a sweep from arrays given by column name: frequency, gain_db and phase_deg, "
            "and any of magnitude1, magnitude2, delay and the third input's magnitude3, "
            "gain2_db, phase2_deg, delay2 (zero when not given).");
    fra.def(py::pickle(
        [](const fra_sweep& s) {
            return py::make_tuple(columns_of(s.results->points, s.results->count,
                                             {FRA_NAMES, FRA_NAMES + FRA_VALUES_MAX}),
                                  static_cast<int64_t>(s.when), from_ansi(s.instrument));
        },
        [](const py::tuple& t) {
            return make_fra(t[0].cast<py::dict>(), t[1], to_ansi(t[2].cast<py::str>()));
        }));
    fra.def("__repr__", [](const fra_sweep& s) {
        return from_ansi("<tarvelo2.FraSweep " + span_text(s, s.results->count) +
                         (s.instrument.empty() ? "" : ", " + s.instrument) + ">");
    });
    fra.def_property_readonly(
        "columns", [](const fra_sweep& s) { return py::cast(fra_headings(s)); },
        "The column headings with their units, as to_dataframe() names them.");
    fra.def(
        "to_dataframe",
        [](const fra_sweep& s) {
            return data_frame(columns_of(s.results->points, s.results->count, fra_headings(s)));
        },
        "A pandas DataFrame of the columns, headed with their units (pandas needed).");
    for (int i = FRA_VALUES_USUAL; i < FRA_VALUES_MAX; ++i)
        fra.def_property_readonly(
            FRA_NAMES[i],
            [i](const fra_sweep& s) {
                py::array_t<double> a(s.results->count);
                for (int p = 0; p < s.results->count; ++p)
                    a.mutable_at(p) = s.results->points[static_cast<size_t>(p)].v[i];
                return a;
            },
            "The three-channel instrument's third input (zero without it).");
    fra.def_property_readonly(
        "when", [](const fra_sweep& s) { return datetime_of(s.when); },
        "When the sweep was measured (UTC datetime), None when not known.");

    lcr.def(py::init([](int layout, const py::object& when, const std::string& instrument,
                        const py::kwargs& columns) {
                return make_lcr(layout, py::dict(columns), when, instrument);
            }),
            py::arg("layout"), py::kw_only(), py::arg("when") = py::none(),
            py::arg("instrument") = "",
            "Builds a sweep of an LCR layout from arrays: frequency=, and the layout's "
            "quantities by name as a dict (**{\"Z Magnitude\": ...}); zero when not given.");
    lcr.def(py::pickle(
        [](const lcr_sweep& s) {
            return py::make_tuple(
                s.results->layout,
                columns_of(s.results->points, s.results->count, lcr_names(s.results->layout)),
                static_cast<int64_t>(s.when), from_ansi(s.instrument));
        },
        [](const py::tuple& t) {
            return make_lcr(t[0].cast<int>(), t[1].cast<py::dict>(), t[2],
                            to_ansi(t[3].cast<py::str>()));
        }));
    lcr.def("__repr__", [](const lcr_sweep& s) {
        return from_ansi("<tarvelo2.LcrSweep layout " + std::to_string(s.results->layout) + ", " +
                         span_text(s, s.results->count) +
                         (s.instrument.empty() ? "" : ", " + s.instrument) + ">");
    });
    lcr.def_property_readonly(
        "headings",
        [](const lcr_sweep& s) {
            const auto h = lcr_headings(s.results->layout);
            return py::cast(std::vector<std::string>(h.begin() + 1, h.end()));
        },
        "The quantities' headings with their units (\"Z Magnitude (Ohms)\").");
    lcr.def(
        "to_dataframe",
        [](const lcr_sweep& s) {
            return data_frame(
                columns_of(s.results->points, s.results->count, lcr_headings(s.results->layout)));
        },
        "A pandas DataFrame of frequency and the quantities, headed with their units.");
    lcr.def_property_readonly(
        "when", [](const lcr_sweep& s) { return datetime_of(s.when); },
        "When the sweep was measured (UTC datetime), None when not known.");
}

} // namespace tarvelo_py
