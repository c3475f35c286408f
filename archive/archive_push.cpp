#include "archive/archive_push.h"

#include "archive/archive_identity.h"
#include "archive/archive_pq.h"
#include "base/ansi_text.h"

#include <algorithm>
#include <bit>
#include <cstdio>

namespace {

std::string date_text(int year, int month, int day)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

// The session's archive id, inserting the session when the archive lacks
// it; its notes (location, performer, comments) are made the file's when
// they differ, the session's identity being what was measured.
bool session_id(PGconn* conn, const s_session& s, const std::string& identity, int64_t& id)
{
    const std::string notes[] = {ansi_to_utf8(s.Location), ansi_to_utf8(s.PerformedBy),
                                 ansi_to_utf8(s.Comments)};
    pq_params insert;
    insert.binary(identity).text(ansi_to_utf8(s.Name)).text(ansi_to_utf8(s.Unit));
    insert.text(date_text(s.year, s.month, s.day)).text(notes[0]).text(notes[1]).text(notes[2]);
    pq_result r = insert.exec(
        conn, "INSERT INTO archive_session (identity, contract, unit, session_date, location, "
              "performed_by, comments) VALUES ($1, $2, $3, $4, $5, $6, $7) "
              "ON CONFLICT (identity) DO NOTHING RETURNING id");
    if (pq_ok(r) && PQntuples(r.get()) == 0)
        r = pq_params().binary(identity).exec(
            conn, "SELECT id, location, performed_by, comments FROM archive_session "
                  "WHERE identity = $1");
    if (!pq_ok(r) || PQntuples(r.get()) != 1)
        return false;
    id = pq_int64(r, 0, 0);
    if (PQnfields(r.get()) == 1 || (pq_text(r, 0, 1) == notes[0] && pq_text(r, 0, 2) == notes[1] &&
                                    pq_text(r, 0, 3) == notes[2]))
        return true;
    return pq_ok(pq_params().number(id).text(notes[0]).text(notes[1]).text(notes[2]).exec(
        conn, "UPDATE archive_session SET location = $2, performed_by = $3, comments = $4 "
              "WHERE id = $1"));
}

void put_be(std::string& out, uint64_t v, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.push_back(char(v >> shift));
}

// The points as one binary COPY: exact doubles, one round trip.
std::string copy_data(int64_t test_id, const s_test& test)
{
    std::string out("PGCOPY\n\377\r\n\0", 11);
    put_be(out, 0, 4); // flags
    put_be(out, 0, 4); // header extension
    int seq = 0;
    for (const s_test_point& p : test.points) {
        put_be(out, 5, 2);
        put_be(out, 8, 4), put_be(out, uint64_t(test_id), 8);
        put_be(out, 4, 4), put_be(out, uint32_t(seq++), 4);
        for (double v : {p.Frequency, p.Amplitude, p.Phase})
            put_be(out, 8, 4), put_be(out, std::bit_cast<uint64_t>(v), 8);
    }
    put_be(out, 0xffff, 2);
    return out;
}

bool copy_points(PGconn* conn, int64_t test_id, const s_test& test)
{
    pq_result start = pq_exec(conn, "COPY archive_point (test_id, seq, frequency, amplitude, "
                                    "phase) FROM STDIN (FORMAT binary)");
    if (PQresultStatus(start.get()) != PGRES_COPY_IN)
        return false;
    const std::string data = copy_data(test_id, test);
    const bool sent = PQputCopyData(conn, data.data(), int(data.size())) == 1;
    if (PQputCopyEnd(conn, sent ? nullptr : "the points could not be sent") != 1)
        return false;
    bool ok = sent;
    while (pq_wait_ready(conn)) {
        PGresult* r = PQgetResult(conn);
        if (!r)
            return ok;
        ok = ok && PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
    }
    return false;
}

// Inserts the test row; is_new is false when the archive holds it already.
bool insert_test(PGconn* conn, int64_t session, const s_session& s, const s_test& test,
                 const std::string& identity, int64_t& id, bool& is_new)
{
    pq_params insert;
    insert.binary(identity)
        .number(session)
        .text(ansi_to_utf8(test.Name))
        .text(ansi_to_utf8(test.Winding))
        .text(ansi_to_utf8(test.TestDescription))
        .text(date_text(s.year, s.month, s.day))
        .number(test.points.count());
    pq_result r = insert.exec(
        conn, "INSERT INTO archive_test (identity, session_id, name, winding, description, "
              "test_date, point_count) VALUES ($1, $2, $3, $4, $5, $6, $7) "
              "ON CONFLICT (identity) DO NOTHING RETURNING id");
    is_new = pq_ok(r) && PQntuples(r.get()) == 1;
    if (pq_ok(r) && !is_new)
        r = pq_params().binary(identity).exec(conn,
                                              "SELECT id FROM archive_test WHERE identity = $1");
    if (!pq_ok(r) || PQntuples(r.get()) != 1)
        return false;
    id = pq_int64(r, 0, 0);
    return true;
}

// Pushes one test in its own transaction; on failure error says why.
bool push_test(PGconn* conn, const s_session& s, const s_test& test, archive_pushed& out,
               std::string& error)
{
    const std::string session_identity = archive_session_identity(s);
    int64_t session = 0;
    const bool ok =
        pq_ok(pq_exec(conn, "BEGIN")) && session_id(conn, s, session_identity, session) &&
        insert_test(conn, session, s, test, archive_test_identity(session_identity, test),
                    out.archive_id, out.is_new) &&
        (!out.is_new || copy_points(conn, out.archive_id, test)) && pq_ok(pq_exec(conn, "COMMIT"));
    if (!ok) {
        error = pq_error(conn); // before the rollback clears it
        pq_exec(conn, "ROLLBACK");
    }
    return ok;
}

// Why a test cannot be archived as it is, or "" when it can: the archive
// keeps no date that is not in the calendar and no NUL character, and a
// test stored otherwise would come back as another.
std::string unstorable(const s_session& s, const s_test& test)
{
    if (!archive_valid_date(s.year, s.month, s.day))
        return "its session's date " + std::to_string(s.day) + "/" + std::to_string(s.month) + "/" +
               std::to_string(s.year) + " is not in the calendar: correct it in the test file";
    for (const std::string* text : {&s.Name, &s.Unit, &s.Location, &s.PerformedBy, &s.Comments,
                                    &test.Name, &test.Winding, &test.TestDescription})
        if (text->find('\0') != std::string::npos)
            return "a text of it or of its session holds a NUL character, which the archive "
                   "cannot keep: correct it in the test file";
    return {};
}

// What was refused, one line per test (the first NAMED_MOST of them), for
// the outcome's message.
struct refusals {
    static constexpr int NAMED_MOST = 20;
    int count = 0;
    std::string lines;

    void add(const s_test& test, const std::string& why)
    {
        if (++count > NAMED_MOST)
            return;
        std::string name = test.Name; // a NUL would end the message where it is shown
        std::replace(name.begin(), name.end(), '\0', '?');
        lines += "\nTest " + std::to_string(test.TestNo) + " (" + name + ") was not pushed: " + why;
    }
    archive_outcome outcome() const
    {
        if (count == 0)
            return {};
        const std::string more = count > NAMED_MOST
                                     ? "\nand " + std::to_string(count - NAMED_MOST) + " more"
                                     : std::string();
        return archive_outcome::fail(archive_status::refused,
                                     archive_tests_text(count) + " could not be archived:" + lines +
                                         more);
    }
};

} // namespace

archive_outcome archive_push(archive_connection& archive,
                             const std::vector<archive_local_session>& sessions,
                             std::vector<archive_pushed>& pushed, const archive_progress& progress)
{
    int total = 0;
    for (const archive_local_session& s : sessions)
        total += int(s.tests.size());
    int done = 0;
    const auto stopped = [&] {
        return (progress && !progress(done, total)) || archive.cancelled()
                   ? archive_outcome::fail(archive_status::cancelled,
                                           "The push was stopped after " + std::to_string(done) +
                                               " of " + std::to_string(total) + " tests")
                   : archive_outcome{};
    };
    // A test the archive cannot keep as it is, or that the server refuses,
    // is told, and the others are pushed; a lost link or Cancel ends it.
    refusals refused;
    for (const archive_local_session& s : sessions)
        for (const s_test& test : s.tests) {
            if (archive_outcome o = stopped(); !o.ok())
                return o;
            std::string why = unstorable(s.session, test);
            archive_pushed one{0, false, test.TestNo, s.session.Name, test.Name};
            if (why.empty() && push_test(archive.handle(), s.session, test, one, why))
                pushed.push_back(one);
            else if (archive.cancelled())
                return stopped();
            else if (PQstatus(archive.handle()) == CONNECTION_BAD)
                return archive_outcome::fail(archive_status::failed,
                                             "Test " + std::to_string(test.TestNo) + " (" +
                                                 test.Name + ") was not pushed: " + why +
                                                 refused.lines);
            else
                refused.add(test, why);
            ++done;
        }
    if (progress)
        progress(done, total); // the last step; nothing is left to stop
    return refused.outcome();
}
