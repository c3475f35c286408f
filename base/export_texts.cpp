#include "base/export_texts.h"

#include "base/text_file.h"
#include "base/ui_seam.h"
#include "base/ui_status.h"

#include <filesystem>

const char* const EXPORT_ERROR_CAPTION = "Excel Export Error";
const char* const NO_DATA_TEXT = "No Data to Export";
const char* const CANNOT_CREATE_CSV_TEXT = "Unable to create CSV file";

namespace {

// Characters of the date line that may not appear in a file name.
char name_safe(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':') ? '_' : c;
}

std::string name_safe(std::string text)
{
    for (char& c : text)
        c = name_safe(c);
    return text;
}

std::string choose_file(void* owner, const char* filters, const char* suffix)
{
    ui_file_request request;
    request.save = true;
    request.caption = "Save As";
    request.filters = filters;
    request.default_suffix = suffix;
    ui_file_choice choice;
    if (!ui_choose_file(owner, request, choice) || choice.path.empty()) {
        ui_message_box(owner, CANNOT_CREATE_CSV_TEXT, EXPORT_ERROR_CAPTION,
                       MB_OK | MB_ICONINFORMATION);
        return {};
    }
    return choice.path;
}

} // namespace

std::string export_choose_file(void* owner)
{
    return choose_file(owner, "Text File (*.txt)", "txt");
}

std::string export_choose_csv_file(void* owner)
{
    return choose_file(owner, "CSV File (*.csv)", "csv");
}

std::string export_choose_touchstone_file(void* owner)
{
    return choose_file(owner, "Touchstone File (*.s1p)", "s1p");
}

bool export_may_replace(void* owner, const std::string& path)
{
    std::error_code error;
    return !std::filesystem::is_regular_file(path, error) ||
           ui_message_box(owner, path + " already exists.\nDo you want to replace it?", "Save As",
                          MB_YESNO | MB_ICONWARNING) == IDYES;
}

std::string export_written_status(const std::vector<std::string>& paths)
{
    const std::string count =
        std::to_string(paths.size()) + (paths.size() == 1 ? " file" : " files");
    if (paths.empty())
        return "Wrote " + count;
    std::string folder = std::filesystem::path(paths.front()).parent_path().string();
    return "Wrote " + count + " to " + (folder.empty() ? "." : folder);
}

int export_write_text_files(const std::vector<s_export_file>& files,
                            std::vector<std::string>* written)
{
    for (const s_export_file& file : files)
        if (!export_may_replace(nullptr, file.path))
            return EXPORT_DECLINED;
    std::vector<std::string> paths;
    for (const s_export_file& file : files) {
        if (!export_write_text_file(file.path, file.text)) {
            ui_message_box(nullptr, std::string(CANNOT_CREATE_CSV_TEXT) + "\n" + file.path,
                           EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
            return -1;
        }
        if (written)
            written->push_back(file.path);
        paths.push_back(file.path);
    }
    ui_status(export_written_status(paths));
    return static_cast<int>(paths.size());
}

std::string export_series_file_name(const std::string& chosen, int k, const std::string& date_line)
{
    std::string name = export_strip_extension(chosen);
    if (k > 1)
        name += " " + std::to_string(k);
    const size_t first_space = date_line.find(' ');
    const size_t last_space = date_line.rfind(' ');
    const std::string date = date_line.substr(0, first_space);
    const std::string time =
        last_space == std::string::npos ? std::string() : date_line.substr(last_space + 1);
    return name + " #" + name_safe(date) + " @" + name_safe(time) + ".txt";
}
