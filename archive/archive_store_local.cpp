#include "archive/archive_identity.h"
#include "archive/archive_pull.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_transaction.h"

#include <map>

namespace {

struct key_list : db_row_sink {
    std::vector<int64_t> keys;
    void add_row(const std::string&, int64_t key) override { keys.push_back(key); }
};

archive_outcome local_failure(const std::string& what)
{
    return archive_outcome::fail(archive_status::failed, what);
}

// The file's sessions by content identity, read once per pull.
class local_sessions {
public:
    archive_outcome read()
    {
        key_list keys;
        if (db_list_sessions(keys, 2, true) != 0)
            return local_failure("The sessions of the test file cannot be read");
        for (int64_t key : keys.keys) {
            s_session s;
            s.SessionNo = key;
            if (db_get_session(s) != 0)
                return local_failure("Session " + std::to_string(key) + " cannot be read");
            by_identity_.emplace(archive_session_identity(s), key);
        }
        return {};
    }

    // The key of a session with these details, stored now when missing.
    archive_outcome find_or_add(const s_session& wanted, int64_t& key, bool& existed)
    {
        const std::string identity = archive_session_identity(wanted);
        auto it = by_identity_.find(identity);
        existed = it != by_identity_.end();
        if (existed) {
            key = it->second;
            return {};
        }
        s_session copy = wanted;
        copy.SessionNo = 0;
        if (db_save_session(copy, false) != 0)
            return local_failure("The session '" + wanted.Name +
                                 "' cannot be stored in the test file");
        key = copy.SessionNo;
        by_identity_.emplace(identity, key);
        return {};
    }

private:
    std::map<std::string, int64_t> by_identity_;
};

// The local test of session_no with the same content as test in present,
// or 0; a test of the session that cannot be read is a failure, not a
// reason to store the pulled one twice.
archive_outcome same_test(int64_t session_no, const std::string& session_identity,
                          const s_test& test, int64_t& present)
{
    present = 0;
    const std::string wanted = archive_test_identity(session_identity, test);
    key_list keys;
    if (db_list_tests(keys, session_no, true) != 0)
        return local_failure("The tests of session " + std::to_string(session_no) +
                             " cannot be read");
    for (int64_t key : keys.keys) {
        s_test local;
        if (db_get_test(local, key, true) != 0 || local.TestNo != key)
            return local_failure("Test " + std::to_string(key) + " cannot be read");
        if (archive_test_identity(session_identity, local) == wanted) {
            present = key;
            return {};
        }
    }
    return {};
}

// Stores each test (or finds it there already); stops at the first failure.
archive_outcome store_all(const std::vector<archive_fetched>& fetched,
                          std::vector<archive_pulled>& pulled)
{
    local_sessions sessions;
    if (archive_outcome o = sessions.read(); !o.ok())
        return o;
    for (const archive_fetched& f : fetched) {
        int64_t session_no = 0;
        bool existed = false;
        if (archive_outcome o = sessions.find_or_add(f.session, session_no, existed); !o.ok())
            return o;
        int64_t present = 0;
        const archive_outcome looked =
            existed ? same_test(session_no, archive_session_identity(f.session), f.test, present)
                    : archive_outcome{};
        if (!looked.ok())
            return looked;
        if (present > 0) {
            pulled.push_back({f.archive_id, present, false});
            continue;
        }
        s_test test = f.test;
        test.SessionNo = session_no;
        if (!db_store_test(test)) // shows why in the database error box
            return local_failure("The archived test " + std::to_string(f.archive_id) +
                                 " cannot be stored in the test file");
        pulled.push_back({f.archive_id, test.TestNo, true});
    }
    return {};
}

} // namespace

archive_outcome archive_store_local(const std::vector<archive_fetched>& fetched,
                                    std::vector<archive_pulled>& pulled)
{
    if (!db_is_open())
        return local_failure("No test file is open");
    // One transaction for the whole pull: every test or none, and one
    // write to the disk instead of one per test.
    db_transaction_scope transaction;
    std::vector<archive_pulled> done;
    if (archive_outcome o = store_all(fetched, done); !o.ok())
        return o;
    if (transaction.commit() != 0)
        return local_failure("The pulled tests cannot be stored in the test file (it is busy "
                             "or read-only)");
    pulled.insert(pulled.end(), done.begin(), done.end());
    return {};
}
