#pragma once
// The desktop program's own command line. It has no options of its own but
// --help and --version; Qt's options (-platform NAME, -style=NAME, ...) pass
// through to QApplication. Anything else is a usage error, caught before a
// display is needed so that it reads the same on a headless machine.

#include <string>
#include <vector>

enum class app_start { run, help, version, usage_error };

struct s_app_command_line {
    app_start action = app_start::run;
    std::string message; // for a usage error: what was wrong
};

s_app_command_line app_parse_command_line(const std::vector<std::string>& args);

// The --help text (ends with a newline).
std::string app_usage(const std::string& program);
