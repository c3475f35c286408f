#include "db/db_last.h"

#include "base/ui_seam.h"
#include "db/db_connection.h"

#include <sys/stat.h>

namespace {

bool file_exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

bool db_open_last(const db_path_writer& remember)
{
    db_close();
    const std::string path = db_current_path();
    if (path.empty())
        return false;
    if (db_open(path, DB_OPEN_EXISTING)) {
        if (remember)
            remember(path);
        return true;
    }
    ui_message_box(nullptr, "Unable to open the last used database file <" + path + ">", "Tarvelo2",
                   MB_OK | MB_ICONINFORMATION);
    db_close();
    return false;
}

bool db_open_at_startup(const std::string& working_folder, const db_path_writer& remember)
{
    const std::string last = db_current_path();
    if (last.empty() || !file_exists(last)) {
        if (!last.empty())
            ui_message_box(nullptr,
                           "Unable to load last database file:\n" + last +
                               "\nLoading default database.",
                           "Tarvelo2", MB_OK);
        const std::string fallback = working_folder + "/default.db";
        bool is_new = false;
        db_open(fallback, DB_OPEN_OR_CREATE, &is_new);
        db_set_current_path(fallback);
    }
    return db_open_last(remember);
}
