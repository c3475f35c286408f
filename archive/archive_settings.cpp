#include "archive/archive_settings.h"

#include "base/profile_file.h"

#include <cstdlib>
#include <libpq-fe.h>
#include <memory>
#include <sys/stat.h>

namespace {

bool names_password(const std::string& address, bool& readable)
{
    char* message = nullptr;
    std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        PQconninfoParse(address.c_str(), &message), &PQconninfoFree);
    PQfreemem(message);
    readable = options != nullptr;
    // libpq marks its secrets (password, sslpassword, ...) to be hidden.
    for (const PQconninfoOption* o = options.get(); o && o->keyword; ++o)
        if (o->dispchar && std::string(o->dispchar) == "*" && o->val && *o->val)
            return true;
    return false;
}

} // namespace

bool archive_address_names_password(const std::string& address)
{
    bool readable = false;
    return names_password(address, readable);
}

std::string archive_settings_address(const s_app_paths& paths)
{
    return profile_read(paths.settings_file, "Archive", "Address", "");
}

bool archive_settings_set_address(const s_app_paths& paths, const std::string& address)
{
    bool readable = false;
    if (names_password(address, readable) || !readable)
        return false;
    // The address tells where the lab's archive is and who the bench is:
    // the settings file is for this user's eyes only.
    return profile_write(paths.settings_file, "Archive", "Address", address) &&
           ::chmod(paths.settings_file.c_str(), S_IRUSR | S_IWUSR) == 0;
}

s_app_paths archive_user_paths()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    const std::string root = xdg && *xdg ? xdg : std::string(home ? home : "") + "/.local/share";
    return app_paths(root);
}
