#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// QApplication's own options; the first group takes a value (as the next
// word or after '='). Qt accepts them with one dash or two.
constexpr std::array<std::string_view, 11> qt_valued{
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "style",
    "stylesheet"};
constexpr std::array<std::string_view, 5> qt_flags{"reverse", "widgetcount", "nograb", "dograb",
                                                   "sync"};

template <size_t N> bool listed(const std::array<std::string_view, N>& list, std::string_view name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

} // namespace

s_app_command_line app_parse_command_line(const std::vector<std::string>& args)
{
    s_app_command_line out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h")
            return {app_start::help, {}};
        if (word == "--version")
            return {app_start::version, {}};
        std::string_view name = word;
        if (!name.starts_with('-') || name == "-" || name == "--")
            return {app_start::usage_error, "unexpected argument " + word};
        name.remove_prefix(name.starts_with("--") ? 2 : 1);
        const size_t eq = name.find('=');
        const std::string_view bare = name.substr(0, eq);
        if (listed(qt_flags, bare) && eq == std::string_view::npos)
            continue;
        if (!listed(qt_valued, bare))
            return {app_start::usage_error, "unknown option " + word};
        if (eq == std::string_view::npos && ++i >= args.size())
            return {app_start::usage_error, "option " + word + " needs a value"};
    }
    return out;
}

std::string app_usage(const std::string& program)
{
    return "usage: " + program +
           " [--help] [--version] [Qt options such as -platform NAME or -style NAME]\n"
           "Opens the Tarvelo2 main window; the command-line companion is tarvelo2-cli.\n";
}
