#pragma once

#include "sim/faults.h"
#include "sim/instrument.h"
#include "sim/stop_signal.h"
#include "sim/transcript.h"

#include <string>
#include <string_view>

namespace sim {

// Where a session's replies go: a socket or a serial line.
class sim_port {
public:
    virtual ~sim_port() = default;
    // Writes all bytes; false when the peer is gone or a stop was requested.
    virtual bool write(std::string_view bytes) = 0;
};

// One conversation with the instrument over a byte stream: collects command
// lines (line feed ends a line, carriage returns and the NUL that follows
// each command over TCP are ignored, the reset byte 0x14 throws away a
// half-received line), carries out each ";"-separated command and sends the
// replies as lines ended by carriage return and line feed, showing the
// configured faults on the way.
class sim_session {
public:
    sim_session(sim_instrument& instrument, const fault_set& faults, transcript& log,
                std::string who, stop_signal& stop);

    // Feeds received bytes; false when the connection is to be dropped.
    bool feed(std::string_view bytes, sim_port& port);

private:
    bool run_line(std::string_view line, sim_port& port);
    bool should_disconnect(std::string_view line) const;
    sim_reply carry_out(std::string_view command);
    // Appends the reply's lines to `out`; false when a fault drops the link
    // part-way through a sweep download.
    bool render(const sim_reply& reply, std::string& out);
    void append_line(std::string_view line, std::string& out);

    sim_instrument& instrument_;
    const fault_set& faults_;
    transcript& log_;
    std::string who_;
    stop_signal& stop_;
    std::string pending_;
    bool overlong_ = false;
    int lcr_readings_ = 0; // "lcr?" replies given on this connection
};

} // namespace sim
