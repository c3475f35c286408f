#include "base/ui/remembered_folder.h"

#include "base/app_settings.h"

#include <QDir>
#include <QStandardPaths>
#include <filesystem>

namespace {

std::string documents_folder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists())
        return documents.toStdString();
    return QDir::homePath().toStdString();
}

} // namespace

std::string remembered_folder(const std::string& name)
{
    const s_app_paths& paths = current_app_paths();
    const std::string kept = paths.settings_file.empty() ? "" : settings_folder(paths, name);
    std::error_code error;
    if (!kept.empty() && std::filesystem::is_directory(kept, error))
        return kept;
    return documents_folder();
}

void remember_folder_of(const std::string& name, const std::string& chosen_file)
{
    const s_app_paths& paths = current_app_paths();
    const std::string folder = std::filesystem::path(chosen_file).parent_path().string();
    if (!paths.settings_file.empty() && !folder.empty())
        settings_set_folder(paths, name, folder);
}
