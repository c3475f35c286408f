#pragma once
// One connection to the archive database, checked to hold an archive this
// program can read (or, for a push, made into one when it is empty).

#include "archive/archive_outcome.h"

#include <functional>
#include <string>

struct pg_conn;

enum class archive_use {
    read,  // search and pull: the archive must exist
    write, // push: an empty database gets the archive's tables
};

// The archive's schema version this program writes and reads.
constexpr int ARCHIVE_SCHEMA_VERSION = 1;

class archive_connection {
public:
    archive_connection() = default;
    ~archive_connection();
    archive_connection(const archive_connection&) = delete;
    archive_connection& operator=(const archive_connection&) = delete;

    // Connects to address (a password, when given, is used for this
    // connection only) and checks the schema for the use.
    archive_outcome open(const std::string& address, const std::string& password, archive_use use);
    void close();
    // Runs statement; when it fails because the link to the server was lost
    // (the server restarted while the connection was idle), makes the link
    // again and runs it once more.
    archive_outcome run_restoring(const std::function<archive_outcome()>& statement);
    bool is_open() const { return conn_ != nullptr; }
    pg_conn* handle() const { return conn_; }

private:
    pg_conn* conn_ = nullptr;
};
