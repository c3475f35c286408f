#include "archive/archive_push.h"
#include "db/db_access.h"
#include "db/db_connection.h"

namespace {

struct key_list : db_row_sink {
    std::vector<int64_t> keys;
    void add_row(const std::string&, int64_t key) override { keys.push_back(key); }
};

archive_outcome unreadable(const std::string& what)
{
    return archive_outcome::fail(archive_status::failed,
                                 what + " cannot be read from the test file");
}

archive_outcome read_session(int64_t session_no, archive_local_session& out)
{
    out.session.SessionNo = session_no;
    if (db_get_session(out.session) != 0)
        return unreadable("Session " + std::to_string(session_no));
    if (out.session.SessionNo != session_no)
        return archive_outcome::fail(archive_status::refused,
                                     "The test file has no session " + std::to_string(session_no));
    key_list tests;
    if (db_list_tests(tests, session_no, true) != 0)
        return unreadable("The tests of session " + std::to_string(session_no));
    for (int64_t test_no : tests.keys) {
        s_test test;
        if (db_get_test(test, test_no, true) != 0 || test.TestNo != test_no)
            return unreadable("Test " + std::to_string(test_no));
        out.tests.push_back(std::move(test));
    }
    return {};
}

} // namespace

archive_outcome archive_read_local(const std::vector<int64_t>& session_nos,
                                   std::vector<archive_local_session>& out)
{
    if (!db_is_open())
        return archive_outcome::fail(archive_status::failed, "No test file is open");
    std::vector<int64_t> keys = session_nos;
    if (keys.empty()) {
        key_list all;
        if (db_list_sessions(all, 2, true) != 0)
            return unreadable("The sessions");
        keys = all.keys;
    }
    out.clear();
    for (int64_t key : keys) {
        archive_local_session session;
        if (archive_outcome o = read_session(key, session); !o.ok())
            return o;
        out.push_back(std::move(session));
    }
    return {};
}
