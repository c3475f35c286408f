#pragma once
// One connection to the archive database, checked to hold an archive this
// program can read (or, for a push, made into one when it is empty).

#include "archive/archive_outcome.h"
#include "archive/archive_pq.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// Called before the first test (done 0) and after each, with how many are
// done of how many; false stops the work there.
using archive_progress = std::function<bool(int done, int total)>;

enum class archive_use {
    read,  // search and pull: the archive must exist
    write, // push: an empty database gets the archive's tables
};

// The archive's schema version this program writes and reads.
constexpr int ARCHIVE_SCHEMA_VERSION = 2;

class archive_connection {
public:
    archive_connection();
    ~archive_connection();
    archive_connection(const archive_connection&) = delete;
    archive_connection& operator=(const archive_connection&) = delete;

    // Connects to address (a password, when given, is used for this
    // connection only) and checks the schema for the use. A host that is
    // not loopback or a Unix socket must have been reached over TLS.
    archive_outcome open(const std::string& address, const std::string& password, archive_use use);
    void close();
    // Runs statement; when it fails because the link to the server was lost
    // (the server restarted while the connection was idle), makes the link
    // again and runs it once more (not after a cancel).
    archive_outcome run_restoring(const std::function<archive_outcome()>& statement);
    bool is_open() const { return conn_ != nullptr; }
    pg_conn* handle() const { return conn_; }

    // While set, the connection's waits end when cancel turns true: a
    // running statement within about a second, its failure then saying so.
    void set_cancel(const std::atomic<bool>* cancel) { waiting_.cancel = cancel; }
    bool cancelled() const { return waiting_.cancel && waiting_.cancel->load(); }
    // What the server warned or noted since the last call (Windows-1252
    // texts), for the caller to tell with its own messages.
    std::vector<std::string> take_notices();
    // The longest wait for a byte from the server (tests shorten it).
    void set_reply_limit_ms(int ms) { reply_limit_ms_ = waiting_.limit_ms = ms; }

private:
    bool reset();

    pg_conn* conn_ = nullptr;
    pq_waiting waiting_;
    int connect_limit_ms_ = 0;
    int reply_limit_ms_;
    std::vector<std::string> notices_;
};

// Points the connection's waits at cancel for as long as it lives.
class archive_cancel_scope {
public:
    archive_cancel_scope(archive_connection& archive, const std::atomic<bool>& cancel)
        : archive_(archive)
    {
        archive_.set_cancel(&cancel);
    }
    ~archive_cancel_scope() { archive_.set_cancel(nullptr); }
    archive_cancel_scope(const archive_cancel_scope&) = delete;
    archive_cancel_scope& operator=(const archive_cancel_scope&) = delete;

private:
    archive_connection& archive_;
};
