// The progress dialog: status line, progress text and bar, Cancel.

#include "base/ui/progress_dialog.h"

#include "base/command_ids.h"
#include "base/timer_service.h"
#include "base/ui/qt_seams.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

// Progress texts and modes are kept from one dialog to the next.
progress_display& shared_display()
{
    static progress_display display;
    return display;
}

// A dialog that stepped aside for a message box comes back this long after
// the box, unless its work ended meanwhile: long enough for work that ends
// with the box not to flash its window again, short enough that the window
// is not left open to clicks while the work goes on.
constexpr int COME_BACK_MS = 300;

// The dialog's design (180 x 72 dialog units of the 8-point interface font)
// in pixels.
constexpr int DIALOG_WIDTH = 270;
constexpr int DIALOG_HEIGHT = 117;

QLabel* centred_label(QWidget* parent, int id, QRect geometry)
{
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(geometry);
    label->setProperty("control_id", id);
    return label;
}

} // namespace

progress_dialog::progress_dialog(QWidget* owner, s_progress_block& block)
    : QDialog(owner), block_(block), display_(shared_display()),
      status_(centred_label(this, 10008, QRect(22, 18, 222, 18))),
      progress_(centred_label(this, 10009, QRect(22, 41, 222, 13))), bar_(new QProgressBar(this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(block.title.empty() ? QStringLiteral("Download") : qt_from_ansi(block.title));
    setFixedSize(DIALOG_WIDTH, DIALOG_HEIGHT);
    bar_->setGeometry(27, 57, 222, 23);
    bar_->setTextVisible(false);
    cancel_->setGeometry(102, 85, 75, 23);
    cancel_->setProperty("control_id", CMD_CANCEL);
    connect(cancel_, &QPushButton::clicked, this, [this] { on_command(CMD_CANCEL, 0); });
    block_.dialog = this;
    display_.open();
    status_->setText(QStringLiteral("Setting Up..."));
    show_display();
    if (block.start_delay_ms > 0)
        start_timer_ = timer_add(block.start_delay_ms, this, CMD_PROGRESS_START_WORKER);
    else
        post_command(this, CMD_PROGRESS_START_WORKER);
}

// A dialog closed within its first second takes its start with it, so the
// start cannot reach a later dialog.
progress_dialog::~progress_dialog()
{
    timer_cancel(start_timer_);
    block_.dialog = nullptr;
    if (block_.worker_thread.joinable())
        block_.worker_thread.detach();
}

void progress_dialog::on_command(int id, intptr_t lparam)
{
    const int64_t now = clock_ms();
    switch (id) {
    case CMD_PROGRESS_FINISHED:
        progress_finish(block_, 10'000);
        done(0);
        return;
    case CMD_PROGRESS_STARTED: display_.toggle_percent(); return;
    case CMD_PROGRESS_RANGE: display_.set_range(static_cast<int>(lparam), now); break;
    case CMD_PROGRESS_STEP: display_.step(now); break;
    case CMD_PROGRESS_POSITION: display_.set_position(static_cast<int>(lparam), now); break;
    case CMD_PROGRESS_ESTIMATE: display_.toggle_estimate(); return;
    case CMD_PROGRESS_START_WORKER:
        display_.start(now);
        progress_start_worker(block_);
        return;
    case CMD_PROGRESS_STATUS:
        status_->setText(lparam ? qt_from_ansi(*reinterpret_cast<const std::string*>(lparam))
                                : QString());
        return;
    case CMD_CANCEL: progress_start_cancel(block_); return;
    default: return;
    }
    show_display();
}

QString progress_dialog::status_text() const
{
    return status_->text();
}

QString progress_dialog::progress_text() const
{
    return progress_->text();
}

// Once closed the dialog no longer holds its block, so the next run may start
// while this object still exists.
void progress_dialog::done(int result)
{
    block_.dialog = nullptr;
    finished_ = true;
    QDialog::done(result);
}

// Its own loop rather than exec(): hiding a dialog ends exec().
int progress_dialog::run()
{
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::exit);
    setWindowModality(Qt::ApplicationModal);
    show();
    return loop.exec(QEventLoop::DialogExec);
}

void progress_dialog::step_aside()
{
    hide();
}

void progress_dialog::come_back_later()
{
    QTimer::singleShot(COME_BACK_MS, this, [this] {
        if (!finished_)
            show();
    });
}

void progress_dialog::reject()
{
    on_command(CMD_CANCEL, 0);
}

// A bar without a range runs its marquee animation.
void progress_dialog::show_display()
{
    progress_->setText(qt_from_ansi(display_.text()));
    if (display_.marquee()) {
        bar_->setRange(0, 0);
        bar_->setValue(0);
        return;
    }
    bar_->setRange(0, display_.total());
    bar_->setValue(display_.position());
}

int run_progress_dialog(QWidget* owner, s_progress_block& block)
{
    if (progress_block_busy(block))
        return -1;
    progress_dialog dialog(owner, block);
    return dialog.run();
}
