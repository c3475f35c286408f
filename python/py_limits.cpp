// Sweeps judged against a limit set from a script: LcrSweep.check(limits)
// and FraSweep.check(limits), limits a limit set file or the set itself as
// a dict (as the file's JSON would hold it).

#include "fra/fra_limits.h"
#include "lcr/lcr_limits.h"
#include "python/py_results.h"

#include <filesystem>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

namespace tarvelo_py {

namespace {

constexpr const char* VERDICT_DOC =
    R"(The verdict of a sweep against a limit set: passed, the bin (from 1; 0 when the
set has no bins or the sweep failed) and its name, the failed checks' texts,
and the limit set's name. True when passed.)";

constexpr const char* CHECK_DOC =
    "Judges the sweep against a limit set: a limit set file (JSON) or a dict "
    "holding the set. Returns a Verdict; ValueError when the set cannot be used.";

limit_set limits_of(const py::object& limits)
{
    limit_set set;
    std::string error;
    if (py::isinstance<py::dict>(limits)) {
        const std::string text = py::str(py::module_::import("json").attr("dumps")(limits));
        set.name = "dict";
        if (!limit_set_parse(text, set, error))
            throw py::value_error("The limit set cannot be used, " + std::string(from_ansi(error)));
        return set;
    }
    const std::filesystem::path path = limits.cast<std::filesystem::path>();
    if (!limit_set_read(path.string(), set, error))
        throw py::value_error(std::string(from_ansi(error)));
    return set;
}

template <class Sweep, class Judge> auto checker(Judge judge)
{
    return [judge](const Sweep& s, const py::object& limits) {
        const limit_set set = limits_of(limits);
        py::gil_scoped_release release; // a fitted element may take a while
        return judge(*s.results, set);
    };
}

} // namespace

void init_limits(py::module_& m, py::class_<fra_sweep>& fra, py::class_<lcr_sweep>& lcr)
{
    py::class_<s_test_verdict>(m, "Verdict", VERDICT_DOC)
        .def_property_readonly("passed", [](const s_test_verdict& v) { return v.pass; })
        .def_readonly("bin", &s_test_verdict::bin)
        .def_property_readonly("bin_name",
                               [](const s_test_verdict& v) { return from_ansi(v.bin_name); })
        .def_property_readonly("failed",
                               [](const s_test_verdict& v) {
                                   py::list out;
                                   for (const std::string& text : v.failed)
                                       out.append(from_ansi(text));
                                   return out;
                               })
        .def_property_readonly("limits",
                               [](const s_test_verdict& v) { return from_ansi(v.limits); })
        .def("__bool__", [](const s_test_verdict& v) { return v.pass; })
        .def("__repr__", [](const s_test_verdict& v) {
            return from_ansi("<tarvelo2.Verdict " + verdict_line(v) + ">");
        });
    lcr.def("check", checker<lcr_sweep>(lcr_judge), py::arg("limits"), CHECK_DOC);
    fra.def("check", checker<fra_sweep>(fra_judge), py::arg("limits"), CHECK_DOC);
}

} // namespace tarvelo_py
