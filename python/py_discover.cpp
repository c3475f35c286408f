// Finding instruments: the LAN search the command line's discover runs, and
// the serial ports of the machine.

#include "link/discovery.h"
#include "link/link.h"
#include "python/py_sweep_run.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <pybind11/stl.h>

namespace tarvelo_py {

namespace {

using port_pair = std::pair<int, int>;

s_discovery_ports ports_of(const port_pair& p, const char* what)
{
    if (p.first < 0 || p.first > 65535 || p.second <= 0 || p.second > 65535)
        throw py::value_error(std::string(what) + " is (local, remote), each a port 0..65535");
    return {static_cast<uint16_t>(p.first), static_cast<uint16_t>(p.second)};
}

py::list discover(std::optional<std::string> target, std::optional<port_pair> ports_a,
                  std::optional<port_pair> ports_b, int port)
{
    if (port <= 0 || port > 65535)
        throw py::value_error("port must be 1..65535");
    if (target)
        discovery_set_target(*target);
    if (ports_a)
        discovery_set_ports(DISCOVERY_A, ports_of(*ports_a, "ports_a"));
    if (ports_b)
        discovery_set_ports(DISCOVERY_B, ports_of(*ports_b, "ports_b"));
    link_set_tcp_port(port);
    std::vector<s_discovered> list(DISCOVERY_CAPACITY);
    std::vector<s_chooser_row> rows;
    {
        py::gil_scoped_release release;
        const int found = discover_lan_instruments(list.data(), DISCOVERY_CAPACITY);
        rows = discovery_probe(list.data(), found);
    }
    py::list out;
    for (const s_chooser_row& row : rows) {
        const s_discovered& d = list[static_cast<size_t>(row.entry)];
        if (d.identity[0] != '\0')
            out.append(py::dict(py::arg("address") = std::string(d.address), py::arg("port") = port,
                                py::arg("identity") = from_ansi(d.identity)));
    }
    return out;
}

// Serial devices the kernel knows of: the ttys that have a device behind them.
py::list serial_ports()
{
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/sys/class/tty", ec))
        if (std::filesystem::exists(e.path() / "device", ec))
            found.push_back("/dev/" + e.path().filename().string());
    std::sort(found.begin(), found.end());
    py::list out;
    for (const std::string& f : found)
        out.append(f);
    return out;
}

} // namespace

void init_discover(py::module_& m)
{
    m.def("discover", &discover, py::kw_only(), py::arg("target") = py::none(),
          py::arg("ports_a") = py::none(), py::arg("ports_b") = py::none(),
          py::arg("port") = LINK_DEFAULT_TCP_PORT,
          "Searches the LAN for instruments as the command line's discover does and returns "
          "those that identify as supported ones: dicts of address, port and identity. "
          "target= is the search's broadcast address, ports_a=/ports_b= the (local, remote) "
          "ports of the two search methods, port= the instruments' TCP port.");
    m.def("serial_ports", &serial_ports,
          "The machine's serial ports (/dev/ttyUSB0, /dev/ttyS0 ...), for connect(serial=...).");
}

} // namespace tarvelo_py
