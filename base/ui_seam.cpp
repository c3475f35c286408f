#include "base/ui_seam.h"

#include "base/ui_status.h"

#include <atomic>

namespace {

scripted_ui& default_ui()
{
    static scripted_ui ui;
    return ui;
}

ui_backend* g_backend = nullptr;
std::atomic<ui_status_sink> g_status_sink{nullptr};

} // namespace

void ui_set_backend(ui_backend* backend)
{
    g_backend = backend;
}

ui_backend& ui_current_backend()
{
    return g_backend ? *g_backend : default_ui();
}

int ui_message_box(ui_owner owner, const std::string& text, const std::string& caption,
                   unsigned style)
{
    return ui_current_backend().message_box(owner, text, caption, style);
}

void ui_set_status_sink(ui_status_sink sink)
{
    g_status_sink = sink;
}

void ui_status(const std::string& text)
{
    if (const ui_status_sink sink = g_status_sink)
        sink(text);
}

wait_cursor::wait_cursor()
{
    ui_current_backend().set_wait_cursor(true);
}

wait_cursor::~wait_cursor()
{
    ui_current_backend().set_wait_cursor(false);
}

int scripted_ui::message_box(ui_owner, const std::string& text, const std::string& caption,
                             unsigned style)
{
    ui_shown_box box{text, caption, style, 0};
    void (*echo)(const ui_shown_box&) = nullptr;
    {
        std::lock_guard lock(mutex_);
        const unsigned buttons = style & MB_BUTTON_MASK;
        if (!answers_.empty()) {
            box.answer = answers_.front();
            answers_.erase(answers_.begin());
        } else if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) {
            box.answer = default_yes_ ? IDYES : IDNO;
        } else if (buttons == MB_RETRYCANCEL) {
            box.answer = IDCANCEL;
        } else {
            box.answer = IDOK;
        }
        shown_.push_back(box);
        echo = echo_;
    }
    if (echo)
        echo(box);
    return box.answer;
}

bool ui_choose_file(ui_owner owner, const ui_file_request& request, ui_file_choice& choice)
{
    return ui_current_backend().choose_file(owner, request, choice);
}

std::string ui_with_default_suffix(const std::string& path, const std::string& suffix)
{
    const size_t slash = path.find_last_of('/');
    const size_t name = slash == std::string::npos ? 0 : slash + 1;
    if (suffix.empty() || name >= path.size() || path.find('.', name) != std::string::npos)
        return path;
    return path + "." + suffix;
}

bool scripted_ui::choose_file(ui_owner, const ui_file_request& request, ui_file_choice& choice)
{
    std::lock_guard lock(mutex_);
    file_requests_.push_back(request);
    if (files_.empty() || files_.front().path.empty()) {
        if (!files_.empty())
            files_.erase(files_.begin());
        return false;
    }
    choice = files_.front();
    files_.erase(files_.begin());
    choice.path = ui_with_default_suffix(choice.path, request.default_suffix);
    return true;
}

void scripted_ui::push_file(const std::string& path, int filter)
{
    std::lock_guard lock(mutex_);
    files_.push_back({path, filter});
}

void scripted_ui::push_file_cancel()
{
    std::lock_guard lock(mutex_);
    files_.push_back({});
}

std::vector<ui_file_request> scripted_ui::file_requests() const
{
    std::lock_guard lock(mutex_);
    return file_requests_;
}

void scripted_ui::set_wait_cursor(bool on)
{
    std::lock_guard lock(mutex_);
    wait_depth_ += on ? 1 : -1;
}

void scripted_ui::push_answer(int answer)
{
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

void scripted_ui::set_default_yes(bool yes)
{
    std::lock_guard lock(mutex_);
    default_yes_ = yes;
}

std::vector<ui_shown_box> scripted_ui::shown() const
{
    std::lock_guard lock(mutex_);
    return shown_;
}

void scripted_ui::clear()
{
    std::lock_guard lock(mutex_);
    shown_.clear();
    answers_.clear();
    files_.clear();
    file_requests_.clear();
}

int scripted_ui::wait_cursor_depth() const
{
    std::lock_guard lock(mutex_);
    return wait_depth_;
}

void scripted_ui::set_echo(void (*echo)(const ui_shown_box&))
{
    std::lock_guard lock(mutex_);
    echo_ = echo;
}
