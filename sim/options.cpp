#include "sim/options.h"

#include "sim/fd_port.h"

#include <charconv>
#include <cstdlib>
#include <functional>
#include <map>

namespace sim {

namespace {

std::optional<int> whole(const std::string& text, int low, int high)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

bool set_model(sim_options& o, const std::string& v)
{
    if (v == "HXM4100" || v == "4100") {
        o.instrument.model = sim_model::hxm4100;
    } else if (v == "HXM6300" || v == "6300") {
        o.instrument.model = sim_model::hxm6300;
    } else {
        return false;
    }
    return true;
}

bool set_tcp(sim_options& o, const std::string& v)
{
    if (v == "off") {
        o.tcp = false;
        return true;
    }
    const auto colon = v.rfind(':');
    const auto port =
        colon == std::string::npos ? std::nullopt : whole(v.substr(colon + 1), 0, 65535);
    if (!port) {
        return false;
    }
    o.tcp = true;
    o.tcp_host = v.substr(0, colon);
    o.tcp_port = *port;
    return true;
}

bool set_int(int& target, const std::string& v, int low, int high)
{
    const auto value = whole(v, low, high);
    if (value) {
        target = *value;
    }
    return value.has_value();
}

// A relative amount from 0 up to (not including) 1.
bool set_fraction(double& target, const std::string& v)
{
    char* end = nullptr;
    const double rel = std::strtod(v.c_str(), &end);
    target = rel;
    return !v.empty() && *end == '\0' && rel >= 0 && rel < 1;
}

bool set_time_scale(sim_options& o, const std::string& v)
{
    char* end = nullptr;
    const double scale = std::strtod(v.c_str(), &end);
    if (v.empty() || *end != '\0' || !(scale >= 0)) {
        return false;
    }
    o.instrument.time_scale = scale;
    return true;
}

using setter = std::function<bool(sim_options&, const std::string&, std::string&)>;

setter plain(std::function<bool(sim_options&, const std::string&)> f)
{
    return [f](sim_options& o, const std::string& v, std::string&) { return f(o, v); };
}

const std::map<std::string, setter>& option_table()
{
    static const std::map<std::string, setter> table = {
        {"--model", plain(set_model)},
        {"--idn", plain([](sim_options& o, const std::string& v) {
             o.instrument.identity = v;
             return !v.empty();
         })},
        {"--tcp", plain(set_tcp)},
        {"--pty", plain([](sim_options& o, const std::string& v) {
             o.pty_path = v;
             return !v.empty();
         })},
        {"--baud", plain([](sim_options& o, const std::string& v) {
             if (v == "line") {
                 o.baud = k_baud_follow_line;
                 return true;
             }
             return set_int(o.baud, v, 0, 4000000);
         })},
        {"--discovery", plain([](sim_options& o, const std::string& v) {
             o.discovery_address = v;
             return !v.empty();
         })},
        {"--discovery-port-a", plain([](sim_options& o, const std::string& v) {
             return set_int(o.discovery_port_a, v, 1, 65535);
         })},
        {"--discovery-port-b", plain([](sim_options& o, const std::string& v) {
             return set_int(o.discovery_port_b, v, 1, 65535);
         })},
        {"--fra-dut",
         [](sim_options& o, const std::string& v, std::string& e) {
             auto dut = parse_fra_dut(v, e);
             if (!dut) {
                 return false;
             }
             if (o.fra_duts++ == 0) {
                 o.instrument.fra = std::move(*dut);
             } else {
                 o.instrument.fra_more.push_back(std::move(*dut));
             }
             return true;
         }},
        {"--lcr-dut",
         [](sim_options& o, const std::string& v, std::string& e) {
             auto dut = parse_lcr_dut(v, e);
             if (dut) {
                 o.instrument.lcr = *dut;
             }
             return dut.has_value();
         }},
        {"--lcr-values", plain([](sim_options& o, const std::string& v) {
             return (v == "11" || v == "14") && set_int(o.instrument.lcr_reading_values, v, 11, 14);
         })},
        {"--lcr-noise", plain([](sim_options& o, const std::string& v) {
             return set_fraction(o.instrument.lcr_noise, v);
         })},
        {"--lcr-spread", plain([](sim_options& o, const std::string& v) {
             return set_fraction(o.instrument.lcr_spread, v);
         })},
        {"--time-scale", plain(set_time_scale)},
        {"--log", plain([](sim_options& o, const std::string& v) {
             o.log_path = v;
             return !v.empty();
         })},
        {"--fault", [](sim_options& o, const std::string& v,
                       std::string& e) { return add_fault(o.faults, v, e); }},
    };
    return table;
}

} // namespace

std::optional<sim_options> parse_options(const std::vector<std::string>& args, std::string& error)
{
    sim_options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            options.help = true;
            continue;
        }
        if (args[i] == "--version") {
            options.version = true;
            continue;
        }
        const auto it = option_table().find(args[i]);
        if (it == option_table().end()) {
            error = "unknown option " + args[i];
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = args[i] + " needs a value";
            return std::nullopt;
        }
        std::string detail;
        if (!it->second(options, args[i + 1], detail)) {
            error = "bad value for " + args[i] + ": " + args[i + 1] +
                    (detail.empty() ? "" : " (" + detail + ")");
            return std::nullopt;
        }
        ++i;
    }
    return options;
}

std::string usage_text()
{
    return R"(Usage: hxm-sim [options]
Simulates an HXM phase-sensitive multimeter on loopback.

  --model HXM4100|HXM6300   instrument model (default HXM4100)
  --idn TEXT                identification reply (default: the model's own)
  --tcp HOST:PORT|off       LAN port (default 127.0.0.1:10001; port 0 picks one)
  --pty PATH                serial line: a pseudo-terminal linked at PATH
  --baud N|line             pace the serial replies at N baud, 8N1, or at the speed
                            the application set on the line (default unpaced)
  --discovery ADDR          answer LAN searches from loopback address ADDR
  --discovery-port-a N      method A port (default 65535)
  --discovery-port-b N      method B port (default 30718)
  --fra-dut "num=..;den=..;delay=T"   transfer function for FRA (highest power first)
  --fra-dut "ladder=N;L=..;k=..;R=..;Cs=..;Cg=..;Lm=..;Cm=..;Rc=..;Ce=..;end=load|open|earth;
             Cc=..;ratio=..;Lk=..;Rk=..;Rsrc=..;Rmeas=..;moved=A-B;dCg=..;dCs=.."
                            or a transformer winding as N ladder sections (see hxm-sim(1));
                            repeated, a set of devices: each FRA sweep measures the next,
                            the first sweep the first, starting again after the last
  --lcr-dut "bvd:R=..,L=..,C=..,Cp=.." | "series:R=..,L=..,C=..[,Cp=..]" |
            "parallel:R=..,L=..,C=..[,Rs=..,Ls=..]"
                            device of LCR sweeps (Cp: stray capacitance across a
                            series device; Rs, Ls: leads of a parallel one)
  --lcr-values 11|14        values per realtime LCR reading (default 11 / 14 on the 6300)
  --lcr-noise REL           relative noise on the LCR impedance (0.01 = 1 %, repeatable)
  --lcr-spread REL          each sweep measures the next part of a run whose elements
                            spread within +-REL of the device's (0.05 = 5 %, repeatable)
  --time-scale X            multiply the time a sweep takes (default 1)
  --log FILE                transcript of every exchange
  --fault FAULT             drop-after=N, stray-line, short-line=N, garbage=N, silent,
                            esr-stuck=V, late-reply=MS, disconnect-on=TEXT,
                            screen-drop-after=N, screen-short-row=N, screen-bad-row=N,
                            bad-reading=N (the N-th "lcr?" reply has 12 values) (repeatable)
  -h, --help                this text
  --version                 the program's version
)";
}

} // namespace sim
