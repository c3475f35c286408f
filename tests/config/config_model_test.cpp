#include "config/config_current.h"
#include "config/param_table.h"

#include <gtest/gtest.h>
#include <set>

namespace {

std::string display(const instrument_config& cfg, int id)
{
    std::string text;
    cfg.get_display_text(id, text);
    return text;
}

// Every table entry becomes a record with its kind, command number, range,
// initial value and choices; every other id keeps the zero state.
void expect_built_from(const instrument_config& cfg, std::span<const s_param_def> defs)
{
    std::set<int> listed;
    for (const s_param_def& d : defs) {
        listed.insert(d.id);
        const s_config_param& rec = *cfg.record(d.id);
        EXPECT_EQ(rec.cmd, d.id);
        EXPECT_EQ(rec.min, d.min) << d.id;
        EXPECT_EQ(rec.max, d.max) << d.id;
        EXPECT_FALSE(rec.changed);
        if (d.kind == param_kind::text) {
            EXPECT_EQ(rec.type, PARAM_TEXT);
            EXPECT_EQ(display(cfg, d.id), d.choices[0] ? d.choices[0] : "") << d.id;
            EXPECT_TRUE(rec.options.empty());
        } else {
            EXPECT_EQ(rec.type, PARAM_INTEGER);
            EXPECT_EQ(rec.cell.val, 0);
            EXPECT_EQ(rec.options.empty(), d.kind == param_kind::integer) << d.id;
        }
    }
    for (int id = 0; id <= 256; ++id) {
        if (listed.count(id))
            continue;
        const s_config_param& rec = *cfg.record(id);
        EXPECT_TRUE(rec.type == PARAM_INTEGER && rec.cell.val == 0 && rec.cmd == 0 &&
                    rec.min == 0 && rec.max == 0 && rec.options.empty())
            << id;
    }
}

} // namespace

TEST(ConfigModel, TablesBuildEveryRecordAndLeaveTheRestZero)
{
    EXPECT_EQ(hxm_4100_params().size(), 99u);
    EXPECT_EQ(hxm_6300_params().size(), 131u);
    expect_built_from(config_model_4100(), hxm_4100_params());
    expect_built_from(config_model_6300(), hxm_6300_params());
}

TEST(ConfigModel, TextsAreWindows1252AndPercentSignsStayDoubled)
{
    const hxm_cfg_6300 m;
    EXPECT_EQ(display(m, 48), "1.0000E3");
    EXPECT_EQ(m.record(210)->options[1], "25%%");
    EXPECT_EQ(m.record(6)->options[0], "-180\xB0 to 180\xB0");
    EXPECT_EQ(m.record(139)->options[0], "Tan \xF0 / QF");
    EXPECT_EQ(m.record(177)->options[2], "Tan \xD8");
    EXPECT_EQ(m.record(27)->options.size(), 16u);
    const hxm_cfg_4100 t;
    EXPECT_EQ(t.record(177)->options[2], "Tan \xF8");
    EXPECT_EQ(t.record(130)->options.size(), 6u);
    EXPECT_EQ(t.record(130)->max, 7);
}

TEST(ConfigModel, AccessorsFollowTheRecordKind)
{
    hxm_cfg_4100 m;
    m.set_int(13, 4);
    EXPECT_EQ(display(m, 13), "Very Fast");
    m.set_int(13, 6); // beyond the six choices
    EXPECT_EQ(display(m, 13), "");
    m.set_int(13, -1);
    EXPECT_EQ(display(m, 13), "");
    std::string text;
    m.get_text(13, text);
    EXPECT_EQ(text, "-1");

    m.set_text(19, "1.5E3");
    double d = 0;
    m.get_double(19, d);
    EXPECT_DOUBLE_EQ(d, 1500);
    int32_t i = 0;
    m.set_text(151, "42abc");
    EXPECT_EQ(m.get_int(151, i), 0);
    EXPECT_EQ(i, 42);
    m.set_text(151, "99999999999999");
    m.get_int(151, i);
    EXPECT_EQ(i, INT32_MAX);

    s_param_info info;
    m.get_info(151, info);
    EXPECT_FALSE(info.is_integer);
    EXPECT_EQ(info.min, 1);
    EXPECT_EQ(info.max, 100);
    m.get_info(12, info);
    EXPECT_EQ(info.min, -99);
}

TEST(ConfigModel, TextsKeepNineteenCharactersWhole)
{
    hxm_cfg_4100 m;
    m.set_text(19, "1234567890123456789xyz");
    std::string text;
    m.get_text(19, text);
    EXPECT_EQ(text, "1234567890123456789");
    m.get_display_text(19, text);
    EXPECT_EQ(text, "1234567890123456789");
}

TEST(ConfigModel, EverySetMarksChangedEvenWithTheSameValue)
{
    hxm_cfg_4100 m;
    m.set_int(3, 0);
    EXPECT_TRUE(m.record(3)->changed);
    s_value_cell cell{};
    std::snprintf(cell.text, sizeof cell.text, "%s", "2.5");
    m.set_value(20, cell);
    EXPECT_TRUE(m.record(20)->changed);
    EXPECT_EQ(display(m, 20), "2.5");
    cell = {};
    cell.val = 2;
    m.set_value(3, cell);
    EXPECT_EQ(display(m, 3), "Low");
}

TEST(ConfigModel, BanksAndIdsOutsideThem)
{
    hxm_cfg_4100 m;
    EXPECT_EQ(m.record(600), m.record(600));
    EXPECT_NE(m.record(600), nullptr);
    EXPECT_NE(m.record(256), nullptr);
    m.set_int(755, 5);
    int32_t v = 0;
    m.get_int(755, v);
    EXPECT_EQ(v, 5);
    for (int id : {-1, 257, 499, 756, 100000}) {
        EXPECT_EQ(m.record(id), nullptr);
        m.set_int(id, 3);
        m.set_text(id, "x");
        m.get_int(id, v);
        EXPECT_EQ(v, 0);
        std::string text = "stale";
        m.get_display_text(id, text);
        EXPECT_EQ(text, "");
    }
}

TEST(ConfigModel, ValueComparisonAndRecordCopy)
{
    s_config_param a, b;
    a.type = b.type = PARAM_TEXT;
    param_store_text(a, "1.0E3");
    param_store_text(b, "1.0e3");
    EXPECT_TRUE(param_same_value(a, b));
    param_store_text(b, "1000");
    EXPECT_FALSE(param_same_value(a, b));
    s_config_param c;
    c.cell.val = 0;
    s_config_param zero_text;
    zero_text.type = PARAM_TEXT;
    EXPECT_FALSE(param_same_value(c, zero_text));

    a.options = {"x", "y"};
    a.cmd = 7;
    a.min = -99;
    a.changed = true;
    param_copy(c, a);
    EXPECT_TRUE(param_same_value(c, a));
    EXPECT_EQ(c.options, a.options);
    EXPECT_EQ(c.cmd, 7);
    EXPECT_EQ(c.min, -99);
    EXPECT_TRUE(c.changed);
}

TEST(ConfigModel, NameTablesAndTheCurrentModel)
{
    const auto names = [](int type_code) { return instrument_caps_of(type_code).param_names; };
    EXPECT_STREQ(config_param_name(names(7), 95), "Mode");
    EXPECT_STREQ(config_param_name(names(7), 2), "Unused");
    EXPECT_STREQ(config_param_name(names(7), 10), "Unused");
    EXPECT_STREQ(config_param_name(names(9), 210), "Pretrigger");
    EXPECT_STREQ(config_param_name(names(9), 153), "Unused");
    EXPECT_STREQ(config_param_name(names(13), 56), "L-N Voltage adjust ?");
    EXPECT_STREQ(config_param_name(names(13), 95), "Unused");
    EXPECT_STREQ(config_param_name(names(13), 300), "Unused");
    EXPECT_EQ(config_param_name(names(5), 1), nullptr);

    EXPECT_EQ(&config_current(), &config_model_4100());
    config_select(instrument_caps_of(9));
    EXPECT_EQ(&config_current(), &config_model_6300());
    config_select(instrument_caps_of(13));
    EXPECT_EQ(&config_current(), &config_model_4100());
}
