#include "office/ui/desktop_opener.h"

#include "base/ui_seam.h"
#include "office/excel_server.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

namespace {

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
    const QString file = QString::fromStdString(path);
    if (has_handler(file) && QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        return;
    ui_message_box(nullptr, "The report was written to " + path, "Tarvelo2",
                   MB_OK | MB_ICONINFORMATION);
}

} // namespace

void office_use_desktop_opener()
{
    office_set_opener(open_on_desktop);
}
