#include "db/db_connection.h"

#include "base/text_file.h"
#include "base/ui_seam.h"
#include "db/db_error.h"
#include "db/db_schema.h"
#include "db/db_statement.h"

#include <cstdio>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

struct cached_statement {
    sqlite3_stmt* stmt = nullptr;
    bool busy = false;
};

struct db_state {
    sqlite3* handle = nullptr;
    bool open = false;
    bool last_open_foreign = false;
    std::string path;
    std::unordered_map<std::string, cached_statement> cache;
};

db_state& state()
{
    static db_state s;
    return s;
}

// How long a statement waits for another program's lock on the file before
// it fails with "Database file is locked".
constexpr int BUSY_WAIT_MS = 3000;

bool file_exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// The library reads a name starting with "file:" as a URI (whose options
// could even make it a private memory database) and ":memory:" as no file
// at all. A relative name is given with its "./" so that it is always the
// file it names.
std::string plain_path(const std::string& path)
{
    return path.front() == '/' ? path : "./" + path;
}

// The bytes of a new test database: the schema made in memory.
bool new_database_image(std::string& bytes)
{
    sqlite3* memory = nullptr;
    bool made =
        sqlite3_open(":memory:", &memory) == SQLITE_OK && db_create_schema(memory) == SQLITE_OK;
    sqlite3_int64 size = 0;
    unsigned char* image = made ? sqlite3_serialize(memory, "main", &size, 0) : nullptr;
    made = image != nullptr;
    if (made)
        bytes.assign(reinterpret_cast<const char*>(image), static_cast<size_t>(size));
    sqlite3_free(image);
    sqlite3_close(memory);
    return made;
}

// Makes the new file whole or not at all, failing when anything already has
// the name, so that an existing file is never taken for a new one.
bool make_new_file(const std::string& path)
{
    std::string bytes;
    const bool made =
        new_database_image(bytes) && file_write_new(path, [&bytes](const std::string& temporary) {
            return file_put_bytes(temporary, bytes);
        });
    if (!made)
        db_report_error_code(SQLITE_CANTOPEN);
    return made;
}

int exec_on(sqlite3* handle, const char* sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(handle, sql, nullptr, nullptr, &error);
    sqlite3_free(error);
    return rc;
}

// Opening ends here when the file is no usable test database; whatever was
// open before stays open.
bool fail_open(sqlite3* handle, const std::string& path, bool delete_file)
{
    sqlite3_close(handle);
    if (delete_file)
        std::remove(path.c_str());
    return false;
}

// Another program holding the file is no reason to call it foreign.
bool busy(int code)
{
    return (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED;
}

} // namespace

sqlite3* db_handle()
{
    return state().handle;
}

sqlite3_stmt* db_prepare_cached(const std::string& sql, int& code)
{
    db_state& s = state();
    if (!s.open) {
        code = -1;
        return nullptr;
    }
    cached_statement& entry = s.cache[sql];
    if (!entry.stmt) {
        code = sqlite3_prepare_v3(s.handle, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &entry.stmt,
                                  nullptr);
        if (code != SQLITE_OK) {
            s.cache.erase(sql);
            return nullptr;
        }
    }
    if (entry.busy) {
        code = SQLITE_MISUSE;
        return nullptr;
    }
    entry.busy = true;
    code = SQLITE_OK;
    return entry.stmt;
}

void db_release_cached(sqlite3_stmt* stmt)
{
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    for (auto& [sql, entry] : state().cache)
        if (entry.stmt == stmt)
            entry.busy = false;
}

bool db_open(const std::string& path, int mode, bool* is_new)
{
    state().last_open_foreign = false;
    if (is_new)
        *is_new = false;
    if (mode != DB_OPEN_OR_CREATE && mode != DB_OPEN_EXISTING) {
        db_close();
        return false;
    }
    if (const char* refusal = db_path_refusal(path)) {
        ui_message_box(nullptr, refusal, "Database Error", MB_OK | MB_ICONWARNING);
        return false;
    }
    const std::string file = plain_path(path);
    const bool fresh = mode == DB_OPEN_OR_CREATE && is_new && !file_exists(file);
    if (fresh && !make_new_file(file))
        return false;
    if (is_new)
        *is_new = fresh;
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        db_report_error_code(sqlite3_errcode(handle));
        return fail_open(handle, file, fresh);
    }
    sqlite3_busy_timeout(handle, BUSY_WAIT_MS);
    // A test database has all three tables.
    const int check = exec_on(handle, "SELECT * FROM Session WHERE SessionNo=1; "
                                      "SELECT TestNo FROM Test WHERE 0; "
                                      "SELECT TestNo FROM Data WHERE 0");
    if (busy(check))
        db_report_error_code(SQLITE_BUSY);
    if (check != SQLITE_OK) {
        state().last_open_foreign = !busy(check) && !fresh;
        return fail_open(handle, file, fresh);
    }
    db_close();
    db_state& s = state();
    s.handle = handle;
    s.open = true;
    return true;
}

const char* db_path_refusal(const std::string& path)
{
    if (path.empty())
        return "Please give the database a file name";
    if (path == ":memory:")
        return "\":memory:\" is not a file name the database can be kept in";
    return nullptr;
}

void db_close()
{
    db_state& s = state();
    for (auto& [sql, entry] : s.cache)
        sqlite3_finalize(entry.stmt);
    s.cache.clear();
    sqlite3_close(s.handle);
    s.handle = nullptr;
    s.open = false;
}

bool db_is_open()
{
    return state().open;
}

bool db_last_open_foreign()
{
    return state().last_open_foreign;
}

const std::string& db_current_path()
{
    return state().path;
}

void db_set_current_path(const std::string& path)
{
    state().path = path;
}

int db_exec(const std::string& sql)
{
    if (!state().open)
        return -1;
    return exec_on(state().handle, sql.c_str());
}

int db_begin()
{
    return db_exec("BEGIN TRANSACTION");
}

int db_commit()
{
    return db_exec("COMMIT TRANSACTION");
}

int db_rollback()
{
    return db_exec("ROLLBACK TRANSACTION");
}

bool db_in_transaction()
{
    return state().open && sqlite3_get_autocommit(state().handle) == 0;
}
