#pragma once
// tarvelo2-cli's export commands as a child process: a one-line sweep1.dat
// in the fixture's folder, and the simulator for the commands that need an
// instrument.

#include "tests/support/build_path.h"
#include "tests/support/cli_sim_fixture.h"

#include <fstream>
#include <iterator>
#include <string>

class CliExport : public cli_sim_fixture {
protected:
    void configure(sim::sim_options& options) override
    {
        options.instrument.model = sim::sim_model::hxm6300;
    }
    void SetUp() override
    {
        cli_sim_fixture::SetUp();
        std::ofstream(dir + "/sweep1.dat", std::ios::binary)
            << "07-12-2026 - "
               "09:35\r\n1\t10.0000\t1.5E+000\t7.5E-001\t-6.0E+000\t-4.5E+001\t2.0E-003";
    }
    // Exit status and stdout; stderr into err.
    int run(const std::string& args, std::string& out, bool connected = false)
    {
        const std::string link =
            connected ? " --lan 127.0.0.1 --port " + std::to_string(server->tcp_port()) : "";
        const cli_output o =
            run_command_line(std::string(TARVELO_CLI) + link + " " + args, dir + "/err.txt");
        out = o.out;
        return o.status;
    }
    std::string err() const
    {
        std::ifstream in(dir + "/err.txt");
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};
