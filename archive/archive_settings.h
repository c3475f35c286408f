#pragma once
// The archive's address in the settings file ("Archive"/"Address"). A
// password is never kept there: libpq's password file or PGPASSWORD
// supply it, or the window asks and keeps it in memory.

#include "base/app_settings.h"

#include <string>

std::string archive_settings_address(const s_app_paths& paths);
// False, and nothing written, when address names a password or another
// secret (sslpassword) or cannot be read as an address. The settings file
// is then readable by its owner only.
bool archive_settings_set_address(const s_app_paths& paths, const std::string& address);
// True when address names a password or another secret (and so is never
// kept).
bool archive_address_names_password(const std::string& address);
// The settings file of a desktop user on this machine: the data folder
// under $XDG_DATA_HOME, or ~/.local/share without it.
s_app_paths archive_user_paths();
