#include "sim/param_table.h"
#include "sim/settings.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using sim::sim_model;
using sim::sim_settings;

TEST(ParamTables, HoldEveryParameterOfEachModelOnce)
{
    for (auto [model, count] : {std::pair{sim_model::hxm4100, 99u}, {sim_model::hxm6300, 131u}}) {
        std::set<int> ids;
        for (const auto& def : sim::param_table(model)) {
            EXPECT_TRUE(ids.insert(def.id).second) << def.id;
            EXPECT_GE(def.id, 1);
            EXPECT_LE(def.id, 256);
        }
        EXPECT_EQ(ids.size(), count);
    }
}

TEST(Settings, FactoryValuesAreInRangeAndAnswerAsTheInstrumentStoresThem)
{
    for (auto model : {sim_model::hxm4100, sim_model::hxm6300}) {
        sim_settings s(model);
        for (const auto& def : sim::param_table(model)) {
            const auto reply = s.query(def.id);
            ASSERT_TRUE(reply.has_value());
            if (def.kind != sim::param_kind::text) {
                const int raw = std::stoi(*reply);
                EXPECT_GE(raw, def.min) << def.id;
                EXPECT_LE(raw, def.max) << def.id;
            }
        }
        EXPECT_EQ(s.query(1), "1"); // frequency response mode
        EXPECT_EQ(s.query(18), "100");
        EXPECT_EQ(s.query(48), "1.0000E3");
    }
    sim_settings s6300(sim_model::hxm6300);
    EXPECT_EQ(s6300.query(24), "1"); // input choices counted from 1
    EXPECT_EQ(s6300.query(12), "0.0000E");
    EXPECT_EQ(s6300.query(101), "20");
}

TEST(Settings, RawValuesOutsideTheRangeOrMalformedAreRefusedAndKeepTheOldValue)
{
    sim_settings s(sim_model::hxm4100);
    EXPECT_EQ(s.set(18, "3000"), 0);
    EXPECT_EQ(s.set(18, "3001"), sim::k_esr_execution_error);
    EXPECT_EQ(s.set(18, "1"), sim::k_esr_execution_error);
    EXPECT_EQ(s.set(18, "12abc"), sim::k_esr_command_error);
    EXPECT_EQ(s.set(18, ""), sim::k_esr_command_error);
    EXPECT_EQ(s.query(18), "3000");
    EXPECT_EQ(s.set(10, "1"), sim::k_esr_execution_error); // no such id on the 4100
    EXPECT_FALSE(s.query(10).has_value());
    EXPECT_EQ(s.set(-5, "1"), sim::k_esr_execution_error);
}

TEST(Settings, ListParametersTakeTheInstrumentsOwnNumbering)
{
    sim_settings s4100(sim_model::hxm4100);
    EXPECT_EQ(s4100.set(51, "2"), 0);  // square wave is the instrument's 2
    EXPECT_EQ(s4100.set(130, "7"), 0); // "None" is 7
    EXPECT_EQ(s4100.set(38, "2"), 0);  // binary output
    EXPECT_EQ(s4100.set(6, "3"), sim::k_esr_execution_error);

    sim_settings s6300(sim_model::hxm6300);
    EXPECT_EQ(s6300.set(1, "7"), 0); // oscilloscope
    EXPECT_EQ(s6300.set(122, "4"), 0);
    EXPECT_EQ(s6300.set(198, "2"), 0);
    EXPECT_EQ(s6300.set(1, "8"), sim::k_esr_execution_error);
}

TEST(Settings, TextParametersCheckTheirNumericRangeAndLength)
{
    sim_settings s(sim_model::hxm6300);
    EXPECT_EQ(s.set(151, "100"), 0);
    EXPECT_EQ(s.set(151, "1.5E2"), sim::k_esr_execution_error);
    EXPECT_EQ(s.set(152, "abc"), sim::k_esr_execution_error);
    EXPECT_EQ(s.set(153, "30"), 0);
    EXPECT_EQ(s.set(152, ""), 0);                          // blank reads as 0, in range
    EXPECT_EQ(s.set(151, ""), sim::k_esr_execution_error); // 0 is below 1
    EXPECT_EQ(s.set(20, ""), sim::k_esr_execution_error);  // a sweep needs its end
    EXPECT_EQ(s.query(151), "100");
    EXPECT_EQ(s.set(19, "2.5E1"), 0);
    EXPECT_EQ(s.set(19, "-1"), sim::k_esr_execution_error);
    EXPECT_EQ(s.set(19, "0"), sim::k_esr_execution_error);
    EXPECT_EQ(s.set(65, "any text at all"), 0);
    EXPECT_EQ(s.set(65, "twenty characters!!!"), sim::k_esr_execution_error);
    EXPECT_EQ(s.query(65), "any text at all");
    EXPECT_DOUBLE_EQ(s.get_double(19, 0), 25.0);
}

} // namespace
