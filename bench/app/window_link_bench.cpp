// How long the window stands still while the Connect dialog searches the
// network: the longest stretch away from the event loop (the benchmark's
// time) from the search button to the chooser of the instruments found, the
// simulator answering the search on loopback and being asked who it is;
// work_ms is the whole search's wall time.

#include "base/command_seam.h"
#include "base/profile_file.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "bench/support/bench_folder.h"
#include "bench/support/loop_gap.h"
#include "link/discovery.h"
#include "link/link.h"
#include "link/ui/connect_dialog.h"
#include "link/ui/instrument_chooser.h"
#include "tests/support/loopback_listener.h"
#include "tests/support/sim_process.h"

#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

void BM_WindowLanSearchOneInstrument(benchmark::State& state)
{
    loop_gap gap;
    // The progress dialog's worker reports through the window's commands.
    qt_command_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    scripted_ui ui;
    ui_set_backend(&ui);
    const std::vector<int> ports = free_udp_ports(2);
    if (ports.size() != 2) {
        state.SkipWithError("no free UDP ports");
        return;
    }
    sim_process sim({"--discovery", "127.0.0.1", "--discovery-port-a", std::to_string(ports[0]),
                     "--discovery-port-b", std::to_string(ports[1])});
    link_set_tcp_port(sim.tcp_port());
    const bench_folder folder("tarvelo-window-link-bench");
    const std::string settings = folder.path + "/settings.ini";
    profile_write(settings, "Connect", "DiscoveryPortsA", "0," + std::to_string(ports[0]));
    profile_write(settings, "Connect", "DiscoveryPortsB", "0," + std::to_string(ports[1]));
    discovery_read_ports(settings);
    discovery_set_target("127.255.255.255");
    connect_dialog dialog(nullptr, g_link);
    // The chooser is closed as soon as it shows, its rows counted.
    int found = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&found] {
        if (auto* chooser = qobject_cast<instrument_chooser*>(QApplication::activeModalWidget())) {
            found = chooser->rows()->topLevelItemCount();
            chooser->reject();
        }
    });
    closer.start(5);
    for (auto _ : state) {
        found = 0;
        gap.measure(state, [&] { dialog.press_search(); });
        if (found != 1)
            state.SkipWithError("the simulator was not found");
    }
    ui_set_backend(nullptr);
    set_command_dispatcher(nullptr);
}
BENCHMARK(BM_WindowLanSearchOneInstrument)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
