#pragma once
// A unit's stored tests and details read for an assessment from the open
// database. Failures are said by the database layer as usual (message box
// through the ui seam); these return its code.
#include "db/db_records.h"
#include "review/assessment.h"

#include <cstdint>
#include <vector>

struct s_assessment_unit {
    s_session session;             // the session row (Name, Unit, Location, date...)
    std::vector<s_measured> tests; // every test of the session, in TestNo order
};

// Reads a session and its tests' gain curves. 0, or the SQLite code (also
// when the session does not exist: DB_NO_SUCH_ROW in session.SessionNo).
int assessment_read_unit(int64_t session_no, s_assessment_unit& unit);

// Everything an assessment report needs, read from the open database:
// the unit, the fingerprint and the sister (SessionNo 0: not used), and the
// comparisons of the plan. 0 or the SQLite code. A session that does not
// exist (the unit's, the fingerprint's or the sister's) leaves
// DB_NO_SUCH_ROW in its session.SessionNo and no tests; its comparisons are
// left out and the caller says so.
struct s_assessment_inputs {
    s_transformer transformer;
    std::vector<s_plan_step> plan;
    s_assessment_unit unit, fingerprint, sister;
    s_assessment assessment;
};
int assessment_gather(const s_transformer& transformer, int64_t session_no, int64_t fingerprint_no,
                      int64_t sister_no, s_assessment_inputs& inputs);
