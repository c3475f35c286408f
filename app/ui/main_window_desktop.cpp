// What the main window has as every desktop program has it: Quit in the
// first menu (asking first while a repeating test runs), the user guide on F1, About on Alt+? as on
// Alt+/, and web pages that say so when no browser can show them.

#include "app/ui/help_window.h"
#include "app/ui/main_window.h"
#include "base/command_ids.h"
#include "base/ui_seam.h"
#include "sweep/ui/sweep_mode_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMenu>
#include <QShortcut>
#include <QUrl>

void main_window::add_desktop_items(QMenu* first, QMenu* help)
{
    first->addSeparator();
    QAction* quit = first->addAction(QStringLiteral("&Quit"));
    // Ctrl+Q itself: not every platform theme binds the standard Quit key.
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::ApplicationShortcut);
    // As the window's close button: the window asks what closing asks.
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QAction* guide = help->addAction(QStringLiteral("&User Guide"));
    guide->setShortcut(QKeySequence::HelpContents);
    guide->setShortcutContext(Qt::ApplicationShortcut);
    connect(guide, &QAction::triggered, this, [this] { show_user_guide(this); });
    help->insertAction(help->actions().constFirst(), guide);
    addAction(quit);
    addAction(guide);

    // "?" is a shifted key on most layouts, so Alt+? may arrive with Shift
    // too. Where the platform offers the key both ways the two shortcuts
    // match at once: that ambiguity opens About as well.
    for (const char* keys : {"Alt+?", "Alt+Shift+?", "Alt+/"}) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), this);
        const auto about = [this] { post_command(this, CMD_ABOUT); };
        connect(shortcut, &QShortcut::activated, this, about);
        connect(shortcut, &QShortcut::activatedAmbiguously, this, about);
    }
}

void main_window::open_web_page(const char* url)
{
    if (QDesktopServices::openUrl(QUrl(QString::fromLatin1(url))))
        return;
    ui_message_box(this,
                   std::string("No web browser could be started to show ") + url +
                       "\nOpen that address in a browser of your choice.",
                   PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
}

bool main_window::series_running() const
{
    for (const int row : {ROW_FRA, ROW_LCR}) {
        const auto* w = dynamic_cast<const sweep_mode_window*>(mode_window(row));
        if (w && w->series().repeating && w->series().running > 0)
            return true;
    }
    return false;
}

void main_window::closeEvent(QCloseEvent* event)
{
    if (series_running() && ui_message_box(this, "A repeating test is running. Stop it and quit?",
                                           PROGRAM_NAME, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
