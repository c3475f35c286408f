#include "app/ui/main_window.h"
#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/profile_file.h"
#include "base/ui/control_windows.h"
#include "base/ui/mode_windows.h"
#include "link/discovery.h"
#include "link/link.h"
#include "link/ui/connect_dialog.h"
#include "link/ui/instrument_chooser.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/sim_process.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QComboBox* combo(connect_dialog& d, int id)
{
    return qobject_cast<QComboBox*>(d.control(id));
}

QLineEdit* address(connect_dialog& d)
{
    return qobject_cast<QLineEdit*>(d.control(117));
}

void choose_lan(connect_dialog& d, const char* ip)
{
    combo(d, 113)->setCurrentIndex(1);
    address(d)->setText(QString::fromLatin1(ip));
}

std::vector<std::string> sim_args(const char* model)
{
    return {"--tcp", "127.0.0.1:0", "--model", model};
}

class ConnectDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_qt_app();
        test_ui().clear();
        link = s_link{};
        set_current_app_paths(app_paths(dir.str()));
        std::filesystem::create_directories(current_app_paths().data_folder);
    }
    void TearDown() override { link_set_tcp_port(LINK_DEFAULT_TCP_PORT); }

    std::string last_box() const
    {
        const auto shown = test_ui().shown();
        return shown.empty() ? std::string() : shown.back().text;
    }

    temp_folder dir{"tarvelo_connect"};
    s_link link;
};

} // namespace

TEST_F(ConnectDialog, ValidationNamesWhatIsMissingAndUsbAlwaysRunsAt19200)
{
    connect_dialog d(nullptr, link);
    choose_lan(d, "0.0.0.0");
    d.press_connect();
    EXPECT_EQ(last_box(), "Please enter an IP address");
    EXPECT_EQ(test_ui().shown().back().caption, "Test Connection");
    EXPECT_TRUE(d.control(117)->isVisibleTo(&d));
    EXPECT_FALSE(d.control(114)->isVisibleTo(&d));
    EXPECT_EQ(qobject_cast<QLabel*>(d.control(118))->text(), "IP Address:");

    combo(d, 113)->setCurrentIndex(2);
    combo(d, 114)->setCurrentText("");
    d.press_test();
    EXPECT_EQ(last_box(), "Please select a COM Port");
    EXPECT_TRUE(d.control(115)->isEnabled());
    combo(d, 114)->setCurrentText("/dev/ttyS0");
    d.press_test();
    EXPECT_EQ(last_box(), "Please choose a baudrate");

    combo(d, 113)->setCurrentIndex(0);
    EXPECT_FALSE(d.control(115)->isEnabled());
    combo(d, 115)->setCurrentIndex(0);
    d.press_save_default();
    EXPECT_EQ(link.baud_rate, 19200);
    const std::string ini = current_app_paths().settings_file;
    EXPECT_EQ(profile_read(ini, "Connect", "Interface", ""), "1");
    EXPECT_EQ(profile_read(ini, "Connect", "ComPort", ""), "/dev/ttyS0");
    EXPECT_EQ(profile_read(ini, "Connect", "BaudRate", ""), "19200");
}

TEST_F(ConnectDialog, ConnectIdentifiesEachModelOnLoopback)
{
    for (const auto& [model, code] : {std::pair{"HXM4100", 7}, std::pair{"HXM6300", 9}}) {
        sim_process sim(sim_args(model));
        ASSERT_GT(sim.tcp_port(), 0);
        link_set_tcp_port(sim.tcp_port());
        test_ui().clear();
        connect_dialog d(nullptr, link);
        choose_lan(d, "127.0.0.1");
        d.press_connect();
        EXPECT_TRUE(link.identified) << model;
        EXPECT_EQ(link.type_code, code);
        EXPECT_EQ(d.result(), CONNECT_RESULT_CONNECTED);
        EXPECT_EQ(last_box().rfind("The connection was successful\n", 0), 0u) << last_box();
        EXPECT_FALSE(link.is_open);
    }
}

TEST_F(ConnectDialog, NothingListeningFailsAndStaysOpen)
{
    sim_process sim(sim_args("HXM4100"));
    const int port = sim.tcp_port();
    link_set_tcp_port(port + 1 == 0 ? 1 : port + 1);
    connect_dialog d(nullptr, link);
    choose_lan(d, "127.0.0.1");
    d.press_connect();
    EXPECT_FALSE(link.identified);
    EXPECT_EQ(last_box(), "Failed to connect to IP address 127.0.0.1");
    EXPECT_NE(d.result(), CONNECT_RESULT_CONNECTED);
}

TEST_F(ConnectDialog, LanSearchFindsTheSimulatorThroughLoopbackBroadcast)
{
    const int base = 20000 + static_cast<int>(QCoreApplication::applicationPid() % 20000);
    discovery_set_target("127.255.255.255");
    discovery_set_ports(DISCOVERY_A,
                        {static_cast<uint16_t>(base), static_cast<uint16_t>(base + 1)});
    discovery_set_ports(DISCOVERY_B,
                        {static_cast<uint16_t>(base + 2), static_cast<uint16_t>(base + 3)});
    sim_process sim({"--tcp", "127.0.0.1:0", "--model", "HXM6300", "--discovery", "127.0.0.1",
                     "--discovery-port-a", std::to_string(base + 1), "--discovery-port-b",
                     std::to_string(base + 3)});
    link_set_tcp_port(sim.tcp_port());
    connect_dialog d(nullptr, link);
    choose_lan(d, "");
    int rows = -1;
    QTimer pick;
    QObject::connect(&pick, &QTimer::timeout, [&rows] {
        auto* chooser = qobject_cast<instrument_chooser*>(QApplication::activeModalWidget());
        if (!chooser || !chooser->isVisible())
            return;
        rows = chooser->rows()->topLevelItemCount();
        chooser->accept();
    });
    pick.start(50);
    d.press_search();
    pick.stop();
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(address(d)->text(), "127.0.0.1");

    discovery_set_ports(DISCOVERY_A,
                        {static_cast<uint16_t>(base + 4), static_cast<uint16_t>(base + 5)});
    discovery_set_ports(DISCOVERY_B,
                        {static_cast<uint16_t>(base + 6), static_cast<uint16_t>(base + 7)});
    d.press_search();
    EXPECT_EQ(last_box(), "No Instruments found on this subnet");
}

namespace {

int flow_port = 0;

// The user picks LAN at 127.0.0.1 and presses Connect.
void connect_on_loopback(QWidget* owner)
{
    connect_dialog d(owner, g_link);
    choose_lan(d, "127.0.0.1");
    d.press_connect();
}

void leave_without_connecting(QWidget*) {}

} // namespace

TEST_F(ConnectDialog, ConnectionFlowOfTheMainWindow)
{
    g_link = s_link{};
    prepare_test_settings((dir / "data").string());
    main_window w((dir / "data").string(), dir.str());
    EXPECT_EQ(discovery_target(), "127.255.255.255");
    w.show();
    set_connection_dialog(leave_without_connecting);
    send_command(&w, CMD_CONNECTION);
    EXPECT_EQ(last_box(), "No connection was made");

    sim_process sim(sim_args("HXM6300"));
    flow_port = sim.tcp_port();
    link_set_tcp_port(flow_port);
    set_connection_dialog(connect_on_loopback);
    send_command(&w, CMD_CONNECTION);
    EXPECT_TRUE(g_link.identified);
    EXPECT_EQ(g_link.type_code, 9);
    pump();
    EXPECT_TRUE(control_by_id(CMD_READ_HXM)->isEnabled());
    set_connection_dialog(nullptr);
    g_link = s_link{};
}
