// Any bytes may sit in the settings file: the user edits it by hand, another
// program writes it, a disk fills up half way. Reading must never crash, and
// saving the connection must leave a file from which the same connection
// reads back while the other keys keep their values.

#include "base/app_settings.h"
#include "base/profile_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// One folder per fuzzing process, removed at exit; the paths are never
// destroyed so that the exit handler can still use them. The folder lies in
// memory where it can: rewriting a file on a disk flushes it each time,
// which would slow fuzzing twentyfold.
const s_app_paths& fuzz_paths()
{
    static const s_app_paths* paths = [] {
        std::error_code ec;
        const std::filesystem::path root = std::filesystem::is_directory("/dev/shm", ec)
                                               ? "/dev/shm"
                                               : std::filesystem::temp_directory_path();
        const auto dir = root / ("tarvelo-settings-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        auto* made = new s_app_paths{dir.string(), (dir / "Tarvelo.ini").string()};
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(fuzz_paths().data_folder, ec);
        });
        return made;
    }();
    return *paths;
}

bool same_connection(const s_connect_defaults& a, const s_connect_defaults& b)
{
    return a.interface == b.interface && a.port_name == b.port_name && a.baud_rate == b.baud_rate &&
           a.ip_address == b.ip_address;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const s_app_paths& paths = fuzz_paths();
    std::ofstream(paths.settings_file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    const std::string database = settings_database_file(paths);
    const std::string created = profile_read(paths.settings_file, "Init", "Created", "");
    const s_connect_defaults before = settings_connect(paths);
    if (database.size() > DATABASE_PATH_MAX || before.port_name.size() > 127)
        std::abort();

    const s_connect_defaults saved{1, "/dev/ttyUSB0", 38400, "127.0.0.1", before.discovery_address};
    settings_save_connect(paths, saved);
    const s_connect_defaults after = settings_connect(paths);
    if (!same_connection(after, saved) || after.discovery_address != before.discovery_address ||
        settings_database_file(paths) != database ||
        profile_read(paths.settings_file, "Init", "Created", "") != created)
        std::abort();
    return 0;
}
