#include "review/assessment_load.h"

#include "db/db_access.h"
#include "review/winding_report.h"

namespace {

struct key_sink : db_row_sink {
    std::vector<int64_t> keys;
    void add_row(const std::string&, int64_t key) override { keys.push_back(key); }
};

// Reads the unit of a session that may not be asked for (0: not used).
int read_if_asked(int64_t session_no, s_assessment_unit& unit)
{
    return session_no > 0 ? assessment_read_unit(session_no, unit) : 0;
}

// The tests to compare with: none when the session was not asked for or
// does not exist.
const std::vector<s_measured>& tests_of(const s_assessment_unit& unit)
{
    static const std::vector<s_measured> none;
    return unit.session.SessionNo > 0 ? unit.tests : none;
}

} // namespace

int assessment_read_unit(int64_t session_no, s_assessment_unit& unit)
{
    unit = s_assessment_unit{};
    unit.session.SessionNo = session_no;
    int rc = db_get_session(unit.session);
    if (rc != 0 || unit.session.SessionNo == DB_NO_SUCH_ROW)
        return rc;
    key_sink listed;
    rc = db_list_tests(listed, session_no, true);
    for (size_t i = 0; rc == 0 && i < listed.keys.size(); ++i) {
        s_test test;
        rc = db_load_test(test, listed.keys[i]);
        if (rc == 0 && test.TestNo == listed.keys[i])
            unit.tests.push_back({test.Name, test.Winding, winding_curve(test)});
    }
    return rc;
}

int assessment_gather(const s_transformer& transformer, int64_t session_no, int64_t fingerprint_no,
                      int64_t sister_no, s_assessment_inputs& inputs)
{
    inputs = s_assessment_inputs{};
    inputs.transformer = transformer;
    inputs.plan = assessment_plan(transformer);
    int rc = assessment_read_unit(session_no, inputs.unit);
    if (rc == 0)
        rc = read_if_asked(fingerprint_no, inputs.fingerprint);
    if (rc == 0)
        rc = read_if_asked(sister_no, inputs.sister);
    if (rc != 0)
        return rc;
    inputs.assessment = assessment_compare(
        inputs.plan, inputs.unit.tests, tests_of(inputs.fingerprint),
        inputs.fingerprint.session.Name, tests_of(inputs.sister), inputs.sister.session.Name);
    return 0;
}
