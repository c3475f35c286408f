#pragma once
// The simulated instrument in-process on an ephemeral loopback port, an
// identified link to it and the configuration model of its type; commands
// posted by the code under test wait in a scripted dispatcher and message
// boxes are recorded. Each test has a temporary folder.

#include "base/command_seam.h"
#include "base/ui_seam.h"
#include "config/config_current.h"
#include "config/config_protocol.h"
#include "link/identify.h"
#include "link/link.h"
#include "sim/server.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>

class sim_link_fixture : public ::testing::Test {
protected:
    // The simulator's options with an ephemeral loopback port, no waiting on
    // the wire and its exchanges logged to log.txt in the folder.
    sim::sim_options loopback_options(sim::sim_model model) const
    {
        sim::sim_options o;
        o.tcp_host = "127.0.0.1";
        o.tcp_port = 0;
        o.instrument.model = model;
        o.instrument.time_scale = 0;
        o.log_path = dir + "/log.txt";
        return o;
    }
    void start_sim(const sim::sim_options& options)
    {
        server = std::make_unique<sim::sim_server>(options);
        server->start();
        link_set_tcp_port(server->tcp_port());
        link.interface = LINK_LAN;
        link.ip_address = "127.0.0.1";
        ASSERT_TRUE(connect_and_identify(nullptr, link, false));
        link.identified = true;
        config_select(link.caps);
    }
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-sim-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        set_command_dispatcher(&dispatcher);
        ui_set_backend(&ui);
    }
    void TearDown() override
    {
        link_close(link);
        if (server)
            server->stop();
        link_set_tcp_port(LINK_DEFAULT_TCP_PORT);
        ui_set_backend(nullptr);
        set_command_dispatcher(nullptr);
        config_select(instrument_caps_of(0));
        std::filesystem::remove_all(dir);
    }
    void set_param(int id, int value)
    {
        ASSERT_EQ(link_open(link), 0);
        set_param_int(id, value, link);
        link_close(link);
    }
    int get_param(int id)
    {
        EXPECT_EQ(link_open(link), 0);
        const int32_t v = query_int_param(id, -1000000, 1000000, link);
        link_close(link);
        return v;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::string dir;
    std::unique_ptr<sim::sim_server> server;
    scripted_dispatcher dispatcher;
    scripted_ui ui;
    s_link link;
};
