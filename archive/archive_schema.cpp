#include "archive/archive_schema.h"

#include "archive/archive_pq.h"

namespace {

// Points carry no foreign key: a test and its points are written in one
// transaction, and the key's check per row would cost more than the copy.
const char* const create_tables = R"(
CREATE TABLE archive_version (version integer NOT NULL);
CREATE TABLE archive_session (
  id bigserial PRIMARY KEY,
  identity bytea NOT NULL UNIQUE,
  contract text NOT NULL,
  unit text NOT NULL,
  session_date date,
  location text NOT NULL,
  performed_by text NOT NULL,
  comments text NOT NULL);
CREATE INDEX archive_session_contract ON archive_session (lower(contract));
CREATE INDEX archive_session_unit ON archive_session (lower(unit));
CREATE INDEX archive_session_location ON archive_session (lower(location));
CREATE TABLE archive_test (
  id bigserial PRIMARY KEY,
  identity bytea NOT NULL UNIQUE,
  session_id bigint NOT NULL REFERENCES archive_session (id),
  name text NOT NULL,
  winding text NOT NULL,
  description text NOT NULL,
  test_date date,
  instrument_model text,
  instrument_serial text,
  point_count integer NOT NULL,
  pushed_at timestamptz NOT NULL DEFAULT now());
CREATE INDEX archive_test_session ON archive_test (session_id);
CREATE INDEX archive_test_name ON archive_test (lower(name));
CREATE INDEX archive_test_winding ON archive_test (lower(winding));
CREATE INDEX archive_test_date ON archive_test (test_date, id);
CREATE TABLE archive_point (
  test_id bigint NOT NULL,
  seq integer NOT NULL,
  frequency double precision NOT NULL,
  amplitude double precision NOT NULL,
  phase double precision NOT NULL,
  PRIMARY KEY (test_id, seq));
)";

// Serialises two programs that find the same empty database at once.
constexpr int64_t schema_lock_key = 0x5461727665'6c6f;

struct found {
    bool archive = false;
    int64_t other_tables = 0;
};

bool look(PGconn* conn, found& out)
{
    pq_result r = pq_exec(conn, "SELECT to_regclass('archive_version') IS NOT NULL, "
                                "(SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname "
                                "NOT IN ('pg_catalog', 'information_schema'))");
    if (!pq_ok(r))
        return false;
    out.archive = pq_text(r, 0, 0) == "t";
    out.other_tables = pq_int64(r, 0, 1);
    return true;
}

archive_outcome failed(PGconn* conn)
{
    return archive_outcome::fail(archive_status::failed,
                                 "The archive cannot be read: " + pq_error(conn));
}

archive_outcome check_version(PGconn* conn)
{
    pq_result r = pq_exec(conn, "SELECT max(version) FROM archive_version");
    if (!pq_ok(r))
        return failed(conn);
    if (PQgetisnull(r.get(), 0, 0))
        return archive_outcome::fail(archive_status::refused,
                                     "The database is not an archive: its version table is empty");
    const int64_t version = pq_int64(r, 0, 0);
    if (version > ARCHIVE_SCHEMA_VERSION)
        return archive_outcome::fail(archive_status::refused,
                                     "The archive is of a newer version (" +
                                         std::to_string(version) + ") than this program reads (" +
                                         std::to_string(ARCHIVE_SCHEMA_VERSION) +
                                         "): use a newer program");
    return {};
}

archive_outcome refuse_foreign()
{
    return archive_outcome::fail(archive_status::refused,
                                 "The database holds other tables and no archive: name an "
                                 "empty database or an archive");
}

archive_outcome create(PGconn* conn)
{
    if (!pq_ok(pq_exec(conn, "BEGIN")))
        return failed(conn);
    found now;
    archive_outcome outcome;
    if (!pq_ok(
            pq_params().number(schema_lock_key).exec(conn, "SELECT pg_advisory_xact_lock($1)")) ||
        !look(conn, now))
        outcome = failed(conn);
    else if (now.archive)
        outcome = check_version(conn); // another program made it meanwhile
    else if (now.other_tables > 0)
        outcome = refuse_foreign();
    else if (!pq_ok(pq_exec(conn, create_tables)) ||
             !pq_ok(pq_params()
                        .number(ARCHIVE_SCHEMA_VERSION)
                        .exec(conn, "INSERT INTO archive_version VALUES ($1)")))
        outcome = archive_outcome::fail(archive_status::failed,
                                        "The archive's tables cannot be made: " + pq_error(conn));
    if (!outcome.ok()) {
        pq_exec(conn, "ROLLBACK");
        return outcome;
    }
    if (!pq_ok(pq_exec(conn, "COMMIT")))
        return failed(conn);
    return {};
}

} // namespace

archive_outcome archive_schema_check(PGconn* conn, archive_use use)
{
    found now;
    if (!look(conn, now))
        return failed(conn);
    if (now.archive)
        return check_version(conn);
    if (now.other_tables > 0)
        return refuse_foreign();
    if (use == archive_use::read)
        return archive_outcome::fail(archive_status::refused,
                                     "The database holds no archive yet: push tests to it first");
    return create(conn);
}
