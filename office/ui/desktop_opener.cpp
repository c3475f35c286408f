#include "office/ui/desktop_opener.h"

#include "base/export_texts.h"
#include "base/ui/remembered_folder.h"
#include "base/ui_seam.h"
#include "office/excel_server.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QThread>
#include <QUrl>
#include <filesystem>

namespace {

constexpr const char* REPORTS_FOLDER_NAME = "Reports";

// True when the desktop names an application for files of this type.
bool has_handler(const QString& path)
{
    const QString mime = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start("xdg-mime", {"query", "default", mime});
    if (!query.waitForFinished(3000))
        return false;
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

void open_on_desktop(const std::string& path)
{
    if (ui_message_box(nullptr, "The report was written to " + path + "\n\nDo you want to open it?",
                       "Tarvelo2", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const QString file = QString::fromStdString(path);
    if (has_handler(file) && QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        return;
    ui_message_box(nullptr, "No application could be started to open " + path, "Tarvelo2",
                   MB_OK | MB_ICONINFORMATION);
}

// The save chooser of a workbook or document, opened in the folder the last
// report went to.
std::string ask_where(const std::string& name, const std::string& extension)
{
    const bool document = extension == "docx";
    ui_file_request request;
    request.save = true;
    request.caption = document ? "Save Document" : "Save Workbook";
    request.filters = document ? "Word Document (*.docx)" : "Excel Workbook (*.xlsx)";
    request.default_suffix = extension;
    request.start = (std::filesystem::path(remembered_folder(REPORTS_FOLDER_NAME)) / name).string();
    ui_file_choice choice;
    if (!ui_choose_file(nullptr, request, choice) || !export_may_replace(nullptr, choice.path))
        return {};
    remember_folder_of(REPORTS_FOLDER_NAME, choice.path);
    return choice.path;
}

// Choosers live on the window thread; a report finished on another thread
// waits there for the answer.
std::string choose_destination(const std::string& name, const std::string& extension)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return ask_where(name, extension);
    std::string path;
    QMetaObject::invokeMethod(
        app, [&] { path = ask_where(name, extension); }, Qt::BlockingQueuedConnection);
    return path;
}

} // namespace

void office_use_desktop_opener()
{
    office_set_opener(open_on_desktop);
    office_set_destination(choose_destination);
}
