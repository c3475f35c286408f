// The test database from Python. The core keeps one connection for the
// process, so every call opens the file, does its work and closes it again,
// one call at a time; a file another program holds locked is waited for as
// the program waits, without the GIL, so other Python threads run on.

#include "python/py_database.h"

#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_form.h"
#include "db/db_records.h"
#include "db/db_sinks.h"
#include "db/details_rules.h"
#include "python/py_columns.h"
#include "python/py_sweep_run.h"
#include "review/winding_report.h"

#include <filesystem>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

namespace tarvelo_py {

namespace {

std::mutex g_database;

class key_sink : public db_row_sink {
public:
    void add_row(const std::string&, int64_t key) override { keys.push_back(key); }
    std::vector<int64_t> keys;
};

py::dict session_record(const s_session& s)
{
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", s.year, s.month, s.day);
    return py::dict(py::arg("key") = s.SessionNo, py::arg("contract") = from_ansi(s.Name),
                    py::arg("unit") = from_ansi(s.Unit), py::arg("date") = std::string(date),
                    py::arg("location") = from_ansi(s.Location),
                    py::arg("performed_by") = from_ansi(s.PerformedBy),
                    py::arg("comments") = from_ansi(s.Comments));
}

py::dict test_record(const s_test& t)
{
    return py::dict(py::arg("key") = t.TestNo, py::arg("session") = t.SessionNo,
                    py::arg("name") = from_ansi(t.Name), py::arg("winding") = from_ansi(t.Winding),
                    py::arg("description") = from_ansi(t.TestDescription));
}

template <class Member> py::array_t<double> point_column(const s_test& t, Member member)
{
    py::array_t<double> out(t.points.count());
    copy_member(t.points, t.points.count(), member, out.mutable_data());
    return out;
}

} // namespace

py::object band_r(const s_band_factor& b)
{
    return b.covered ? py::object(py::float_(b.r)) : py::object(py::none());
}

py::dict band_region(const s_band_factor& b)
{
    return py::dict(py::arg("covered") = b.covered, py::arg("r") = band_r(b),
                    py::arg("coverage") = b.coverage, py::arg("points") = b.points);
}

database::database(std::string path, bool create) : path_(std::move(path))
{
    auto lock = lock_without_gil(g_database);
    message_capture messages;
    if (create && std::filesystem::exists(path_))
        raise(database_error(), "A file named " + path_ + " exists already");
    bool is_new = false, opened = false;
    {
        py::gil_scoped_release release;
        opened =
            create ? db_open(path_, DB_OPEN_OR_CREATE, &is_new) : db_open(path_, DB_OPEN_EXISTING);
        db_close();
    }
    if (!opened)
        raise(database_error(), messages.text(), "The file is not a test database");
}

// work runs without the GIL: it touches no Python object.
template <class Work> void database::with_open(Work work) const
{
    auto lock = lock_without_gil(g_database);
    message_capture messages;
    bool opened = false;
    int rc = 0;
    {
        py::gil_scoped_release release;
        opened = db_open(path_, DB_OPEN_EXISTING);
        if (opened)
            rc = work();
        db_close();
    }
    if (!opened)
        raise(database_error(), messages.text(), "The test database cannot be opened");
    if (rc != 0)
        raise(database_error(), messages.text(), "The test database could not be used");
}

void database::use(const std::function<int()>& work) const
{
    with_open(work);
}

py::list database::sessions() const
{
    std::vector<s_session> found;
    with_open([&] {
        key_sink keys;
        int rc = db_list_sessions(keys, 0, true);
        for (const int64_t key : keys.keys) {
            s_session& s = found.emplace_back();
            s.SessionNo = key;
            rc = rc ? rc : db_get_session(s);
        }
        return rc;
    });
    py::list out;
    for (const s_session& s : found)
        out.append(session_record(s));
    return out;
}

int64_t database::new_session(const py::str& contract, const py::str& unit, const py::str& date,
                              const py::str& location, const py::str& performed_by,
                              const py::str& comments)
{
    const s_session_entries entries{to_ansi(contract), to_ansi(unit), to_ansi(date),
                                    to_ansi(location), to_ansi(performed_by)};
    if (auto m = session_details_check(entries))
        throw py::value_error(std::string(from_ansi(m->text)));
    s_session session = session_from_entries(entries);
    session.Comments = to_ansi(comments);
    with_open([&] {
        db_form form;
        return form.store_new_session(session) ? 0 : 1;
    });
    return session.SessionNo;
}

py::list database::tests(int64_t session) const
{
    std::vector<s_test> found;
    with_open([&] {
        key_sink keys;
        int rc = db_list_tests(keys, session, true);
        for (const int64_t key : keys.keys)
            rc = rc ? rc : db_get_test(found.emplace_back(), key, false);
        return rc;
    });
    py::list out;
    for (const s_test& t : found)
        out.append(test_record(t));
    return out;
}

s_test database::load(int64_t key) const
{
    s_test t;
    with_open([&] {
        const int rc = db_load_test(t, key);
        return rc != 0 ? rc : t.TestNo == key ? 0 : -1;
    });
    return t;
}

py::dict database::test(int64_t key) const
{
    const s_test t = load(key);
    py::dict out = test_record(t);
    out["frequency"] = point_column(t, &s_test_point::Frequency);
    out["gain_db"] = point_column(t, &s_test_point::Amplitude);
    out["phase_deg"] = point_column(t, &s_test_point::Phase);
    return out;
}

int64_t database::store(int64_t session, const py::str& name, const fra_sweep& sweep,
                        const py::str& winding, const py::str& description)
{
    s_test t;
    t.SessionNo = session;
    t.Name = to_ansi(name);
    t.Winding = to_ansi(winding);
    t.TestDescription = to_ansi(description);
    const FraResults& r = *sweep.results;
    for (int i = 0; i < std::clamp(r.count, 0, MAX_SWEEP_POINTS); ++i) {
        const s_fra_result& p = r.points[static_cast<size_t>(i)];
        const s_test_point point{p.frequency(), p.gain(), p.phase()};
        if (test_add_point(t, &point) != 0)
            throw std::bad_alloc();
    }
    std::string refusal;
    with_open([&] {
        s_session owner;
        owner.SessionNo = session;
        if (const int rc = db_get_session(owner))
            return rc;
        if (auto m = test_details_check_names(owner.SessionNo == session ? session : -1, t.Name,
                                              t.Winding)) {
            refusal = m->text;
            return 0;
        }
        return db_store_test(t) ? 0 : 1;
    });
    if (!refusal.empty())
        throw py::value_error(std::string(from_ansi(refusal)));
    return t.TestNo;
}

void database::remove(int64_t key, bool session)
{
    bool missing = false;
    with_open([&] {
        db_form form;
        form.refresh_sessions(false);
        s_session s;
        s.SessionNo = key;
        s_test t;
        if (const int rc = session ? db_get_session(s) : db_get_test(t, key, false))
            return rc;
        missing = session ? s.SessionNo != key : t.TestNo != key;
        if (missing)
            return 0;
        form.select_session_by_key(session ? key : t.SessionNo);
        if (!session)
            form.tests.selected = form.tests.find(key);
        return (session ? form.delete_session() : form.delete_test()) ? 0 : 1;
    });
    if (missing)
        raise(database_error(), "The database holds no " +
                                    std::string(session ? "session " : "test ") +
                                    std::to_string(key));
}

py::list database::compare(int64_t reference, const std::vector<int64_t>& keys) const
{
    const s_test ref = load(reference);
    std::vector<std::string> names;
    std::vector<std::vector<s_gain_sample>> curves;
    for (const int64_t key : keys) {
        const s_test t = load(key);
        names.push_back(t.Name);
        curves.push_back(winding_curve(t));
    }
    const auto rows = winding_compare_all(winding_curve(ref), names, curves);
    py::list out;
    for (size_t i = 0; i < rows.size(); ++i) {
        const s_winding_result& w = rows[i].result;
        py::dict d(py::arg("test") = keys[i], py::arg("name") = from_ansi(rows[i].name),
                   py::arg("judgement") = from_ansi(winding_judgement_text(w)),
                   py::arg("verdict") = from_ansi(winding_verdict_name(w.verdict)),
                   py::arg("correlation") = w.correlation,
                   py::arg("mean_abs_difference") = w.mean_abs_difference);
        for (int b = 0; b < WINDING_BANDS; ++b)
            d[winding_band_name(b)] = band_r(w.bands[static_cast<size_t>(b)]);
        d["bands"] = py::dict(py::arg("R_LF") = band_region(w.bands[0]),
                              py::arg("R_MF") = band_region(w.bands[1]),
                              py::arg("R_HF") = band_region(w.bands[2]));
        out.append(d);
    }
    return out;
}

} // namespace tarvelo_py

namespace tarvelo_py {

void init_database(py::module_& m)
{
    py::class_<database>(m, "Database", R"(A test database file (SQLite), as the program keeps it.

Sessions and tests are plain dicts; test(key) adds its points as arrays
(frequency, gain_db, phase_deg). Every call opens the file and closes it
again, so the program and the command line may use it in between.)")
        .def(py::init(
                 [](const std::filesystem::path& path) { return database(path.string(), false); }),
             py::arg("path"), "Opens an existing test database.")
        .def_static(
            "create",
            [](const std::filesystem::path& path) { return database(path.string(), true); },
            py::arg("path"), "Makes a new test database; DatabaseError when the path exists.")
        .def_property_readonly("path", &database::path)
        .def("sessions", &database::sessions, "Every session, ordered by contract.")
        .def("new_session", &database::new_session, py::arg("contract"), py::arg("unit"),
             py::arg("date"), py::arg("location"), py::arg("performed_by"),
             py::arg("comments") = "",
             "Stores a session (date as DD/MM/YYYY) and returns its key. ValueError with the "
             "Session Details message for an entry it refuses.")
        .def("tests", &database::tests, py::arg("session"), "The tests of a session.")
        .def("test", &database::test, py::arg("key"), "One test with its points as arrays.")
        .def("store", &database::store, py::arg("session"), py::arg("name"), py::arg("sweep"),
             py::kw_only(), py::arg("winding"), py::arg("description") = "",
             "Stores an FRA sweep as a new test of the session (gain and phase per point) and "
             "returns its key: the whole test or nothing.")
        .def(
            "delete_test", [](database& d, int64_t key) { d.remove(key, false); }, py::arg("key"),
            "Deletes a test and its points.")
        .def(
            "delete_session", [](database& d, int64_t key) { d.remove(key, true); }, py::arg("key"),
            "Deletes a session and all its tests.")
        .def("compare", &database::compare, py::arg("reference"), py::arg("tests"),
             "Judges each test's winding against the reference test: R_LF, R_MF, R_HF (None "
             "for a band not covered), judgement, verdict, correlation and "
             "mean_abs_difference (dB), as the program computes them.");
}

} // namespace tarvelo_py
