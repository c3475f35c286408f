// hxm-sim: the simulated instrument as a program. It prints one
// "listening ..." line per listener before anything else, serves until
// SIGINT or SIGTERM and then stops cleanly.
#include "sim/options.h"
#include "sim/server.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::string error;
    const auto options = sim::parse_options(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "hxm-sim: %s\n%s", error.c_str(), sim::usage_text().c_str());
        return 2;
    }
    if (options->version) {
        std::printf("hxm-sim %s\n", TARVELO_VERSION);
        return 0;
    }
    if (options->help) {
        std::fputs(sim::usage_text().c_str(), stdout);
        return 0;
    }
    // The signals are taken by sigwait below, on this thread only: every
    // thread the server starts inherits the mask.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    try {
        sim::sim_server server(*options);
        for (const auto& line : server.start()) {
            std::printf("%s\n", line.c_str());
        }
        std::fflush(stdout);
        int signal_number = 0;
        sigwait(&stop_signals, &signal_number);
        server.stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hxm-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}
