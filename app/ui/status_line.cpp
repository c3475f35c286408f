#include "app/ui/status_line.h"

#include "app/status_texts.h"
#include "base/app_settings.h"
#include "base/ui/qt_seams.h"
#include "base/ui_status.h"
#include "link/link.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex g_mutex;
status_line* g_line = nullptr;

// Any thread: the text reaches the status bar on the window thread. A line
// destroyed first takes its queued reports with it.
void report(const std::string& text)
{
    std::lock_guard lock(g_mutex);
    if (g_line)
        QMetaObject::invokeMethod(
            g_line,
            [line = g_line, shown = QString::fromStdString(text)] { line->show_outcome(shown); },
            Qt::QueuedConnection);
}

QLabel* add_label(QStatusBar* bar, const char* name, int stretch)
{
    auto* label = new QLabel(bar);
    label->setObjectName(QString::fromLatin1(name));
    bar->addWidget(label, stretch);
    return label;
}

} // namespace

status_line::status_line(QMainWindow* window) : QObject(window), window_(window)
{
    QStatusBar* bar = window->statusBar();
    bar->setObjectName(QStringLiteral("status_bar"));
    instrument_ = add_label(bar, "status_instrument", 0);
    database_ = add_label(bar, "status_database", 0);
    outcome_ = add_label(bar, "status_outcome", 1);
    std::lock_guard lock(g_mutex);
    g_line = this;
    ui_set_status_sink(report);
}

status_line::~status_line()
{
    std::lock_guard lock(g_mutex);
    if (g_line == this) {
        ui_set_status_sink(nullptr);
        g_line = nullptr;
    }
}

void status_line::refresh(const std::string& database_path)
{
    instrument_->setText(qt_from_ansi(status_instrument_text(g_link)));
    const QString path = QString::fromLocal8Bit(database_path.c_str());
    const char* home = std::getenv("HOME");
    const QString shown =
        QString::fromLocal8Bit(status_database_path(database_path, home ? home : "").c_str());
    database_->setText(database_path.empty() ? QStringLiteral("No database") : shown);
    database_->setToolTip(path);
    const QString name = QString::fromLocal8Bit(status_database_name(database_path).c_str());
    const QString program = QString::fromLatin1(PROGRAM_NAME);
    window_->setWindowTitle(database_path.empty() ? program
                                                  : name + QStringLiteral(" \u2014 ") + program);
}

void status_line::show_outcome(const QString& text)
{
    outcome_->setText(text);
    outcome_->setToolTip(text);
}
