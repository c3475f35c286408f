#pragma once
// tarvelo2.Database: sessions and tests as plain records, a test's points
// as arrays, storing FRA sweeps, deleting, and the winding comparison.

#include "db/db_records.h"
#include "python/py_results.h"
#include "review/winding_compare.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvelo_py {

class database {
public:
    // Opens a test database; create makes a new one (refusing a path that
    // exists). DatabaseError with the program's message otherwise.
    database(std::string path, bool create);

    py::list sessions() const;
    int64_t new_session(const py::str& contract, const py::str& unit, const py::str& date,
                        const py::str& location, const py::str& performed_by,
                        const py::str& comments);
    py::list tests(int64_t session) const;
    py::dict test(int64_t key) const;
    int64_t store(int64_t session, const py::str& name, const fra_sweep& sweep,
                  const py::str& winding, const py::str& description);
    void remove(int64_t key, bool session);
    py::list compare(int64_t reference, const std::vector<int64_t>& keys) const;
    const std::string& path() const { return path_; }
    // Runs work (0 or a result code; it touches no Python object) on the
    // open file, as every call does; DatabaseError when it fails.
    void use(const std::function<int()>& work) const;

private:
    // Opens the file, runs work (which returns 0 or a result code) and
    // closes it; DatabaseError when it cannot be opened or work fails.
    template <class Work> void with_open(Work work) const;
    s_test load(int64_t key) const;

    std::string path_;
};

// R of a band, None for one the common range does not cover; and the
// band's covered, r, coverage and points as a dict.
py::object band_r(const s_band_factor& band);
py::dict band_region(const s_band_factor& band);

void init_database(py::module_& m);
// tarvelo2.assessment_plan and tarvelo2.assessment.
void init_assessment(py::module_& m);

} // namespace tarvelo_py
