#include "base/ui/qt_seams.h"

#include "base/ansi_text.h"
#include "base/ui/progress_dialog.h"
#include "base/ui/window_geometry.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <QWidget>

namespace {

const QEvent::Type command_event_type = static_cast<QEvent::Type>(QEvent::registerEventType());

class command_event : public QEvent {
public:
    explicit command_event(command_message m) : QEvent(command_event_type), msg(std::move(m)) {}
    command_message msg;
};

QMessageBox::Icon icon_for(unsigned style)
{
    switch (style & MB_ICON_MASK) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QPointer<QWidget> g_main_window;

// A file chooser's first size: room for the name, size, type and date
// columns without cutting them.
constexpr const char* CHOOSER_SIZE_NAME = "FileChooser";
const QSize CHOOSER_SIZE(900, 560);

// The window a box or chooser belongs to, so that it opens centred on it:
// the asking window when it is shown, else the open modal dialog, else the
// active window, else the main window.
QWidget* owning_window(ui_owner owner)
{
    if (auto* asked = static_cast<QWidget*>(owner); asked && asked->window()->isVisible())
        return asked->window();
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return g_main_window.data();
}

// A box that opens while work runs behind a busy window (the work's result,
// or a question it asks) is not shown over that window and its Cancel: the
// busy windows step aside while the box is open.
class busy_windows_aside {
public:
    busy_windows_aside()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* busy = qobject_cast<progress_dialog*>(w); busy && busy->isVisible()) {
                busy->step_aside();
                aside_.append(busy);
            }
    }
    ~busy_windows_aside()
    {
        for (const QPointer<progress_dialog>& busy : aside_)
            if (busy)
                busy->come_back_later();
    }
    busy_windows_aside(const busy_windows_aside&) = delete;
    busy_windows_aside& operator=(const busy_windows_aside&) = delete;

private:
    QList<QPointer<progress_dialog>> aside_;
};

int show_box(ui_owner owner, const std::string& text, const std::string& caption, unsigned style)
{
    const busy_windows_aside aside;
    QMessageBox box(icon_for(style), qt_from_ansi(caption), qt_from_ansi(text),
                    QMessageBox::NoButton, owning_window(owner));
    switch (style & MB_BUTTON_MASK) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MB_RETRYCANCEL: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    if (style & MB_DEFBUTTON2)
        box.setDefaultButton(box.button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Retry: return IDRETRY;
    default: return IDOK;
    }
}

} // namespace

qt_command_dispatcher::qt_command_dispatcher(QObject* parent) : QObject(parent) {}

void qt_command_dispatcher::post(command_message msg)
{
    QCoreApplication::postEvent(this, new command_event(std::move(msg)));
}

void qt_command_dispatcher::send(command_message msg)
{
    if (QThread::currentThread() == thread()) {
        command_deliver(msg);
        return;
    }
    QMetaObject::invokeMethod(
        this, [&msg] { command_deliver(msg); }, Qt::BlockingQueuedConnection);
}

bool qt_command_dispatcher::event(QEvent* e)
{
    if (e->type() != command_event_type)
        return QObject::event(e);
    command_deliver(static_cast<command_event*>(e)->msg);
    return true;
}

qt_ui_backend::qt_ui_backend(QObject* parent) : QObject(parent) {}

int qt_ui_backend::message_box(ui_owner owner, const std::string& text, const std::string& caption,
                               unsigned style)
{
    if (QThread::currentThread() == thread())
        return show_box(owner, text, caption, style);
    int answer = IDCANCEL;
    QMetaObject::invokeMethod(
        this, [&] { answer = show_box(owner, text, caption, style); },
        Qt::BlockingQueuedConnection);
    return answer;
}

void qt_ui_backend::set_wait_cursor(bool on)
{
    auto apply = [on] {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    if (QThread::currentThread() == thread())
        apply();
    else
        QMetaObject::invokeMethod(this, apply, Qt::QueuedConnection);
}

bool qt_ui_backend::choose_file(ui_owner owner, const ui_file_request& request,
                                ui_file_choice& choice)
{
    QFileDialog dialog(owning_window(owner), qt_from_ansi(request.caption),
                       QString::fromStdString(request.start), qt_from_ansi(request.filters));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The caller answers for an existing file itself, with its own words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString::fromStdString(request.default_suffix));
    const QStringList filters = dialog.nameFilters();
    if (request.filter > 0 && request.filter < filters.size())
        dialog.selectNameFilter(filters[request.filter]);
    dialog.setViewMode(QFileDialog::Detail);
    const QRect area = screen_area_of(dialog.parentWidget());
    dialog.resize(window_size_remembered(CHOOSER_SIZE_NAME, CHOOSER_SIZE).boundedTo(area.size()));
    const int result = dialog.exec();
    window_size_remember(CHOOSER_SIZE_NAME, dialog.size());
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    choice.path = dialog.selectedFiles().front().toStdString();
    choice.filter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return true;
}

void qt_set_main_window(QWidget* window)
{
    g_main_window = window;
}

QString qt_from_ansi(const std::string& text)
{
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (unsigned char c : text)
        out.append(QChar(static_cast<char16_t>(ansi_char(c))));
    return out;
}

std::string qt_to_ansi(const QString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar ch : text) {
        const int byte = ansi_byte(ch.unicode());
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return out;
}
