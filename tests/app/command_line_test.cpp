// The programs' command lines: what is declared runs, anything else is a
// usage error that names itself, --version answers without a display, and
// the manual pages name every command and option the programs take.

#include "app/command_line.h"
#include "tests/support/build_path.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

struct run_result {
    int status = -1;
    std::string output; // stdout and stderr
};

run_result run(const std::string& program, const std::string& args)
{
    // No display at all: the answers must not need one.
    const std::string command =
        "DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM= " + program + " " + args + " 2>&1";
    run_result r;
    FILE* pipe = ::popen(command.c_str(), "r");
    char chunk[256];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        r.output.append(chunk, n);
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

} // namespace

TEST(AppCommandLine, QtOptionsPassOtherWordsAreRefused)
{
    struct row {
        std::vector<std::string> args;
        app_start action;
        std::string message;
    };
    const row rows[] = {
        {{}, app_start::run, ""},
        {{"-platform", "offscreen", "--style=Fusion", "-reverse"}, app_start::run, ""},
        {{"--platform", "xcb", "-qwindowtitle", "x y"}, app_start::run, ""},
        {{"--version", "--frob"}, app_start::version, ""},
        {{"-h"}, app_start::help, ""},
        {{"--frob"}, app_start::usage_error, "unknown option --frob"},
        {{"-reverse=1"}, app_start::usage_error, "unknown option -reverse=1"},
        {{"-style"}, app_start::usage_error, "option -style needs a value"},
        {{"file.db"}, app_start::usage_error, "unexpected argument file.db"},
        {{"--"}, app_start::usage_error, "unexpected argument --"},
    };
    for (const row& r : rows) {
        const s_app_command_line cl = app_parse_command_line(r.args);
        EXPECT_EQ(cl.action, r.action) << r.message;
        EXPECT_EQ(cl.message, r.message);
    }
}

TEST(AppCommandLine, BothProgramsAnswerVersionAndRefuseUnknownOptions)
{
    struct row {
        std::string program;
        std::string args;
        int status;
        std::vector<std::string> shows;
    };
    const std::string cli = TARVELO_CLI;
    const std::string app = TARVELO_APP;
    const std::string sim = TARVELO_SIM;
    const row rows[] = {
        {cli, "--version", 0, {"tarvelo2-cli " TARVELO_VERSION "\n"}},
        {cli, "--frob send x", 2, {"unknown option --frob", "usage: tarvelo2-cli"}},
        {cli, "send --verbose x", 2, {"unknown option --verbose", "usage:"}},
        {cli, "--lan", 2, {"option --lan needs a value", "usage:"}},
        {cli, "--help", 0, {"usage: tarvelo2-cli", "--version", "fra-sweep"}},
        {cli, "frobnicate", 2, {"unknown command 'frobnicate'"}},
        // Declared options of several commands pass the parser: the run then
        // fails on the missing database, not on the command line.
        {cli,
         "--yes --timeout 5 --data /nonexistent --db /nonexistent/x.db db-list",
         1,
         {"Unable to open Database file", "cannot be opened"}},
        {app, "--version", 0, {"tarvelo2 " TARVELO_VERSION "\n"}},
        {app, "--frob", 2, {"unknown option --frob", "usage: tarvelo2"}},
        {app, "--help", 0, {"usage: tarvelo2 [--help] [--version]"}},
        {sim, "--version", 0, {"hxm-sim " TARVELO_VERSION "\n"}},
        {sim, "--frob", 2, {"hxm-sim: unknown option --frob", "Usage: hxm-sim"}},
    };
    for (const row& r : rows) {
        const run_result got = run(r.program, r.args);
        EXPECT_EQ(got.status, r.status) << r.args << "\n" << got.output;
        for (const std::string& s : r.shows)
            EXPECT_NE(got.output.find(s), std::string::npos) << r.args << ": " << got.output;
    }
}

// Every word a program's --help declares (a command at the start of a usage
// line, an option anywhere) is in its manual page, written as roff writes a
// minus: "\-\-lan", "db\-list".
TEST(AppCommandLine, ManualPagesNameEveryCommandAndOption)
{
    struct row {
        std::string program;
        std::string page;
        std::string help_filter;
    };
    const std::string man = TARVELO_MAN;
    const row rows[] = {
        {TARVELO_CLI, man + "/tarvelo2-cli.1", "^  ([a-z]+(-[a-z]+)*)"},
        {TARVELO_SIM, man + "/hxm-sim.1", "^  (--[a-z-]+)"},
        {TARVELO_APP, man + "/tarvelo2.1", "^usage: tarvelo2 \\[(--help)\\]"},
    };
    const std::regex option("--[a-z][a-z-]*");
    for (const row& r : rows) {
        std::ifstream in(r.page);
        std::stringstream text;
        text << in.rdbuf();
        std::string page = std::regex_replace(text.str(), std::regex("\\\\-"), "-");
        ASSERT_FALSE(page.empty()) << r.page;
        std::istringstream help(run(r.program, "--help").output);
        std::set<std::string> words;
        for (std::string line; std::getline(help, line);) {
            std::smatch m;
            if (std::regex_search(line, m, std::regex(r.help_filter)))
                words.insert(m[1]);
            for (auto it = std::sregex_iterator(line.begin(), line.end(), option);
                 it != std::sregex_iterator(); ++it)
                words.insert(it->str());
        }
        EXPECT_GE(words.size(), 2u) << r.program;
        for (const std::string& word : words)
            EXPECT_TRUE(std::regex_search(page, std::regex("(^|[^a-z-])" + word + "([^a-z-]|$)")))
                << word << " is not in " << r.page;
    }
}
