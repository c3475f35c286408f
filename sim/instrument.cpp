#include "sim/instrument.h"

#include "sim/identity.h"
#include "sim/sweep_plan.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <random>

namespace sim {

namespace {

// Configuration ids the instrument's own measurements depend on.
constexpr int k_id_mode = 1;
constexpr int k_id_phase_convention = 6;
constexpr int k_id_output = 7;
constexpr int k_id_steps = 18;
constexpr int k_id_start = 19;
constexpr int k_id_end = 20;
constexpr int k_id_frequency = 48;
constexpr int k_id_amplitude = 49;
constexpr int k_id_three_channels = 84; // 6300 only
constexpr int k_id_lcr_quantity = 137;  // 6300 only
constexpr int k_id_ratio = 150;
constexpr int k_id_cycles = 151;
constexpr int k_id_step_scale = 192;
constexpr int k_id_format_4100 = 38;
constexpr int k_id_format_6300 = 198;

constexpr int k_mode_fra = 1;
constexpr int k_mode_lcr = 3;
constexpr int k_format_binary = 2;
constexpr int k_dav_sweep_ready = 4;

// Operating mode names by the raw value each model stores.
constexpr const char* k_modes_4100[] = {
    "RMS VOLTMETER",    "FREQUENCY RESPONSE ANALYSER", "POWER METER",         "LCR METER",
    "VECTOR VOLTMETER", "HARMONIC ANALYSER",           "TRANSFORMER ANALYSER"};
constexpr const char* k_modes_6300[] = {"RMS VOLTMETER",
                                        "FREQUENCY RESPONSE ANALYSER",
                                        "POWER METER",
                                        "LCR METER",
                                        "",
                                        "HARMONIC ANALYSER",
                                        "VECTOR VOLTMETER",
                                        "OSCILLOSCOPE"};

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

sim_reply text_reply(std::vector<std::string> lines)
{
    sim_reply reply;
    reply.lines = std::move(lines);
    return reply;
}

// One line of the display: a label, the value in exponent form or with a
// fixed number of decimals, and the unit.
std::string reading(const char* label, double value, const char* unit, int decimals = -1)
{
    char text[64];
    if (decimals < 0) {
        std::snprintf(text, sizeof text, "%s %.4E %s", label, value, unit);
    } else {
        std::snprintf(text, sizeof text, "%s %.*f %s", label, decimals, value, unit);
    }
    return text;
}

} // namespace

const sim_instrument::command_entry sim_instrument::k_commands[] = {
    {"*idn?", &sim_instrument::identify},
    {"*esr?", &sim_instrument::event_status},
    {"*cls", &sim_instrument::clear_status},
    {"*wai", &sim_instrument::wait_for_operations},
    {"config", &sim_instrument::config},
    {"suspen", &sim_instrument::suspend},  // framing of a whole-configuration transfer
    {"suspend", &sim_instrument::suspend}, // framing of a screen capture
    {"screen?", &sim_instrument::screen},
    {"out", &sim_instrument::output},
    {"start", &sim_instrument::start},
    {"dav?", &sim_instrument::data_available},
    {"gainph", &sim_instrument::gain_phase}, // "gainph,sweep?"
    {"fra?", &sim_instrument::fra_reading},
    {"fra", &sim_instrument::fra_mode},
    {"lcr?", &sim_instrument::lcr_reading_or_mode},
    {"lcr", &sim_instrument::lcr_sweep_or_mode}, // "LCR,SWEEP?" or the mode switch "LCR"
};

sim_instrument::sim_instrument(instrument_setup setup)
    : setup_(std::move(setup)),
      identity_(setup_.identity.empty() ? default_identity(setup_.model) : setup_.identity),
      settings_(setup_.model), part_(setup_.lcr)
{
}

sim_reply sim_instrument::execute(std::string_view command)
{
    command = trim(command);
    if (command.empty()) {
        return {};
    }
    const auto comma = command.find(',');
    const std::string head = lower(command.substr(0, comma));
    const std::string_view args =
        comma == std::string_view::npos ? std::string_view() : command.substr(comma + 1);
    std::lock_guard lock(mutex_);
    for (const auto& entry : k_commands) {
        if (head == entry.head) {
            return (this->*entry.run)(args);
        }
    }
    return command_error();
}

sim_reply sim_instrument::command_error()
{
    esr_ |= k_esr_command_error;
    return {};
}

sim_reply sim_instrument::identify(std::string_view args)
{
    if (!args.empty()) {
        return command_error();
    }
    return text_reply({identity_});
}

sim_reply sim_instrument::event_status(std::string_view args)
{
    if (!args.empty()) {
        return command_error();
    }
    const int status = esr_;
    esr_ = 0;
    return text_reply({std::to_string(status)});
}

sim_reply sim_instrument::clear_status(std::string_view)
{
    esr_ = 0;
    return {};
}

sim_reply sim_instrument::wait_for_operations(std::string_view)
{
    return {};
}

sim_reply sim_instrument::config(std::string_view args)
{
    int id = 0;
    const auto [end, ec] = std::from_chars(args.data(), args.data() + args.size(), id);
    const std::string_view rest(end, static_cast<std::size_t>(args.data() + args.size() - end));
    if (ec != std::errc() || rest.empty()) {
        return command_error();
    }
    if (rest == "?") {
        const auto value = settings_.query(id);
        if (!value) {
            esr_ |= k_esr_execution_error;
            return text_reply({""});
        }
        return text_reply({*value});
    }
    if (rest.front() != ',') {
        return command_error();
    }
    esr_ |= settings_.set(id, rest.substr(1));
    return {};
}

sim_reply sim_instrument::suspend(std::string_view args)
{
    const std::string state = lower(trim(args));
    if (state != "on" && state != "off") {
        return command_error();
    }
    remote_ = state == "on";
    return {};
}

sim_reply sim_instrument::screen(std::string_view args)
{
    if (!args.empty()) {
        return command_error();
    }
    const auto size = screen_size_for_type(identity_type_code(identity_));
    sim_reply reply = text_reply(render_screen(display(), size).wire_lines());
    reply.screen = true;
    return reply;
}

sim_reply sim_instrument::output(std::string_view args)
{
    const std::string state = lower(trim(args));
    if (state != "on" && state != "off") {
        return command_error();
    }
    settings_.set_int(k_id_output, state == "on" ? 1 : 0);
    return {};
}

sim_reply sim_instrument::start(std::string_view args)
{
    if (!args.empty()) {
        return command_error();
    }
    auto frequencies = current_frequencies();
    const double cycles = settings_.get_double(k_id_cycles, 1);
    sweep_done_at_ = clock::now() + sweep_duration(frequencies, cycles, setup_.time_scale);
    sweep_frequencies_ = std::move(frequencies);
    part_ = lcr_dut_part(setup_.lcr, setup_.lcr_spread, ++parts_);
    if (settings_.get_int(k_id_mode) != k_mode_fra || setup_.fra_more.empty()) {
        return {};
    }
    const std::size_t devices = setup_.fra_more.size() + 1;
    fra_device_ = fra_sweeps_++ % devices;
    sim_reply reply;
    reply.note = "frequency response device " + std::to_string(fra_device_ + 1) + " of " +
                 std::to_string(devices);
    return reply;
}

sim_reply sim_instrument::data_available(std::string_view args)
{
    if (!args.empty()) {
        return command_error();
    }
    const bool ready = sweep_frequencies_ && clock::now() >= sweep_done_at_;
    return text_reply({std::to_string(ready ? k_dav_sweep_ready : 0)});
}

sim_reply sim_instrument::gain_phase(std::string_view args)
{
    if (lower(trim(args)) != "sweep?") {
        return command_error();
    }
    const auto conditions = fra_setup();
    std::vector<std::vector<double>> rows;
    for (double hz : planned_frequencies()) {
        rows.push_back(fra_point(fra_device(), hz, conditions));
    }
    return value_rows(std::move(rows), true);
}

sim_reply sim_instrument::fra_reading(std::string_view args)
{
    if (!args.empty()) {
        return command_error();
    }
    return value_rows({fra_point(fra_device(), generator_hz(), fra_setup())}, false);
}

sim_reply sim_instrument::fra_mode(std::string_view args)
{
    if (!args.empty()) {
        return command_error();
    }
    settings_.set_int(k_id_mode, k_mode_fra);
    return {};
}

sim_reply sim_instrument::lcr_reading_or_mode(std::string_view args)
{
    if (!args.empty()) {
        return command_error();
    }
    const int count = setup_.lcr_reading_values != 0
                          ? setup_.lcr_reading_values
                          : (setup_.model == sim_model::hxm6300 ? 14 : 11);
    const double hz = generator_hz();
    return value_rows(
        {lcr_reading(lcr_impedance(hz), hz, amplitude(), count == 14, phase_convention())}, false);
}

sim_reply sim_instrument::lcr_sweep_or_mode(std::string_view args)
{
    const std::string what = lower(trim(args));
    if (what.empty()) {
        settings_.set_int(k_id_mode, k_mode_lcr);
        return {};
    }
    if (what != "sweep?") {
        return command_error();
    }
    const int layout = lcr_layout();
    std::vector<std::vector<double>> rows;
    for (double hz : planned_frequencies()) {
        rows.push_back(lcr_sweep_values(lcr_impedance(hz), hz, layout, phase_convention()));
    }
    return value_rows(std::move(rows), true);
}

bool sim_instrument::packed_output() const
{
    const int id = setup_.model == sim_model::hxm6300 ? k_id_format_6300 : k_id_format_4100;
    return settings_.get_int(id) == k_format_binary;
}

sim_reply sim_instrument::value_rows(std::vector<std::vector<double>> rows, bool sweep) const
{
    sim_reply reply;
    reply.rows = std::move(rows);
    reply.packed = packed_output();
    reply.sweep = sweep;
    return reply;
}

// The frequencies of the sweep last started, or of the present settings
// when none was.
std::vector<double> sim_instrument::planned_frequencies() const
{
    return sweep_frequencies_ ? *sweep_frequencies_ : current_frequencies();
}

std::vector<double> sim_instrument::current_frequencies() const
{
    return sweep_frequencies(settings_.get_double(k_id_start, 10),
                             settings_.get_double(k_id_end, 1e5), settings_.get_int(k_id_steps),
                             settings_.get_int(k_id_step_scale) == 1);
}

fra_conditions sim_instrument::fra_setup() const
{
    fra_conditions c;
    c.amplitude = amplitude();
    c.phase_convention = phase_convention();
    c.ratio = settings_.get_int(k_id_ratio);
    c.three_channels =
        setup_.model == sim_model::hxm6300 && settings_.get_int(k_id_three_channels) != 0;
    return c;
}

// The DUT's impedance with the measurement noise asked for: a relative
// error drawn from a generator seeded by the frequency, so every run of a
// sweep reads the same values.
std::complex<double> sim_instrument::lcr_impedance(double hz) const
{
    const std::complex<double> z = part_.impedance(hz);
    if (setup_.lcr_noise <= 0) {
        return z;
    }
    std::mt19937_64 generator(std::hash<double>{}(hz) ^ 0x5EEDu);
    std::uniform_real_distribution<double> error(-setup_.lcr_noise, setup_.lcr_noise);
    return z * (1.0 + error(generator));
}

int sim_instrument::lcr_layout() const
{
    if (setup_.model != sim_model::hxm6300) {
        return 2;
    }
    switch (settings_.get_int(k_id_lcr_quantity)) {
    case 3: return 6;
    case 4: return 7;
    default: return 5;
    }
}

int sim_instrument::phase_convention() const
{
    const int convention = settings_.get_int(k_id_phase_convention);
    return convention >= 0 && convention <= 2 ? convention : 0;
}

double sim_instrument::generator_hz() const
{
    const double hz = settings_.get_double(k_id_frequency, 1e3);
    return hz > 0 ? hz : 1e3;
}

double sim_instrument::amplitude() const
{
    const double volts = settings_.get_double(k_id_amplitude, 1);
    return volts > 0 ? volts : 1;
}

const fra_dut& sim_instrument::fra_device() const
{
    return fra_device_ == 0 ? setup_.fra : setup_.fra_more[fra_device_ - 1];
}

screen_content sim_instrument::display() const
{
    screen_content content;
    content.model = identity_model(identity_);
    const int mode = settings_.get_int(k_id_mode);
    const bool is_6300 = setup_.model == sim_model::hxm6300;
    const int modes = is_6300 ? static_cast<int>(std::size(k_modes_6300))
                              : static_cast<int>(std::size(k_modes_4100));
    if (mode >= 0 && mode < modes) {
        content.mode = is_6300 ? k_modes_6300[mode] : k_modes_4100[mode];
    }
    const double hz = generator_hz();
    content.readings.push_back(reading("F", hz, "HZ"));
    if (mode == k_mode_fra) {
        const auto p = fra_point(fra_device(), hz, fra_setup());
        content.readings.push_back(reading("GAIN", p[3], "DB", 3));
        content.readings.push_back(reading("PHASE", p[4], "DEG", 2));
    } else if (mode == k_mode_lcr) {
        const auto z = lcr_impedance(hz);
        content.readings.push_back(reading("Z", std::abs(z), "OHM"));
        content.readings.push_back(
            reading("PHASE", std::arg(z) * 180 / std::numbers::pi, "DEG", 2));
    } else {
        content.readings.push_back(reading("RMS", amplitude(), "V"));
    }
    content.remote = remote_;
    return content;
}

} // namespace sim
