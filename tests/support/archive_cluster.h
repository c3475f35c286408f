#pragma once
// A private PostgreSQL cluster for one test program: started on first use
// with scripts/archive-server (TARVELO_ARCHIVE_SERVER names it) in a
// temporary folder, stopped and removed when the program ends. Each test
// takes a fresh database in it. Tests skip, saying why, only where
// PostgreSQL's initdb is not installed.

#include "tests/support/cli_run.h"

#include <filesystem>
#include <glob.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sstream>
#include <string>

class archive_cluster {
public:
    static archive_cluster& shared()
    {
        static archive_cluster cluster;
        return cluster;
    }

    bool installed() const { return installed_; }
    bool running() const { return !uri_.empty(); }
    const std::string& failure() const { return failure_; }
    const std::string& dir() const { return dir_; }

    // The URI of database name in the cluster, over loopback TCP with the
    // cluster's password file.
    std::string uri(const std::string& name) const
    {
        std::string u = uri_;
        const size_t slash = u.find('/', u.find("@"));
        const size_t query = u.find('?');
        return u.substr(0, slash + 1) + name + u.substr(query);
    }
    // The same database over the cluster's Unix socket (no password).
    std::string socket_uri(const std::string& name) const
    {
        return "postgresql:///" + name + "?host=" + dir_ + "&port=" + port_ +
               "&user=tarvelo&options=-c%20client_min_messages%3Dwarning";
    }

    // A new empty database; its URI, or "" after a failed check.
    std::string fresh_database()
    {
        const std::string name = "t" + std::to_string(++databases_);
        return admin("CREATE DATABASE " + name) ? uri(name) : std::string();
    }

    // Runs sql in database name over the socket; false with a test failure.
    bool admin(const std::string& sql, const std::string& name = "postgres")
    {
        PGconn* conn = PQconnectdb(socket_uri(name).c_str());
        PGresult* r = PQexec(conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(r);
        const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
        EXPECT_TRUE(ok) << sql << ": " << PQerrorMessage(conn);
        PQclear(r);
        PQfinish(conn);
        return ok;
    }

    // The single value sql yields in database name.
    std::string value(const std::string& sql, const std::string& name)
    {
        PGconn* conn = PQconnectdb(socket_uri(name).c_str());
        PGresult* r = PQexec(conn, sql.c_str());
        std::string v = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1
                            ? PQgetvalue(r, 0, 0)
                            : "error: " + std::string(PQerrorMessage(conn));
        PQclear(r);
        PQfinish(conn);
        return v;
    }

    // Stops the server (fast: open sessions are ended) and starts it again.
    bool restart() { return script("stop").status == 0 && start(); }

    ~archive_cluster()
    {
        if (running())
            script("stop");
        if (!dir_.empty())
            std::filesystem::remove_all(dir_);
    }

private:
    archive_cluster()
    {
        glob_t found{};
        installed_ = ::glob("/usr/lib/postgresql/*/bin/initdb", 0, nullptr, &found) == 0;
        globfree(&found);
        if (!installed_)
            return;
        char pattern[] = "/tmp/tarvelo-archive-XXXXXX";
        if (!::mkdtemp(pattern)) {
            failure_ = "no temporary folder";
            return;
        }
        dir_ = pattern;
        start();
    }

    cli_output script(const std::string& action)
    {
        return run_command_line(std::string(TARVELO_ARCHIVE_SERVER) + " " + action + " " + dir_,
                                dir_ + "/script.err");
    }

    bool start()
    {
        const cli_output r = script("start");
        std::istringstream lines(r.out);
        std::string line, last;
        while (std::getline(lines, line))
            last = line;
        if (r.status != 0 || last.rfind("postgresql://", 0) != 0) {
            uri_.clear();
            failure_ = "scripts/archive-server start failed:\n" + r.out + r.err;
            return false;
        }
        uri_ = last;
        const size_t colon = uri_.find(':', uri_.find('@'));
        port_ = uri_.substr(colon + 1, uri_.find('/', colon) - colon - 1);
        return true;
    }

    bool installed_ = false;
    std::string dir_;
    std::string uri_;
    std::string port_;
    std::string failure_;
    int databases_ = 0;
};

// The shared cluster of the program, or a skip (PostgreSQL not installed)
// or a failure (installed, but it did not start).
#define ARCHIVE_CLUSTER_OR_SKIP(cluster)                                                           \
    archive_cluster& cluster = archive_cluster::shared();                                          \
    if (!cluster.installed())                                                                      \
        GTEST_SKIP() << "PostgreSQL's initdb is not installed (scripts/setup installs it)";        \
    ASSERT_TRUE(cluster.running()) << cluster.failure()
