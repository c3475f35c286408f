// The data folder, the settings file's keys and the start-up database choice.

#include "base/app_settings.h"

#include "base/profile_file.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

s_app_paths app_paths(const std::string& local_data_root)
{
    s_app_paths p;
    p.data_folder = (fs::path(local_data_root) / "Quellmarsh" / "Tarvelo").string();
    p.settings_file = (fs::path(p.data_folder) / (std::string(SETTINGS_NAME) + ".ini")).string();
    return p;
}

namespace {
s_app_paths process_paths;
}

void set_current_app_paths(const s_app_paths& paths)
{
    process_paths = paths;
}

const s_app_paths& current_app_paths()
{
    return process_paths;
}

std::string settings_created_text(const std::tm& t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d %d/%d/%d", t.tm_hour, t.tm_min, t.tm_sec,
                  t.tm_mday, t.tm_mon + 1, t.tm_year + 1900);
    return text;
}

bool settings_prepare(const s_app_paths& paths, const std::tm& now)
{
    std::error_code ec;
    if (fs::exists(paths.settings_file, ec))
        return false;
    fs::create_directories(paths.data_folder, ec);
    profile_write(paths.settings_file, "Init", "Created", settings_created_text(now));
    return true;
}

std::string settings_database_file(const s_app_paths& paths)
{
    return profile_read(paths.settings_file, "Init", "DatabaseFile", "")
        .substr(0, DATABASE_PATH_MAX);
}

void settings_set_database_file(const s_app_paths& paths, const std::string& file)
{
    profile_write(paths.settings_file, "Init", "DatabaseFile", file);
}

s_connect_defaults settings_connect(const s_app_paths& paths)
{
    const std::string& f = paths.settings_file;
    s_connect_defaults c;
    c.interface = profile_read_int(f, "Connect", "Interface", 0);
    c.port_name = profile_read(f, "Connect", "ComPort", "").substr(0, 127);
    c.baud_rate = profile_read_int(f, "Connect", "BaudRate", 0);
    c.ip_address = profile_read(f, "Connect", "IPAddr", "");
    c.discovery_address = profile_read(f, "Connect", "DiscoveryAddress", DEFAULT_DISCOVERY_ADDRESS);
    return c;
}

void settings_save_connect(const s_app_paths& paths, const s_connect_defaults& c)
{
    const std::string& f = paths.settings_file;
    profile_write(f, "Connect", "Interface", std::to_string(c.interface));
    profile_write(f, "Connect", "ComPort", c.port_name);
    profile_write(f, "Connect", "BaudRate", std::to_string(c.baud_rate));
    profile_write(f, "Connect", "IPAddr", c.ip_address);
}

std::string settings_folder(const s_app_paths& paths, const std::string& name)
{
    return profile_read(paths.settings_file, "Folders", name, "");
}

bool settings_set_folder(const s_app_paths& paths, const std::string& name,
                         const std::string& folder)
{
    return profile_write(paths.settings_file, "Folders", name, folder);
}

std::string settings_limit_set(const s_app_paths& paths, const std::string& key)
{
    return profile_read(paths.settings_file, "Limits", key, "");
}

bool settings_set_limit_set(const s_app_paths& paths, const std::string& key,
                            const std::string& file)
{
    return profile_write(paths.settings_file, "Limits", key, file);
}
