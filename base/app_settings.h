#pragma once
// The per-user data folder and the settings file kept in it.
//
// The data folder is <local application data>/Quellmarsh/Tarvelo; it holds
// the settings file Tarvelo.ini and the sweep files. The settings file has
// two sections: "Init" (when it was created, the last test database) and
// "Connect" (the connection the dialog preselects, and the address the LAN
// search broadcasts to).

#include <ctime>
#include <string>

constexpr const char* PROGRAM_NAME = "Tarvelo2";
constexpr const char* SETTINGS_NAME = "Tarvelo";
constexpr const char* DEFAULT_DISCOVERY_ADDRESS = "255.255.255.255";
// The longest database path the settings file keeps.
constexpr size_t DATABASE_PATH_MAX = 259;

struct s_app_paths {
    std::string data_folder;   // .../Quellmarsh/Tarvelo
    std::string settings_file; // data_folder + "/Tarvelo.ini"
};

// The paths under the given local application data folder.
s_app_paths app_paths(const std::string& local_data_root);

// "%02d:%02d:%02d %d/%d/%d": hour, minute, second, day, month, year.
std::string settings_created_text(const std::tm& local);

// The paths of this process, set once at start-up (the connection dialog
// and the database form write their keys there).
void set_current_app_paths(const s_app_paths& paths);
const s_app_paths& current_app_paths();

// First start: when the settings file does not exist, creates the folders
// (existing ones are fine) and writes "Init"/"Created" with the given time.
// True when the file was new. Failures are not reported: reading then
// gives the defaults.
bool settings_prepare(const s_app_paths& paths, const std::tm& now);

// "Init"/"DatabaseFile", at most DATABASE_PATH_MAX characters.
std::string settings_database_file(const s_app_paths& paths);
void settings_set_database_file(const s_app_paths& paths, const std::string& file);

// The connection defaults of the "Connect" section.
struct s_connect_defaults {
    int interface = 0;
    std::string port_name;
    int baud_rate = 0;
    std::string ip_address;
    std::string discovery_address = DEFAULT_DISCOVERY_ADDRESS;
};
s_connect_defaults settings_connect(const s_app_paths& paths);
// "Save as Default": the interface, port, baud rate and address.
void settings_save_connect(const s_app_paths& paths, const s_connect_defaults& c);

// A folder the program remembers for a chooser ("Folders"/name); empty when
// none is kept. False when the settings file could not be written.
std::string settings_folder(const s_app_paths& paths, const std::string& name);
bool settings_set_folder(const s_app_paths& paths, const std::string& name,
                         const std::string& folder);

// The limit set file a window judges its sweeps against ("Limits"/key);
// empty when none is kept. False when the settings file could not be
// written.
std::string settings_limit_set(const s_app_paths& paths, const std::string& key);
bool settings_set_limit_set(const s_app_paths& paths, const std::string& key,
                            const std::string& file);
