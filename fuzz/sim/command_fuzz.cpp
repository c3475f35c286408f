// Feeds arbitrary bytes to one conversation with the simulated instrument,
// as a peer on the LAN or the serial line could send them: framing, reset
// bytes, joined commands, configuration texts of any length and content.
// Replies go nowhere; the instrument must neither crash nor touch memory
// outside its data. The first byte picks the model and the output format so
// that packed replies are exercised too.

#include "sim/session.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class null_port : public sim::sim_port {
public:
    bool write(std::string_view) override { return true; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    sim::instrument_setup setup;
    setup.model = (data[0] & 1) ? sim::sim_model::hxm6300 : sim::sim_model::hxm4100;
    setup.time_scale = 0;
    sim::sim_instrument instrument(setup);
    if (data[0] & 2) {
        instrument.execute(setup.model == sim::sim_model::hxm6300 ? "config,198,2" : "config,38,2");
    }
    const sim::fault_set faults;
    sim::transcript log;
    sim::stop_signal stop;
    sim::sim_session session(instrument, faults, log, "fuzz", stop);
    null_port port;
    session.feed(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), port);
    return 0;
}
