// Transformer assessments from Python: a vector group's test plan, and a
// unit's session compared with its fingerprint, a sister unit and phase by
// phase, as the program compares them.

#include "python/py_database.h"
#include "python/py_support.h"
#include "review/assessment_load.h"

#include <optional>
#include <pybind11/stl.h>

namespace tarvelo_py {

namespace {

s_transformer unit_of(const std::string& vector_group, const py::str& tap)
{
    std::string error;
    std::optional<s_transformer> unit = transformer_parse(vector_group, error);
    if (!unit)
        throw py::value_error(error);
    unit->tap = to_ansi(tap);
    return *unit;
}

py::dict step_record(const s_plan_step& s)
{
    return py::dict(py::arg("name") = s.name, py::arg("group") = s.group,
                    py::arg("winding") = s.winding, py::arg("kind") = assessment_kind_name(s.kind),
                    py::arg("phase") = std::string(1, s.phase), py::arg("source") = s.source,
                    py::arg("measured") = s.measured, py::arg("shorted") = s.shorted,
                    py::arg("earthed") = s.earthed, py::arg("open") = s.open,
                    py::arg("text") = plan_step_text(s));
}

py::list plan_of(const std::string& vector_group, const py::str& tap)
{
    py::list out;
    for (const s_plan_step& step : assessment_plan(unit_of(vector_group, tap)))
        out.append(step_record(step));
    return out;
}

py::object covered_only(const s_band_indicator& band, double value)
{
    return band.factor.covered ? py::object(py::float_(value)) : py::object(py::none());
}

py::dict comparison_record(const s_assessment_comparison& c)
{
    const s_winding_result& w = c.result;
    py::dict d(py::arg("basis") = assessment_basis_name(c.basis),
               py::arg("measurement") = from_ansi(c.measurement), py::arg("pair") = c.pair,
               py::arg("reference") = from_ansi(c.reference),
               py::arg("judgement") = from_ansi(winding_judgement_text(w)),
               py::arg("verdict") = winding_verdict_name(w.verdict),
               py::arg("correlation") = w.correlation,
               py::arg("max_abs_difference") = c.max_abs_difference);
    py::dict bands;
    for (int b = 0; b < WINDING_BANDS; ++b) {
        const s_band_indicator& band = c.bands[static_cast<size_t>(b)];
        d[winding_band_name(b)] = band_r(band.factor);
        py::dict region = band_region(band.factor);
        region["correlation"] = covered_only(band, band.correlation);
        region["max_abs_difference"] = covered_only(band, band.max_abs_difference);
        bands[winding_band_name(b)] = region;
    }
    d["bands"] = bands;
    return d;
}

// A session asked for that the file does not hold.
void check_found(const s_assessment_unit& unit, int64_t asked)
{
    if (asked > 0 && unit.session.SessionNo == DB_NO_SUCH_ROW)
        raise(database_error(), "The database holds no session " + std::to_string(asked));
}

py::dict assess(const database& db, int64_t session, const std::string& vector_group,
                const py::str& tap, std::optional<int64_t> fingerprint,
                std::optional<int64_t> sister)
{
    for (const std::optional<int64_t>& other : {fingerprint, sister}) {
        if (other && *other == session)
            throw py::value_error("A unit is assessed against other sessions than its own");
        if (other && *other < 1)
            throw py::value_error("A session's key is 1 or more, not " + std::to_string(*other));
    }
    const s_transformer unit = unit_of(vector_group, tap);
    s_assessment_inputs in;
    db.use([&] {
        return assessment_gather(unit, session, fingerprint.value_or(0), sister.value_or(0), in);
    });
    check_found(in.unit, session);
    check_found(in.fingerprint, fingerprint.value_or(0));
    check_found(in.sister, sister.value_or(0));
    py::list comparisons, missing;
    for (const s_assessment_comparison& c : in.assessment.comparisons)
        comparisons.append(comparison_record(c));
    for (const std::string& name : in.assessment.missing)
        missing.append(from_ansi(name));
    const char suspect = assessment_suspect_phase(in.assessment, in.plan);
    return py::dict(py::arg("comparisons") = comparisons,
                    py::arg("worst_first") = assessment_worst_first(in.assessment),
                    py::arg("missing") = missing,
                    py::arg("suspect_phase") = suspect
                                                   ? py::object(py::str(std::string(1, suspect)))
                                                   : py::object(py::none()),
                    py::arg("symmetry_note") = assessment_symmetry_note());
}

} // namespace

void init_assessment(py::module_& m)
{
    m.def("assessment_plan", &plan_of, py::arg("vector_group"), py::arg("tap") = "",
          "The measurements of a transformer's assessment in the order they are swept, as "
          "dicts: name (the stored test's), group, winding, kind, phase, source, measured, "
          "shorted, earthed, open (terminal lists) and text (the connections in words). "
          "ValueError for a vector group the program does not know.");
    m.def("assessment", &assess, py::arg("db"), py::arg("session"), py::kw_only(),
          py::arg("vector_group"), py::arg("tap") = "", py::arg("fingerprint") = py::none(),
          py::arg("sister") = py::none(),
          "The session's tests compared with the fingerprint session's (time-based), the "
          "sister unit's (type-based) and phase with phase: comparisons in plan order (basis, "
          "measurement, pair, reference, judgement, verdict, R_LF, R_MF, R_HF, correlation, "
          "max_abs_difference and per band its correlation and max_abs_difference), "
          "worst_first (indexes), missing (plan steps without a test), suspect_phase and "
          "symmetry_note.");
}

} // namespace tarvelo_py
