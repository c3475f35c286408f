#include "sim/fd_port.h"
#include "sim/options.h"

#include <gtest/gtest.h>

namespace {

std::optional<sim::sim_options> parse(std::vector<std::string> args, std::string* error = nullptr)
{
    std::string text;
    auto options = sim::parse_options(args, text);
    if (error) {
        *error = text;
    }
    return options;
}

TEST(Options, DefaultsServeTheFourThousandOneHundredOnTheStandardPort)
{
    const auto o = parse({});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->instrument.model, sim::sim_model::hxm4100);
    EXPECT_TRUE(o->tcp);
    EXPECT_EQ(o->tcp_host, "127.0.0.1");
    EXPECT_EQ(o->tcp_port, 10001);
    EXPECT_TRUE(o->pty_path.empty());
    EXPECT_TRUE(o->discovery_address.empty());
    EXPECT_EQ(o->discovery_port_a, 65535);
    EXPECT_EQ(o->discovery_port_b, 30718);
}

TEST(Options, EveryListenerDeviceAndFaultOptionIsTaken)
{
    const auto o = parse({"--model",
                          "HXM6300",
                          "--idn",
                          "QUELLMARSH,HXM6300,1,2",
                          "--tcp",
                          "127.0.0.1:0",
                          "--pty",
                          "/tmp/x",
                          "--baud",
                          "38400",
                          "--discovery",
                          "127.0.0.1",
                          "--discovery-port-a",
                          "40001",
                          "--discovery-port-b",
                          "40002",
                          "--fra-dut",
                          "num=1;den=1e-3,1",
                          "--lcr-dut",
                          "series:R=10,L=1m",
                          "--lcr-values",
                          "14",
                          "--time-scale",
                          "0.5",
                          "--log",
                          "/tmp/log",
                          "--fault",
                          "drop-after=3",
                          "--fault",
                          "stray-line",
                          "--fault",
                          "short-line=2",
                          "--fault",
                          "garbage=4",
                          "--fault",
                          "silent",
                          "--fault",
                          "esr-stuck=4",
                          "--fault",
                          "late-reply=250",
                          "--fault",
                          "disconnect-on=SCREEN?"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->instrument.model, sim::sim_model::hxm6300);
    EXPECT_EQ(o->tcp_port, 0);
    EXPECT_EQ(o->baud, 38400);
    EXPECT_EQ(o->discovery_port_b, 40002);
    EXPECT_EQ(o->instrument.fra.den, (std::vector<double>{1e-3, 1}));
    EXPECT_EQ(o->instrument.lcr.kind, sim::lcr_dut::circuit::series);
    EXPECT_DOUBLE_EQ(o->instrument.lcr.l, 1e-3);
    EXPECT_EQ(o->instrument.lcr_reading_values, 14);
    EXPECT_DOUBLE_EQ(o->instrument.time_scale, 0.5);
    const auto& f = o->faults;
    EXPECT_EQ(f.drop_after, 3);
    EXPECT_TRUE(f.stray_line);
    EXPECT_EQ(f.short_line, 2);
    EXPECT_EQ(f.garbage, 4);
    EXPECT_TRUE(f.silent);
    EXPECT_EQ(f.esr_stuck, 4);
    EXPECT_EQ(f.late_reply_ms, 250);
    EXPECT_EQ(f.disconnect_on, (std::vector<std::string>{"SCREEN?"}));
    EXPECT_FALSE(parse({"--tcp", "off"})->tcp);
    EXPECT_EQ(parse({"--baud", "line"})->baud, sim::k_baud_follow_line);
    // A repeated device makes a set, in the order given.
    const auto set =
        parse({"--fra-dut", "num=1", "--fra-dut", "ladder=2;L=1m", "--fra-dut", "num=2"});
    ASSERT_TRUE(set);
    EXPECT_EQ(set->instrument.fra.num, std::vector<double>{1});
    ASSERT_EQ(set->instrument.fra_more.size(), 2u);
    EXPECT_EQ(set->instrument.fra_more[0].ladder->sections, 2);
    EXPECT_EQ(set->instrument.fra_more[1].num, std::vector<double>{2});
}

TEST(Options, BadValuesAreRefusedWithAReason)
{
    std::string error;
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--model", "HXM9999"},
             {"--tcp", "127.0.0.1"},
             {"--tcp", "127.0.0.1:70000"},
             {"--baud", "fast"},
             {"--fault", "short-line=0"},
             {"--fault", "drop-after"},
             {"--fault", "explode"},
             {"--lcr-values", "12"},
             {"--time-scale", "-1"},
             {"--pty"},
             {"--frobnicate", "1"},
             {"--fra-dut", "num=1;den=0,0"},
             {"--fra-dut", "num=x"},
             {"--fra-dut", "zeros=1"},
             {"--fra-dut", "ladder=0;L=1m"},
             {"--fra-dut", "ladder=4"},
             {"--fra-dut", "ladder=4;L=1m;k=1"},
             {"--fra-dut", "ladder=4;L=1m;end=open"},
             {"--fra-dut", "ladder=4;L=1m;Cc=1n"},
             {"--fra-dut", "ladder=4;L=1m;ratio=0.1;end=earth"},
             {"--fra-dut", "ladder=4;L=1m;moved=3-5;dCg=0.1"},
             {"--fra-dut", "ladder=4;L=1m;Rsrc=0"},
             {"--lcr-dut", "bvd:R=1,L=1"},
             {"--lcr-dut", "tank:L=1"},
             {"--lcr-dut", "series:R=-5"},
             {"--lcr-dut", "series:Q=5"},
         }) {
        EXPECT_FALSE(parse(args, &error)) << args.front();
        EXPECT_FALSE(error.empty());
    }
}

TEST(Options, QuantitiesTakeSiPrefixes)
{
    const auto o = parse({"--lcr-dut", "bvd:R=12.5,L=80m,C=3.3n,Cp=470p"});
    ASSERT_TRUE(o);
    EXPECT_DOUBLE_EQ(o->instrument.lcr.c, 3.3e-9);
    EXPECT_DOUBLE_EQ(o->instrument.lcr.cp, 470e-12);
    EXPECT_DOUBLE_EQ(o->instrument.lcr.l, 80e-3);
    EXPECT_FALSE(parse({"--lcr-dut", "bvd:R=1,L=1x,C=1,Cp=1"}));
}

} // namespace
