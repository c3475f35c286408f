#pragma once
// Pushing sessions and their tests from the open local test file to the
// archive. Reading the file (window thread, db/ calls) and sending to the
// archive (any one thread) are separate steps, so a window may send on a
// worker.

#include "archive/archive_connection.h"
#include "db/db_records.h"

#include <cstdint>
#include <vector>

struct archive_local_session {
    s_session session;
    std::vector<s_test> tests; // with their points
};

// Reads the sessions keyed by session_nos (every session when empty) and
// their tests with points from the open test file.
archive_outcome archive_read_local(const std::vector<int64_t>& session_nos,
                                   std::vector<archive_local_session>& out);

struct archive_pushed {
    int64_t archive_id = 0;
    bool is_new = false; // false: the archive held this test already
    int64_t test_no = 0; // the test's key in the local file
    std::string session_name;
    std::string test_name;
};

// Pushes every test of sessions, each in a transaction of its own: a test
// is archived whole or not at all, and one the archive holds already (by
// what was measured) is not stored again; a session's changed notes
// replace the archived ones. A test that cannot be archived as it is (a
// date not in the calendar, a NUL character) or that the server refuses is
// named in the outcome (refused) and the others are pushed; a lost link or
// progress saying so stops the push. The tests pushed stay archived and are
// in pushed.
archive_outcome archive_push(archive_connection& archive,
                             const std::vector<archive_local_session>& sessions,
                             std::vector<archive_pushed>& pushed,
                             const archive_progress& progress = {});
