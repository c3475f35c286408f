#pragma once
// Runs a command line as a child process and takes what it printed on
// stdout and stderr and how it ended.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

struct cli_output {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a whole command line, its messages going to err_path; the exit
// status is -1 when the program did not end by itself.
inline cli_output run_command_line(const std::string& command, const std::string& err_path)
{
    cli_output r;
    FILE* p = ::popen((command + " 2>" + err_path).c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        r.out.append(buf, n);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(err_path);
    r.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    return r;
}
