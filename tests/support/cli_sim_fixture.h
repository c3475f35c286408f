#pragma once
// tarvelo2-cli run as a child process against the simulated instrument on
// an ephemeral loopback port, with a temporary folder for its files.
// TARVELO_CLI names the program.

#include "sim/server.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
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

class cli_sim_fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-cli-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        sim::sim_options options;
        options.tcp_host = "127.0.0.1";
        options.tcp_port = 0;
        options.instrument.time_scale = 0;
        server = std::make_unique<sim::sim_server>(options);
        server->start();
    }
    void TearDown() override
    {
        server->stop();
        std::filesystem::remove_all(dir);
    }
    // The program with args, connected to the simulator over the LAN.
    cli_output run_cli(const std::string& args)
    {
        return run_command_line(std::string(TARVELO_CLI) + " --lan 127.0.0.1 --port " +
                                    std::to_string(server->tcp_port()) + " " + args,
                                dir + "/err.txt");
    }

    std::string dir;
    std::unique_ptr<sim::sim_server> server;
};
