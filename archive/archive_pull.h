#pragma once
// Pulling archived tests back into a local test file, where they are
// stored tests like any other.

#include "archive/archive_connection.h"
#include "db/db_records.h"

#include <cstdint>
#include <vector>

struct archive_fetched {
    int64_t archive_id = 0;
    s_session session;
    s_test test; // with its points
};

// Fetches the tests ids from the archive, all of them or none (an id the
// archive does not hold is refused).
archive_outcome archive_fetch(archive_connection& archive, const std::vector<int64_t>& ids,
                              std::vector<archive_fetched>& fetched);

struct archive_pulled {
    int64_t archive_id = 0;
    int64_t test_no = 0; // the test's key in the local file
    bool is_new = false; // false: its session in the file held the same test already
};

// Stores fetched tests in the open test file, each in the local session
// with the same details (made when the file has none), all in one
// transaction: every test or, after a failure or progress saying stop,
// none (pulled is then left as it was). A test its session already holds
// is not stored twice.
archive_outcome archive_store_local(const std::vector<archive_fetched>& fetched,
                                    std::vector<archive_pulled>& pulled,
                                    const archive_progress& progress = {});
