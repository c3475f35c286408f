#include "sim/session.h"

#include "sim/packed.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace sim {

namespace {

constexpr char k_reset_byte = 0x14;
// A command line longer than this is noise: it is thrown away whole.
constexpr std::size_t k_max_line = 65536;
constexpr std::size_t k_garbage_length = 13;
constexpr std::string_view k_stray_line = "SWEEP";

std::string normalised(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

template <typename F> void for_each_command(std::string_view line, F&& f)
{
    while (true) {
        const auto cut = line.find(';');
        f(line.substr(0, cut));
        if (cut == std::string_view::npos) {
            return;
        }
        line = line.substr(cut + 1);
    }
}

std::string garbage_line(int line_number)
{
    std::string bytes;
    for (std::size_t k = 0; k < k_garbage_length; ++k) {
        bytes += static_cast<char>(0x80 |
                                   ((static_cast<std::size_t>(line_number) * 37 + k * 91) & 0x7F));
    }
    return bytes;
}

} // namespace

sim_session::sim_session(sim_instrument& instrument, const fault_set& faults, transcript& log,
                         std::string who, stop_signal& stop)
    : instrument_(instrument), faults_(faults), log_(log), who_(std::move(who)), stop_(stop)
{
}

bool sim_session::feed(std::string_view bytes, sim_port& port)
{
    for (char c : bytes) {
        if (c == k_reset_byte) {
            pending_.clear();
            overlong_ = false;
            log_.note(who_, "reset");
        } else if (c == '\n') {
            const std::string line = std::move(pending_);
            pending_.clear();
            if (std::exchange(overlong_, false)) {
                log_.note(who_, "over-long line discarded");
            } else if (!run_line(line, port)) {
                return false;
            }
        } else if (c != '\0' && c != '\r') {
            overlong_ = overlong_ || pending_.size() >= k_max_line;
            if (!overlong_) {
                pending_ += c;
            }
        }
    }
    return true;
}

bool sim_session::run_line(std::string_view line, sim_port& port)
{
    log_.received(who_, line);
    if (should_disconnect(line)) {
        log_.note(who_, "disconnect (fault)");
        return false;
    }
    bool keep = true;
    for_each_command(line, [&](std::string_view command) {
        if (!keep) {
            return;
        }
        const sim_reply reply = carry_out(command);
        if (!reply.note.empty()) {
            log_.note(who_, reply.note);
        }
        if (reply.empty() || faults_.silent) {
            return;
        }
        if (faults_.late_reply_ms > 0 &&
            !stop_.sleep_for(std::chrono::milliseconds(faults_.late_reply_ms))) {
            keep = false;
            return;
        }
        std::string out;
        keep = render(reply, out);
        if (!port.write(out)) {
            keep = false;
        }
        if (!keep) {
            log_.note(who_, "connection dropped");
        }
    });
    return keep;
}

bool sim_session::should_disconnect(std::string_view line) const
{
    bool found = false;
    for (const auto& text : faults_.disconnect_on) {
        const std::string wanted = normalised(text);
        found = found || normalised(line) == wanted;
        for_each_command(line,
                         [&](std::string_view c) { found = found || normalised(c) == wanted; });
    }
    return found;
}

sim_reply sim_session::carry_out(std::string_view command)
{
    sim_reply reply = instrument_.execute(command);
    if (normalised(command) == "lcr?" && !reply.rows.empty() &&
        ++lcr_readings_ == faults_.bad_reading) {
        reply.rows[0].resize(12, 1.0);
    }
    if (faults_.esr_stuck && normalised(command) == "*esr?") {
        reply.lines = {std::to_string(*faults_.esr_stuck)};
    }
    return reply;
}

bool sim_session::render(const sim_reply& reply, std::string& out)
{
    int row = 0;
    for (const auto& line : reply.lines) {
        if (reply.screen && row == faults_.screen_drop_after) {
            return false;
        }
        ++row;
        std::string sent = line;
        if (reply.screen && row == faults_.screen_short_row) {
            sent.resize(sent.size() - 2);
        }
        if (reply.screen && row == faults_.screen_bad_row) {
            sent.replace(2, 2, "G?");
        }
        append_line(sent, out);
    }
    if (reply.screen && row == faults_.screen_drop_after) {
        return false;
    }
    if (reply.sweep && faults_.stray_line) {
        append_line(k_stray_line, out);
    }
    int number = 0;
    for (const auto& row : reply.rows) {
        if (reply.sweep && number == faults_.drop_after) {
            return false;
        }
        ++number;
        if (reply.sweep && number == faults_.garbage) {
            append_line(garbage_line(number), out);
            continue;
        }
        auto values = row;
        if (reply.sweep && number == faults_.short_line && !values.empty()) {
            values.pop_back();
        }
        append_line(format_values(values, reply.packed), out);
    }
    return !(reply.sweep && number == faults_.drop_after);
}

void sim_session::append_line(std::string_view line, std::string& out)
{
    log_.sent(who_, line);
    out.append(line);
    out.append("\r\n");
}

} // namespace sim
