#include "db/db_import.h"

#include "base/ui_seam.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "db/db_transaction.h"

#include <ctime>

namespace {

db_import_result refuse(db_import_status status, sweep_import_result read)
{
    ui_message_box(nullptr, "Unable to import sweep to database", "Import Error",
                   MB_OK | MB_ICONINFORMATION);
    return {status, read};
}

s_session import_session()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    s_session session;
    session.SessionNo = DB_IMPORT_SESSION;
    session.Name = "Imported";
    session.year = local.tm_year + 1900;
    session.month = local.tm_mon + 1;
    session.day = local.tm_mday;
    return session;
}

// Makes sure the session the import stores under exists.
bool ensure_import_session()
{
    s_session session;
    session.SessionNo = DB_IMPORT_SESSION;
    if (db_get_session(session) != 0)
        return false;
    if (session.SessionNo == DB_IMPORT_SESSION)
        return true;
    session = import_session();
    if (const int rc = db_save_session(session, false); rc != 0) {
        db_report_error_code(rc);
        return false;
    }
    return true;
}

} // namespace

std::string db_import_file_stem(const std::string& path)
{
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (const size_t dot = name.rfind('.'); dot != std::string::npos)
        name.erase(dot);
    return name;
}

std::string db_import_test_name(const std::string& path)
{
    return db_fit(db_import_file_stem(path), DB_NAME_WIDTH);
}

db_import_result db_import_sweep_file(const std::string& path, s_test& test,
                                      const std::string* name)
{
    if (!db_is_open())
        return refuse(db_import_status::no_database, {});
    std::vector<s_test_point> points;
    const sweep_import_result read = sweep_import_read(path, points);
    if (read.status != sweep_import_status::ok)
        return refuse(db_import_status::not_read, read);
    test = s_test{};
    test.SessionNo = DB_IMPORT_SESSION;
    test.Name = name ? db_fit(*name, DB_NAME_WIDTH) : db_import_test_name(path);
    test.TestDescription = "Imported";
    for (const s_test_point& point : points)
        test_add_point(test, &point);
    db_transaction_scope transaction;
    if (!ensure_import_session() || !db_store_test(test)) {
        test.TestNo = 0;
        return {db_import_status::not_stored, read};
    }
    if (const int rc = transaction.commit(); rc != 0) {
        db_report_error_code(rc);
        test.TestNo = 0;
        return {db_import_status::not_stored, read};
    }
    return {db_import_status::ok, read};
}
