#pragma once
// The simulated instrument as a child process on loopback: started with the
// given options, its TCP port read from its "listening tcp" line, stopped
// (by its own pid) when the object goes, or by the system when the thread
// that started it ends. The build gives the program's path as HXM_SIM_PATH.

#include "tests/support/build_path.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class sim_process {
public:
    explicit sim_process(std::vector<std::string> args)
    {
        const std::string program = HXM_SIM_PATH;
        int out[2];
        if (pipe(out) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            // The simulator ends with the thread that started it, also when
            // the test program dies without running its destructors.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        read_listening(out[0]);
    }
    ~sim_process()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (out_)
            std::fclose(out_);
    }
    sim_process(const sim_process&) = delete;
    sim_process& operator=(const sim_process&) = delete;

    int tcp_port() const { return port_; }

private:
    void read_listening(int fd)
    {
        out_ = fdopen(fd, "r");
        char line[256];
        while (out_ && std::fgets(line, sizeof line, out_)) {
            const std::string text(line);
            if (text.rfind("listening tcp ", 0) == 0) {
                port_ = std::atoi(text.substr(text.rfind(':') + 1).c_str());
                return;
            }
        }
    }

    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    int port_ = 0;
};
