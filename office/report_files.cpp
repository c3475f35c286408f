#include "base/app_settings.h"
#include "base/export_texts.h"
#include "base/off_window.h"
#include "base/text_file.h"
#include "base/ui_seam.h"
#include "base/ui_status.h"
#include "office/excel_server.h"
#include "office/ole.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>

namespace {

std::mutex settings_mutex;
std::string reports_folder;
office_opener opener;
office_destination destination;
std::string last_written;
// Whether the report handed over by the current release was written.
thread_local bool report_written = false;

std::string utc_stamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &parts);
    return text;
}

// A free name in the reports folder: "<stem>-<UTC time>[-n].<extension>".
std::string reports_folder_path(const std::string& folder, const std::string& stem,
                                const std::string& extension)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(folder, error);
    const std::string base = folder + "/" + stem + "-" + utc_stamp();
    std::string path = base + "." + extension;
    for (int n = 2; fs::exists(path, error); ++n)
        path = base + "-" + std::to_string(n) + "." + extension;
    return path;
}

} // namespace

void office_set_reports_folder(const std::string& folder)
{
    const std::lock_guard lock(settings_mutex);
    reports_folder = folder;
}

std::string office_reports_folder()
{
    const std::lock_guard lock(settings_mutex);
    return reports_folder.empty() ? current_app_paths().data_folder + "/reports" : reports_folder;
}

void office_set_destination(office_destination new_destination)
{
    const std::lock_guard lock(settings_mutex);
    destination = std::move(new_destination);
}

void office_set_opener(office_opener new_opener)
{
    const std::lock_guard lock(settings_mutex);
    opener = std::move(new_opener);
}

std::string office_last_written()
{
    const std::lock_guard lock(settings_mutex);
    return last_written;
}

int office_release_report(ole_object* application)
{
    report_written = false;
    ole_release(application);
    return report_written ? 0 : -1;
}

std::string office_write_report(const std::string& stem, const std::string& extension,
                                const std::function<bool(const std::string&)>& write)
{
    office_destination ask;
    {
        const std::lock_guard lock(settings_mutex);
        ask = destination;
    }
    std::string folder, path;
    if (ask) {
        path = ask(stem + "-" + utc_stamp() + "." + extension, extension);
        if (path.empty())
            return {};
        folder = std::filesystem::path(path).parent_path().string();
        if (folder.empty())
            folder = ".";
    } else {
        folder = office_reports_folder();
        path = reports_folder_path(folder, stem, extension);
    }
    // A file begun is finished: the writer does not stop halfway for Cancel.
    bool written = false;
    if (!folder.empty())
        run_off_window(extension == "docx" ? "Writing the document\x85"
                                           : "Writing the workbook\x85",
                       [&](const std::atomic<bool>&) {
                           written = file_write_replacing(path, write, temporary_kind::named);
                           return written;
                       });
    if (!written) {
        ui_message_box(nullptr, "Unable to write the report into the folder " + folder,
                       extension == "docx" ? "Word Export Error" : "Excel Export Error",
                       MB_OK | MB_ICONINFORMATION);
        return {};
    }
    report_written = true;
    ui_status(export_written_status({path}));
    office_opener open;
    {
        const std::lock_guard lock(settings_mutex);
        last_written = path;
        open = opener;
    }
    if (open)
        open(path);
    return path;
}
