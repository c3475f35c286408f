// The archive under faults: a server that stops answering mid-exchange.

#include "archive/archive_pull.h"
#include "archive/archive_push.h"
#include "archive/archive_search.h"
#include "tests/archive/archive_fixture.h"
#include "tests/support/build_path.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using exchange = std::function<archive_outcome(archive_connection&, int round)>;

std::vector<archive_local_session> one_test(int round)
{
    archive_local_session s;
    s.session.Name = "C-7";
    s.session.Unit = "T7";
    s.session.year = 2026, s.session.month = 1, s.session.day = 5;
    s.tests.resize(1);
    s.tests[0].Name = "run";
    for (int i = 0; i < 500; ++i) {
        const s_test_point p{100.0 + i, double(round), 0.5};
        test_add_point(s.tests[0], &p);
    }
    return {s};
}

int64_t ms_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

class ArchiveFaults : public archive_fixture {};

// Search, push and pull against a server whose process was stopped: Cancel
// ends each within a second, and without Cancel the reply limit does; the
// connection is not made again behind the user's back.
TEST_F(ArchiveFaults, AServerThatStopsAnsweringHoldsNoExchange)
{
    std::vector<archive_pushed> pushed;
    {
        archive_connection archive;
        ASSERT_TRUE(archive.open(url, "", archive_use::write).ok());
        ASSERT_TRUE(archive_push(archive, one_test(0), pushed).ok());
    }
    const std::vector<std::pair<const char*, exchange>> exchanges = {
        {"search",
         [](archive_connection& a, int) {
             std::vector<archive_found> found;
             return a.run_restoring([&] { return archive_search(a, {}, found); });
         }},
        {"push",
         [](archive_connection& a, int round) {
             std::vector<archive_pushed> out;
             return archive_push(a, one_test(round), out);
         }},
        {"pull",
         [&](archive_connection& a, int) {
             std::vector<archive_fetched> fetched;
             return a.run_restoring(
                 [&] { return archive_fetch(a, {pushed.at(0).archive_id}, fetched); });
         }},
    };
    int round = 0;
    for (const auto& [name, run] : exchanges)
        for (const bool by_cancel : {true, false}) {
            SCOPED_TRACE(std::string(name) + (by_cancel ? " cancelled" : " timed out"));
            archive_connection archive;
            ASSERT_TRUE(archive.open(url, "", archive_use::write).ok());
            archive.set_reply_limit_ms(by_cancel ? 60000 : 1000);
            std::atomic<bool> cancel{false};
            const archive_cancel_scope scope(archive, cancel);
            const archive_frozen_backends frozen(archive_cluster::shared(), database);
            ASSERT_EQ(frozen.count(), 1u);
            std::thread user([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                cancel = by_cancel;
            });
            const auto start = std::chrono::steady_clock::now();
            const archive_outcome outcome = run(archive, ++round);
            const int64_t took = ms_since(start);
            user.join();
            EXPECT_FALSE(outcome.ok());
            EXPECT_NE(outcome.message.find(by_cancel ? "stopped" : "did not answer within 1 s"),
                      std::string::npos)
                << outcome.message;
            EXPECT_LT(took, by_cancel ? 1300 : 2000);
        }
    EXPECT_EQ(count("archive_test"), 1) << "a push cut short left a test behind";
}

// scripts/archive-server takes no folder that holds anything but its own
// cluster: the folder and its files stay as they were.
TEST_F(ArchiveFaults, TheServerScriptRefusesAFolderThatHoldsOtherFiles)
{
    const std::string folder = path("notes");
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/notes.txt") << "lab notes\n";
    const auto mode = std::filesystem::status(folder).permissions();
    const cli_output r = run_command_line(std::string(TARVELO_ARCHIVE_SERVER) + " start " + folder,
                                          path("server.err"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("holds other files and no archive cluster"), std::string::npos) << r.err;
    EXPECT_EQ(std::filesystem::status(folder).permissions(), mode);
    EXPECT_FALSE(std::filesystem::exists(folder + "/data"));
}

// A host that is not loopback is reached over TLS, however the address,
// the environment or a service file name it. The cluster has no TLS, and
// "::ffff:127.0.0.1" reaches it over loopback under a name that is not.
TEST_F(ArchiveFaults, ALinkOffLoopbackWithoutTlsIsRefusedWhereverItsHostCameFrom)
{
    const std::string dir = archive_cluster::shared().dir();
    std::ifstream port_file(dir + "/port");
    std::ifstream password_file(dir + "/password");
    std::string port, password;
    port_file >> port;
    password_file >> password;
    const std::string passfile = path("pgpass");
    std::ofstream(passfile) << "*:*:*:tarvelo:" << password << "\n";
    std::filesystem::permissions(passfile, std::filesystem::perms::owner_read);
    const std::string rest =
        " port=" + port + " dbname=" + database + " user=tarvelo passfile=" + passfile;
    const std::string services = path("services.conf");
    std::ofstream(services) << "[lab]\nhost=::ffff:127.0.0.1\nsslmode=disable\nport=" << port
                            << "\ndbname=" << database << "\nuser=tarvelo\npassfile=" << passfile
                            << "\n";
    struct route {
        const char* name;
        std::string address;
        const char* pghost; // the environment's host, or none
        bool accepted;
    };
    const route routes[] = {
        {"loopback", url, nullptr, true},
        {"address", "host=::ffff:127.0.0.1 sslmode=disable" + rest, nullptr, false},
        {"environment", rest, "::ffff:127.0.0.1", false},
        {"service file", "service=lab", nullptr, false},
    };
    ::setenv("PGSERVICEFILE", services.c_str(), 1);
    for (const route& r : routes) {
        SCOPED_TRACE(r.name);
        if (r.pghost)
            ::setenv("PGHOST", r.pghost, 1);
        archive_connection archive;
        const archive_outcome o = archive.open(r.address, "", archive_use::write);
        ::unsetenv("PGHOST");
        EXPECT_EQ(o.ok(), r.accepted) << o.message;
        EXPECT_EQ(o.message.find("was reached without TLS") != std::string::npos, !r.accepted)
            << o.message;
    }
    ::unsetenv("PGSERVICEFILE");
}

} // namespace
