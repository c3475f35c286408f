#include "office/ui/desktop_opener.h"

#include "base/export_texts.h"
#include "base/off_window.h"
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

// The desktop's answer may take seconds on a busy machine.
constexpr int HANDLER_QUERY_MS = 3000;
constexpr int CANCEL_LOOK_MS = 100;

// True when the desktop names an application for files of this type. Runs
// off the window thread; Cancel or no answer in time count as none.
bool has_handler(const QString& path, const std::atomic<bool>& cancel)
{
    const QString mime = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start("xdg-mime", {"query", "default", mime});
    for (int waited = 0; !query.waitForFinished(CANCEL_LOOK_MS); waited += CANCEL_LOOK_MS) {
        if (cancel || waited >= HANDLER_QUERY_MS || query.state() == QProcess::NotRunning) {
            query.kill();
            query.waitForFinished(CANCEL_LOOK_MS);
            return false;
        }
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

void open_on_desktop(const std::string& path)
{
    if (ui_message_box(nullptr, "The report was written to " + path + "\n\nDo you want to open it?",
                       "Tarvelo2", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const QString file = QString::fromStdString(path);
    const exchange_outcome found = run_off_window(
        "Looking for an application to open the report\x85",
        [&file](const std::atomic<bool>& cancel) { return has_handler(file, cancel); });
    if (found == exchange_outcome::cancelled)
        return;
    if (found == exchange_outcome::done && QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
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
