// The monkey's answers to message boxes and file choosers.

#include "tests/monkey/monkey_ui.h"

#include "office/excel_server.h"
#include "tests/monkey/monkey_watch.h"

#include <QDesktopServices>
#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* const web_schemes[] = {"http", "https", "file", "mailto"};

const char* answer_name(int answer)
{
    switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDRETRY: return "Retry";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "?";
    }
}

std::vector<int> buttons_of(unsigned style)
{
    switch (style & MB_BUTTON_MASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

// The filters of a chooser: "Name (*.a *.b)" entries separated by ";;".
std::vector<std::string> split_filters(const std::string& filters)
{
    std::vector<std::string> out;
    for (size_t at = 0; at <= filters.size();) {
        const size_t end = std::min(filters.find(";;", at), filters.size());
        out.push_back(filters.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

// ".a" of the filter's first "*.a" pattern; "" for "*" or none.
std::string suffix_of(const std::string& filter)
{
    const size_t star = filter.find("*.");
    if (star == std::string::npos)
        return "";
    const size_t end = filter.find_first_of(" );", star);
    return filter.substr(star + 1, end - star - 1);
}

std::string one_line(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text.size() > 120 ? text.substr(0, 117) + "..." : text;
}

} // namespace

monkey_ui::monkey_ui(uint64_t seed, std::string folder) : rng_(seed), folder_(std::move(folder))
{
    fs::create_directories(fs::path(folder_) / "files");
}

size_t monkey_ui::pick(size_t n)
{
    return n ? rng_() % n : 0;
}

int monkey_ui::message_box(ui_owner, const std::string& text, const std::string& caption,
                           unsigned style)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::vector<int> buttons = buttons_of(style);
    const int answer = buttons[pick(buttons.size())];
    ++boxes_;
    watch_action("box \"" + one_line(text) + "\" [" + caption + "] -> " + answer_name(answer));
    return answer;
}

bool monkey_ui::choose_file(ui_owner, const ui_file_request& request, ui_file_choice& choice)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string what =
        std::string(request.save ? "save" : "open") + " chooser \"" + request.caption + "\" -> ";
    if (pick(5) == 0) {
        watch_action(what + "Cancel");
        return false;
    }
    const int filter = static_cast<int>(pick(split_filters(request.filters).size()));
    std::string path = request.save || pick(3) == 0 ? new_file(request, filter) : existing_file();
    if (path.empty())
        path = new_file(request, filter);
    choice.path = ui_with_default_suffix(path, request.default_suffix);
    choice.filter = filter;
    watch_action(what + choice.path);
    return true;
}

// Any file the run has left in the test folder so far, found in a stable
// order so that a seed replays.
std::string monkey_ui::existing_file()
{
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec))
            files.push_back(it->path().string());
    std::sort(files.begin(), files.end());
    return files.empty() ? "" : files[pick(files.size())];
}

// One of a few names in the folder's "files", so later saves meet earlier ones.
std::string monkey_ui::new_file(const ui_file_request& request, int filter)
{
    static const char* const names[] = {"a", "b", "c", "d"};
    const std::vector<std::string> filters = split_filters(request.filters);
    const std::string suffix = pick(4) == 0 ? "" : suffix_of(filters[filter]);
    return (fs::path(folder_) / "files" / names[pick(4)]).string() + suffix;
}

monkey_desktop::monkey_desktop()
{
    for (const char* scheme : web_schemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
}

void monkey_desktop::take_reports()
{
    office_set_opener([](const std::string& path) { watch_action("report written: " + path); });
}

monkey_desktop::~monkey_desktop()
{
    for (const char* scheme : web_schemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void monkey_desktop::open(const QUrl& url)
{
    watch_action("desktop asked to open " + url.toString().toStdString());
}
