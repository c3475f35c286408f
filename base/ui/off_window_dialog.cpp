// Long work on a worker, the window answering meanwhile.

#include "base/ui/off_window_dialog.h"

#include "base/command_ids.h"
#include "base/ui/progress_dialog.h"
#include "base/ui_seam.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <memory>
#include <thread>

const char* const OFF_WINDOW_DIALOG_TITLE = "Tarvelo2";

namespace {

// The progress dialog opens when the work has taken this long.
constexpr int DIALOG_AFTER_MS = 1000;

int g_busy = 0; // window thread only

bool is_user_input(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu: return true;
    default: return false;
    }
}

// Holds back what the user does in the windows while the work runs; a
// dialog opened since (the progress dialog, a box the work asks) takes its
// clicks and keys.
class input_hold : public QObject {
public:
    input_hold() : before_(QApplication::activeModalWidget()) { qApp->installEventFilter(this); }
    ~input_hold() override { qApp->removeEventFilter(this); }
    input_hold(const input_hold&) = delete;
    input_hold& operator=(const input_hold&) = delete;

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(target);
        if (!widget || !is_user_input(event))
            return false;
        QWidget* modal = QApplication::activeModalWidget();
        return !modal || modal == before_ || widget->window() != modal;
    }

private:
    QPointer<QWidget> before_;
};

struct busy_mark {
    busy_mark() { ++g_busy; }
    ~busy_mark() { --g_busy; }
    busy_mark(const busy_mark&) = delete;
    busy_mark& operator=(const busy_mark&) = delete;
};

exchange_outcome outcome_of(bool done, const std::atomic<bool>& cancel)
{
    return cancel ? exchange_outcome::cancelled
           : done ? exchange_outcome::done
                  : exchange_outcome::failed;
}

exchange_outcome run_behind_window(const std::string& caption, const exchange_work& work)
{
    s_exchange exchange;
    if (!qApp || QThread::currentThread() != qApp->thread())
        return outcome_of(work(exchange.cancel), exchange.cancel);
    const busy_mark busy;
    const wait_cursor waiting;
    input_hold hold;
    QEventLoop loop;
    std::thread worker([&] {
        exchange.outcome = outcome_of(work(exchange.cancel), exchange.cancel);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    s_progress_block block;
    block.title = OFF_WINDOW_DIALOG_TITLE;
    block.start_delay_ms = 0; // no worker of its own to start
    block.cancel = exchange_cancel;
    block.context = &exchange;
    std::unique_ptr<progress_dialog> dialog;
    int shown_total = 0; // window thread
    off_window_set_progress_sink([&](int done, int total) {
        QMetaObject::invokeMethod(
            &loop,
            [&, done, total] {
                if (!dialog)
                    return;
                if (total != shown_total)
                    dialog->on_command(CMD_PROGRESS_RANGE, shown_total = total);
                dialog->on_command(CMD_PROGRESS_POSITION, done);
            },
            Qt::QueuedConnection);
    });
    QTimer::singleShot(DIALOG_AFTER_MS, &loop, [&] {
        dialog = std::make_unique<progress_dialog>(QApplication::activeWindow(), block);
        dialog->on_command(CMD_PROGRESS_STATUS, reinterpret_cast<intptr_t>(&caption));
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
    });
    loop.exec();
    worker.join();
    off_window_set_progress_sink({});
    progress_wait_idle(block);
    dialog.reset();
    return exchange.outcome;
}

} // namespace

void off_window_use_dialog()
{
    off_window_set_runner(run_behind_window);
}

bool off_window_busy()
{
    return g_busy > 0;
}
