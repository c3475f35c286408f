#pragma once
// A private CUPS scheduler with the PDF queue "tarvelo-pdf" for the printing
// tests, started with scripts/print-server (TARVELO_PRINT_SERVER names it)
// in a temporary folder and stopped and removed with the object. While it
// runs, CUPS_SERVER points this process (and the print dialog) at it.
// printed() waits for a job's PDF, found by a word of its title among the
// files printer-driver-cups-pdf wrote since the server started, and takes
// it away. That folder is the user's, shared by every scheduler: while one
// print_server of the machine runs (another checkout's suite may run beside
// this one), the next waits for it.

#include "tests/support/build_path.h"
#include "tests/support/cli_run.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <regex>
#include <string>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

class print_server {
public:
    print_server()
    {
        char pattern[] = "/tmp/tarvelo-print-XXXXXX";
        if (!::mkdtemp(pattern)) {
            failure_ = "no temporary folder";
            return;
        }
        dir_ = pattern;
        const cli_output r = script("start");
        const std::string socket = dir_ + "/cups.sock";
        if (r.status != 0 || r.out.find(socket) == std::string::npos) {
            failure_ = "scripts/print-server start failed: " + r.err;
            return;
        }
        ::setenv("CUPS_SERVER", socket.c_str(), 1);
        running_ = true;
    }
    ~print_server()
    {
        if (running_)
            ::unsetenv("CUPS_SERVER");
        if (!dir_.empty()) {
            script("stop");
            std::filesystem::remove_all(dir_);
        }
        if (turn_ >= 0)
            ::close(turn_); // the next one's turn
    }
    print_server(const print_server&) = delete;
    print_server& operator=(const print_server&) = delete;

    bool running() const { return running_; }
    // Why the server is not running, for the test's skip message.
    const std::string& failure() const { return failure_; }
    static const char* queue() { return "tarvelo-pdf"; }

    // The bytes of the PDF of the job whose title holds word, once the
    // queue has finished it (the file is removed); empty when no such file
    // came within a minute, with the scheduler's log in failure().
    std::string printed(const std::string& word)
    {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (std::chrono::steady_clock::now() < give_up) {
            if (queue_empty())
                if (const std::filesystem::path pdf = find_pdf(word); !pdf.empty()) {
                    std::ifstream in(pdf, std::ios::binary);
                    std::string bytes((std::istreambuf_iterator<char>(in)), {});
                    std::filesystem::remove(pdf);
                    return bytes;
                }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::ifstream log(dir_ + "/log/error_log");
        failure_ = "no PDF of \"" + word + "\" in " + output_folder().string() + "; log:\n" +
                   std::string((std::istreambuf_iterator<char>(log)), {});
        return {};
    }

    // Where printer-driver-cups-pdf writes this user's jobs: its "Out"
    // setting with ${HOME} and ${USER} put in, by default the spool's
    // folder of the user.
    static std::filesystem::path output_folder()
    {
        const passwd* pw = ::getpwuid(::getuid());
        const std::string home = pw ? pw->pw_dir : "", user = pw ? pw->pw_name : "";
        std::string out = "/var/spool/cups-pdf/${USER}";
        std::ifstream conf("/etc/cups/cups-pdf.conf");
        const std::regex setting(R"(^\s*Out\s+(\S.*?)\s*$)");
        std::smatch m;
        for (std::string line; std::getline(conf, line);)
            if (std::regex_match(line, m, setting))
                out = m[1];
        out = std::regex_replace(out, std::regex(R"(\$\{HOME\})"), home);
        return std::regex_replace(out, std::regex(R"(\$\{USER\})"), user);
    }

private:
    cli_output script(const std::string& action)
    {
        return run_command_line(std::string(TARVELO_PRINT_SERVER) + " " + action + " " + dir_,
                                dir_ + "/script.err");
    }
    bool queue_empty()
    {
        return run_command_line("lpstat -o " + std::string(queue()), dir_ + "/lpstat.err")
            .out.empty();
    }
    std::filesystem::path find_pdf(const std::string& word) const
    {
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(output_folder(), ec))
            if (e.path().extension() == ".pdf" &&
                e.path().filename().string().find(word) != std::string::npos &&
                e.last_write_time(ec) >= started_)
                return e.path();
        return {};
    }

    // Waits for the machine's running print_server to end (-1 when the
    // lock cannot be had: then none is waited for).
    static int take_turn()
    {
        const int fd = ::open("/tmp/tarvelo-print-server.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd >= 0)
            ::flock(fd, LOCK_EX);
        return fd;
    }

    const int turn_ = take_turn(); // before started_: the jobs of the one before are not ours
    const std::filesystem::file_time_type started_ = std::filesystem::file_time_type::clock::now();
    std::string dir_;
    std::string failure_;
    bool running_ = false;
};
