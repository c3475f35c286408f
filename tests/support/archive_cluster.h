#pragma once
// A PostgreSQL cluster for the archive's tests and benchmarks. shared() is
// the cluster CTest started for the whole run in TARVELO_ARCHIVE_CLUSTER_DIR
// when one runs there, else one this program starts on first use with
// scripts/archive-server (TARVELO_ARCHIVE_SERVER names it) in a temporary
// folder and stops and removes at exit; own() is always the program's own
// (for a test that restarts its server). Each test or benchmark takes a
// fresh database in it.

#include "tests/support/build_path.h"
#include "tests/support/cli_run.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <glob.h>
#include <libpq-fe.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

class archive_cluster {
public:
    static archive_cluster& shared()
    {
#ifdef TARVELO_ARCHIVE_CLUSTER_DIR
        static archive_cluster ctest_cluster(TARVELO_ARCHIVE_CLUSTER_DIR);
        if (ctest_cluster.running())
            return ctest_cluster;
#endif
        return own();
    }
    static archive_cluster& own()
    {
        static archive_cluster cluster;
        return cluster;
    }

    bool installed() const
    {
        return installed_;
    }
    bool running() const
    {
        return !uri_.empty();
    }
    const std::string& failure() const
    {
        return failure_;
    }
    const std::string& dir() const
    {
        return dir_;
    }
    const std::string& last_error() const
    {
        return last_error_;
    }

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
        // Unique among the programs that share one cluster.
        const std::string name =
            "t" + std::to_string(::getpid()) + "_" + std::to_string(++databases_);
        return admin("CREATE DATABASE " + name) ? uri(name) : std::string();
    }

    // Runs sql in database name over the socket; false, with why in
    // last_error(), when it failed.
    bool admin(const std::string& sql, const std::string& name = "postgres")
    {
        PGconn* conn = PQconnectdb(socket_uri(name).c_str());
        PGresult* r = PQexec(conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(r);
        const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
        last_error_ = ok ? std::string() : sql + ": " + PQerrorMessage(conn);
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

    // The server processes that serve the program's own connections
    // (application tarvelo2) to database name.
    std::vector<pid_t> program_backends(const std::string& name)
    {
        std::istringstream pids(value("SELECT coalesce(string_agg(pid::text, ' '), '') FROM "
                                      "pg_stat_activity WHERE application_name = 'tarvelo2' "
                                      "AND datname = '" +
                                          name + "'",
                                      "postgres"));
        std::vector<pid_t> found;
        for (pid_t pid = 0; pids >> pid;)
            found.push_back(pid);
        return found;
    }

    // True when one of the program's connections to database name waits
    // for a lock.
    bool program_waits_for_lock(const std::string& name)
    {
        return value("SELECT count(*) FROM pg_stat_activity WHERE application_name = 'tarvelo2' "
                     "AND wait_event_type = 'Lock' AND datname = '" +
                         name + "'",
                     "postgres") != "0";
    }

    // Stops the server (fast: open sessions are ended) and starts it again.
    bool restart()
    {
        return script("stop").status == 0 && start();
    }

    ~archive_cluster()
    {
        if (!owned_)
            return;
        if (running())
            script("stop");
        if (!dir_.empty())
            std::filesystem::remove_all(dir_);
    }

private:
    // The cluster running in dir, if one does (not stopped at exit).
    explicit archive_cluster(const std::string& dir) : installed_(true), owned_(false), dir_(dir)
    {
        std::ifstream port(dir + "/port");
        if (!(port >> port_))
            return;
        PGconn* conn = PQconnectdb(socket_uri("postgres").c_str());
        if (PQstatus(conn) == CONNECTION_OK)
            uri_ =
                "postgresql://tarvelo@127.0.0.1:" + port_ + "/archive?passfile=" + dir + "/pgpass";
        PQfinish(conn);
    }

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
    bool owned_ = true;
    std::string dir_;
    std::string uri_;
    std::string port_;
    std::string failure_;
    std::string last_error_;
    int databases_ = 0;
};

// The shared cluster of the program, or a skip saying why (PostgreSQL not
// installed) or a failure (installed, but it did not start).
#define ARCHIVE_CLUSTER_OR_SKIP(cluster)                                                           \
    archive_cluster& cluster = archive_cluster::shared();                                          \
    if (!cluster.installed())                                                                      \
        GTEST_SKIP() << "PostgreSQL's initdb is not installed (scripts/setup installs it)";        \
    ASSERT_TRUE(cluster.running()) << cluster.failure()

// The database a URI of the cluster names.
inline std::string archive_database_name(const std::string& uri)
{
    const size_t slash = uri.rfind('/', uri.find('?'));
    return uri.substr(slash + 1, uri.find('?') - slash - 1);
}

// A server that stops answering: the processes serving the program's
// connections to a database are stopped (SIGSTOP) while this lives, and go
// on again when it ends.
class archive_frozen_backends {
public:
    archive_frozen_backends(archive_cluster& cluster, const std::string& database)
        : pids_(cluster.program_backends(database))
    {
        for (pid_t pid : pids_)
            ::kill(pid, SIGSTOP);
    }
    ~archive_frozen_backends()
    {
        for (pid_t pid : pids_)
            ::kill(pid, SIGCONT);
    }
    archive_frozen_backends(const archive_frozen_backends&) = delete;
    archive_frozen_backends& operator=(const archive_frozen_backends&) = delete;
    size_t count() const { return pids_.size(); }

private:
    std::vector<pid_t> pids_;
};

// A table of a database locked against every use in a transaction of the
// test's own until released, so the program's next statement on it waits.
class archive_table_lock {
public:
    archive_table_lock(const archive_cluster& cluster, const std::string& database,
                       const std::string& table)
        : conn_(PQconnectdb(cluster.socket_uri(database).c_str()))
    {
        PQclear(PQexec(conn_, "BEGIN"));
        PQclear(PQexec(conn_, ("LOCK TABLE " + table + " IN ACCESS EXCLUSIVE MODE").c_str()));
    }
    ~archive_table_lock() { release(); }
    archive_table_lock(const archive_table_lock&) = delete;
    archive_table_lock& operator=(const archive_table_lock&) = delete;

    void release()
    {
        if (conn_)
            PQfinish(conn_); // the transaction ends with its connection
        conn_ = nullptr;
    }

private:
    PGconn* conn_;
};
