// The simulated instrument against the application's own configuration
// model: the two keep separate copies of the parameter tables, and every
// list choice the application can write must reach the instrument as a
// value it takes and come back as the same choice.

#include "config/hxm_cfg_4100.h"
#include "config/hxm_cfg_6300.h"
#include "config/param_table.h"
#include "link/link.h"
#include "sim/param_table.h"
#include "tests/sim/sim_fixture.h"

#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>

namespace {

int kind_number(::param_kind kind)
{
    return static_cast<int>(kind);
}

int kind_number(sim::param_kind kind)
{
    return static_cast<int>(kind);
}

std::string text_or_empty(const char* text)
{
    return text ? text : "";
}

void expect_same_table(sim::sim_model model, std::span<const s_param_def> app)
{
    std::map<int, const s_param_def*> by_id;
    for (const auto& def : app) {
        by_id[def.id] = &def;
    }
    ASSERT_EQ(sim::param_table(model).size(), by_id.size());
    for (const auto& def : sim::param_table(model)) {
        const auto it = by_id.find(def.id);
        ASSERT_NE(it, by_id.end()) << def.id;
        const s_param_def& theirs = *it->second;
        EXPECT_STREQ(def.name, theirs.name) << def.id;
        EXPECT_EQ(kind_number(def.kind), kind_number(theirs.kind)) << def.id;
        EXPECT_EQ(def.min, theirs.min) << def.id;
        // The two-channel output format holds Binary as 2, one past the
        // range the application allows itself to write.
        const bool output_format = model == sim::sim_model::hxm4100 && def.id == 38;
        EXPECT_EQ(def.max, output_format ? theirs.max + 1 : theirs.max) << def.id;
        if (def.kind == sim::param_kind::text) {
            EXPECT_EQ(text_or_empty(def.initial_text), text_or_empty(theirs.choices[0])) << def.id;
        }
    }
}

TEST(AppTables, BothCopiesOfTheParameterTablesAgree)
{
    expect_same_table(sim::sim_model::hxm4100, hxm_4100_params());
    expect_same_table(sim::sim_model::hxm6300, hxm_6300_params());
}

// Writes every choice of every list parameter the way the configuration
// window does (one write, then a read back into the model) and expects the
// instrument to have taken it.
void expect_every_choice_round_trips(sim::sim_model model, instrument_config& cfg)
{
    sim::sim_options options;
    options.instrument.model = model;
    auto sim = start_sim(options);
    link_set_tcp_port(sim->tcp_port());
    s_link link;
    link.interface = LINK_LAN;
    link.ip_address = "127.0.0.1";
    ASSERT_EQ(link_open(link), 0);
    // A set and its status query go out back to back; without this the
    // second waits for the acknowledgement of the first (about 40 ms on
    // loopback), which only slows the walk through some 500 choices.
    const int on = 1;
    ::setsockopt(link.socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    int written = 0;
    for (const auto& def : sim::param_table(model)) {
        const s_config_param* rec = cfg.record(def.id);
        if (def.kind != sim::param_kind::list) {
            continue;
        }
        for (int position = 0; position < static_cast<int>(rec->options.size()); ++position) {
            if (position > rec->max) {
                continue; // refused by the application itself
            }
            cfg.set_int(def.id, position);
            ASSERT_TRUE(cfg.write_param(def.id, link)) << def.id << " choice " << position;
            cfg.set_int(def.id, -1);
            cfg.read_param(def.id, link, nullptr);
            EXPECT_EQ(cfg.record(def.id)->cell.val, position) << def.id;
            ++written;
        }
    }
    link_close(link);
    EXPECT_GT(written, 200);
}

TEST(AppTables, EveryChoiceTheApplicationWritesIsTakenAndReadsBack)
{
    hxm_cfg_4100 hxm4100;
    expect_every_choice_round_trips(sim::sim_model::hxm4100, hxm4100);
    hxm_cfg_6300 hxm6300;
    expect_every_choice_round_trips(sim::sim_model::hxm6300, hxm6300);
}

} // namespace
