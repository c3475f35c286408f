#include "app/ui/main_window.h"
#include "base/command_ids.h"
#include "base/ui/control_windows.h"
#include "base/ui/mode_windows.h"
#include "config/config_current.h"
#include "config/ui/config_pages.h"
#include "config/ui/config_window.h"
#include "link/identify.h"
#include "link/link.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/sim_process.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <fstream>
#include <gtest/gtest.h>

namespace {

class ConfigWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_qt_app();
        test_ui().clear();
        g_link = s_link{};
        set_mode_window_factory("QXTarvelo2ConfigWClass", make_config_window);
    }
    void TearDown() override
    {
        w.reset();
        g_link = s_link{};
        config_select(instrument_caps_of(0));
        link_set_tcp_port(LINK_DEFAULT_TCP_PORT);
    }

    // Starts the main window as if an instrument of this type were connected.
    void start(int type_code)
    {
        link_set_type(g_link, type_code);
        config_select(g_link.caps);
        prepare_test_settings((dir / "data").string());
        w = std::make_unique<main_window>((dir / "data").string(), dir.str());
        w->show();
        panel()->setEnabled(true);
        pump();
    }

    config_window* panel() { return static_cast<config_window*>(w->mode_window(ROW_CONFIG)); }
    void click(int id)
    {
        post_click(id);
        pump();
    }
    QString title() { return qobject_cast<QLabel*>(control_by_id(13001))->text(); }
    QAbstractButton* extra() { return qobject_cast<QAbstractButton*>(control_by_id(13014)); }
    bool shown(int id)
    {
        QWidget* c = panel()->page_control(id);
        return c && c->isVisibleTo(panel());
    }
    int shown_rows(int base, int count)
    {
        int n = 0;
        for (int id = base; id < base + count; ++id)
            n += shown(id);
        return n;
    }
    void type(int id, const char* text)
    {
        auto* edit = qobject_cast<QLineEdit*>(panel()->page_control(id));
        ASSERT_NE(edit, nullptr) << id;
        edit->setText(text);
        post_command(panel(), id, NOTIFY_EDIT_CHANGE);
        pump();
    }
    void choose(int id, int position)
    {
        auto* combo = qobject_cast<QComboBox*>(panel()->page_control(id));
        ASSERT_NE(combo, nullptr) << id;
        combo->setCurrentIndex(position);
        post_command(panel(), id, NOTIFY_SELECT_OK);
        pump();
    }

    temp_folder dir{"tarvelo_config_window"};
    std::unique_ptr<main_window> w;
};

} // namespace

TEST_F(ConfigWindow, TwoChannelPagesShowTheirTitlesAndRows)
{
    start(7);
    EXPECT_EQ(title(), "Configuration: Acquisition Control");
    EXPECT_FALSE(extra()->isVisibleTo(panel()));
    const std::pair<int, const char*> pages[] = {
        {13003, "Sweep Settings"}, {13004, "Trim Control"}, {13007, "Auxillary Control"},
        {13008, "Output Options"}, {13009, "Input 1"},      {13010, "Input 2"},
        {13011, "System Options"}};
    for (const auto& [button, name] : pages) {
        click(button);
        EXPECT_EQ(title(), QString("Configuration: ") + name);
        EXPECT_TRUE(control_by_id(button)->font().bold());
    }
    EXPECT_EQ(shown_rows(25800, 10), 10);
    EXPECT_EQ(panel()->page_label(25800)->text(), "Phase convention");
    click(13008);
    EXPECT_EQ(shown_rows(25600, 9), 9);
    EXPECT_FALSE(panel()->page_control(25800));
}

TEST_F(ConfigWindow, ControllingListRelaysThePageOut)
{
    start(7);
    choose(25000, 1);           // Mode: streaming
    EXPECT_FALSE(shown(25002)); // Speed
    EXPECT_TRUE(shown(25003));  // Window
    choose(25000, 0);
    choose(25002, 5); // Speed: Window
    EXPECT_TRUE(shown(25003));
    choose(25002, 0);
    EXPECT_FALSE(shown(25003));
    int32_t speed = -1;
    config_current().get_int(13, speed);
    EXPECT_EQ(speed, 0);
}

TEST_F(ConfigWindow, CyclesDelayAndStepsEditRules)
{
    start(7);
    std::string before;
    config_current().get_text(151, before);
    type(25004, "150");
    ASSERT_EQ(test_ui().shown().size(), 1u);
    EXPECT_EQ(test_ui().shown()[0].text, "Minimum Cycles must be set between 1 and 100");
    EXPECT_EQ(test_ui().shown()[0].caption, "Incorrect Value");
    std::string after;
    config_current().get_text(151, after);
    EXPECT_EQ(after, before);
    type(25005, "0");
    config_current().get_text(152, after);
    EXPECT_EQ(after, "0");
    EXPECT_EQ(test_ui().shown().size(), 1u);

    click(13003);
    int32_t steps = 0;
    type(25102, "3000");
    config_current().get_int(18, steps);
    EXPECT_EQ(steps, 3000);
    type(25102, "3001");
    type(25102, "1");
    config_current().get_int(18, steps);
    EXPECT_EQ(steps, 3000);
    EXPECT_EQ(test_ui().shown().size(), 1u);
}

TEST_F(ConfigWindow, ThreeChannelExtraButtonOpensAdvancedAndInput3)
{
    start(9);
    EXPECT_TRUE(extra()->isVisibleTo(panel()));
    EXPECT_EQ(extra()->text(), "Advanced >");
    click(13014);
    EXPECT_EQ(title(), "Configuration: Advanced Acquisition");
    EXPECT_EQ(extra()->text(), "< Acquisition");
    EXPECT_TRUE(control_by_id(13002)->font().bold());
    click(13014);
    EXPECT_EQ(title(), "Configuration: Acquisition Control");
    click(13010);
    EXPECT_EQ(extra()->text(), "Channel 3 >");
    click(13014);
    EXPECT_EQ(title(), "Configuration: Input 3");
    EXPECT_EQ(extra()->text(), "< Channel 2");
    choose(25760, 2); // external attenuator: the second External Shunt field
    EXPECT_FALSE(shown(25764));
    EXPECT_TRUE(shown(25765));
    click(13007);
    EXPECT_FALSE(extra()->isVisibleTo(panel()));
}

TEST_F(ConfigWindow, ThreeChannelPageComesBackAfterTheOtherModel)
{
    start(9);
    click(13010);
    click(13014);
    EXPECT_EQ(title(), "Configuration: Input 3");
    link_set_type(g_link, 7);
    config_select(g_link.caps);
    panel()->rebuild_page();
    EXPECT_EQ(title(), "Configuration: Input 2");
    EXPECT_FALSE(extra()->isVisibleTo(panel()));
    EXPECT_TRUE(shown(25730));
    link_set_type(g_link, 9);
    config_select(g_link.caps);
    panel()->rebuild_page();
    EXPECT_EQ(title(), "Configuration: Input 3");
    EXPECT_EQ(extra()->text(), "< Channel 2");
}

TEST_F(ConfigWindow, OscilloscopeSwitchesTitleAndControlSet)
{
    start(9);
    config_current().set_int(1, 1);
    click(13012);
    EXPECT_EQ(title(), "Configuration: Frequency Response Analyser");
    int32_t smoothing = 0;
    config_current().get_int(14, smoothing);
    choose(28102, 2); // Smoothing: None hides Smoothing response at once
    EXPECT_FALSE(shown(28103));
    choose(28102, 0);
    EXPECT_TRUE(shown(28103));
    config_current().set_int(14, smoothing);
    choose(28100, 6);
    EXPECT_EQ(title(), "Configuration: Oscilloscope");
    EXPECT_TRUE(shown(28700));
    EXPECT_EQ(shown_rows(28700, 8), 8);
    EXPECT_FALSE(panel()->page_control(28100));
    config_current().set_int(1, 1);
}

TEST_F(ConfigWindow, ReadThenSetUpSendsOnlyWhatChanged)
{
    const std::string log = (dir / "sim.log").string();
    auto sim = std::make_unique<sim_process>(
        std::vector<std::string>{"--tcp", "127.0.0.1:0", "--model", "HXM4100", "--log", log});
    ASSERT_GT(sim->tcp_port(), 0);
    link_set_tcp_port(sim->tcp_port());
    g_link.interface = LINK_LAN;
    g_link.ip_address = "127.0.0.1";
    g_link.identified = connect_and_identify(nullptr, g_link, false);
    ASSERT_TRUE(g_link.identified);
    start(g_link.type_code);
    // Start-up loaded the (empty) saved connection; connect again.
    g_link.interface = LINK_LAN;
    g_link.ip_address = "127.0.0.1";
    g_link.identified = true;
    // The models live for the process: earlier edits go out first.
    send_command(w.get(), CMD_SET_UP_HXM);
    send_command(w.get(), CMD_READ_HXM);
    click(13003);
    auto* type_list = qobject_cast<QComboBox*>(panel()->page_control(25105));
    ASSERT_NE(type_list, nullptr);
    choose(25105, type_list->currentIndex() == 0 ? 1 : 0);
    send_command(w.get(), CMD_SET_UP_HXM);
    sim.reset(); // the transcript is complete once the simulator stops

    std::ifstream in(log);
    std::string line;
    std::vector<std::string> writes;
    int transfers_done = 0; // each whole-configuration transfer ends at id 1
    while (std::getline(in, line)) {
        if (line.find("> config,1?") != std::string::npos)
            ++transfers_done;
        const auto at = line.find("> config,");
        if (transfers_done < 2)
            continue;
        if (at != std::string::npos && line.find('?', at) == std::string::npos)
            writes.push_back(line.substr(at + 2));
    }
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].rfind("config,21,", 0), 0u) << writes[0];
}

// LCR head shunt shows in one of two rows, by fixture: a choice in the
// visible row survives leaving the page and is what SET UP HXM sends.
TEST_F(ConfigWindow, HiddenTwinRowNeverOverwritesTheVisibleOne)
{
    const std::string log = (dir / "twin.log").string();
    auto sim = std::make_unique<sim_process>(
        std::vector<std::string>{"--tcp", "127.0.0.1:0", "--model", "HXM4100", "--log", log});
    ASSERT_GT(sim->tcp_port(), 0);
    link_set_tcp_port(sim->tcp_port());
    start(7);
    g_link.interface = LINK_LAN;
    g_link.ip_address = "127.0.0.1";
    g_link.identified = true;
    click(13007);
    choose(25500, 1); // Fixture: LCR Active head
    ASSERT_TRUE(shown(25501));
    ASSERT_FALSE(shown(25508));
    for (int shunt : {2, 1}) {
        choose(25501, shunt);
        click(13003);
        click(13007);
        auto* row = qobject_cast<QComboBox*>(panel()->page_control(25501));
        EXPECT_EQ(row->currentIndex(), shunt);
        int32_t stored = -1;
        config_current().get_int(140, stored);
        EXPECT_EQ(stored, shunt);
        send_command(w.get(), CMD_SET_UP_HXM);
    }
    sim.reset();
    std::ifstream in(log);
    std::vector<std::string> writes;
    for (std::string line; std::getline(in, line);)
        if (const auto at = line.find("> config,140,"); at != std::string::npos)
            writes.push_back(line.substr(at + 2));
    EXPECT_EQ(writes, (std::vector<std::string>{"config,140,2", "config,140,1"}));
}
