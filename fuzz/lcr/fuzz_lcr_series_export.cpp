// The LCR series export on any sweepN.dat a data folder may hold: the first
// byte picks the layout the set claims, the rest is the sweep file. The
// export must either skip the file (rows that do not hold the layout's
// values) or write one text file whose data lines carry the step and
// exactly the layout's values.

#include "base/ui_seam.h"
#include "config/hxm_cfg_4100.h"
#include "db/sweep_file.h"
#include "lcr/lcr_export.h"
#include "lcr/lcr_layouts.h"
#include "link/link.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

const std::string& folder()
{
    static const std::string dir = [] {
        char pattern[] = "/tmp/tarvelo-fuzz-lcr-XXXXXX";
        return std::string(::mkdtemp(pattern));
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static scripted_ui ui;
    static hxm_cfg_4100 cfg;
    static s_link link;
    ui_set_backend(&ui);
    ui.clear();
    if (size == 0)
        return 0;
    const int layouts[] = {2, 5, 6, 7};
    const int layout = layouts[data[0] % 4];
    std::ofstream(sweep_file_path(folder(), 1), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    sweep_file_mark_mode(folder(), "LCR " + std::to_string(layout));
    const std::string out = folder() + "/out/run.txt";
    std::filesystem::remove_all(folder() + "/out");
    std::filesystem::create_directory(folder() + "/out");
    const int written = lcr_export_series_text(out, folder(), 1, 1, {&cfg, &link, {}}, false);
    // A name the date line makes unusable (too long for the file system)
    // fails the export, but only after telling the user.
    if (written < -1 || written > 1 || (written == -1 && ui.shown().empty()))
        std::abort();
    for (const auto& entry : std::filesystem::directory_iterator(folder() + "/out")) {
        std::ifstream in(entry.path(), std::ios::binary);
        bool data_lines = false;
        const size_t fields = static_cast<size_t>(lcr_layout(layout).values) + 1;
        for (std::string line; std::getline(in, line);) {
            if (data_lines && static_cast<size_t>(std::count(line.begin(), line.end(), ',')) + 1 !=
                                  fields)
                std::abort();
            data_lines = data_lines || line.rfind("Steps,", 0) == 0;
        }
    }
    return 0;
}
