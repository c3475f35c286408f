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

// The archive of version 1 identified a session by its notes too, so a
// session whose comment changed was archived again with all its tests.
// Version 2 identifies sessions and tests by what was measured
// (archive/archive_identity.cpp, whose bytes these statements repeat):
// the identities are computed again, sessions that now are one are merged
// (the oldest's notes stay), and a test archived twice that way keeps its
// oldest copy. Only the tables' owner may do this.
const char* const upgrade_to_2 = R"(
SET LOCAL statement_timeout = 0;
CREATE FUNCTION pg_temp.field(t text) RETURNS bytea LANGUAGE sql IMMUTABLE
  AS $$ SELECT int8send(octet_length(convert_to(t, 'UTF8'))::int8) || convert_to(t, 'UTF8') $$;
CREATE FUNCTION pg_temp.part(p text, d date) RETURNS bytea LANGUAGE sql IMMUTABLE
  AS $$ SELECT int8send(coalesce(date_part(p, d)::int8, 0)) $$;
ALTER TABLE archive_session DROP CONSTRAINT archive_session_identity_key;
UPDATE archive_session SET identity = sha256('session/2'::bytea
  || pg_temp.field(contract)
  || pg_temp.field(unit)
  || pg_temp.part('year', session_date) || pg_temp.part('month', session_date)
  || pg_temp.part('day', session_date));
UPDATE archive_test t SET session_id = k.keep
  FROM (SELECT id, min(id) OVER (PARTITION BY identity) AS keep FROM archive_session) k
  WHERE t.session_id = k.id AND k.keep <> k.id;
DELETE FROM archive_session s USING archive_session k
  WHERE s.identity = k.identity AND s.id > k.id;
ALTER TABLE archive_session ADD CONSTRAINT archive_session_identity_key UNIQUE (identity);
ALTER TABLE archive_test DROP CONSTRAINT archive_test_identity_key;
UPDATE archive_test t SET identity = sha256('test/2'::bytea || int8send(32::int8) || s.identity
  || pg_temp.field(t.name)
  || pg_temp.field(t.winding)
  || pg_temp.field(t.description)
  || int8send(t.point_count::int8)
  || coalesce((SELECT string_agg(float8send(p.frequency) || float8send(p.amplitude)
                                 || float8send(p.phase), ''::bytea ORDER BY p.seq)
               FROM archive_point p WHERE p.test_id = t.id), ''::bytea))
  FROM archive_session s WHERE s.id = t.session_id;
DELETE FROM archive_point p USING archive_test t, archive_test k
  WHERE p.test_id = t.id AND t.identity = k.identity AND t.id > k.id;
DELETE FROM archive_test t USING archive_test k WHERE t.identity = k.identity AND t.id > k.id;
ALTER TABLE archive_test ADD CONSTRAINT archive_test_identity_key UNIQUE (identity);
UPDATE archive_version SET version = 2;
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

// The archive's version, 0 when its table is empty; false when unreadable.
bool read_version(PGconn* conn, int64_t& version)
{
    pq_result r = pq_exec(conn, "SELECT max(version) FROM archive_version");
    if (!pq_ok(r))
        return false;
    version = PQgetisnull(r.get(), 0, 0) ? 0 : pq_int64(r, 0, 0);
    return true;
}

archive_outcome check_version(PGconn* conn, int64_t& version)
{
    if (!read_version(conn, version))
        return failed(conn);
    if (version == 0)
        return archive_outcome::fail(archive_status::refused,
                                     "The database is not an archive: its version table is empty");
    if (version > ARCHIVE_SCHEMA_VERSION)
        return archive_outcome::fail(archive_status::refused,
                                     "The archive is of a newer version (" +
                                         std::to_string(version) + ") than this program reads (" +
                                         std::to_string(ARCHIVE_SCHEMA_VERSION) +
                                         "): use a newer program");
    return {};
}

archive_outcome check_version(PGconn* conn)
{
    int64_t version = 0;
    return check_version(conn, version);
}

bool lock_schema(PGconn* conn)
{
    return pq_ok(pq_exec(conn, "BEGIN")) &&
           pq_ok(
               pq_params().number(schema_lock_key).exec(conn, "SELECT pg_advisory_xact_lock($1)"));
}

// Runs sql for as long as it takes (a large archive's upgrade reads every
// point): the link's keepalives, and the user's Cancel, still end it.
pq_result exec_unlimited(PGconn* conn, const char* sql)
{
    const int limit = pq_set_reply_limit(conn, 0);
    pq_result r = pq_exec(conn, sql);
    pq_set_reply_limit(conn, limit);
    return r;
}

// Brings an archive of an older version up to date, once, whoever else
// tries at the same moment.
archive_outcome upgrade(PGconn* conn)
{
    int64_t version = 0;
    archive_outcome outcome;
    if (!lock_schema(conn))
        outcome = failed(conn);
    else if (outcome = check_version(conn, version);
             outcome.ok() && version < 2 && !pq_ok(exec_unlimited(conn, upgrade_to_2)))
        outcome = archive_outcome::fail(
            archive_status::refused,
            "The archive is of an older version (" + std::to_string(version) +
                ") that identified a test by its session's notes too, and it cannot be brought "
                "up to date by this role (" +
                pq_error(conn) + "): push once as the owner of its tables");
    pq_exec(conn, outcome.ok() ? "COMMIT" : "ROLLBACK");
    return outcome;
}

archive_outcome refuse_foreign()
{
    return archive_outcome::fail(archive_status::refused,
                                 "The database holds other tables and no archive: name an "
                                 "empty database or an archive");
}

archive_outcome create(PGconn* conn)
{
    found now;
    archive_outcome outcome;
    if (!lock_schema(conn) || !look(conn, now))
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
    if (now.archive) {
        int64_t version = 0;
        archive_outcome o = check_version(conn, version);
        return o.ok() && version < ARCHIVE_SCHEMA_VERSION && use == archive_use::write
                   ? upgrade(conn)
                   : o;
    }
    if (now.other_tables > 0)
        return refuse_foreign();
    if (use == archive_use::read)
        return archive_outcome::fail(archive_status::refused,
                                     "The database holds no archive yet: push tests to it first");
    return create(conn);
}
