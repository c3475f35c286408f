#include "archive/archive_pull.h"
#include "archive/archive_push.h"
#include "archive/archive_search.h"
#include "tests/archive/archive_fixture.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace {

class ArchiveStore : public archive_fixture {
protected:
    // Two sessions of three tests in file name.
    void fill(const std::string& name)
    {
        create(name);
        const int64_t a = archive_add_session("C-100", "T1", 2025, "Northfield");
        archive_add_test(a, "reference", "H1-H2", 300, 1.0);
        archive_add_test(a, "reference", "H2-H3", 300, 1.1);
        const int64_t b = archive_add_session("C-100", "T1", 2026, "Northfield");
        archive_add_test(b, "after fault", "H1-H2", 250, 1.5);
        db_close();
    }

    // Pushes every session of file name; the outcome, with pushed filled.
    archive_outcome push(const std::string& name, std::vector<archive_pushed>& pushed,
                         const archive_progress& progress = {})
    {
        EXPECT_TRUE(db_open(path(name), DB_OPEN_EXISTING));
        std::vector<archive_local_session> local;
        const archive_outcome read = archive_read_local({}, local);
        db_close();
        EXPECT_TRUE(read.ok()) << read.message;
        archive_connection archive;
        if (archive_outcome o = archive.open(url, "", archive_use::write); !o.ok())
            return o;
        return archive_push(archive, local, pushed, progress);
    }

    std::vector<int64_t> new_ids(const std::vector<archive_pushed>& pushed)
    {
        std::vector<int64_t> ids;
        for (const archive_pushed& p : pushed)
            if (p.is_new)
                ids.push_back(p.archive_id);
        return ids;
    }

    archive_outcome pull(const std::string& name, const std::vector<int64_t>& ids,
                         std::vector<archive_pulled>& pulled, const archive_progress& progress = {})
    {
        archive_connection archive;
        std::vector<archive_fetched> fetched;
        archive_outcome o = archive.open(url, "", archive_use::read);
        if (o.ok())
            o = archive_fetch(archive, ids, fetched);
        if (!o.ok())
            return o;
        bool is_new = false;
        EXPECT_TRUE(db_open(path(name), DB_OPEN_OR_CREATE, &is_new));
        o = archive_store_local(fetched, pulled, progress);
        db_close();
        return o;
    }
};

bool same_points(const s_test& a, const s_test& b)
{
    return a.points.count() == b.points.count() &&
           std::equal(a.points.begin(), a.points.end(), b.points.begin(),
                      [](const s_test_point& x, const s_test_point& y) {
                          return std::memcmp(&x, &y, sizeof x) == 0;
                      });
}

TEST_F(ArchiveStore, ATestIsArchivedOnceWhateverFileKeysOrSessionNotesItComesWith)
{
    fill("bench.db");
    std::vector<archive_pushed> stopped, first, again, copy;
    std::vector<int> steps;
    const archive_outcome o = push("bench.db", stopped, [&](int done, int total) {
        steps.push_back(done * 10 + total);
        return done < 1;
    });
    EXPECT_EQ(o.status, archive_status::cancelled);
    EXPECT_EQ(o.message, "The push was stopped after 1 of 3 tests");
    EXPECT_EQ(steps, (std::vector<int>{3, 13}));
    EXPECT_EQ(stopped.size(), 1u);
    EXPECT_EQ(count("archive_test"), 1);
    ASSERT_TRUE(push("bench.db", first).ok());
    ASSERT_EQ(new_ids(first).size(), 2u); // the stopped push kept its one test
    const int64_t points = count("archive_point");
    EXPECT_EQ(points, 850);
    EXPECT_EQ(count("archive_session"), 2);

    ASSERT_TRUE(push("bench.db", again).ok());
    // A copy of the file whose tests have other keys (one test deleted and
    // stored again gives it a new TestNo) and whose session's notes were
    // edited: the archive takes the notes.
    std::filesystem::copy_file(path("bench.db"), path("copy.db"));
    ASSERT_TRUE(db_open(path("copy.db"), DB_OPEN_EXISTING));
    s_test moved;
    ASSERT_EQ(db_get_test(moved, 1, true), 0);
    ASSERT_EQ(db_delete_test(1), 0);
    ASSERT_TRUE(db_store_test(moved));
    EXPECT_NE(moved.TestNo, 1);
    s_session notes;
    notes.SessionNo = moved.SessionNo;
    ASSERT_EQ(db_get_session(notes), 0);
    notes.Comments = "edited";
    ASSERT_EQ(db_save_session(notes, true), 0);
    db_close();
    ASSERT_TRUE(push("copy.db", copy).ok());
    for (const auto* run : {&again, &copy}) {
        EXPECT_TRUE(new_ids(*run).empty());
        EXPECT_EQ(run->size(), 3u);
    }
    EXPECT_EQ(count("archive_test"), 3);
    EXPECT_EQ(count("archive_point"), points);
    EXPECT_EQ(count("archive_session"), 2);
    EXPECT_EQ(count("archive_session WHERE comments = 'edited'"), 1);
}

TEST_F(ArchiveStore, PulledTestsEqualTheOriginalsBitForBitInMatchingSessions)
{
    fill("bench.db");
    std::vector<archive_pushed> pushed;
    ASSERT_TRUE(push("bench.db", pushed).ok());
    std::vector<archive_pulled> pulled, again;
    // A pull stopped while storing stores none of its tests.
    const auto stop = [](int done, int) { return done < 2; };
    EXPECT_EQ(pull("empty.db", new_ids(pushed), pulled, stop).status, archive_status::cancelled);
    ASSERT_TRUE(pull("empty.db", new_ids(pushed), pulled).ok());
    ASSERT_EQ(pulled.size(), 3u);
    EXPECT_TRUE(std::all_of(pulled.begin(), pulled.end(), [](auto& p) { return p.is_new; }));
    // Pulled a second time: the file holds them already.
    ASSERT_TRUE(pull("empty.db", new_ids(pushed), again).ok());
    for (const archive_pulled& p : again)
        EXPECT_FALSE(p.is_new);

    ASSERT_TRUE(db_open(path("bench.db"), DB_OPEN_EXISTING));
    std::vector<std::pair<s_session, s_test>> originals;
    for (const archive_pushed& p : pushed) {
        s_test t;
        ASSERT_EQ(db_get_test(t, p.test_no, true), 0);
        s_session s;
        s.SessionNo = t.SessionNo;
        ASSERT_EQ(db_get_session(s), 0);
        originals.emplace_back(s, t);
    }
    db_close();
    ASSERT_TRUE(db_open(path("empty.db"), DB_OPEN_EXISTING));
    std::vector<int64_t> sessions;
    for (size_t i = 0; i < pulled.size(); ++i) {
        s_test t;
        ASSERT_EQ(db_get_test(t, pulled[i].test_no, true), 0);
        s_session s;
        s.SessionNo = t.SessionNo;
        ASSERT_EQ(db_get_session(s), 0);
        const auto& [os, ot] = originals[i];
        EXPECT_EQ(
            std::tie(s.Name, s.Unit, s.year, s.month, s.day, s.Location, s.PerformedBy, s.Comments),
            std::tie(os.Name, os.Unit, os.year, os.month, os.day, os.Location, os.PerformedBy,
                     os.Comments));
        EXPECT_EQ(std::tie(t.Name, t.Winding, t.TestDescription),
                  std::tie(ot.Name, ot.Winding, ot.TestDescription));
        EXPECT_TRUE(same_points(t, ot)) << t.Name;
        sessions.push_back(t.SessionNo);
    }
    // The two tests of one session land in one session.
    EXPECT_EQ(sessions[0], sessions[1]);
    EXPECT_NE(sessions[0], sessions[2]);
    db_close();
}

TEST_F(ArchiveStore, SearchFiltersOnEveryFieldIgnoringCase)
{
    fill("bench.db");
    std::vector<archive_pushed> pushed;
    ASSERT_TRUE(push("bench.db", pushed).ok());
    using field = std::string archive_filter::*;
    const struct {
        std::vector<std::pair<field, std::string>> set;
        int limit;
        std::vector<std::string> tests; // name/winding, oldest first
    } cases[] = {
        {{}, 0, {"reference/H1-H2", "reference/H2-H3", "after fault/H1-H2"}},
        {{{&archive_filter::contract, "c-100"}},
         0,
         {"reference/H1-H2", "reference/H2-H3", "after fault/H1-H2"}},
        {{{&archive_filter::contract, "C-10"}}, 0, {}},
        {{{&archive_filter::unit, "t1"}, {&archive_filter::winding, "h1-h2"}},
         0,
         {"reference/H1-H2", "after fault/H1-H2"}},
        {{{&archive_filter::location, "Southfield"}}, 0, {}},
        {{{&archive_filter::test_name, "After Fault"}}, 0, {"after fault/H1-H2"}},
        {{{&archive_filter::from, "2026-01-01"}}, 0, {"after fault/H1-H2"}},
        {{{&archive_filter::to, "2025-03-14"}}, 0, {"reference/H1-H2", "reference/H2-H3"}},
        {{{&archive_filter::from, "2025-03-15"}, {&archive_filter::to, "2026-03-13"}}, 0, {}},
        {{}, 1, {"reference/H1-H2"}},
    };
    archive_connection archive;
    ASSERT_TRUE(archive.open(url, "", archive_use::read).ok());
    for (const auto& c : cases) {
        archive_filter filter;
        std::string described;
        for (const auto& [member, value] : c.set)
            filter.*member = value, described += value + " ";
        filter.limit = c.limit;
        std::vector<archive_found> found;
        ASSERT_TRUE(archive_search(archive, filter, found).ok());
        std::vector<std::string> names;
        for (const archive_found& f : found)
            names.push_back(f.test_name + "/" + f.winding);
        EXPECT_EQ(names, c.tests) << described << c.limit;
    }
    std::vector<archive_found> found;
    archive_filter bad_date;
    bad_date.from = "14/03/2025";
    const archive_outcome bad = archive_search(archive, bad_date, found);
    EXPECT_EQ(bad.status, archive_status::refused);
    EXPECT_NE(bad.message.find("YYYY-MM-DD"), std::string::npos);
}

TEST_F(ArchiveStore, TwoBenchesPushingTheSameTestsAtOnceStoreThemOnce)
{
    fill("bench.db");
    std::filesystem::copy_file(path("bench.db"), path("other.db"));
    std::vector<archive_pushed> a, b;
    archive_outcome oa, ob;
    // Each reads its file first (one database connection per process).
    std::vector<archive_local_session> la, lb;
    ASSERT_TRUE(db_open(path("bench.db"), DB_OPEN_EXISTING));
    ASSERT_TRUE(archive_read_local({}, la).ok());
    db_close();
    ASSERT_TRUE(db_open(path("other.db"), DB_OPEN_EXISTING));
    ASSERT_TRUE(archive_read_local({}, lb).ok());
    db_close();
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(archive_cluster::shared().admin(
            "DROP SCHEMA public CASCADE; CREATE SCHEMA public", database));
        a.clear(), b.clear();
        auto run = [&](std::vector<archive_local_session>& local, std::vector<archive_pushed>& out,
                       archive_outcome& o) {
            archive_connection archive;
            o = archive.open(url, "", archive_use::write);
            if (o.ok())
                o = archive_push(archive, local, out);
        };
        std::thread first(run, std::ref(la), std::ref(a), std::ref(oa));
        std::thread second(run, std::ref(lb), std::ref(b), std::ref(ob));
        first.join(), second.join();
        ASSERT_TRUE(oa.ok()) << oa.message;
        ASSERT_TRUE(ob.ok()) << ob.message;
        EXPECT_EQ(new_ids(a).size() + new_ids(b).size(), 3u);
        EXPECT_EQ(count("archive_test"), 3);
        EXPECT_EQ(count("archive_session"), 2);
        EXPECT_EQ(count("archive_point"), 850);
    }
}

TEST_F(ArchiveStore, AnArchiveItCannotUseIsRefusedAndNothingChangesLocally)
{
    fill("bench.db");
    std::vector<archive_pushed> pushed;
    ASSERT_TRUE(push("bench.db", pushed).ok());
    archive_cluster& cluster = archive_cluster::shared();
    const std::string foreign = cluster.fresh_database();
    const std::string foreign_name = archive_database_name(foreign);
    ASSERT_TRUE(cluster.admin("CREATE TABLE invoices (id int)", foreign_name));
    const std::string newer = cluster.fresh_database();
    const std::string newer_name = archive_database_name(newer);
    ASSERT_TRUE(db_open(path("bench.db"), DB_OPEN_EXISTING));
    std::vector<archive_local_session> local;
    ASSERT_TRUE(archive_read_local({}, local).ok());
    db_close();
    {
        archive_connection archive;
        ASSERT_TRUE(archive.open(newer, "", archive_use::write).ok());
        ASSERT_TRUE(cluster.admin("UPDATE archive_version SET version = 3", newer_name));
    }
    const std::string versionless = cluster.fresh_database();
    {
        archive_connection archive;
        ASSERT_TRUE(archive.open(versionless, "", archive_use::write).ok());
        ASSERT_TRUE(
            cluster.admin("DELETE FROM archive_version", archive_database_name(versionless)));
    }
    const std::string empty = cluster.fresh_database();
    const std::string without_password = url.substr(0, url.find('?'));
    const struct {
        std::string address;
        archive_use use;
        archive_status status;
        const char* says;
    } cases[] = {
        {"postgresql://tarvelo@127.0.0.1:1/archive", archive_use::read, archive_status::unreachable,
         "cannot be reached"},
        {without_password + "?password=wrong", archive_use::read, archive_status::unreachable,
         "password authentication failed"},
        {without_password, archive_use::read, archive_status::needs_password,
         "asks for a password"},
        {foreign, archive_use::write, archive_status::refused, "other tables and no archive"},
        {newer, archive_use::read, archive_status::refused, "newer version (3)"},
        {newer, archive_use::write, archive_status::refused, "newer version (3)"},
        {empty, archive_use::read, archive_status::refused, "no archive yet"},
        {versionless, archive_use::write, archive_status::refused, "not an archive"},
        {"host=127.0.0.1 port=notaport", archive_use::read, archive_status::unreachable, "port"},
    };
    ::setenv("PGPASSFILE", "/nonexistent", 1);
    for (const auto& c : cases) {
        archive_connection archive;
        const archive_outcome o = archive.open(c.address, "", c.use);
        EXPECT_EQ(o.status, c.status) << c.address << ": " << o.message;
        EXPECT_NE(o.message.find(c.says), std::string::npos) << o.message;
        EXPECT_FALSE(archive.is_open());
    }
    ::unsetenv("PGPASSFILE");
    EXPECT_EQ(
        cluster.value("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'", foreign_name),
        "1");
    EXPECT_EQ(cluster.value("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'",
                            archive_database_name(empty)),
              "0");
    // A test the archive does not hold: nothing is fetched, the file stays.
    const std::string before = read_file("bench.db");
    std::vector<archive_pulled> pulled;
    const archive_outcome o = pull("bench.db", {new_ids(pushed)[0], 999999}, pulled);
    EXPECT_EQ(o.status, archive_status::refused);
    EXPECT_NE(o.message.find("no test 999999"), std::string::npos);
    EXPECT_EQ(read_file("bench.db"), before);
}

// Every byte of the program's texts comes back as itself; a test the
// archive cannot keep as it is, or that the server refuses, is named and
// the others are pushed; the server's warnings reach the caller, not stderr.
TEST_F(ArchiveStore, EveryTextTravelsAsItIsAndARefusedTestStopsNoOther)
{
    archive_connection archive;
    ASSERT_TRUE(archive.open(url, "", archive_use::write).ok());
    ASSERT_TRUE(archive_cluster::shared().admin(
        "CREATE FUNCTION screen() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE WARNING "
        "'screened'; IF NEW.name = 'kept out' THEN RAISE EXCEPTION 'kept out by the lab'; END "
        "IF; RETURN NEW; END $$; CREATE TRIGGER screen BEFORE INSERT ON archive_test FOR EACH "
        "ROW EXECUTE FUNCTION screen()",
        database));
    std::string every_byte;
    for (int b = 0x80; b <= 0xA0; ++b)
        every_byte += char(b);
    const struct {
        std::string name;
        int day;
        const char* refused; // why, or "" when pushed
    } cases[] = {
        {every_byte, 14, ""},
        {"leap", 30, "date 30/2/2023 is not in the calendar"},
        {std::string("nul\0x", 5), 14, "holds a NUL character"},
        {"kept out", 14, "kept out by the lab"},
        {"H\x81\x8d\x8f\x90\x9d", 14, ""},
    };
    std::vector<archive_local_session> local;
    for (const auto& c : cases) {
        archive_local_session& s = local.emplace_back();
        s.session = {0, "C-\x80", "T\xe4", 2023, 2, c.day, "N", "R", ""};
        s.tests.resize(1);
        s.tests[0].Name = c.name;
    }
    std::vector<archive_pushed> pushed, again;
    testing::internal::CaptureStderr();
    const archive_outcome o = archive_push(archive, local, pushed);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(o.status, archive_status::refused);
    EXPECT_EQ(o.message.rfind("3 tests could not be archived:", 0), 0u) << o.message;
    for (const auto& c : cases)
        EXPECT_NE(o.message.find(c.refused), std::string::npos) << o.message;
    ASSERT_EQ(new_ids(pushed).size(), 2u);
    EXPECT_EQ(archive.take_notices(), std::vector<std::string>(3, "screened"));
    EXPECT_EQ(
        archive_cluster::shared().value(
            "SELECT encode(convert_to(name, 'UTF8'), 'hex') FROM archive_test WHERE name LIKE 'H%'",
            database),
        "48c281c28dc28fc290c29d");
    // Pulled and pushed again, they are the tests they were.
    std::vector<archive_pulled> pulled;
    ASSERT_TRUE(pull("pulled.db", new_ids(pushed), pulled).ok());
    ASSERT_TRUE(push("pulled.db", again).ok());
    EXPECT_EQ(again.size(), 2u);
    EXPECT_TRUE(new_ids(again).empty());
}

// An archive of the former version (identities over the notes too, so one
// test archived twice) is searched as it is and brought up to date by its
// owner's push: the twice-archived test is one again, and the file's tests
// are found archived.
TEST_F(ArchiveStore, AnArchiveOfTheFormerVersionIsBroughtUpToDateByItsOwner)
{
    fill("bench.db");
    std::vector<archive_pushed> pushed;
    ASSERT_TRUE(push("bench.db", pushed).ok());
    archive_cluster& cluster = archive_cluster::shared();
    // Version 1's identities, and a test archived again under edited notes.
    ASSERT_TRUE(cluster.admin(
        "UPDATE archive_version SET version = 1;"
        "UPDATE archive_session SET identity = sha256(identity);"
        "UPDATE archive_test SET identity = sha256(identity);"
        "INSERT INTO archive_session (identity, contract, unit, session_date, location, "
        "performed_by, comments) SELECT '\\x01', contract, unit, session_date, location, "
        "performed_by, 'edited' FROM archive_session WHERE id = 1;"
        "INSERT INTO archive_test (identity, session_id, name, winding, description, test_date, "
        "point_count) SELECT '\\x02', currval('archive_session_id_seq'), name, winding, "
        "description, test_date, point_count FROM archive_test WHERE id = 1;"
        "INSERT INTO archive_point SELECT currval('archive_test_id_seq'), seq, frequency, "
        "amplitude, phase FROM archive_point WHERE test_id = 1",
        database))
        << cluster.last_error();
    std::vector<archive_found> found;
    archive_connection reader;
    ASSERT_TRUE(reader.open(url, "", archive_use::read).ok());
    EXPECT_TRUE(archive_search(reader, {}, found).ok() && found.size() == 4u);
    std::vector<archive_pushed> again;
    ASSERT_TRUE(push("bench.db", again).ok());
    EXPECT_TRUE(new_ids(again).empty());
    EXPECT_EQ(count("archive_test"), 3);
    EXPECT_EQ(count("archive_session"), 2);
    EXPECT_EQ(count("archive_point"), 850);
    EXPECT_EQ(cluster.value("SELECT max(version) FROM archive_version", database), "2");
}

} // namespace
