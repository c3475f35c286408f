#include "archive/archive_identity.h"
#include "archive/archive_pull.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_transaction.h"

#include <map>
#include <unordered_map>

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

// The identities of the tests of the file's sessions, each session's read
// and hashed once per pull, so a pull costs the same per test however many
// tests its session holds.
class local_tests {
public:
    // The local test of session_no with the same content as test in
    // present, or 0; a test of the session that cannot be read is a
    // failure, not a reason to store the pulled one twice.
    archive_outcome find(int64_t session_no, const std::string& session_identity,
                         const s_test& test, int64_t& present)
    {
        present = 0;
        auto known = by_session_.find(session_no);
        if (known == by_session_.end()) {
            std::unordered_map<std::string, int64_t> tests;
            if (archive_outcome o = read(session_no, session_identity, tests); !o.ok())
                return o;
            known = by_session_.emplace(session_no, std::move(tests)).first;
        }
        auto it = known->second.find(archive_test_identity(session_identity, test));
        if (it != known->second.end())
            present = it->second;
        return {};
    }

    // A test stored now in session_no (a session read before, or new).
    void add(int64_t session_no, const std::string& identity, int64_t test_no)
    {
        by_session_[session_no].emplace(identity, test_no);
    }

private:
    static archive_outcome read(int64_t session_no, const std::string& session_identity,
                                std::unordered_map<std::string, int64_t>& tests)
    {
        key_list keys;
        if (db_list_tests(keys, session_no, true) != 0)
            return local_failure("The tests of session " + std::to_string(session_no) +
                                 " cannot be read");
        for (int64_t key : keys.keys) {
            s_test local;
            if (db_get_test(local, key, true) != 0 || local.TestNo != key)
                return local_failure("Test " + std::to_string(key) + " cannot be read");
            tests.emplace(archive_test_identity(session_identity, local), key);
        }
        return {};
    }

    std::unordered_map<int64_t, std::unordered_map<std::string, int64_t>> by_session_;
};

// Stores each test (or finds it there already); stops at the first failure
// or when progress says so.
archive_outcome store_all(const std::vector<archive_fetched>& fetched,
                          std::vector<archive_pulled>& pulled, const archive_progress& progress)
{
    local_sessions sessions;
    if (archive_outcome o = sessions.read(); !o.ok())
        return o;
    local_tests tests;
    for (const archive_fetched& f : fetched) {
        if (progress && !progress(int(pulled.size()), int(fetched.size())))
            return archive_outcome::fail(archive_status::cancelled,
                                         "The pull was stopped: no test was stored");
        int64_t session_no = 0;
        bool existed = false;
        if (archive_outcome o = sessions.find_or_add(f.session, session_no, existed); !o.ok())
            return o;
        const std::string session_identity = archive_session_identity(f.session);
        int64_t present = 0;
        if (archive_outcome o = existed ? tests.find(session_no, session_identity, f.test, present)
                                        : archive_outcome{};
            !o.ok())
            return o;
        if (present > 0) {
            pulled.push_back({f.archive_id, present, false});
            continue;
        }
        s_test test = f.test;
        test.SessionNo = session_no;
        if (!db_store_test(test)) // shows why in the database error box
            return local_failure("The archived test " + std::to_string(f.archive_id) +
                                 " cannot be stored in the test file");
        tests.add(session_no, archive_test_identity(session_identity, f.test), test.TestNo);
        pulled.push_back({f.archive_id, test.TestNo, true});
    }
    return {};
}

} // namespace

archive_outcome archive_store_local(const std::vector<archive_fetched>& fetched,
                                    std::vector<archive_pulled>& pulled,
                                    const archive_progress& progress)
{
    if (!db_is_open())
        return local_failure("No test file is open");
    // One transaction for the whole pull: every test or none, and one
    // write to the disk instead of one per test.
    db_transaction_scope transaction;
    std::vector<archive_pulled> done;
    if (archive_outcome o = store_all(fetched, done, progress); !o.ok())
        return o;
    if (transaction.commit() != 0)
        return local_failure("The pulled tests cannot be stored in the test file (it is busy "
                             "or read-only)");
    pulled.insert(pulled.end(), done.begin(), done.end());
    if (progress)
        progress(int(done.size()), int(fetched.size()));
    return {};
}
