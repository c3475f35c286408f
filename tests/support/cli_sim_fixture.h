#pragma once
// tarvelo2-cli run as a child process against the simulated instrument on
// an ephemeral loopback port, with a temporary folder for its files.
// TARVELO_CLI names the program.

#include "sim/server.h"
#include "tests/support/build_path.h"
#include "tests/support/cli_run.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

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
        configure(options);
        server = std::make_unique<sim::sim_server>(options);
        server->start();
    }
    // A fixture's own instrument (model, noise, faults) before it starts.
    virtual void configure(sim::sim_options&) {}
    void TearDown() override
    {
        server->stop();
        std::filesystem::remove_all(dir);
    }
    // The program with args, connected to the simulator over the LAN, in
    // the given locale (the program prints in the locale's encoding; the C
    // locale passes its Windows-1252 texts unchanged).
    cli_output run_cli(const std::string& args, const std::string& locale = "C")
    {
        return run_command_line("LC_ALL=" + locale + " " + std::string(TARVELO_CLI) +
                                    " --lan 127.0.0.1 --port " +
                                    std::to_string(server->tcp_port()) + " " + args,
                                dir + "/err.txt");
    }

    std::string dir;
    std::unique_ptr<sim::sim_server> server;
};
